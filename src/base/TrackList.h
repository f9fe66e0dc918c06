#pragma once
// The player window's file list: the "*.MP3" files of one folder (matched regardless of case,
// sorted by name without regard to case), a selection index (-1 for none) and the selected file
// name. Beside the names it keeps each name in lower case, rebuilt with the list, for the
// searches by part of a name.
#include <QAbstractListModel>
#include <QStringList>

namespace melodrop {

class TrackList : public QAbstractListModel {
    Q_OBJECT
public:
    // Starts on the process's current folder, as a file list does before it is pointed anywhere.
    explicit TrackList(QObject* parent = nullptr);

    QString folder() const { return folder_; }
    // Points the list at a folder and reads it. A folder that does not exist fails and leaves
    // the list as it was.
    bool setFolder(const QString& path);
    // Reads the folder again, keeping the selection on the same index when it still exists.
    void refresh();

    int count() const { return static_cast<int>(entries_.size()); }
    QString entry(int index) const;
    const QStringList& entries() const { return entries_; }
    // The entries in lower case (QString::toLower), index for index.
    const QStringList& lowerCaseEntries() const { return lowerCase_; }
    // The first index from `from` on whose lower-cased name contains `lowerCaseText`; -1 if none.
    int findLowerCase(const QString& lowerCaseText, int from = 0) const;

    int selectedIndex() const { return selected_; }
    // Selects an entry; -1 clears the selection. Any other index outside the list fails and
    // changes nothing.
    bool select(int index);
    // The selected file name, "" when nothing is selected.
    QString selectedName() const { return entry(selected_); }
    // Folder + separator + name.
    QString pathOf(const QString& name) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    void selectionChanged(int index);

private:
    void load();

    QString folder_;
    QStringList entries_;
    QStringList lowerCase_;
    int selected_ = -1;
};

// folder + the platform's separator + name, without checks (a track path).
QString joinTrackPath(const QString& folder, const QString& name);

// Sorts file names as the list shows them: by the locale's collation without regard to case
// (not numerically), names that collate alike by their characters. With lowerCase, also gives
// the sorted names in lower case (QString::toLower), index for index.
void sortTrackNames(QStringList& names, QStringList* lowerCase = nullptr);

}  // namespace melodrop
