#pragma once
// The whole program's logic on the simulated chat client: a signed-on user in an open room with
// two members, the program as it is put together (program/Assembly: the real chat-client module
// and transcript scanners), a virtual clock, and fakes for the media player, settings, desktop
// and web. A temporary program folder (with a "skins"
// folder) and an MP3 folder are made for each rig.
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "aol/sim/SimClient.h"
#include "base/VirtualClock.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeMediaPlayer.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWebTransfer.h"
#include "fakes/QtPrinters.h"
#include "locations/FileLocations.h"
#include "program/Assembly.h"

namespace melodrop::testing {

inline const QString kUser = QStringLiteral("TestUser");
inline const QString kServer = QStringLiteral("http://updates.test");

struct ChatLineSeen {
    QString sender;
    QString text;
};

class TestRig {
public:
    TestRig();
    ~TestRig();

    // What the program runs on here: the simulated client, which tells of its changes, the
    // virtual clock and the fakes; with another desktop when given (a widget test's real one).
    Boundaries boundaries(Desktop& desktop);
    Boundaries boundaries() { return boundaries(desktop); }

    // Builds the program (after the test has stored its settings); load() runs the player
    // window's load as start-up does, launch() the whole start-up with welcome and splash.
    Melodrop& create();
    Melodrop& load();
    Melodrop& program() { return assembly->program(); }
    Context& ctx() { return program().context(); }
    // The parts built on the client, once created.
    aol::Quartzline& aol() { return assembly->aol(); }
    TranscriptChatScanner& chtMelodrop() { return assembly->chtMelodrop(); }
    TranscriptChatScanner& chat1() { return assembly->chat1(); }

    // Empty files with these names in the MP3 folder (which settings "mp3dir" points at).
    void addMp3s(const QStringList& names);
    QString mp3Folder() const { return mp3Dir.path(); }
    QString programFolder() const { return programDir.path(); }
    QString mp3Path(const QString& name) const;

    // The signed-on user types a line in the room; another member says one. Both then let the
    // scanners see it (settle).
    void userTypes(const QString& line);
    void memberSays(const QString& member, const QString& line);
    // Lets virtual time pass (default: enough for the scanners to poll).
    void settle(double seconds = 0.1);

    // The room's transcript from the moment the rig was made.
    QList<ChatLineSeen> transcript() const;
    // Texts of the lines the user's client sent (announcements and typed lines) since the last
    // call of takeLines().
    QStringList takeLines();

    QTemporaryDir programDir;
    QTemporaryDir mp3Dir;
    aol::sim::SimClient sim;
    VirtualClock clock;
    FakeSettingsStore settings;
    FakeMediaPlayer player;
    FakeDesktop desktop;
    FakeWebTransfer web;
    std::unique_ptr<Assembly> assembly;
    // Where the program finds and writes its files, when set before create(); otherwise all
    // beside the program, in programDir.
    std::optional<FileLocations> locations;

private:
    int linesTaken_ = 0;
    int transcriptStart_ = 0;
};

}  // namespace melodrop::testing
