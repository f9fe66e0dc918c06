#include "scenario/ScenarioWorld.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "aol/TranscriptReader.h"
#include "audio/AudioPlayer.h"
#include "localserver/LocalHttpServer.h"
#include "player/QtSettingsStore.h"
#include "program/Assembly.h"
#include "scenario/SilentMediaPlayer.h"
#include "scenario/Win32ScenarioClient.h"
#include "ui/PlayerWindow.h"
#include "web/UpdateCheck.h"

namespace melodrop::scenario {

struct ProgramInstance {
    ProgramInstance(aol::WindowSystem& client, VirtualClock& virtualClock,
                    const QString& settingsFile)
        : windows(client), clock(virtualClock), settings(settingsFile) {}
    ~ProgramInstance() {
        // The player window shows the program's state: it goes first.
        window.reset();
        assembly.reset();
    }

    // What the program reaches the client and time through; cut off when it ends.
    ProgramWindowSystem windows;
    ProgramClock clock;
    QtSettingsStore settings;  // reads the file afresh at every start
    PlayerMonitor player;
    // What the client calls after a change: the program's scanners' listener, once it is built.
    std::function<void()> notifyScanners;
    std::unique_ptr<Assembly> assembly;
    std::unique_ptr<ui::PlayerWindow> window;
};

namespace {

TransferLimits scenarioTransferLimits() {
    TransferLimits limits;
    limits.window = std::chrono::seconds(5);
    limits.total = std::chrono::seconds(30);
    return limits;
}

// Copies a folder's files and sub-folders; false when something could not be copied.
bool copyTree(const QString& from, const QString& to) {
    bool ok = QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        ok = (it.fileInfo().isDir() ? QDir().mkpath(target) : QFile::copy(source, target)) && ok;
    }
    return ok;
}

}  // namespace

ScenarioWorld::ScenarioWorld(const Options& options)
    : options_(options), web_(scenarioTransferLimits()) {
    if (!root_.isValid()) {
        setupError_ = QStringLiteral("cannot make a temporary folder: ") + root_.errorString();
        return;
    }
    const QDir root(root_.path());
    programFolder_ = root.filePath(QStringLiteral("program"));
    mp3Folder_ = root.filePath(QStringLiteral("Downloads"));
    const QString config = root.filePath(QStringLiteral("config"));
    const QString data = root.filePath(QStringLiteral("data"));
    if (!QDir().mkpath(programFolder_ + QStringLiteral("/skins")) || !QDir().mkpath(mp3Folder_) ||
        !QDir().mkpath(config) || !QDir().mkpath(data)) {
        setupError_ = QStringLiteral("cannot make the folders in ") + root_.path();
        return;
    }
    // The user's data folder is a temporary one too: an installed program writes there.
    environment_.set("XDG_DATA_HOME", QFile::encodeName(data));
    // The user's configuration and Downloads folder are temporary ones, so that a first start
    // on an empty settings store finds the scenario's MP3 folder as its default folder.
    QFile userDirs(config + QStringLiteral("/user-dirs.dirs"));
    if (userDirs.open(QIODevice::WriteOnly))
        userDirs.write("XDG_DOWNLOAD_DIR=\"" + QFile::encodeName(mp3Folder_) + "\"\n");
    environment_.set("XDG_CONFIG_HOME", QFile::encodeName(config));
    if (!locateFiles()) return;

    settingsFile_ = root.filePath(QStringLiteral("melodrop.ini"));
    settings_ = std::make_unique<QtSettingsStore>(settingsFile_);
    if (!makeClient()) return;
    desktop_.onQuit = [this] { programEnded(); };
}

ScenarioWorld::~ScenarioWorld() {
    endProgram();
}

void ScenarioWorld::endProgram() {
    if (client_) client_->watchLink(nullptr);
    program_.reset();
}

