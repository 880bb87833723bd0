// The open and save dialogs: a Qt backend for the programs and a scripted one for tests.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/ScopedInstall.h"

namespace vtl::platform {

// One entry of a dialog's list of file types.
struct FileFilter {
    std::string description;            // the text the list shows
    std::vector<std::string> patterns;  // wildcards; "*" stands for every file
    bool operator==(const FileFilter&) const = default;
};

// Reads a filter of the form "description|pattern|description|pattern". The patterns of one entry
// are separated by ";" and "*.*" means every file, with or without an extension. The list ends at
// an empty description or an entry without a pattern, where the platform's dialogs end it.
std::vector<FileFilter> parseFileFilter(std::string_view filter);

struct FileDialogRequest {
    // Folder: a folder picker; it takes an existing folder and shows no files.
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    std::vector<FileFilter> filters;  // the first one is chosen at the start
    std::string initialDir;
    std::string defaultName;  // the name a save dialog proposes
    std::string title;        // the dialog's caption; empty: the toolkit's own
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // Shows a dialog and returns the chosen file, "" on cancel or when no dialog can be shown.
    virtual std::string show(const FileDialogRequest& request) = 0;
    // An open dialog that takes one or more existing files: their full paths in the order the
    // user chose them, none on cancel. By default it offers one file through show().
    virtual std::vector<std::string> showMany(const FileDialogRequest& request);
};

// The dialogs in force: Qt's, unless a test installed its own.
FileDialogs& fileDialogs();
// Installs dialogs; nullptr brings Qt's back.
void setFileDialogs(FileDialogs* dialogs);

// Installs dialogs for one scope.
using ScopedFileDialogs = ScopedInstall<FileDialogs, setFileDialogs>;

// Qt's own file dialog (the same on every desktop). An open dialog takes one existing file, or
// several through showMany; a save dialog asks before it names an existing file. Without a
// QApplication it answers "".
class QtFileDialogs : public FileDialogs {
  public:
    std::string show(const FileDialogRequest& request) override;
    std::vector<std::string> showMany(const FileDialogRequest& request) override;
};

// Answers from a queue and records what it was asked; an empty queue cancels. An answer of
// several files serves showMany; show() takes the first of them.
class ScriptedFileDialogs : public FileDialogs {
  public:
    void answer(std::string path) { answers_.push_back({std::move(path)}); }
    void answerMany(std::vector<std::string> paths) { answers_.push_back(std::move(paths)); }
    void cancel() { answers_.push_back({}); }
    const std::vector<FileDialogRequest>& requests() const { return requests_; }

    std::string show(const FileDialogRequest& request) override;
    std::vector<std::string> showMany(const FileDialogRequest& request) override;

  private:
    std::deque<std::vector<std::string>> answers_;
    std::vector<FileDialogRequest> requests_;
};

}  // namespace vtl::platform
