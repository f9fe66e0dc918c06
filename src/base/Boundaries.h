#pragma once
// What the program runs on, as whoever builds it chose: the real program, the scenario runner,
// the test rig and the benchmarks each fill these fields and hand them to program/Assembly,
// which builds the rest of the program on them.
#include <QString>
#include <functional>
#include <optional>

#include "aol/WindowSystem.h"
#include "base/Clock.h"
#include "base/Desktop.h"
#include "base/MediaPlayer.h"
#include "base/SettingsStore.h"
#include "locations/FileLocations.h"
#include "net/WebTransfer.h"

namespace melodrop {

// How the chat scanners learn that the room has new lines.
struct ScannerMode {
    // A client that tells of its changes: called once with the function to call after each of
    // them; the scanners then look only when told. Unset: the scanners poll.
    std::function<void(std::function<void()> changed)> toldOfChanges = {};
    // When they poll, how often they look at a quiet room (milliseconds); unset: the watch's own
    // quiet interval.
    std::optional<int> quietPollMilliseconds = {};
};

struct Boundaries {
    SettingsStore& settings;
    MediaPlayer& player;
    Desktop& desktop;
    Clock& clock;
    aol::WindowSystem& windows;  // the chat client
    WebTransfer& web;
    FileLocations files;  // where skins, commands.txt and immune.txt are
    QString serverBase;   // the update and skin server: scheme and host
    ScannerMode scanners;
};

}  // namespace melodrop
