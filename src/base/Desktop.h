#pragma once
// What the program's logic asks of its own windows and of the user: window states, message
// boxes, prompts, file dialogs, the shell and the tray. The program answers with Qt widgets;
// tests answer from a script and record every request.
#include <QString>

namespace melodrop {

// The title of the program's message boxes and prompts.
inline constexpr const char* kAppTitle = "melodrop";

// The tip of the tray icon while the player window is hidden to the tray.
inline const QString kTrayTip = QStringLiteral("melodrop by zeph");

enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class Desktop {
public:
    virtual ~Desktop() = default;

    // Start-up: the splash window (frmIntro) and the test for another running instance.
    virtual void showIntro() = 0;
    virtual void closeIntro() = 0;
    virtual bool anotherInstanceRunning() = 0;

    // The player window (frmMain).
    virtual void minimizePlayer() = 0;
    virtual void restorePlayer() = 0;  // back to its normal state, shown
    virtual void showPlayer() = 0;     // shown, not modal
    virtual void hidePlayer() = 0;
    virtual bool isPlayerVisible() = 0;
    virtual bool isPlayerMinimized() = 0;
    virtual void setPlayerOnTop(bool onTop) = 0;  // FormOnTop / FormNotOnTop

    // Modal questions and messages.
    virtual MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                                     MessageButtons buttons) = 0;
    // A text prompt with OK and Cancel; Cancel or an empty field gives "".
    virtual QString prompt(const QString& text, const QString& title) = 0;
    // "" when cancelled. filter is in the "Description (*.ext)|*.ext" form.
    virtual QString openFileDialog(const QString& title, const QString& filter,
                                   const QString& initialFolder) = 0;
    virtual QString saveFileDialog(const QString& title, const QString& filter,
                                   const QString& fileName, const QString& initialFolder) = 0;

    // The MP3 folder dialog (frmMP3Dir), not modal; its OK and Cancel come back to the program.
    virtual void showFolderDialog() = 0;
    virtual void hideFolderDialog() = 0;

    // The update notice window (frmUpdates).
    virtual void showUpdateNotice() = 0;
    virtual void hideUpdateNotice() = 0;

    // The shell: open a file with its default program; start a program. Results are not used.
    virtual bool openWithShell(const QString& path) = 0;
    virtual bool startProgram(const QString& path) = 0;

    // The tray icon with its tip; a left press on it comes back to the program.
    virtual bool addTrayIcon(const QString& tip) = 0;
    virtual bool removeTrayIcon() = 0;

    // Ends the program at once: no further handlers run.
    virtual void quit() = 0;

    // A message box and a prompt with the program's title.
    MessageAnswer message(const QString& text, MessageIcon icon = MessageIcon::Information,
                          MessageButtons buttons = MessageButtons::Ok) {
        return messageBox(text, QString::fromLatin1(kAppTitle), icon, buttons);
    }
    QString ask(const QString& text) { return prompt(text, QString::fromLatin1(kAppTitle)); }
};

}  // namespace melodrop
