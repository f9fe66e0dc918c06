#include "fakes/FakeDesktop.h"

namespace melodrop::testing {

void FakeDesktop::showIntro() {
    requests << QStringLiteral("intro");
    introShown = true;
}

void FakeDesktop::closeIntro() {
    requests << QStringLiteral("close intro");
    introShown = false;
}

void FakeDesktop::minimizePlayer() {
    requests << QStringLiteral("minimize");
    minimized = true;
}

void FakeDesktop::restorePlayer() {
    requests << QStringLiteral("restore");
    minimized = false;
    visible = true;
}

void FakeDesktop::showPlayer() {
    requests << QStringLiteral("show");
    visible = true;
}

void FakeDesktop::hidePlayer() {
    requests << QStringLiteral("hide");
    visible = false;
}

void FakeDesktop::setPlayerOnTop(bool top) {
    requests << (top ? QStringLiteral("ontop true") : QStringLiteral("ontop false"));
    onTop = top;
}

MessageAnswer FakeDesktop::messageBox(const QString& text, const QString& title, MessageIcon icon,
                                      MessageButtons buttons) {
    requests << QStringLiteral("message ") + title + QLatin1Char('|') + text;
    messageIcons << icon;
    if (whileModal) whileModal();
    if (!messageAnswers.isEmpty()) return messageAnswers.dequeue();
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

QString FakeDesktop::prompt(const QString& text, const QString& title) {
    requests << QStringLiteral("prompt ") + title + QLatin1Char('|') + text;
    if (whileModal) whileModal();
    return promptAnswers.isEmpty() ? QString() : promptAnswers.dequeue();
}

QString FakeDesktop::openFileDialog(const QString& title, const QString& filter,
                                    const QString& initialFolder) {
    requests << QStringLiteral("open ") + title + QLatin1Char('|') + filter + QLatin1Char('|') +
                    initialFolder;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString FakeDesktop::saveFileDialog(const QString& title, const QString& filter,
                                    const QString& fileName, const QString& initialFolder) {
    requests << QStringLiteral("save ") + title + QLatin1Char('|') + filter + QLatin1Char('|') +
                    fileName + QLatin1Char('|') + initialFolder;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

void FakeDesktop::showFolderDialog() {
    requests << QStringLiteral("folder dialog");
    folderDialogShown = true;
}

void FakeDesktop::hideFolderDialog() {
    requests << QStringLiteral("hide folder dialog");
    folderDialogShown = false;
}

void FakeDesktop::showUpdateNotice() {
    requests << QStringLiteral("notice");
    noticeShown = true;
}

void FakeDesktop::hideUpdateNotice() {
    requests << QStringLiteral("hide notice");
    noticeShown = false;
}

bool FakeDesktop::openWithShell(const QString& path) {
    requests << QStringLiteral("shell ") + path;
    return true;
}

bool FakeDesktop::startProgram(const QString& path) {
    requests << QStringLiteral("start ") + path;
    return true;
}

bool FakeDesktop::addTrayIcon(const QString& tip) {
    requests << QStringLiteral("tray add ") + tip;
    trayIcon = true;
    return true;
}

bool FakeDesktop::removeTrayIcon() {
    requests << QStringLiteral("tray remove");
    trayIcon = false;
    return true;
}

void FakeDesktop::quit() {
    requests << QStringLiteral("quit");
    quitRequested = true;
}

QStringList FakeDesktop::requestsStartingWith(const QString& prefix) const {
    QStringList out;
    for (const QString& r : requests)
        if (r.startsWith(prefix)) out << r;
    return out;
}

}  // namespace melodrop::testing
