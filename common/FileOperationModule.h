// File procedures of the support library and its last-error record. Most procedures never let an
// error escape: they record it and return a failure value, so that a caller can go on or raise
// the recorded error.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "core/Error.h"

namespace vtl::FileOperationModule {

// The preferred folder for batch files; the host program sets it at start-up.
extern std::string TempFolder;

// --- The last-error record -------------------------------------------------------------------
void ClearLastError();
void GetLastErrorInfo(int32_t& number, std::string& source, std::string& description);
// Writes an error into the record under a procedure's name (the library's source-chain form).
void RecordLastError(std::string_view procedure, const Error& error);

// Runs the body of a recording procedure: on success the record is cleared and the body's
// value returned; on failure the error is recorded under the procedure's name and the failure
// value returned.
template <class Result, class Body>
Result Recorded(std::string_view procedure, Result failureValue, Body&& body) {
    try {
        Result result = body();
        ClearLastError();
        return result;
    } catch (...) {
        RecordLastError(procedure, toError(std::current_exception()));
        return failureValue;
    }
}

// --- Versions ---------------------------------------------------------------------------------
// Version text of a file (four numbers joined by "."), cached per file and form; padded gives
// every number at least two digits (06.00.03.00).
std::string GetVersionString(const std::string& file, bool padded);
// Version text of a file's version record, "0.0.0.0" for a file without one, "" on failure.
// A blank file stands for the running program.
std::string GetFileVersion(const std::string& file);

// --- Files ------------------------------------------------------------------------------------
inline constexpr uint8_t FO_COPY = 2;
inline constexpr uint8_t FO_DELETE = 3;
// The shell's copy (func 2) or delete to the trash (func 3). Returns 0 on success, else the
// platform's code (2 not found, 5 access denied, 32 in use).
int32_t ShellFileOperation(uint8_t func, const std::string& from, const std::string& to,
                           bool& aborted);
// kind: 0 file, 1 folder, 2 drive (a mounted root); any other kind answers false.
bool IsFileExists(const std::string& path, int kind);
bool CopyFileA(const std::string& source, const std::string& dest, bool useShell, bool checkInUse,
               bool verify);
bool DeleteFileA(const std::string& file, bool useShell);
// A unique temporary file name with an extension, without folder; "" on failure.
std::string GetTempName();
std::string GetTempBaseName();
// File name without folder and extension ("/a/b.c.txt" gives "b.c").
std::string GetFileBaseName(const std::string& path);
// The path with a trailing separator; a blank path stays as it is.
std::string AddBackslash(const std::string& path);
// True when the file cannot be opened for reading or another process holds it locked for
// writing; a missing file counts as in use.
bool IsFileAlreadyInUse(const std::string& file);
// Waits up to 120000 ms, polling every 50 ms, until the file exists and is no longer in use.
bool IsFileExistsA(const std::string& file);

// --- Commands ---------------------------------------------------------------------------------
// Runs a command through a one-line batch file and the command interpreter; with a log file the
// command's output and errors are appended to it. Returns the command's exit code, or -1 when
// not waited for or on failure (the record says why).
int32_t ExecA(const std::string& command, const std::string& logFile, int32_t windowStyle,
              const std::string& batchDir, int32_t& taskId, bool wait);
// A path as one argument of a command line: in double quotes, so that a blank cannot split it.
// A quote or a line break cannot be carried through a command line at all and raises error 1.
std::string quotedForCommand(const std::string& path);

// --- Dates, folders and path parts ------------------------------------------------------------
// The file's last-modified time; the zero time (the epoch) on failure.
std::chrono::system_clock::time_point GetFileLastModifiedDate(const std::string& file);
// The full paths of the files in startPath whose names match the pattern (wildcards, ignoring
// case). Recursive: each sub-folder's matches (depth first) come before the folder's own.
// Folders and names are taken in sorted order (ignoring case), so every search of the same tree
// gives the same list; symbolically linked folders are not entered, so a link loop cannot
// trap the search. A sub-folder that cannot be read is left out. Nothing found, or a missing
// start folder: an empty list (the record says which).
std::vector<std::string> FindFile(const std::string& startPath, const std::string& pattern,
                                  bool recursive);
// Creates the folder with any missing parents. Fails for a blank name, a folder that exists
// already, or one that could not be created.
bool CreateFolderA(const std::string& folder);
// The folder picker: the chosen folder with a trailing separator, "" on cancel. It opens at
// startFolder, or, when that is blank, at the folder the last call was given.
std::string BrowseForFolder(const std::string& title, const std::string& startFolder);
// Raises the recorded error, if there is one.
void RaiseLastError();
// The folder part of a path with its trailing separator ("/a/b.txt" and "/a/b/" give "/a/");
// "" for a bare name; the root stays the root.
std::string GetPathName(const std::string& path);
// The name after the last separator ("" for a path ending in one); a bare name as it is.
std::string GetFileName(const std::string& path);

}  // namespace vtl::FileOperationModule
