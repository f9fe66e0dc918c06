#include "scenario/ScriptedDesktop.h"

#include "ui/PlayerWindow.h"

namespace melodrop::scenario {

void ScriptedDesktop::setPlayerWindow(ui::PlayerWindow* window) {
    window_ = window;
    if (window_) window_->setOnTop(pendingOnTop_);
}

void ScriptedDesktop::programStarted(ui::PlayerWindow* window) {
    ended_ = false;
    trayIcon_ = false;
    folderDialogShown_ = false;
    noticeShown_ = false;
    introShown_ = false;
    setPlayerWindow(window);
}

std::optional<QString> ScriptedDesktop::takeProblem() {
    auto problem = problem_;
    problem_.reset();
    return problem;
}

void ScriptedDesktop::note(const QString& problem) {
    if (!problem_) problem_ = problem;
}

QString ScriptedDesktop::describe(const Answer& answer) {
    switch (answer.kind) {
        case Answer::Kind::Yes:
            return QStringLiteral("`answer yes`");
        case Answer::Kind::No:
            return QStringLiteral("`answer no`");
        case Answer::Kind::Ok:
            return QStringLiteral("`answer ok`");
        case Answer::Kind::Cancel:
            return QStringLiteral("`answer cancel`");
        case Answer::Kind::Text:
            return QStringLiteral("`answer text %1`").arg(answer.value);
        case Answer::Kind::File:
            return QStringLiteral("`answer file %1`").arg(answer.value);
    }
    return {};
}

QString ScriptedDesktop::missingAnswer() const {
    if (answers_.isEmpty()) return QStringLiteral("no answer was queued");
    return QStringLiteral("the next answer queued is %1 (line %2)")
        .arg(describe(answers_.first()))
        .arg(answers_.first().line);
}

// ---- the player window ----

void ScriptedDesktop::minimizePlayer() {
    if (window_ && !ended_) window_->minimizeWindow();
}

void ScriptedDesktop::restorePlayer() {
    if (window_ && !ended_) window_->restoreWindow();
}

void ScriptedDesktop::showPlayer() {
    if (window_ && !ended_) window_->show();
}

void ScriptedDesktop::hidePlayer() {
    if (window_ && !ended_) window_->hide();
}

bool ScriptedDesktop::isPlayerVisible() {
    return window_ && window_->isVisible();
}

bool ScriptedDesktop::isPlayerMinimized() {
    return window_ && window_->isMinimized();
}

void ScriptedDesktop::setPlayerOnTop(bool onTop) {
    pendingOnTop_ = onTop;
    if (window_ && !ended_) window_->setOnTop(onTop);
}

// ---- questions ----

namespace {
QString iconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QStringLiteral("none");
        case MessageIcon::Information:
            return QStringLiteral("information");
        case MessageIcon::Question:
            return QStringLiteral("question");
        case MessageIcon::Warning:
            return QStringLiteral("warning");
        case MessageIcon::Critical:
            return QStringLiteral("critical");
    }
    return QStringLiteral("none");
}
}  // namespace

MessageAnswer ScriptedDesktop::messageBox(const QString& text, const QString& title,
                                          MessageIcon icon, MessageButtons buttons) {
    const bool yesNo = buttons == MessageButtons::YesNo;
    if (ended_) return yesNo ? MessageAnswer::No : MessageAnswer::Ok;
    DialogSeen seen{yesNo ? QStringLiteral("question") : QStringLiteral("message"),
                    title,
                    text,
                    {},
                    iconName(icon)};
    MessageAnswer result = MessageAnswer::Ok;
    if (!yesNo) {
        // A message with only OK needs no answer; a queued `answer ok` is taken if it is next.
        if (!answers_.isEmpty() && answers_.first().kind == Answer::Kind::Ok)
            answers_.removeFirst();
        seen.answer = QStringLiteral("OK");
    } else if (!answers_.isEmpty() && (answers_.first().kind == Answer::Kind::Yes ||
                                       answers_.first().kind == Answer::Kind::No)) {
        const bool yes = answers_.takeFirst().kind == Answer::Kind::Yes;
        result = yes ? MessageAnswer::Yes : MessageAnswer::No;
        seen.answer = yes ? QStringLiteral("Yes") : QStringLiteral("No");
    } else {
        note(QStringLiteral("the program asked \"%1\" (Yes or No), but %2")
                 .arg(text, missingAnswer()));
        result = MessageAnswer::No;
        seen.answer = QStringLiteral("No (unanswered)");
    }
    dialogs_ << seen;
    return result;
}

QString ScriptedDesktop::prompt(const QString& text, const QString& title) {
    if (ended_) return {};
    DialogSeen seen{QStringLiteral("prompt"), title, text, {}};
    QString result;
    if (!answers_.isEmpty() && answers_.first().kind == Answer::Kind::Text) {
        result = answers_.takeFirst().value;
        seen.answer = QStringLiteral("text: ") + result;
    } else if (!answers_.isEmpty() && answers_.first().kind == Answer::Kind::Cancel) {
        answers_.removeFirst();
        seen.answer = QStringLiteral("Cancel");
    } else {
        note(QStringLiteral("the program asked for text: \"%1\", but %2")
                 .arg(text, missingAnswer()));
        seen.answer = QStringLiteral("Cancel (unanswered)");
    }
    dialogs_ << seen;
    return result;
}

QString ScriptedDesktop::fileDialog(const QString& kind, const QString& title) {
    if (ended_) return {};
    DialogSeen seen{kind, title, title, {}};
    QString result;
    if (!answers_.isEmpty() && answers_.first().kind == Answer::Kind::File) {
        result = answers_.takeFirst().value;
        seen.answer = QStringLiteral("file: ") + result;
    } else if (!answers_.isEmpty() && answers_.first().kind == Answer::Kind::Cancel) {
        answers_.removeFirst();
        seen.answer = QStringLiteral("Cancel");
    } else {
        note(QStringLiteral("the program showed the %1 dialog \"%2\", but %3")
                 .arg(kind, title, missingAnswer()));
        seen.answer = QStringLiteral("Cancel (unanswered)");
    }
    dialogs_ << seen;
    return result;
}

QString ScriptedDesktop::openFileDialog(const QString& title, const QString&, const QString&) {
    return fileDialog(QStringLiteral("open file"), title);
}

QString ScriptedDesktop::saveFileDialog(const QString& title, const QString&, const QString&,
                                        const QString&) {
    return fileDialog(QStringLiteral("save file"), title);
}

// ---- shell, tray, end ----

bool ScriptedDesktop::openWithShell(const QString& path) {
    shell_ << QStringLiteral("open ") + path;
    return true;
}

bool ScriptedDesktop::startProgram(const QString& path) {
    shell_ << QStringLiteral("start ") + path;
    return true;
}

bool ScriptedDesktop::addTrayIcon(const QString& tip) {
    if (ended_) return false;
    trayIcon_ = true;
    trayTip_ = tip;
    return true;
}

bool ScriptedDesktop::removeTrayIcon() {
    trayIcon_ = false;
    return true;
}

void ScriptedDesktop::quit() {
    if (ended_) return;
    ended_ = true;
    if (onQuit) onQuit();
}

}  // namespace melodrop::scenario
