// melodrop installed with `cmake --install` into a temporary prefix that is then made read-only:
// the tree has the standard layout, its desktop entries and metadata validate, and the
// programs run from it with everything they write in the per-user folder. After every test the
// installed tree is exactly as installed. An installed tree moved elsewhere still starts whole;
// `make uninstall` takes away what the install laid out.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "fakes/NeedOrSkip.h"
#include "localserver/LocalHttpServer.h"
#include "locations/FileLocations.h"
#include "net/QtWebTransfer.h"
#include "skinfetch/FakeSkinfetchDialogs.h"
#include "skinfetch/Skinfetch.h"

using namespace melodrop;

namespace {

const QString kAppId = QStringLiteral(MELODROP_APP_ID);
// melodrop-bridge.exe is installed when the build has its cross-build for Windows.
const bool kWithBridge = QFile::exists(MELODROP_BUILD_DIR "/windows-x64/bin/melodrop-bridge.exe");

struct Ran {
    int exitCode = -1;
    QString output;  // standard output and standard error
};

Ran run(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
        int timeoutMs = 120000) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, QStringLiteral("did not finish: ") + program};
    }
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, QString::fromLocal8Bit(process.readAll())};
}

// Every file and folder below a folder with its size, time and permissions.
using Snapshot = QMap<QString, QString>;
Snapshot snapshotOf(const QString& root) {
    Snapshot snapshot;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        snapshot.insert(QDir(root).relativeFilePath(info.filePath()),
                        QStringLiteral("%1 %2 %3")
                            .arg(info.size())
                            .arg(info.lastModified().toMSecsSinceEpoch())
                            .arg(int(info.permissions())));
    }
    return snapshot;
}

void setWritable(const QString& root, bool writable) {
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext()) paths << it.next();
    const auto write = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isSymLink()) continue;
        const QFile::Permissions now = QFile::permissions(path);
        QFile::setPermissions(path, writable ? now | write : now & ~(write | QFile::WriteOther));
    }
}

// cmake --install into a prefix, and cmake/Uninstall.cmake (what `make install` and `make
// uninstall` run).
Ran install(const QString& prefix) {
    return run(QStringLiteral(MELODROP_CMAKE_COMMAND),
               {"--install", QStringLiteral(MELODROP_BUILD_DIR), "--prefix", prefix});
}
Ran uninstall(const QString& prefix) {
    return run(QStringLiteral(MELODROP_CMAKE_COMMAND),
               {"-DPREFIX=" + prefix, "-DBUILD_DIR=" MELODROP_BUILD_DIR, "-P",
                QStringLiteral(MELODROP_SOURCE_DIR "/cmake/Uninstall.cmake")});
}

#define REQUIRE_TOOL(path, name) \
    MELODROP_NEED(!(path).isEmpty(), std::string(name) + " is not installed")

class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = new QTemporaryDir;
        const Ran installed = install(prefix_->path());
        installOutput_ = installed.output;
        installed_ = installed.exitCode == 0;
        setWritable(prefix_->path(), false);
        asInstalled_ = snapshotOf(prefix_->path());
    }
    static void TearDownTestSuite() {
        setWritable(prefix_->path(), true);
        uninstall(prefix_->path());  // also forgets the install's record
        delete prefix_;
        prefix_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(installed_) << qPrintable(installOutput_);
        environment.insert("XDG_DATA_HOME", home.path() + "/data");
        environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("SDL_AUDIODRIVER", "dummy");
    }
    void TearDown() override {
        // Nothing the programs did reached the installed tree.
        EXPECT_EQ(snapshotOf(prefix_->path()), asInstalled_);
    }

    static QString prefix() { return prefix_->path(); }
    static QString bin() { return prefix() + "/bin"; }
    static QString share() { return prefix() + "/share"; }
    QString user() const { return home.path() + "/data/melodrop"; }

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    static inline QTemporaryDir* prefix_ = nullptr;
    static inline bool installed_ = false;
    static inline QString installOutput_;
    static inline Snapshot asInstalled_;
};

}  // namespace

TEST_F(InstalledTree, HasTheStandardLayoutAndNothingElse) {
    QStringList expected = {
        "bin/melodrop",
        "bin/skinfetch",
        "share/melodrop/commands.txt",
        "share/applications/" + kAppId + ".desktop",
        "share/applications/" + kAppId + ".skinfetch.desktop",
        "share/metainfo/" + kAppId + ".metainfo.xml",
        "share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
    };
    if (kWithBridge) expected << "lib/melodrop/melodrop-bridge.exe";
    for (const char* skin : {"default", "sunset", "graphite"})
        expected << QStringLiteral("share/melodrop/skins/%1.mds").arg(skin)
                 << QStringLiteral("share/melodrop/skins/%1.bmp").arg(skin);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString icon =
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
        expected << icon;
        const QImage picture(prefix() + "/" + icon);
        EXPECT_EQ(picture.size(), QSize(size, size)) << qPrintable(icon);
    }
    QStringList files;
    for (auto it = asInstalled_.cbegin(); it != asInstalled_.cend(); ++it)
        if (QFileInfo(prefix() + "/" + it.key()).isFile()) files << it.key();
    expected.sort();
    files.sort();
    EXPECT_EQ(files, expected);
    EXPECT_TRUE(QFileInfo(bin() + "/melodrop").isExecutable());
    EXPECT_TRUE(QFileInfo(bin() + "/skinfetch").isExecutable());
    EXPECT_TRUE(FileLocations::forProgram(bin()).installed());
    // melodrop finds the bridge from its own folder.
    if (kWithBridge) {
        EXPECT_EQ(FileLocations::forProgram(bin()).bridgeProgramPlaces(),
                  QStringList{prefix() + "/lib/melodrop/melodrop-bridge.exe"});
    }
}

