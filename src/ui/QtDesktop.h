#pragma once
// The desktop of the real program: the player window's states, Qt message boxes, prompts and
// file dialogs, the folder dialog, the update notice, the splash, the shell, the tray icon and
// the single-instance lock. What the user answers in the folder dialog and on the tray icon is
// reported through signals (connectToMelodrop wires them).
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "base/Desktop.h"
#include "ui/FolderDialog.h"
#include "ui/InstanceLock.h"
#include "ui/IntroWindow.h"
#include "ui/PlayerWindow.h"
#include "ui/UpdateNoticeWindow.h"

namespace melodrop {
class Melodrop;
}

namespace melodrop::ui {

struct QtDesktopOptions {
    // The single-instance lock; empty: "melodrop.lock" in the user's runtime folder.
    QString lockFilePath;
    // The lock, when the program took it before the desktop existed (to hand a second start
    // over to the running one at once); it is then held for the desktop's life.
    std::shared_ptr<InstanceLock> heldLock;
    // Whether the desktop has a notification area; empty: ask Qt.
    std::function<bool()> trayAvailable;
    // Ends the process; empty: at once, without running anything further.
    std::function<void()> endProcess;
};

class QtDesktop : public QObject, public Desktop {
    Q_OBJECT
public:
    explicit QtDesktop(QtDesktopOptions options = {});
    ~QtDesktop() override;

    // The player window whose states this desktop drives (created after the program's logic).
    void setPlayerWindow(PlayerWindow* window);
    PlayerWindow* playerWindow() const { return player_; }

    void showIntro() override;
    void closeIntro() override;
    bool anotherInstanceRunning() override;

    void minimizePlayer() override;
    void restorePlayer() override;
    void showPlayer() override;
    void hidePlayer() override;
    bool isPlayerVisible() override;
    bool isPlayerMinimized() override;
    void setPlayerOnTop(bool onTop) override;

    MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons) override;
    QString prompt(const QString& text, const QString& title) override;
    QString openFileDialog(const QString& title, const QString& filter,
                           const QString& initialFolder) override;
    QString saveFileDialog(const QString& title, const QString& filter, const QString& fileName,
                           const QString& initialFolder) override;

    void showFolderDialog() override;
    void hideFolderDialog() override;
    void showUpdateNotice() override;
    void hideUpdateNotice() override;

    bool openWithShell(const QString& path) override;
    bool startProgram(const QString& path) override;

    bool addTrayIcon(const QString& tip) override;
    bool removeTrayIcon() override;

    void quit() override;

    // Where the MP3 folder dialog opens: the program's current MP3 folder.
    void setMp3FolderSource(std::function<QString()> mp3Folder) {
        mp3Folder_ = std::move(mp3Folder);
    }
    // Between "- minimize to systray" and the tray icon's click (the window waits in the tray,
    // or in the task bar where there is no tray).
    bool hiddenToTray() const { return trayWanted_; }
    // The tray icon's tooltip, while the icon shows.
    QString trayToolTipText() const;
    // How the chat client is reached, in a few words, for the tray icon's tooltip.
    void setLinkSummary(const QString& summary);

    // The windows, once they exist (for tests and the room window's placement).
    FolderDialog* folderDialog() const { return folderDialog_.get(); }
    UpdateNoticeWindow* updateNotice() const { return notice_.get(); }
    IntroWindow* introWindow() const { return intro_.get(); }
    QSystemTrayIcon* trayIcon() const { return tray_.get(); }

signals:
    // A left click on the tray icon, or the window brought back from the task bar while it
    // stood in for a missing tray.
    void trayLeftPressed();
    void folderDialogOk(const QString& folder);
    void folderDialogCancel();

private:
    bool trayAvailable() const;
    void showTrayToolTip();

    QtDesktopOptions options_;
    QPointer<PlayerWindow> player_;
    // The program's own windows, made when first shown; the player window belongs to the caller.
    std::unique_ptr<FolderDialog> folderDialog_;
    std::unique_ptr<UpdateNoticeWindow> notice_;
    std::unique_ptr<IntroWindow> intro_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    bool trayWanted_ = false;  // between add and remove
    QString trayTip_;          // the program's tip for the tray icon
    QString nowPlaying_;       // what plays, as the player window tells it
    QString linkSummary_;      // how the chat client is reached
    std::shared_ptr<InstanceLock> lock_;
    std::function<QString()> mp3Folder_;
    bool pendingOnTop_ = true;
};

// Routes the desktop's signals to the program's logic, and tells the desktop the program's MP3
// folder.
void connectToMelodrop(QtDesktop& desktop, Melodrop& melodrop);

}  // namespace melodrop::ui
