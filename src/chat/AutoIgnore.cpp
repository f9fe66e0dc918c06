#include "chat/AutoIgnore.h"

#include "base/NumberText.h"

namespace melodrop {

AutoIgnore::AutoIgnore(ChatScanner& chat1, OptionsState& state, Announcer& announcer,
                       aol::Quartzline& aol)
    : chat1_(chat1), state_(state), announcer_(announcer), aol_(aol) {
    connection_ =
        QObject::connect(&chat1_, &ChatScanner::ChatLine,
                         [this](const QString& name, const QString&) { handleLine(name); });
}

AutoIgnore::~AutoIgnore() {
    QObject::disconnect(connection_);
}

bool AutoIgnore::immune(const QString& speaker) const {
    // An entry protects every member whose lower-cased name it contains, as stored.
    const QString lower = speaker.toLower();
    for (const QString& entry : state_.lstImmune)
        if (entry.contains(lower)) return true;
    return false;
}

void AutoIgnore::handleLine(const QString& screenName) {
    // The user's own lines neither count nor break a run.
    if (screenName == QString::fromStdString(aol_.GetUser())) return;
    // A line that arrives while automatic ignoring is off (the scanner was restarted by the end
    // of an earlier ignore) is not counted.
    const std::optional<double> threshold = parseNumber(state_.Label1);
    if (!threshold) return;
    if (!flood_.countLine(screenName, *threshold)) return;

    const QString speaker = flood_.lastSpeaker();
    if (immune(speaker)) return;  // the run goes on growing and does not trigger again
    announcer_.announce(Announcement::AutoIgnoring, speaker);
    chat1_.ScanOff();
    chat1_.setTag(QStringLiteral("off"));
    // The flood state starts afresh before the ignore: it pumps events, and once it has found
    // the member it restarts this scanner, whose lines must count from a clean state.
    flood_.restart();
    aol_.ChatIgnore(speaker.toStdString());
}

}  // namespace melodrop
