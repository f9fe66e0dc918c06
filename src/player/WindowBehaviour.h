#pragma once
// The player window's own behaviour: rolling up to the title band and back, the exit question,
// hiding to the tray and coming back, and the about box.
#include <memory>

#include <functional>

#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/Clock.h"
#include "base/Desktop.h"
#include "base/Options.h"
#include "base/PlayerWindowModel.h"
#include "base/TrackList.h"

namespace melodrop {

class WindowBehaviour {
public:
    WindowBehaviour(Desktop& desktop, PlayerWindowModel& window, TrackList& tracks,
                    Options& options, Announcer& announcer, aol::Quartzline& aol, Clock& clock,
                    std::function<void()> quit);
    ~WindowBehaviour();

    // Sets the resting state directly, without animating (start-up).
    void setRolledUp(bool rolledUp);
    // Starts rolling up or down, by the caption of the `rollup` item.
    void rollToggle();
    // Asks, then says goodbye in the room and ends the program. Returns true when it ended.
    bool exit();

    void minimizeToTray();
    // The tray icon's mouse message as a horizontal coordinate in twips.
    void trayMouse(double xTwips);
    void trayLeftPressed();
    void about();

    // The about box's text for this build.
    static QString aboutText();

private:
    void rollUpTick();
    void rollDownTick();
    void rollFailed(bool rollingUp);

    Desktop& desktop_;
    PlayerWindowModel& window_;
    TrackList& tracks_;
    Options& options_;
    OptionsState& state_;
    Announcer& announcer_;
    aol::Quartzline& aol_;
    std::function<void()> quit_;
    std::unique_ptr<Timer> rollUpTimer_;    // Timer1
    std::unique_ptr<Timer> rollDownTimer_;  // Timer2
};

}  // namespace melodrop
