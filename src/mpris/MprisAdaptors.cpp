#include "mpris/MprisAdaptors.h"

namespace melodrop::mpris {

RootAdaptor::RootAdaptor(QObject* object, MprisPlayer& player)
    : QDBusAbstractAdaptor(object), player_(player) {}

PlayerAdaptor::PlayerAdaptor(QObject* object, MprisPlayer& player)
    : QDBusAbstractAdaptor(object), player_(player) {
    connect(&player_, &MprisPlayer::seeked, this, &PlayerAdaptor::Seeked);
}

}  // namespace melodrop::mpris
