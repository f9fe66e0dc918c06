#pragma once
// Everything a scenario runs in: temporary folders (the program's folder with the skins and
// commands.txt copied from beside the runner, the MP3 folder, a settings file, a configuration
// folder, a per-user data folder; or, for an installed melodrop, its own program folder read as
// installed), the simulated chat client with its room, a virtual clock, and, once started, the
// whole melodrop program with its offscreen player window. The client is the simulated one, or
// the fake Win32 client under Wine reached through the bridge. The program can end and start again
// (a restart) on the same settings file and folders. Nothing outside the temporary folders is
// written; they are removed when the world ends.
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "aol/sim/SimClient.h"
#include "base/VirtualClock.h"
#include "locations/FileLocations.h"
#include "net/QtWebTransfer.h"
#include "scenario/EnvironmentOverride.h"
#include "scenario/PlayerMonitor.h"
#include "scenario/ProgramBoundary.h"
#include "scenario/RunLimits.h"
#include "scenario/ScenarioClient.h"
#include "scenario/ScriptedDesktop.h"
#include "scenario/SimScenarioClient.h"

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

// One run of the program, from its start to its end: everything it reaches the world through,
// its logic and its window. A restart throws it away and makes a new one.
struct ProgramInstance;

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
        QString client = QStringLiteral("sim");  // "sim", "win32" or "wine" (RunOptions)
        QString windowsBin;
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
    ScenarioClient& client() { return *client_; }
    // The simulated client, for what only it can do (null on another client).
    aol::sim::SimClient* sim() { return sim_ ? &sim_->sim() : nullptr; }
    // Whether the client lives in real time (the virtual clock then keeps pace with it).
    bool realTimeClient() const { return client_->realTime(); }
    // Signs the default user on and opens the default room, unless done already.
    void ensureRoom();
    QString userName() const;
    // The user types a line into the open room and presses Enter. Lines are not collected at
    // every typed character (each would convert the whole transcript), only once it is sent.
    void userTypes(const QString& line);
    // Every line that reached any open room, in order, collected at every change of the client.
    // A room's transcript holds the client's last transcriptLimit() lines; new lines are told
    // from old ones by how the transcript moved (as the chat scanners do), so a line equal to
    // every other line of a full transcript cannot be seen arriving.
    const QList<RoomLine>& lines() {
        collectLines();
        return lines_;
    }
    int linesChecked = 0;  // lines already matched by an expectation
    int dialogsChecked = 0;

    // ---- what the run prints (TranscriptOutput.h) ----
    std::function<void(const QString&)> output;
    int linesPrinted = 0;
    QString lastPrintedRoom;
    bool printedAnything = false;

    // ---- time ----
    VirtualClock& clock() { return clock_; }
    // What the run may take in real time and memory (`limit`), checked at its end.
    RunLimits& limits() { return limits_; }
    void settle() { clock_.advance(kSettleSeconds); }

    // ---- variables of the scenario's own (`define`) ----
    // False when the name is taken by a built-in variable.
    bool define(const QString& name, const QString& value);

    // ---- what the program runs on ----
    // The settings file as stored now (a fresh read), and a store to write it before the start.
    QString settingsFile() const { return settingsFile_; }
    QString storedSetting(const QString& key) const;
    QtSettingsStore& settingsBeforeStart() { return *settings_; }
    PlayerMonitor& player();
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
    // The program ends as its process would (if it has not ended already) and starts again on
    // the same settings file and folders.
    void restart(bool quick);
    bool started() const { return program_ != nullptr; }
    bool ended() const;
    Melodrop& program();
    ui::PlayerWindow& window();

private:
    // The program goes (its link to the client first).
    void endProgram();
    // The program's files: a temporary copy, or an installed program's (false: not installed).
    bool locateFiles();
    bool makeClient();
    void copyRuntimeFiles();
    void collectLines();
    void programEnded();

    Options options_;
    RunLimits limits_;
    QString setupError_;
    QTemporaryDir root_;
    QString programFolder_;
    QString mp3Folder_;
    FileLocations files_{QString()};
    EnvironmentOverride environment_;

    // The room's lines, collected as the client shows them (declared before the client, which
    // reports its changes). Per room, the transcript lines last seen.
    QList<RoomLine> lines_;
    std::map<aol::Hwnd, std::vector<std::string>> linesSeenPerRoom_;
    bool clientChanged_ = false;
    bool typing_ = false;
    std::unique_ptr<ScenarioClient> client_;
    SimScenarioClient* sim_ = nullptr;  // client_, when it is the simulated one
    VirtualClock clock_;
    QMap<QString, QString> defined_;

    QString settingsFile_;
    std::unique_ptr<QtSettingsStore> settings_;  // writes before the start
    bool silentChosen_ = false;
    ScriptedDesktop desktop_;
    QtWebTransfer web_;  // with short limits, so that a silent server cannot stall a run
    std::unique_ptr<LocalHttpServer> server_;
    std::unique_ptr<ProgramInstance> program_;
    PlayerMonitor noPlayer_;  // what `player()` shows before the first start
};

}  // namespace melodrop::scenario
