#include "HFileChoice.h"

#include <filesystem>

#include "RunLog.h"
#include "common/FileOperationModule.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Text.h"

namespace vtl::HFileChoice {

namespace fs = std::filesystem;

namespace {

bool fileExists(const std::string& path) {
    return FileOperationModule::IsFileExists(path, 0);
}

// The lines of a text; a CR before the line feed belongs to the line end.
std::vector<std::string> linesOf(const std::string& content) {
    std::vector<std::string> lines = text::split(content, '\n');
    for (std::string& line : lines) {
        if (line.ends_with('\r')) line.pop_back();
    }
    return lines;
}

}  // namespace

bool isHeaderFileName(const std::string& fileName) {
    return fileName.find(".h") != std::string::npos;
}

std::vector<std::string> headerFilesOf(const std::vector<std::string>& chosen,
                                       const MissingEntry& onMissing) {
    if (chosen.size() != 1) return chosen;
    const std::string& file = chosen.front();
    if (isHeaderFileName(fs::path(file).filename().string()) || !fileExists(file)) return chosen;
    return readList(file, onMissing);
}

std::vector<std::string> readList(const std::string& listFile, const MissingEntry& onMissing) {
    const std::string folder =
        FileOperationModule::AddBackslash(fs::path(listFile).parent_path().string());
    std::vector<std::string> files;
    for (const std::string& raw : linesOf(RunLog::ReadFile2String(listFile))) {
        std::string line = text::trim(raw);
        if (!line.empty()) {
            const std::string path = line.find('/') == std::string::npos ? folder + line : line;
            if (fileExists(path)) {
                files.push_back(path);
            } else {
                onMissing(line);
            }
        }
        clock().processEvents();
    }
    if (files.empty()) raise(kOwnError, "No h-Files in file: '" + listFile + "' found");
    return files;
}

}  // namespace vtl::HFileChoice
