#pragma once
// The volume slider's level, 0 to 100, and the media player's volume for it, in hundredths of a
// decibel: level x 25 - 2500 (level 0 gives -2500, which is -25 dB; level 100 gives 0, full). A
// level that is not whole reaches the player rounded in one of two ways.

namespace melodrop {

// level x 25 - 2500, rounded to the nearest whole number, halves to the even neighbour: the
// slider, the set-volume item and the stored level at start-up.
int playerVolumeRounded(double level);
// level x 25 - 2500 written out as text with 15 significant digits (so that binary noise does
// not decide a half), then rounded as above: the vol chat command.
int playerVolumeThroughText(double level);
// The slider's position for a level: the nearest whole number, halves to the even neighbour.
int sliderPositionFor(double level);

}  // namespace melodrop
