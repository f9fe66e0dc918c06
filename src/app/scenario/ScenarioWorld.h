#pragma once
// Everything a scenario runs in: temporary folders (the program's folder with the skins and
// commands.txt copied from beside the runner, the MP3 folder, a settings file, a configuration
// folder, a per-user data folder; or, for an installed melodrop, its own program folder read as
// installed), the simulated chat client with its room, a virtual clock, and, once started, the
// whole melodrop program with its offscreen player window. Nothing outside the temporary folders
// is written; they are removed when the world ends.
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "aol/Quartzline.h"
#include "aol/sim/SimClient.h"
#include "app/scenario/EnvironmentOverride.h"
#include "app/scenario/PlayerMonitor.h"
#include "app/scenario/ProgramBoundary.h"
#include "app/scenario/ScriptedDesktop.h"
#include "chat/TranscriptChatScanner.h"
#include "locations/FileLocations.h"
#include "player/VirtualClock.h"
#include "web/download/QtWebTransfer.h"

namespace melodrop {
class LocalHttpServer;
class Melodrop;
class QtSettingsStore;
}  // namespace melodrop

namespace melodrop::ui {
class PlayerWindow;
}

namespace melodrop::scenario {

inline const QString kDefaultUser = QStringLiteral("MeloFan");
inline const QString kDefaultRoom = QStringLiteral("Lobby");
// Virtual time that passes after every action, so that the chat scanners see new lines and short
// timers fire.
inline constexpr double kSettleSeconds = 0.2;

// One line of a room's transcript, as the client shows it.
struct RoomLine {
    QString room;
    QString sender;  // empty for a line without a sender
    QString text;
    QString printed() const {
        return sender.isEmpty() ? text : sender + QStringLiteral(": ") + text;
    }
};

class ScenarioWorld {
public:
    struct Options {
        QString besideProgram;  // where skins/, demo/ and commands.txt lie beside the runner
        bool forceSilent = false;
        QString installedPrograms;  // an installed melodrop's program folder (RunOptions)
    };

    explicit ScenarioWorld(const Options& options);
    ~ScenarioWorld();
    ScenarioWorld(const ScenarioWorld&) = delete;
    ScenarioWorld& operator=(const ScenarioWorld&) = delete;

    // Non-empty when the temporary folders could not be made.
    QString setupError() const { return setupError_; }

    // ---- folders, variables ----
    QString besideProgram() const { return options_.besideProgram; }
    QString programFolder() const { return programFolder_; }
    QString mp3Folder() const { return mp3Folder_; }
    // Where the program finds and writes its files.
    const FileLocations& files() const { return files_; }
    // ${program}, ${data}, ${shipped}, ${mp3s}, ${server}, ${user}; nullopt for an unknown name.
    std::optional<QString> variable(const QString& name);
    // A path of a scenario: absolute as it is, relative to the program's folder otherwise.
    QString programPath(const QString& path) const;
    // Whether a path lies inside the run's temporary folders, the only place a scenario writes.
    bool isInsideRun(const QString& path) const;
    // Whether a path lies among the shipped files of an installed program (--installed), which a
    // scenario may have the program open (a skin), never write.
    bool isShipped(const QString& path) const;

    // ---- the chat room ----
    aol::sim::SimClient& sim() { return sim_; }
    // Signs the default user on and opens the default room, unless done already.
    void ensureRoom();
    QString userName() const;
    // Every line that reached any open room, in order.
    const QList<RoomLine>& lines() const { return lines_; }
    int linesChecked = 0;  // lines already matched by an expectation
    int dialogsChecked = 0;

    // ---- what the run prints (TranscriptOutput.h) ----
    std::function<void(const QString&)> output;
    int linesPrinted = 0;
    QString lastPrintedRoom;
    bool printedAnything = false;

    // ---- time ----
    VirtualClock& clock() { return clock_; }
    void settle() { clock_.advance(kSettleSeconds); }

    // ---- what the program runs on ----
    QtSettingsStore& settings() { return *settings_; }
    PlayerMonitor& player() { return player_; }
    ScriptedDesktop& desktop() { return desktop_; }
    // Before start: the silent player or the audio engine (the default).
    void choosePlayer(bool silent) { silentChosen_ = silent; }
    bool silentChosen() const { return silentChosen_ || options_.forceSilent; }
    LocalHttpServer* server() { return server_.get(); }
    LocalHttpServer& startServer();
    QString serverBase() const;

    // ---- the program ----
    // Builds the program and its player window; launches it (welcome box, splash, load) or,
    // quick, runs only the player window's load and shows it.
    void start(bool quick);
    bool started() const { return melodrop_ != nullptr; }
    bool ended() const;
    Melodrop& program() { return *melodrop_; }
    ui::PlayerWindow& window() { return *window_; }

private:
    // The program's files: a temporary copy, or an installed program's (false: not installed).
    bool locateFiles();
    void copyRuntimeFiles();
    void collectLines();
    void programEnded();

    Options options_;
    QString setupError_;
    QTemporaryDir root_;
    QString programFolder_;
    QString mp3Folder_;
    FileLocations files_{QString()};
    EnvironmentOverride environment_;

    // The room's lines, collected as the client shows them (declared before the client, which
    // reports its changes to collectLines()).
    QList<RoomLine> lines_;
    std::map<aol::Hwnd, std::size_t> linesSeenPerRoom_;
    aol::sim::SimClient sim_;
    VirtualClock clock_;
    // What the program reaches the client and time through; cut off when it ends.
    ProgramWindowSystem programWindows_{sim_};
    ProgramClock programClock_{clock_};
    aol::Quartzline aol_{programWindows_, programClock_};

    std::unique_ptr<QtSettingsStore> settings_;
    PlayerMonitor player_;
    bool silentChosen_ = false;
    ScriptedDesktop desktop_;
    QtWebTransfer web_;  // with short limits, so that a silent server cannot stall a run
    std::unique_ptr<LocalHttpServer> server_;
    // One watch for both scanners, told of the client's changes.
    TranscriptWatch scanWatch_{programClock_};
    TranscriptChatScanner chtMelodrop_{programWindows_, scanWatch_};
    TranscriptChatScanner chat1_{programWindows_, scanWatch_};
    std::unique_ptr<Melodrop> melodrop_;
    std::unique_ptr<ui::PlayerWindow> window_;
};

}  // namespace melodrop::scenario