bool ScenarioWorld::locateFiles() {
    if (options_.installedPrograms.isEmpty()) {
        copyRuntimeFiles();
        files_ = FileLocations(programFolder_);
        return true;
    }
    files_ = FileLocations::forProgram(QFileInfo(options_.installedPrograms).absoluteFilePath());
    if (!files_.installed()) {
        setupError_ = options_.installedPrograms +
                      QStringLiteral(" is not the program folder of an installed melodrop");
        return false;
    }
    // As the installed program prepares its per-user folder when it starts.
    programFolder_ = files_.programFolder();
    files_.prepareUserFolder();
    return true;
}

bool ScenarioWorld::makeClient() {
    const bool wine = options_.client == QLatin1String("wine");
    if (options_.client == QLatin1String("win32") || wine) {
        client_ = std::make_unique<Win32ScenarioClient>(
            options_.windowsBin, root_.path(), wine ? BridgeStart::AsTheProgram : BridgeStart::Own);
        if (!client_->startError().isEmpty()) {
            setupError_ = QStringLiteral("the Win32 client: ") + client_->startError();
            return false;
        }
        // It lives in real time: virtual time keeps pace with real time, and the room's lines
        // are collected whenever they are asked for (through the client's own control, which
        // the program's changes do not reach). The bridge's word of a change goes to the
        // running program's scanners.
        clock_.paceToRealTime();
        clientChanged_ = true;
        client_->attach(clock_, [this] {
            if (program_ && program_->notifyScanners) program_->notifyScanners();
        });
        return true;
    }
    auto sim = std::make_unique<SimScenarioClient>();
    sim_ = sim.get();
    client_ = std::move(sim);
    // Lines are collected as the client changes (before a room that closes takes them along),
    // except while the user types character by character: then once, after the line is sent.
    // The running program's scanners are told of every change too.
    client_->attach(clock_, [this] {
        clientChanged_ = true;
        if (!typing_) collectLines();
        if (program_ && program_->notifyScanners) program_->notifyScanners();
    });
    return true;
}

void ScenarioWorld::copyRuntimeFiles() {
    const QDir beside(options_.besideProgram);
    if (beside.exists(QStringLiteral("skins")))
        copyTree(beside.filePath(QStringLiteral("skins")),
                 programFolder_ + QStringLiteral("/skins"));
    if (beside.exists(QStringLiteral("commands.txt")))
        QFile::copy(beside.filePath(QStringLiteral("commands.txt")),
                    programFolder_ + QStringLiteral("/commands.txt"));
}

std::optional<QString> ScenarioWorld::variable(const QString& name) {
    if (name == QLatin1String("program")) return programFolder_;
    if (name == QLatin1String("data")) return files_.userFolder();
    if (name == QLatin1String("shipped")) return files_.shippedFolder();
    if (name == QLatin1String("mp3s")) return mp3Folder_;
    if (name == QLatin1String("server")) return serverBase();
    if (name == QLatin1String("user")) return userName();
    if (const auto it = defined_.constFind(name); it != defined_.constEnd()) return it.value();
    return std::nullopt;
}

bool ScenarioWorld::define(const QString& name, const QString& value) {
    static const QStringList builtIn = {QStringLiteral("program"), QStringLiteral("mp3s"),
                                        QStringLiteral("server"), QStringLiteral("user")};
    if (builtIn.contains(name)) return false;
    defined_.insert(name, value);
    return true;
}

QString ScenarioWorld::programPath(const QString& path) const {
    return QFileInfo(path).isAbsolute() ? path : QDir(programFolder_).filePath(path);
}

bool ScenarioWorld::isInsideRun(const QString& path) const {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean.startsWith(QDir::cleanPath(root_.path()) + QLatin1Char('/'));
}

bool ScenarioWorld::isShipped(const QString& path) const {
    if (!files_.installed()) return false;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean.startsWith(QDir::cleanPath(files_.shippedFolder()) + QLatin1Char('/'));
}

// ---- the chat room ----

void ScenarioWorld::ensureRoom() {
    if (client_->signedOnUser().empty()) client_->signOn(kDefaultUser.toStdString());
    if (client_->currentRoom().empty()) client_->openRoom(kDefaultRoom.toStdString());
}

