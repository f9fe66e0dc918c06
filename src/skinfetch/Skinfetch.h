#pragma once
// skinfetch's logic, apart from its window: refresh the list of skins offered by the server and
// download the selected one as a ".zip" archive into a folder the user picks.
#include <QString>
#include <QStringList>
#include <functional>

#include "net/WebTransfer.h"
#include "skinfetch/SkinfetchDialogs.h"

namespace melodrop::skinfetch {

// Why a skin name from the server must not be downloaded, or "" when it may. The name becomes a
// file name in the user's folder, so anything that could reach outside it is refused: the names
// "." and "..", path separators, a drive prefix, control characters. "my..skin" is fine.
QString unsafeSkinNameReason(const QString& name);

class Skinfetch {
public:
    // programFolder holds the "skins" folder; serverBase is scheme and host of the skin server.
    Skinfetch(WebTransfer& transfer, SkinfetchDialogs& dialogs, QString programFolder,
              QString serverBase);

    // `cmdRefreshList`: every step is attempted even if an earlier one failed.
    void refreshList();
    // `cmdDownload`: downloads the selected entry; does nothing without a selection.
    void downloadSelected();

    // The names as shown (the list's bytes decoded, see entryName).
    const QStringList& entries() const { return entries_; }
    int selectedIndex() const { return selected_; }
    void setSelectedIndex(int index);
    const QString& status() const { return status_; }
    // True while a refresh or download runs (its transfer waits with events running); clicks
    // that arrive meanwhile are ignored.
    bool isWorking() const { return working_; }

    // Tell the window what changed.
    std::function<void()> onEntriesChanged;
    std::function<void()> onStatusChanged;
    std::function<void()> onWorkingChanged;

private:
    void setStatus(const QString& text);
    void setEntries(QList<QByteArray> bytes);
    void setWorking(bool working);
    void download(const QString& entry, const QByteArray& bytes);

    WebTransfer& transfer_;
    SkinfetchDialogs& dialogs_;
    QString programFolder_;
    QString serverBase_;
    QStringList entries_;           // as shown
    QList<QByteArray> entryBytes_;  // as the server's list wrote them
    int selected_ = -1;
    QString status_ = QStringLiteral("status:");
    bool working_ = false;
};

}  // namespace melodrop::skinfetch
