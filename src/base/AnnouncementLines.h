#pragma once
// The text of every line melodrop says in the chat room. An ordinary line is
// head + label + value opener + value + tail; the value is inserted as it is (no escaping),
// lower-cased where the kind says so.
#include <QString>

namespace melodrop {

enum class Announcement {
    // Lines that carry a value.
    Playing,
    Random,
    Previous,
    Pausing,
    Paused,
    Upaused,
    Stopped,
    Song,
    FastForward,
    Rewind,
    SetVolume,
    Volume,
    SetDir,
    Dir,
    SetTrigger,
    Trigger,
    Handle,
    PrivateRoom,
    Ignored,
    Unignored,
    AutoIgnoring,
    SetAutoXer,
    Immuned,
    Unimmuned,
    SkinChanged,
    // Lines whose value is part of the line.
    Mp3ListRefreshed,
    SetContinuousOn,
    SetContinuousOff,
    SetRandomOn,
    SetRandomOff,
    SetIdleOff,
    SetIdleLinkerOn,
    SetIdleLinkerOff,
    SetImsOn,
    SetImsOff,
    SetAutoXerOff,
    ViewingImmune,
    ViewingChatCommands,
    MelodropShown,
    MelodropMinimized,
};

// Lower-casing of values: the locale's conversion of the whole text (the system locale unless
// the program set another default), as the user's language lower-cases it ("I" is "\u0131"
// in Turkish).
QString lowered(const QString& text);

// The whole line of a kind; the value is ignored by the kinds whose value is part of the line.
QString announcementLine(Announcement kind, const QString& value = {});
// True for the kinds sent whatever the advertise option says.
bool sentAlways(Announcement kind);

// Lines of their own layout.
QString idleOnLine(const QString& reason);
QString idleMinuteLine(const QString& handle, const QString& reason, const QString& days,
                       const QString& hours, const QString& minutes);
QString idleLinkerMinuteLine(const QString& handle, const QString& url, const QString& urlText,
                             const QString& days, const QString& hours, const QString& minutes);
QString loadedBanner();
QString unloadedBanner();
QString userLine(const QString& handle, int mp3Count, const QString& downloadPage);

}  // namespace melodrop