TEST_F(InstalledTree, DesktopEntriesAndMetadataValidate) {
    const QString desktopValidate = QStandardPaths::findExecutable("desktop-file-validate");
    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    REQUIRE_TOOL(desktopValidate, "desktop-file-validate");
    REQUIRE_TOOL(appstream, "appstreamcli");
    for (const QString& entry : {kAppId + ".desktop", kAppId + ".skinfetch.desktop"}) {
        const Ran checked = run(desktopValidate, {share() + "/applications/" + entry});
        EXPECT_EQ(checked.exitCode, 0) << qPrintable(checked.output);
        EXPECT_EQ(checked.output, "") << qPrintable(checked.output);  // not even a hint
    }
    const Ran checked =
        run(appstream, {"validate", "--no-net", share() + "/metainfo/" + kAppId + ".metainfo.xml"});
    EXPECT_EQ(checked.exitCode, 0) << qPrintable(checked.output);

    // What the entries name is there; melodrop opens MP3 files ("Open with"), and the class of
    // each program's windows is its entry's, so that docks pair the two.
    QSettings entry(share() + "/applications/" + kAppId + ".desktop", QSettings::IniFormat);
    EXPECT_EQ(entry.value("Desktop Entry/Exec").toString(), "melodrop %F");
    EXPECT_EQ(entry.value("Desktop Entry/Icon").toString(), kAppId);
    EXPECT_EQ(entry.value("Desktop Entry/StartupWMClass").toString(), "melodrop");
    QFile entryText(share() + "/applications/" + kAppId + ".desktop");
    ASSERT_TRUE(entryText.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entryText.readAll().contains("\nMimeType=audio/mpeg;\n"));  // ";" ends QSettings
    QSettings skinfetch(share() + "/applications/" + kAppId + ".skinfetch.desktop",
                        QSettings::IniFormat);
    EXPECT_EQ(skinfetch.value("Desktop Entry/StartupWMClass").toString(), "skinfetch");

    // The metadata names this version with its date, and the pictures of the docs.
    QFile metadata(share() + "/metainfo/" + kAppId + ".metainfo.xml");
    ASSERT_TRUE(metadata.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(metadata.readAll());
    EXPECT_TRUE(xml.contains("<release version=\"0.0.2\" date=\"2026-12-07\"/>"));
    for (const char* picture : {"player-window.png", "room-window.png"}) {
        EXPECT_TRUE(xml.contains(QStringLiteral("/docs/%1</image>").arg(picture))) << picture;
        EXPECT_TRUE(QFile::exists(QStringLiteral(MELODROP_SOURCE_DIR "/docs/") + picture));
    }
}

// The window class is the program's name under X11: what StartupWMClass above says.
TEST_F(InstalledTree, TheWindowsClassIsTheDesktopEntrys) {
    const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
    const QString xdotool = QStandardPaths::findExecutable("xdotool");
    REQUIRE_TOOL(xvfb, "xvfb-run");
    REQUIRE_TOOL(xdotool, "xdotool");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    environment.remove("QT_QPA_PLATFORM");
    // The first window (the welcome box) carries the class; then the program is ended.
    const QString script = QStringLiteral(
        "\"$1\" -platform xcb & pid=$!; "
        "xdotool search --sync --classname '^melodrop$' >/dev/null && "
        "xdotool search --class '^melodrop$' >/dev/null; found=$?; kill $pid; exit $found");
    const Ran found =
        run(xvfb, {"-a", "sh", "-c", script, "sh", bin() + "/melodrop"}, environment, 60000);
    EXPECT_EQ(found.exitCode, 0) << qPrintable(found.output);
}

TEST_F(InstalledTree, TheProgramsAnswerFromThePrefix) {
    const Ran version = run(bin() + "/melodrop", {"--version"}, environment);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, "melodrop 0.0.2\n");
    const Ran wrong = run(bin() + "/melodrop", {"--no-such-option"}, environment);
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.output.startsWith("melodrop: unknown option '--no-such-option'"))
        << qPrintable(wrong.output);
}

