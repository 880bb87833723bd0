// The folder procedures of the file layer: file dates, the recursive file search, folder
// creation, the folder picker and the path parts.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/FileOperationModule.h"
#include "core/Text.h"
#include "core/Wildcard.h"
#include "platform/FileDialogs.h"

namespace vtl::FileOperationModule {

namespace fs = std::filesystem;

namespace {

// The folder the picker opens at when it is given none.
std::string browseStartFolder;

struct FolderListing {
    std::vector<std::string> files;    // names matching the pattern
    std::vector<std::string> folders;  // names of the sub-folders that are not links
};

// Names starting with a dot are this platform's hidden entries, which a folder listing leaves
// out as the platform the search was written for leaves out its hidden files.
bool isHidden(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

// One folder's entries, sorted; raises the runtime's error when the folder cannot be read.
FolderListing listFolder(const fs::path& folder, std::string_view pattern) {
    FolderListing listing;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (isHidden(name)) continue;
        std::error_code kind;
        if (it->is_directory(kind)) {
            if (!it->is_symlink(kind)) listing.folders.push_back(std::move(name));
        } else if (wildcard::matches(pattern, name)) {
            listing.files.push_back(std::move(name));
        }
    }
    if (ec) throw errnoError(ec.value(), folder.string());
    std::sort(listing.files.begin(), listing.files.end(), text::lessIgnoringCase);
    std::sort(listing.folders.begin(), listing.folders.end(), text::lessIgnoringCase);
    return listing;
}

void findInto(const std::string& folder, std::string_view pattern, bool recursive,
              std::vector<std::string>& found) {
    const std::string prefix = AddBackslash(folder);
    const FolderListing listing = listFolder(prefix, pattern);
    if (recursive) {
        for (const std::string& sub : listing.folders) {
            try {
                findInto(prefix + sub, pattern, true, found);
            } catch (const Error&) {
                // An unreadable sub-folder holds nothing we can work on.
            }
        }
    }
    for (const std::string& name : listing.files) found.push_back(prefix + name);
}

}  // namespace

std::chrono::system_clock::time_point GetFileLastModifiedDate(const std::string& file) {
    using Time = std::chrono::system_clock::time_point;
    return Recorded("GetFileLastModifiedDate", Time{}, [&] {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0) throw errnoError(errno, file);
        if (!S_ISREG(st.st_mode)) throw errnoError(ENOENT, file);
        return std::chrono::system_clock::from_time_t(st.st_mtim.tv_sec) +
               std::chrono::duration_cast<std::chrono::system_clock::duration>(
                   std::chrono::nanoseconds(st.st_mtim.tv_nsec));
    });
}

std::vector<std::string> FindFile(const std::string& startPath, const std::string& pattern,
                                  bool recursive) {
    return Recorded("FindFile", std::vector<std::string>(), [&] {
        if (!IsFileExists(startPath, 1)) {
            raise(kOwnError, "Start path '" + startPath + "' not exists");
        }
        std::vector<std::string> found;
        findInto(startPath, pattern, recursive, found);
        return found;
    });
}

bool CreateFolderA(const std::string& folder) {
    return Recorded("CreateFolderA", false, [&] {
        if (text::trim(folder).empty()) raise(kOwnError, "Directory name not defined");
        if (IsFileExists(folder, 1)) raise(kOwnError, "Directory '" + folder + "' exists already");
        // Created directly, not through a command line, so no character of the name can reach
        // a command interpreter.
        std::error_code ignored;
        fs::create_directories(folder, ignored);
        if (!IsFileExists(folder, 1)) {
            raise(kOwnError, "Creating directory '" + folder + "' failed");
        }
        return true;
    });
}

std::string BrowseForFolder(const std::string& title, const std::string& startFolder) {
    return Recorded("BrowseForFolder", std::string(), [&] {
        if (!text::trim(startFolder).empty()) browseStartFolder = text::trim(startFolder);
        platform::FileDialogRequest request;
        request.kind = platform::FileDialogRequest::Kind::Folder;
        request.title = title;
        request.initialDir = browseStartFolder;
        std::string chosen = platform::fileDialogs().show(request);
        if (!text::trim(chosen).empty()) chosen = AddBackslash(chosen);
        return chosen;
    });
}

std::string GetPathName(const std::string& path) {
    if (path.find('/') == std::string::npos) return {};
    std::string folder = path;
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string GetFileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace vtl::FileOperationModule
