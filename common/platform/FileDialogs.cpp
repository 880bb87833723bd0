#include "platform/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

#include "core/Text.h"

namespace vtl::platform {

namespace {

QtFileDialogs qtDialogs;
FileDialogs* current = &qtDialogs;

std::vector<std::string> patternsOf(std::string_view list) {
    std::vector<std::string> patterns;
    for (const std::string& part : text::split(list, ';')) {
        std::string pattern = text::trim(part);
        if (pattern.empty()) continue;
        // On the platform the filters come from, "*.*" also matches names without a dot.
        patterns.push_back(pattern == "*.*" ? "*" : pattern);
    }
    return patterns;
}

// Qt reads the patterns from the last parenthesised group of an entry; the dialog hides that
// group, so the list shows the description exactly as given.
QString qtNameFilter(const FileFilter& filter) {
    return QString::fromStdString(filter.description + " (" + text::join(filter.patterns, " ") +
                                  ")");
}

}  // namespace

std::vector<FileFilter> parseFileFilter(std::string_view filter) {
    std::vector<std::string> parts = text::split(filter, '|');
    std::vector<FileFilter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;
        std::vector<std::string> patterns = patternsOf(parts[i + 1]);
        if (patterns.empty()) break;
        filters.push_back(FileFilter{parts[i], std::move(patterns)});
    }
    return filters;
}

FileDialogs& fileDialogs() {
    return *current;
}
void setFileDialogs(FileDialogs* dialogs) {
    current = dialogs ? dialogs : &qtDialogs;
}

std::vector<std::string> FileDialogs::showMany(const FileDialogRequest& request) {
    std::string chosen = show(request);
    if (chosen.empty()) return {};
    return {std::move(chosen)};
}

namespace {

// Runs Qt's dialog in the given file mode; the chosen files, none on cancel.
QStringList runQtDialog(const FileDialogRequest& request, QFileDialog::FileMode openMode) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return {};
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    const bool folder = request.kind == FileDialogRequest::Kind::Folder;
    // A save dialog and a folder picker belong to the active window; an open dialog stands on
    // its own.
    QFileDialog dialog(save || folder ? QApplication::activeWindow() : nullptr);
    dialog.setObjectName("FileDialog");
    if (!request.title.empty()) dialog.setWindowTitle(QString::fromStdString(request.title));
    // Qt's own dialog shows the filter list the same way on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : folder ? QFileDialog::Directory : openMode);
    if (folder) dialog.setOption(QFileDialog::ShowDirsOnly);
    QStringList nameFilters;
    for (const FileFilter& filter : request.filters) nameFilters << qtNameFilter(filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        dialog.selectNameFilter(nameFilters.front());
    }
    dialog.setDirectory(QString::fromStdString(request.initialDir));
    if (save && !request.defaultName.empty()) {
        dialog.selectFile(QString::fromStdString(request.defaultName));
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace

std::string QtFileDialogs::show(const FileDialogRequest& request) {
    const QStringList chosen = runQtDialog(request, QFileDialog::ExistingFile);
    return chosen.isEmpty() ? std::string() : chosen.front().toStdString();
}

std::vector<std::string> QtFileDialogs::showMany(const FileDialogRequest& request) {
    std::vector<std::string> files;
    for (const QString& file : runQtDialog(request, QFileDialog::ExistingFiles)) {
        files.push_back(file.toStdString());
    }
    return files;
}

std::string ScriptedFileDialogs::show(const FileDialogRequest& request) {
    std::vector<std::string> chosen = showMany(request);
    return chosen.empty() ? std::string() : std::move(chosen.front());
}

std::vector<std::string> ScriptedFileDialogs::showMany(const FileDialogRequest& request) {
    requests_.push_back(request);
    if (answers_.empty()) return {};
    std::vector<std::string> answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

}  // namespace vtl::platform
