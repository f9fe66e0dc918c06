#include "ui/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

namespace melodrop::ui {

namespace {
constexpr int kPathRole = Qt::UserRole;
}

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setIndentation(10);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A folder list shows open and closed folders by their icons alone, without tree handles.
    setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item) setPath(item->data(0, kPathRole).toString());
    });
}

QString FolderList::path() const {
    return QDir::toNativeSeparators(path_);
}

bool FolderList::setPath(const QString& folder) {
    if (folder.isEmpty()) return false;
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir() || !info.isReadable() || !info.isExecutable()) return false;
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    const bool changed = absolute != path_;
    path_ = absolute;
    rebuild();
    if (changed) emit pathChanged(path());
    return true;
}

void FolderList::refresh() {
    if (!path_.isEmpty() && !QFileInfo(path_).isDir()) {
        // The open folder went away: fall back to the nearest parent that still exists.
        QDir up(path_);
        while (!up.exists() && up.cdUp()) {
        }
        setPath(up.absolutePath());
        return;
    }
    rebuild();
}

void FolderList::rebuild() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The chain of parents, root first.
    QStringList chain;
    for (QDir dir(path_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) break;
    }
    QTreeWidgetItem* parentItem = nullptr;
    QTreeWidgetItem* openItem = nullptr;
    for (const QString& folder : chain) {
        const QString name =
            QDir(folder).isRoot() ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        auto* item = parentItem ? new QTreeWidgetItem(parentItem, {name})
                                : new QTreeWidgetItem(this, {name});
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, folder);
        parentItem = item;
        openItem = item;
    }
    // The folders inside the open one.
    const QStringList inside =
        QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : inside) {
        auto* item = new QTreeWidgetItem(openItem, {name});
        item->setIcon(0, closedIcon);
        item->setData(0, kPathRole, QDir(path_).filePath(name));
    }
    expandAll();
    if (openItem) {
        setCurrentItem(openItem);
        scrollToItem(openItem);
    }
}

}  // namespace melodrop::ui
