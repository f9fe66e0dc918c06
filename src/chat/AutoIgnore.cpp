#include "chat/AutoIgnore.h"

#include "options/NumberText.h"

namespace melodrop {

AutoIgnore::AutoIgnore(Context& ctx) : ctx_(ctx) {
    connection_ =
        QObject::connect(&ctx_.chat1, &ChatScanner::ChatLine,
                         [this](const QString& name, const QString&) { handleLine(name); });
}

AutoIgnore::~AutoIgnore() {
    QObject::disconnect(connection_);
}

bool AutoIgnore::immune(const QString& speaker) const {
    // An entry protects every member whose lower-cased name it contains, as stored.
    const QString lower = speaker.toLower();
    for (const QString& entry : ctx_.state.lstImmune)
        if (entry.contains(lower)) return true;
    return false;
}

void AutoIgnore::handleLine(const QString& screenName) {
    // The user's own lines neither count nor break a run.
    if (screenName == QString::fromStdString(ctx_.aol.GetUser())) return;
    // A line that arrives while automatic ignoring is off (the scanner was restarted by the end
    // of an earlier ignore) is not counted.
    const std::optional<double> threshold = parseNumber(ctx_.state.Label1);
    if (!threshold) return;
    if (!flood_.countLine(screenName, *threshold)) return;

    const QString speaker = flood_.lastSpeaker();
    if (immune(speaker)) return;  // the run goes on growing and does not trigger again
    ctx_.announcer.announce(Announcement::AutoIgnoring, speaker);
    ctx_.chat1.ScanOff();
    ctx_.chat1.setTag(QStringLiteral("off"));
    // The flood state starts afresh before the ignore: it pumps events, and once it has found
    // the member it restarts this scanner, whose lines must count from a clean state.
    flood_.restart();
    ctx_.aol.ChatIgnore(speaker.toStdString());
}

}  // namespace melodrop
