#include "player/TrackList.h"

#include <QCollator>
#include <QDir>
#include <algorithm>

namespace melodrop {

QString joinTrackPath(const QString& folder, const QString& name) {
    return folder + QDir::separator() + name;
}

TrackList::TrackList(QObject* parent) : QAbstractListModel(parent) {
    folder_ = QDir::currentPath();
    load();
}

bool TrackList::setFolder(const QString& path) {
    const QDir dir(path);
    if (path.isEmpty() || !dir.exists() || !dir.isReadable()) return false;
    folder_ = path;
    load();
    return true;
}

void TrackList::refresh() {
    load();
}

void TrackList::load() {
    QDir dir(folder_);
    QStringList names = dir.entryList({QStringLiteral("*.mp3")},
                                      QDir::Files | QDir::Readable | QDir::Hidden, QDir::NoSort);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    beginResetModel();
    entries_ = names;
    const int before = selected_;
    if (selected_ >= count()) selected_ = -1;
    endResetModel();
    if (before != selected_) emit selectionChanged(selected_);
}

QString TrackList::entry(int index) const {
    return index >= 0 && index < count() ? entries_.at(index) : QString();
}

bool TrackList::select(int index) {
    if (index < -1 || index >= count()) return false;
    if (index != selected_) {
        selected_ = index;
        emit selectionChanged(index);
    }
    return true;
}

QString TrackList::pathOf(const QString& name) const {
    return joinTrackPath(folder_, name);
}

int TrackList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant TrackList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return entries_.at(index.row());
    return {};
}

}  // namespace melodrop