TEST_F(InstalledTree, MelodropRunsFromThePrefixWritingOnlyIntoThePerUserFolder) {
    const Ran scenario = run(QStringLiteral(MELODROP_RUNTIME_DIR "/melodrop-scenario"),
                             {"--installed", bin(), "--silent",
                              QStringLiteral(MELODROP_TESTS_DIR "/install/installed-tree.scn")},
                             environment);
    EXPECT_EQ(scenario.exitCode, 0) << qPrintable(scenario.output);
}

TEST_F(InstalledTree, SkinfetchDownloadsIntoThePerUserFolder) {
    // As skinfetch's main() sets itself up when it starts from the prefix.
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/data"));
    const FileLocations files = FileLocations::forProgram(bin());
    qputenv("XDG_DATA_HOME", dataHome);
    ASSERT_TRUE(files.installed());
    ASSERT_TRUE(files.prepareUserFolder());

    LocalHttpServer server;
    server.serve("/zeph/melodrop/skins/skins.txt", "Ocean Blue\r\nsunset");
    server.serve("/zeph/melodrop/skins/Ocean Blue.zip", "PK ocean");
    QtWebTransfer transfer;
    skinfetch::testing::FakeSkinfetchDialogs dialogs;
    skinfetch::Skinfetch logic(transfer, dialogs, files.userFolder(), server.baseUrl());

    logic.refreshList();
    EXPECT_EQ(logic.entries(), (QStringList{"Ocean Blue", "sunset"}));
    EXPECT_FALSE(QFile::exists(user() + "/skins/skins.txt"));  // the list copy is gone again

    logic.setSelectedIndex(0);
    dialogs.saveAnswers << user() + "/skins/Ocean Blue";
    logic.downloadSelected();
    EXPECT_EQ(dialogs.requests.value(0),
              "save Save skin to|(*.zip)|*zip|Ocean Blue|" + user() + "/skins");
    QFile archive(user() + "/skins/Ocean Blue.zip");
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    EXPECT_EQ(archive.readAll(), "PK ocean");
}

// make install, then make uninstall: nothing is left, not even the folders the install made;
// what was there before stays.
TEST(Uninstall, TakesAwayWhatTheInstallLaidOutAndTheFoldersItMade) {
    QTemporaryDir place;
    const QString fresh = place.path() + "/fresh";
    ASSERT_EQ(install(fresh).exitCode, 0);
    ASSERT_TRUE(QFile::exists(fresh + "/bin/melodrop"));
    const Ran removed = uninstall(fresh);
    EXPECT_EQ(removed.exitCode, 0) << qPrintable(removed.output);
    EXPECT_FALSE(QFileInfo::exists(fresh)) << qPrintable(snapshotOf(fresh).keys().join('\n'));

    // Into a prefix with files of its own: those stay, with their folders.
    const QString shared = place.path() + "/shared";
    QDir().mkpath(shared + "/share/applications");
    QFile other(shared + "/share/applications/other.desktop");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    ASSERT_EQ(install(shared).exitCode, 0);
    ASSERT_EQ(uninstall(shared).exitCode, 0);
    EXPECT_EQ(snapshotOf(shared).keys(),
              (QStringList{"share", "share/applications", "share/applications/other.desktop"}));
    // Once uninstalled there is nothing more to take away: said, not pretended.
    const Ran again = uninstall(shared);
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.output.contains("Nothing to uninstall")) << qPrintable(again.output);
}

// The installed tree moved to another place (a reinstall elsewhere, a moved prefix): the
// stored skin's old path is gone, start-up runs to its end, the commands answer, and what
// cannot be found again is told.
TEST(MovedInstall, StartsWholeFromTheNewPlace) {
    QTemporaryDir place, home;
    const QString old = place.path() + "/old";
    const QString moved = place.path() + "/moved";
    ASSERT_EQ(install(old).exitCode, 0);
    ASSERT_TRUE(QDir().rename(old, moved));
    ASSERT_EQ(uninstall(old).exitCode, 0);  // nothing left there: only the record goes

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", home.path() + "/data");
    environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    if (kWithBridge) {
        const FileLocations files = FileLocations::forProgram(moved + "/bin");
        EXPECT_TRUE(QFileInfo(files.bridgeProgramPlaces().value(0)).isFile());
    }
    for (const char* name : {"moved-tree.scn", "moved-tree-own-skin.scn"}) {
        QFile source(QStringLiteral(MELODROP_TESTS_DIR "/install/") + name);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        QFile scenario(home.filePath(name));
        ASSERT_TRUE(scenario.open(QIODevice::WriteOnly));
        scenario.write("define old 1 " + old.toUtf8() + "\n" + source.readAll());
        scenario.close();
        const Ran ran =
            run(QStringLiteral(MELODROP_RUNTIME_DIR "/melodrop-scenario"),
                {"--installed", moved + "/bin", "--silent", scenario.fileName()}, environment);
        EXPECT_EQ(ran.exitCode, 0) << name << "\n" << qPrintable(ran.output);
    }
}
