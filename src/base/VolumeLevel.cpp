#include "base/VolumeLevel.h"

#include <QString>

#include "base/NumberText.h"

namespace melodrop {

namespace {
double playerVolume(double level) {
    return level * 25 - 2500;
}
}  // namespace

int playerVolumeRounded(double level) {
    return static_cast<int>(roundHalfEven(playerVolume(level)));
}

int playerVolumeThroughText(double level) {
    const QString text = QString::number(playerVolume(level), 'g', 15);
    return static_cast<int>(roundHalfEven(text.toDouble()));
}

int sliderPositionFor(double level) {
    return static_cast<int>(roundHalfEven(level));
}

}  // namespace melodrop