void ScenarioWorld::userTypes(const QString& line) {
    ensureRoom();
    typing_ = true;
    client_->userTypes(line.toStdString());
    typing_ = false;
    collectLines();
}

QString ScenarioWorld::userName() const {
    const std::string user = client_ ? client_->signedOnUser() : std::string();
    return user.empty() ? kDefaultUser : QString::fromStdString(user);
}

void ScenarioWorld::collectLines() {
    if (!client_ || !clientChanged_) return;
    // A client in real time cannot say when it changed: it is asked every time.
    clientChanged_ = client_->realTime();
    for (ScenarioClient::Room& open : client_->rooms()) {
        const std::string& room = open.name;
        std::vector<std::string> all = std::move(open.lines);
        std::vector<std::string>& seenLines = linesSeenPerRoom_[open.id];
        const std::size_t seen = aol::TranscriptReader::Overlap(seenLines, all);
        for (std::size_t i = seen; i < all.size(); ++i) {
            RoomLine out{QString::fromStdString(room), {}, QString::fromStdString(all[i])};
            if (aol::TranscriptLine split; aol::TranscriptReader::SplitUtf8Line(all[i], split)) {
                out.sender = QString::fromStdString(split.screenName);
                out.text = QString::fromStdString(split.text);
            }
            lines_ << out;
        }
        seenLines = std::move(all);
    }
}

// ---- what the program runs on ----

LocalHttpServer& ScenarioWorld::startServer() {
    if (!server_) server_ = std::make_unique<LocalHttpServer>();
    return *server_;
}

QString ScenarioWorld::serverBase() const {
    return server_ ? server_->baseUrl() : UpdateCheck::defaultServerBase();
}

// ---- the program ----

QString ScenarioWorld::storedSetting(const QString& key) const {
    return QtSettingsStore(settingsFile_).ReadSetting(key);
}

PlayerMonitor& ScenarioWorld::player() {
    return program_ ? program_->player : noPlayer_;
}

Melodrop& ScenarioWorld::program() {
    return program_->assembly->program();
}

ui::PlayerWindow& ScenarioWorld::window() {
    return *program_->window;
}

void ScenarioWorld::start(bool quick) {
    ensureRoom();
    program_ = std::make_unique<ProgramInstance>(client_->windows(), clock_, settingsFile_);
    ProgramInstance& p = *program_;
    if (silentChosen())
        p.player.setInner(std::make_unique<SilentMediaPlayer>());
    else
        p.player.setInner(std::make_unique<AudioPlayer>());
    p.assembly = std::make_unique<Assembly>(Boundaries{
        .settings = p.settings,
        .player = p.player,
        .desktop = desktop_,
        .clock = p.clock,
        .windows = p.windows,
        .web = web_,
        .files = files_,
        .serverBase = serverBase(),
        // Both clients tell of their changes: the scanners need not poll.
        .scanners = {.toldOfChanges =
                         [&p](std::function<void()> changed) {
                             p.notifyScanners = std::move(changed);
                         }},
    });
    Melodrop& melodrop = p.assembly->program();
    client_->watchLink(
        [&link = melodrop.context().link](const aol::LinkStatus& status) { link.set(status); });
    p.window = std::make_unique<ui::PlayerWindow>(melodrop);
    desktop_.programStarted(p.window.get());
    if (!quick) {
        melodrop.launch();
        return;
    }
    melodrop.load();
    if (!melodrop.ended()) desktop_.showPlayer();
}

void ScenarioWorld::restart(bool quick) {
    if (program_ && !ended()) programEnded();
    endProgram();
    start(quick);
}

bool ScenarioWorld::ended() const {
    return program_ && program_->assembly->program().ended();
}

void ScenarioWorld::programEnded() {
    // As when its process ends: no more ticks, no more messages to the client, no more sound,
    // no window. Whatever of the program is still on the stack runs into nothing.
    if (!program_) return;
    program_->clock.programEnded();
    program_->windows.programEnded();
    program_->player.programEnded();
    if (program_->window) program_->window->hide();
}

}  // namespace melodrop::scenario
