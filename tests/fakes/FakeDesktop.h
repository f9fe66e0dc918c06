#pragma once
#include <QQueue>
#include <QStringList>
#include <functional>

#include "base/Desktop.h"

namespace melodrop::testing {

// Answers the program's questions from scripted queues and records every request as a line:
// "minimize", "restore", "show", "hide", "ontop true", "message <title>|<text>",
// "prompt <title>|<text>", "open <title>|<filter>|<folder>", "save
// <title>|<filter>|<name>|<folder>", "intro", "close intro", "folder dialog", "hide folder dialog",
// "notice", "hide notice", "shell <path>", "start <path>", "tray add <tip>", "tray remove", "quit".
// An empty queue answers: Ok/Yes for messages, "" for prompts and dialogs.
class FakeDesktop : public Desktop {
public:
    void showIntro() override;
    void closeIntro() override;
    bool anotherInstanceRunning() override { return otherInstance; }
    void minimizePlayer() override;
    void restorePlayer() override;
    void showPlayer() override;
    void hidePlayer() override;
    bool isPlayerVisible() override { return visible; }
    bool isPlayerMinimized() override { return minimized; }
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

    // Lines of one kind only, e.g. requestsStartingWith("message ").
    QStringList requestsStartingWith(const QString& prefix) const;

    QStringList requests;
    QQueue<MessageAnswer> messageAnswers;
    QQueue<QString> promptAnswers;
    QQueue<QString> fileAnswers;
    QList<MessageIcon> messageIcons;  // the icon of every message box, in order
    // Runs while a modal question is up (after it was recorded, before it is answered).
    std::function<void()> whileModal;

    bool visible = false;
    bool minimized = false;
    bool onTop = false;
    bool trayIcon = false;
    bool folderDialogShown = false;
    bool noticeShown = false;
    bool quitRequested = false;
    bool introShown = false;
    bool otherInstance = false;
};

}  // namespace melodrop::testing
