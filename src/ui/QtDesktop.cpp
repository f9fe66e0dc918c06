#include "ui/QtDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

#include "program/Melodrop.h"
#include "ui/AppIcon.h"
#include "ui/FileDialogFilter.h"
#include "ui/FolderDialog.h"
#include "ui/FolderList.h"
#include "ui/IntroWindow.h"
#include "ui/NowPlaying.h"
#include "ui/PlayerWindow.h"
#include "ui/UpdateNoticeWindow.h"

namespace melodrop::ui {

namespace {

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Message texts separate their lines with a carriage return alone.
QString displayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

QtDesktop::QtDesktop(QtDesktopOptions options) : options_(std::move(options)) {
    if (options_.lockFilePath.isEmpty()) options_.lockFilePath = instanceLockPath();
    lock_ = std::move(options_.heldLock);
    if (!options_.endProcess)
        options_.endProcess = [] {
            std::fflush(nullptr);
            std::_Exit(0);
        };
}

QtDesktop::~QtDesktop() = default;

void QtDesktop::setPlayerWindow(PlayerWindow* window) {
    player_ = window;
    if (!player_) return;
    player_->setOnTop(pendingOnTop_);
    connect(player_, &PlayerWindow::restoredFromTaskbar, this, &QtDesktop::trayLeftPressed);
    nowPlaying_ = player_->nowPlaying();
    connect(player_, &PlayerWindow::nowPlayingChanged, this, [this](const QString& text) {
        nowPlaying_ = text;
        showTrayToolTip();
    });
}

// ---- start-up ----

void QtDesktop::showIntro() {
    if (!intro_) intro_ = std::make_unique<IntroWindow>();
    intro_->showCentred();
}

void QtDesktop::closeIntro() {
    if (!intro_) return;
    intro_->close();
    // Closing may come from inside one of the splash's own handlers: it goes when they are done.
    intro_.release()->deleteLater();
}

bool QtDesktop::anotherInstanceRunning() {
    // Held for the program's whole life. A lock file that cannot be made says nothing about
    // other instances and does not stop the start.
    if (!lock_) lock_ = std::make_shared<InstanceLock>(options_.lockFilePath);
    return lock_->take() == InstanceLock::Outcome::HeldElsewhere;
}

// ---- the player window ----

void QtDesktop::minimizePlayer() {
    if (player_ && !player_->isInTaskbar()) player_->minimizeWindow();
}

void QtDesktop::restorePlayer() {
    if (!player_) return;
    player_->leaveTaskbar();
    player_->restoreWindow();
}

void QtDesktop::showPlayer() {
    if (!player_) return;
    if (player_->isInTaskbar()) {
        player_->leaveTaskbar();
        player_->restoreWindow();
        return;
    }
    player_->show();
    player_->raise();
}

void QtDesktop::hidePlayer() {
    if (!player_) return;
    // Without a tray icon to come back through, the window waits in the task bar instead.
    if (trayWanted_ && !(tray_ && tray_->isVisible()))
        player_->minimizeToTaskbar();
    else
        player_->hide();
}

bool QtDesktop::isPlayerVisible() {
    return player_ && player_->isVisible() && !player_->isInTaskbar();
}

bool QtDesktop::isPlayerMinimized() {
    return player_ && player_->isMinimized() && !player_->isInTaskbar();
}

void QtDesktop::setPlayerOnTop(bool onTop) {
    pendingOnTop_ = onTop;
    if (player_) player_->setOnTop(onTop);
}

// ---- questions and messages ----

MessageAnswer QtDesktop::messageBox(const QString& text, const QString& title, MessageIcon icon,
                                    MessageButtons buttons) {
    QMessageBox box(
        toQt(icon), title, displayText(text),
        buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowIcon(appIcon());
    // Above the player, which may itself be topmost.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MessageButtons::YesNo) {
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

QString QtDesktop::prompt(const QString& text, const QString& title) {
    QInputDialog dialog;
    dialog.setObjectName(QStringLiteral("prompt"));
    dialog.setWindowTitle(title);
    dialog.setWindowIcon(appIcon());
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setLabelText(text);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue();
}

QString QtDesktop::openFileDialog(const QString& title, const QString& filter,
                                  const QString& initialFolder) {
    const QString path =
        QFileDialog::getOpenFileName(nullptr, title, initialFolder, toQtFileFilter(filter));
    return QDir::toNativeSeparators(path);
}

QString QtDesktop::saveFileDialog(const QString& title, const QString& filter,
                                  const QString& fileName, const QString& initialFolder) {
    const QString proposed =
        initialFolder.isEmpty() ? fileName : QDir(initialFolder).filePath(fileName);
    const QString path =
        QFileDialog::getSaveFileName(nullptr, title, proposed, toQtFileFilter(filter));
    return QDir::toNativeSeparators(path);
}

// ---- the program's own windows ----

void QtDesktop::showFolderDialog() {
    if (!folderDialog_) {
        folderDialog_ = std::make_unique<FolderDialog>();
        connect(folderDialog_.get(), &FolderDialog::okPressed, this, &QtDesktop::folderDialogOk);
        connect(folderDialog_.get(), &FolderDialog::cancelPressed, this,
                &QtDesktop::folderDialogCancel);
    }
    // It opens at the MP3 folder; one that cannot be opened leaves it where it was.
    if (mp3Folder_) folderDialog_->folderList()->setPath(mp3Folder_());
    folderDialog_->showCentred();
}

void QtDesktop::hideFolderDialog() {
    if (folderDialog_) folderDialog_->hide();
}

void QtDesktop::showUpdateNotice() {
    if (!notice_) notice_ = std::make_unique<UpdateNoticeWindow>();
    notice_->showCentred();
}

void QtDesktop::hideUpdateNotice() {
    if (notice_) notice_->hide();
}

// ---- the shell ----

bool QtDesktop::openWithShell(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)));
}

bool QtDesktop::startProgram(const QString& path) {
    return QProcess::startDetached(QDir::fromNativeSeparators(path), {});
}

// ---- the tray ----

bool QtDesktop::trayAvailable() const {
    return options_.trayAvailable ? options_.trayAvailable()
                                  : QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtDesktop::addTrayIcon(const QString& tip) {
    trayWanted_ = true;
    if (!trayAvailable()) return false;
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(appIcon());
        connect(tray_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    // Only the left button brings the window back; the others do nothing.
                    if (reason == QSystemTrayIcon::Trigger) emit trayLeftPressed();
                });
    }
    trayTip_ = tip;
    showTrayToolTip();
    tray_->show();
    return true;
}

