// A list box that takes files dropped from the desktop's file manager.
#pragma once

#include <QListWidget>
#include <string>
#include <vector>

namespace vtl::tarnwell {

class FileListBox : public QListWidget {
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr);

    // The entries in list order.
    std::vector<std::string> entries() const;

signals:
    // Local files and folders dropped onto the list, in the order of the drop.
    void filesDropped(const std::vector<std::string>& files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

}  // namespace vtl::tarnwell
