#include "simroom/RoomChatter.h"

#include <algorithm>
#include <cmath>

#include "aol/sim/SimClient.h"

namespace melodrop::simroom {

RoomChatter::RoomChatter(aol::sim::SimClient& sim, Clock& clock, quint32 seed, QObject* parent)
    : QObject(parent), sim_(sim), timer_(clock.createTimer()), random_(seed) {
    timer_->onTick = [this] {
        speak();
        arm();
    };
}

RoomChatter::~RoomChatter() = default;

const QStringList& RoomChatter::cannedLines() {
    static const QStringList lines = {
        QStringLiteral("hey everybody :-)"),
        QStringLiteral("what's everyone listening to tonight?"),
        QStringLiteral("lol"),
        QStringLiteral("brb, getting a soda"),
        QStringLiteral("anyone going to the show on friday?"),
        QStringLiteral("this song is stuck in my head all day"),
        QStringLiteral("wb!"),
        QStringLiteral("haha no way"),
        QStringLiteral("who likes old school hip hop?"),
        QStringLiteral("it's so quiet in here"),
        QStringLiteral("my modem keeps dropping, ugh"),
        QStringLiteral("good music in here tonight"),
        QStringLiteral("hi all, just got home"),
        QStringLiteral("anyone know a good band like that?"),
    };
    return lines;
}

void RoomChatter::setEnabled(bool enabled) {
    if (enabled == isEnabled()) return;
    if (enabled)
        arm();
    else
        timer_->setEnabled(false);
    emit enabledChanged(enabled);
}

bool RoomChatter::isEnabled() const {
    return timer_->isEnabled();
}

void RoomChatter::setPace(double shortestSeconds, double longestSeconds) {
    shortest_ = std::max(0.001, std::min(shortestSeconds, longestSeconds));
    longest_ = std::max(shortest_, std::max(shortestSeconds, longestSeconds));
    if (isEnabled()) arm();
}

void RoomChatter::arm() {
    const double seconds = shortest_ + (longest_ - shortest_) * random_.generateDouble();
    timer_->setInterval(std::max(1, static_cast<int>(std::lround(seconds * 1000.0))));
    timer_->setEnabled(true);
}

void RoomChatter::speak() {
    const std::string user = sim_.signedOnUser();
    std::vector<std::string> others;
    for (const aol::sim::MemberInfo& member : sim_.members())
        if (member.name != user) others.push_back(member.name);
    if (others.empty()) return;
    const std::string& who = others[random_.bounded(static_cast<quint32>(others.size()))];
    const QStringList& lines = cannedLines();
    const QString& line = lines.at(random_.bounded(static_cast<quint32>(lines.size())));
    sim_.memberSays(who, line.toStdString());
}

}  // namespace melodrop::simroom
