#pragma once
// Where everything sits on the player window, in twips from its top left corner, and how the
// hot areas react. The widgets convert to pixels with toPixels(); nothing else knows the numbers.
#include <QRect>
#include <QString>
#include <array>

namespace melodrop::ui {

// 15 twips make one pixel at the standard density. Edges are rounded separately so that
// neighbouring areas keep their shared edges.
QRect toPixels(int leftTwips, int topTwips, int widthTwips, int heightTwips);
int twipsToPixels(int twips);

// What a hot area answers to.
enum class HotEvent { LeftPress, Click };

enum class HotAction {
    Options,
    TitleBar,
    Exit,
    Play,
    Pause,
    Stop,
    Rewind,
    Previous,
    Next,
    FastForward
};

struct HotAreaSpec {
    const char* name;              // the control's name, also its objectName
    int left, top, width, height;  // twips
    const char* tooltip;           // nullptr: set by the roll state
    HotEvent event;
    HotAction action;
    const char* accessibleName;  // what assistive tools call it
    const char* description;     // and what they say it does
    QRect pixels() const { return toPixels(left, top, width, height); }
};

// In creation order: later areas lie above earlier ones where they overlap. The order is also
// the order of the Tab key.
inline constexpr std::array<HotAreaSpec, 10> kHotAreas{{
    {"lblOptions", 0, 0, 285, 195, "click for options", HotEvent::LeftPress, HotAction::Options,
     "Options", "Opens the options menu (also the Menu key or Shift+F10)"},
    {"lblTitleBar", 240, 0, 1695, 255, nullptr, HotEvent::LeftPress, HotAction::TitleBar,
     "Title band", "Drag to move the window; a double-click or Enter rolls it up or down"},
    {"lblExit", 1920, 0, 255, 255, "exit", HotEvent::LeftPress, HotAction::Exit, "Exit",
     "Asks, then ends melodrop"},
    {"lblPlay", 0, 1180, 180, 135, "play", HotEvent::Click, HotAction::Play, "Play",
     "Plays the selected file (the first when none is), or resumes a paused one"},
    {"lblPause", 170, 1180, 135, 135, "pause", HotEvent::Click, HotAction::Pause, "Pause",
     "Pauses the playing file"},
    {"lblStop", 330, 1200, 135, 135, "stop", HotEvent::Click, HotAction::Stop, "Stop",
     "Stops the playing file"},
    {"lblRewind", 480, 1190, 170, 135, "rewind", HotEvent::Click, HotAction::Rewind, "Rewind",
     "Goes back 5 seconds"},
    {"lbPrevious", 620, 1180, 135, 135, "previous", HotEvent::Click, HotAction::Previous,
     "Previous", "Plays the file before the selected one"},
    {"lblForward", 760, 1180, 170, 135, "next", HotEvent::Click, HotAction::Next, "Next",
     "Plays the file after the selected one"},
    {"lblFastForward", 920, 1190, 170, 135, "fast forward", HotEvent::Click, HotAction::FastForward,
     "Fast forward", "Goes ahead 5 seconds"},
}};

const HotAreaSpec& hotArea(HotAction action);

// The file list and the volume slider.
inline QRect trackListRect() {
    return toPixels(60, 247, 2120, 855);
}
inline QRect volumeSliderRect() {
    return toPixels(1170, 1170, 975, 135);
}
inline const QString kVolumeTooltip = QStringLiteral("volume");

}  // namespace melodrop::ui
