#include "app/scenario/ScenarioWorld.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "app/scenario/SilentMediaPlayer.h"
#include "audio/AudioPlayer.h"
#include "player/Melodrop.h"
#include "player/QtSettingsStore.h"
#include "ui/PlayerWindow.h"
#include "web/UpdateCheck.h"
#include "web/localserver/LocalHttpServer.h"

namespace melodrop::scenario {

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
    if (!QDir().mkpath(programFolder_ + QStringLiteral("/skins")) || !QDir().mkpath(mp3Folder_) ||
        !QDir().mkpath(config)) {
        setupError_ = QStringLiteral("cannot make the folders in ") + root_.path();
        return;
    }
    // The user's configuration and Downloads folder are temporary ones, so that a first start
    // on an empty settings store finds the scenario's MP3 folder as its default folder.
    QFile userDirs(config + QStringLiteral("/user-dirs.dirs"));
    if (userDirs.open(QIODevice::WriteOnly))
        userDirs.write("XDG_DOWNLOAD_DIR=\"" + QFile::encodeName(mp3Folder_) + "\"\n");
    environment_.set("XDG_CONFIG_HOME", QFile::encodeName(config));
    copyRuntimeFiles();

    settings_ = std::make_unique<QtSettingsStore>(root.filePath(QStringLiteral("melodrop.ini")));
    sim_.setTranscriptLimit(100000);
    clock_.addPumpHook([this] { sim_.deliverPosted(); });
    sim_.addChangeListener([this] { collectLines(); });
    desktop_.onQuit = [this] { programEnded(); };
}

ScenarioWorld::~ScenarioWorld() {
    // The player window shows the program's state: it goes first.
    window_.reset();
    melodrop_.reset();
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
    if (name == QLatin1String("mp3s")) return mp3Folder_;
    if (name == QLatin1String("server")) return serverBase();
    if (name == QLatin1String("user")) return userName();
    return std::nullopt;
}

QString ScenarioWorld::programPath(const QString& path) const {
    return QFileInfo(path).isAbsolute() ? path : QDir(programFolder_).filePath(path);
}

bool ScenarioWorld::isInsideRun(const QString& path) const {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean.startsWith(QDir::cleanPath(root_.path()) + QLatin1Char('/'));
}

// ---- the chat room ----

void ScenarioWorld::ensureRoom() {
    if (sim_.signedOnUser().empty()) sim_.signOn(kDefaultUser.toStdString());
    if (sim_.currentRoom().empty()) sim_.openRoom(kDefaultRoom.toStdString());
}

QString ScenarioWorld::userName() const {
    const std::string user = sim_.signedOnUser();
    return user.empty() ? kDefaultUser : QString::fromStdString(user);
}

void ScenarioWorld::collectLines() {
    for (const std::string& room : sim_.openRooms()) {
        const auto all = sim_.transcriptLines(room);
        std::size_t& seen = linesSeenPerRoom_[sim_.roomWindow(room)];
        for (; seen < all.size(); ++seen) {
            const QString line = QString::fromStdString(all[seen]);
            const qsizetype split = line.indexOf(QStringLiteral(":\t"));
            RoomLine out{QString::fromStdString(room), {}, line};
            if (split >= 0) {
                out.sender = line.left(split);
                out.text = line.mid(split + 2);
            }
            lines_ << out;
        }
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

void ScenarioWorld::start(bool quick) {
    ensureRoom();
    if (silentChosen())
        player_.setInner(std::make_unique<SilentMediaPlayer>());
    else
        player_.setInner(std::make_unique<AudioPlayer>());
    const Platform platform{*settings_,    player_, chtMelodrop_, chat1_,         desktop_,
                            programClock_, aol_,    web_,         programFolder_, serverBase()};
    melodrop_ = std::make_unique<Melodrop>(platform);
    window_ = std::make_unique<ui::PlayerWindow>(*melodrop_);
    desktop_.setPlayerWindow(window_.get());
    if (!quick) {
        melodrop_->launch();
        return;
    }
    melodrop_->load();
    if (!melodrop_->ended()) desktop_.showPlayer();
}

bool ScenarioWorld::ended() const {
    return melodrop_ && melodrop_->ended();
}

void ScenarioWorld::programEnded() {
    // As when its process ends: no more ticks, no more messages to the client, no more sound,
    // no window. Whatever of the program is still on the stack runs into nothing.
    programClock_.programEnded();
    programWindows_.programEnded();
    player_.programEnded();
    if (window_) window_->hide();
}

}  // namespace melodrop::scenario
