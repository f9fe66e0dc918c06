#pragma once
// A loaded program on the simulated room (members Bob and Alice123) with the trigger "/", random
// and continuous off and four MP3s; type() returns the lines the room got after a typed line.
#include <gtest/gtest.h>

#include "base/AnnouncementLines.h"
#include "fakes/TestRig.h"

namespace melodrop::testing {

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.settings.values["trig"] = "/";
        rig.settings.values["random"] = "false";
        rig.settings.values["continuous"] = "false";
        rig.addMp3s({"Alpha.mp3", "Beta Love.mp3", "Gamma.mp3", "love song.mp3"});
        m = &rig.load();
        clearRecords();
    }
    void clearRecords() {
        rig.takeLines();
        rig.player.calls.clear();
        rig.settings.writes.clear();
        rig.desktop.requests.clear();
    }
    QStringList type(const QString& line) {
        rig.userTypes(line);
        QStringList lines = rig.takeLines();
        if (!lines.isEmpty()) lines.removeFirst();  // the typed line itself
        return lines;
    }
    OptionsState& state() { return rig.ctx().state; }
    const QString& lblMP3Name() const { return m->lblMP3Name(); }
    static QString line(Announcement kind, const QString& value = {}) {
        return announcementLine(kind, value);
    }

    TestRig rig;
    Melodrop* m = nullptr;
};

}  // namespace melodrop::testing
