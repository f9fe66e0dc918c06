#pragma once
// A loaded program on the simulated room with the trigger "/", random and continuous off, a few
// MP3s, and every record of the start-up cleared: what a command does is what is recorded next.
#include <gtest/gtest.h>

#include "chat/AnnouncementLines.h"
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

    // The user types a line; returns the lines the room got from the user's client after it.
    QStringList type(const QString& line) {
        rig.userTypes(line);
        QStringList lines = rig.takeLines();
        if (!lines.isEmpty() && lines.first() == typedAsSent(line)) lines.removeFirst();
        return lines;
    }
    // The client's input box takes no control characters but the tab.
    static QString typedAsSent(QString line) {
        line.removeIf([](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t'); });
        return line;
    }

    Context& ctx() { return rig.ctx(); }
    OptionsState& state() { return rig.ctx().state; }
    static QString line(Announcement kind, const QString& value = {}) {
        return announcementLine(kind, value);
    }
    QString open(const QString& name) { return "Open " + rig.mp3Path(name); }

    TestRig rig;
    Melodrop* m = nullptr;
};

}  // namespace melodrop::testing
