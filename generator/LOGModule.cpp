#include "LOGModule.h"

#include <cerrno>
#include <cstdio>

#include "Variablen.h"
#include "core/Error.h"
#include "core/LogStream.h"

namespace vtl::LOGModule {

void WriteLog(const std::string& text, const std::string& tag) {
    if (!tag.empty()) AddErrorEntry("#  " + tag + "  - " + text);
    appendLines(Variablen().logfile, {text});
    // Every line of WriteLog tells of a failure: it is in the file before the run goes on.
    logstream::flush();
}

void AddErrorEntry(const std::string& entry) {
    errorList().push_back(entry);
}

std::vector<std::string>& errorList() {
    auto& list = Variablen().ErrorList;
    if (!list) throw Error(91, "", "Object variable or With block variable not set");
    return *list;
}

void writeText(const std::string& file, const std::string& text, bool append) {
    if (append) {
        try {
            logstream::append(file, text);
        } catch (const Error& e) {
            // A missing folder is a missing path, not a missing file.
            if (e.number() == err::FileNotFound) throw errnoError(ENOTDIR, file);
            throw;
        }
        return;
    }
    // What was appended goes first; the new content then replaces it.
    logstream::close();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) throw errnoError(errno == ENOENT ? ENOTDIR : errno, file);
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    const int writeErrno = errno;
    if (std::fclose(out) != 0 || !written) throw errnoError(written ? errno : writeErrno, file);
}

void appendLines(const std::string& file, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    writeText(file, text, true);
}

std::string printZones(const std::vector<std::string>& values) {
    constexpr size_t kZone = 14;
    std::string line;
    for (size_t n = 0; n < values.size(); ++n) {
        if (n > 0) line.resize((line.size() / kZone + 1) * kZone, ' ');
        line += values[n];
    }
    return line;
}

}  // namespace vtl::LOGModule
