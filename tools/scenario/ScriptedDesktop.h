#pragma once
// The desktop of a scenario: the player window's states go to the real (offscreen) player
// window, and every question the program asks is answered from the scenario's queue of answers
// and logged. A question with no fitting answer queued is a fault of the scenario; it is noted
// (and answered the cautious way: No, Cancel) so that the runner can report it after the step.
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "base/Desktop.h"

namespace melodrop::ui {
class PlayerWindow;
}

namespace melodrop::scenario {

struct Answer {
    enum class Kind { Yes, No, Ok, Cancel, Text, File };
    Kind kind = Kind::Ok;
    QString value;  // Text and File
    int line = 0;   // where the scenario queued it
};

struct DialogSeen {
    QString kind;  // "message", "question", "prompt", "open file", "save file"
    QString title;
    QString text;  // the message or prompt; the dialog's title for file dialogs
    QString answer;
    QString icon = QStringLiteral("none");  // information, question, warning, critical, none
};

class ScriptedDesktop : public Desktop {
public:
    void setPlayerWindow(ui::PlayerWindow* window);
    // A (new) run of the program starts with this window: the desktop answers again, and what
    // the last run showed (its tray icon, dialogs, notice) went with its process.
    void programStarted(ui::PlayerWindow* window);
    void queue(const Answer& answer) { answers_ << answer; }
    const QList<Answer>& pendingAnswers() const { return answers_; }
    const QList<DialogSeen>& dialogs() const { return dialogs_; }
    // The first question that found no fitting answer since the last call.
    std::optional<QString> takeProblem();

    void showIntro() override { introShown_ = true; }
    void closeIntro() override { introShown_ = false; }
    bool anotherInstanceRunning() override { return false; }

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

    void showFolderDialog() override { folderDialogShown_ = true; }
    void hideFolderDialog() override { folderDialogShown_ = false; }
    void showUpdateNotice() override { noticeShown_ = true; }
    void hideUpdateNotice() override { noticeShown_ = false; }

    bool openWithShell(const QString& path) override;
    bool startProgram(const QString& path) override;

    bool addTrayIcon(const QString& tip) override;
    bool removeTrayIcon() override;

    void quit() override;

    bool folderDialogShown() const { return folderDialogShown_; }
    bool noticeShown() const { return noticeShown_; }
    bool trayIconShown() const { return trayIcon_; }
    QString trayTip() const { return trayTip_; }
    const QStringList& shellRequests() const { return shell_; }  // "open PATH", "start PATH"

    // Runs when the program ends itself. After that the desktop answers nothing and logs
    // nothing: the program is gone.
    std::function<void()> onQuit;

private:
    QString fileDialog(const QString& kind, const QString& title);
    void note(const QString& problem);
    // Why a question found no answer: none queued, or the next one is of another kind.
    QString missingAnswer() const;
    static QString describe(const Answer& answer);

    QPointer<ui::PlayerWindow> window_;
    QList<Answer> answers_;
    QList<DialogSeen> dialogs_;
    std::optional<QString> problem_;
    bool introShown_ = false;
    bool folderDialogShown_ = false;
    bool noticeShown_ = false;
    bool trayIcon_ = false;
    QString trayTip_;
    QStringList shell_;
    bool pendingOnTop_ = false;
    bool ended_ = false;
};

}  // namespace melodrop::scenario
