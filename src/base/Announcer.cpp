#include "base/Announcer.h"

#include "base/ChatText.h"

namespace melodrop {

Announcer::Announcer(aol::Quartzline& aol, const OptionsState& state, QString downloadPage)
    : aol_(aol), state_(state), downloadPage_(std::move(downloadPage)) {}

void Announcer::announce(Announcement kind, const QString& value) {
    if (!state_.advertise && !sentAlways(kind)) return;
    send(announcementLine(kind, value));
}

void Announcer::send(const QString& line) {
    aol_.ChatSend(readableInChatRoom(line).toStdString());
}

}  // namespace melodrop
