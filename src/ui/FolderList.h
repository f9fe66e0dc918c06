#pragma once
// `Dir1`: a folder list as the folder dialog shows it: the open folder's parents from the root
// down to the open folder, then the folders inside it. Double-clicking (or Enter on) a folder
// opens it; the open folder is the list's path.
#include <QTreeWidget>

namespace melodrop::ui {

class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    // The open folder, with the platform's separators.
    QString path() const;
    // Opens a folder. A folder that does not exist or cannot be read fails and changes nothing.
    bool setPath(const QString& folder);
    // Reads the open folder again.
    void refresh();

signals:
    void pathChanged(const QString& path);

private:
    void rebuild();

    QString path_;  // absolute, with '/' separators
};

}  // namespace melodrop::ui