QString QtDesktop::trayToolTipText() const {
    return trayToolTip(trayTip_, nowPlaying_, linkSummary_);
}

void QtDesktop::setLinkSummary(const QString& summary) {
    linkSummary_ = summary;
    showTrayToolTip();
}

void QtDesktop::showTrayToolTip() {
    if (tray_) tray_->setToolTip(trayToolTipText());
}

bool QtDesktop::removeTrayIcon() {
    trayWanted_ = false;
    if (!tray_) return false;
    tray_->hide();
    return true;
}

void QtDesktop::quit() {
    removeTrayIcon();
    if (lock_) lock_->release();
    options_.endProcess();
}

void connectToMelodrop(QtDesktop& desktop, Melodrop& melodrop) {
    QObject::connect(&desktop, &QtDesktop::trayLeftPressed, &melodrop,
                     [&melodrop] { melodrop.trayLeftPressed(); });
    QObject::connect(&desktop, &QtDesktop::folderDialogOk, &melodrop,
                     [&melodrop](const QString& folder) { melodrop.folderDialogOk(folder); });
    QObject::connect(&desktop, &QtDesktop::folderDialogCancel, &melodrop,
                     [&melodrop] { melodrop.folderDialogCancel(); });
    const ClientLink& link = melodrop.context().link;
    desktop.setLinkSummary(link.summary());
    QObject::connect(&link, &ClientLink::changed, &desktop,
                     [&desktop, &link] { desktop.setLinkSummary(link.summary()); });
    desktop.setMp3FolderSource([&melodrop] {
        // The folder the list shows when the stored one could not be listed.
        const QString stored = melodrop.state().txtMP3sPath;
        return QDir(stored).exists() ? stored : melodrop.tracks().folder();
    });
}

}  // namespace melodrop::ui
