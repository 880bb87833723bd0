#include "textreplace/FileListBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace vtl::tarnwell {

namespace {

std::vector<std::string> localFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    }
    return files;
}

}  // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

std::vector<std::string> FileListBox::entries() const {
    std::vector<std::string> all;
    for (int i = 0; i < count(); ++i) all.push_back(item(i)->text().toStdString());
    return all;
}

void FileListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (localFiles(event->mimeData()).empty()) return event->ignore();
    event->acceptProposedAction();
}

void FileListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (localFiles(event->mimeData()).empty()) return event->ignore();
    event->acceptProposedAction();
}

void FileListBox::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = localFiles(event->mimeData());
    if (files.empty()) return event->ignore();
    event->acceptProposedAction();
    emit filesDropped(files);
}

}  // namespace vtl::tarnwell
