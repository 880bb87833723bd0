// What the main window does apart from its controls: its texts, the check of the TEMP folder,
// the run's file list from the folder and the file list, and what the file list takes in.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vtl::tarnwell::MainLogic {

// "Brelvik Tarnwell " and the program's version.
std::string caption();
// The splash window's "Version " and the program's version.
std::string versionText();

// The start needs the TEMP folder: error 1 "TEMP directory not defined" for a blank value,
// "TEMP directory: '<value>' not exists" for a missing folder, each followed by
// ". Please first set operating system environment variable TEMP to correct folder".
void checkTempFolder(const std::string& temp);

// Where the log goes when TEMP is unusable: "Tarnwell.log" in the user's home folder.
std::string fixedLogFile();

// The two sources of a run's files as the window holds them.
struct TodoSources {
    bool useFolder = false;           // chkFolder
    std::string folder;               // txtInputDir
    std::string extensions;           // txtExt: "ext1,ext2,..."
    bool useList = false;             // chkFiles
    std::vector<std::string> listed;  // lstFiles
};

// The run's files: the folder's matches for each extension (sub-folders first), then the list's
// entries, nothing removed. Logs what it finds. Raises error 1 when no source is checked, the
// folder is missing, or nothing was found; errors go on with "GetTodoFiles" in front of their
// source.
std::vector<std::string> GetTodoFiles(const TodoSources& sources);

// The chosen files the list does not hold yet (whole entries compared exactly), in order.
std::vector<std::string> newFromDialog(const std::vector<std::string>& listed,
                                       const std::vector<std::string>& chosen);
// The dropped files the list does not hold yet, compared ignoring case, in order.
std::vector<std::string> newFromDrop(const std::vector<std::string>& listed,
                                     const std::vector<std::string>& dropped);

// A run's walk over its files: before file i (from 0) the counter shows "i + 1 / count"; a
// stop request ends the walk before the next file, with an event that says so; a failed step
// ends it with its error. Counts past 32767 files are counted on.
struct FileLoop {
    std::function<void(const std::string& counter)> showCounter;
    std::function<bool()> stopRequested;
    std::function<void(size_t index)> step;
};
void runFileLoop(size_t count, const FileLoop& loop);

}  // namespace vtl::tarnwell::MainLogic
