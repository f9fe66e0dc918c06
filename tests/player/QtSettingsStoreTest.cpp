// The settings store: string values, "" for absent keys, one group, files that QSettings wrote
// and reads, and a file that is never cut off: a full or read-only disk keeps the old one whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "fakes/FakeDesktop.h"
#include "fakes/FaultyFileSystem.h"
#include "fakes/NeedOrSkip.h"
#include "player/QtSettingsStore.h"
#include "player/SettingsIniText.h"

using namespace melodrop;

namespace {

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList namesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}

// Values that need care in an INI file.
const QStringList kTrickyValues = {
    "",
    "40",
    "/music/My Songs, Vol. 2",
    " /",
    "trailing ",
    "a=b;c",
    "say \"hi\"",
    "C:\\My Downloads",
    "line\nbreak\r\nand\ttab",
    QString::fromUtf8("caf\u00E9 \u2022 \U0001F3B5 \u00DF"),
    "@Invalid()",
    "@ByteArray(x)",
    "@@",
    "\x01"
    "f\x1f"
    "1",
    QString(QChar(0)) + "0a",
    "#not a comment",
    ";not a comment either",
    "[options]",
    "true, false",
};

}  // namespace

TEST(QtSettingsStore, RoundTripsTextAndReadsAbsentKeysAsEmpty) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    {
        QtSettingsStore store(ini);
        EXPECT_EQ(store.ReadSetting("vol"), "");
        store.WriteSetting("vol", "40");
        store.WriteSetting("mp3dir", "/music/My Songs, Vol. 2");
        store.WriteSetting("trig", " /");
        EXPECT_EQ(store.lastError(), "");
    }
    QtSettingsStore again(ini);
    EXPECT_EQ(again.ReadSetting("vol"), "40");
    EXPECT_EQ(again.ReadSetting("mp3dir"), "/music/My Songs, Vol. 2");
    EXPECT_EQ(again.ReadSetting("trig"), " /");
    EXPECT_TRUE(contentOf(ini).contains("[options]"));
    EXPECT_EQ(namesIn(dir.path()), QStringList{"melodrop.ini"});
}

TEST(QtSettingsStore, TheDefaultFileIsWhereQSettingsKeepsIt) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    {
        QtSettingsStore store;
        store.WriteSetting("skin", "default");
    }
    const QSettings qt(QSettings::IniFormat, QSettings::UserScope, "melodrop", "melodrop");
    EXPECT_EQ(qt.fileName(), home.path() + "/melodrop/melodrop.ini");
    EXPECT_EQ(qt.value("options/skin").toString(), "default");
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(QtSettingsStore, EveryValueReadsBackAlikeThroughQSettingsAndTheStore) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    QStringList values = kTrickyValues;
    auto* random = QRandomGenerator::global();
    for (int i = 0; i < 200; ++i) {
        QString s;
        const int length = random->bounded(12);
        for (int j = 0; j < length; ++j) {
            static const char16_t pool[] = u"aZ09 ,;=\"\\@#[]\t\n\r\x01\x7f\u00e9\u2022/%";
            s += QChar(pool[random->bounded(int(std::size(pool) - 1))]);
        }
        values << s;
    }
    {
        QtSettingsStore store(ini);
        for (int i = 0; i < values.size(); ++i)
            store.WriteSetting(QString("k%1").arg(i), values[i]);
    }
    const QSettings qt(ini, QSettings::IniFormat);
    QtSettingsStore store(ini);
    for (int i = 0; i < values.size(); ++i) {
        const QString key = QString("k%1").arg(i);
        EXPECT_EQ(qt.value("options/" + key).toString(), values[i]) << i;
        EXPECT_EQ(store.ReadSetting(key), values[i]) << i;
    }
}

TEST(QtSettingsStore, ReadsWhatQSettingsWroteAndKeepsWhatItDoesNotKnow) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    {
        QSettings qt(ini, QSettings::IniFormat);
        for (int i = 0; i < kTrickyValues.size(); ++i)
            qt.setValue(QString("options/k%1").arg(i), kTrickyValues[i]);
        qt.setValue("other/keep", "me");
    }
    QtSettingsStore store(ini);
    for (int i = 0; i < kTrickyValues.size(); ++i)
        EXPECT_EQ(store.ReadSetting(QString("k%1").arg(i)), kTrickyValues[i]) << i;
    store.WriteSetting("k1", "41");
    store.WriteSetting("new", "x");
    const QSettings qt(ini, QSettings::IniFormat);
    EXPECT_EQ(qt.value("options/k1").toString(), "41");
    EXPECT_EQ(qt.value("options/new").toString(), "x");
    EXPECT_EQ(qt.value("options/k2").toString(), kTrickyValues[2]);
    EXPECT_EQ(qt.value("other/keep").toString(), "me");
}

TEST(QtSettingsStore, HandEditedGarbageReadsAsTextAndStaysInTheFile) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    put(ini, "[options]\nvol=@Invalid()\nvol = 3\nrollup=true, false\n\x01\x02garbage\n[x]\ny=1");
    QtSettingsStore store(ini);
    store.WriteSetting("vol", "10");
    EXPECT_EQ(store.ReadSetting("vol"), "10");
    EXPECT_EQ(contentOf(ini),
              "[options]\nvol=\"10\"\nrollup=true, false\n\x01\x02garbage\n[x]\ny=1\n");
}

TEST(SettingsIniText, AddsKeysToTheirGroupAndGroupsAtTheEnd) {
    EXPECT_EQ(withIniValue("", "options", "vol", "40"), "[options]\nvol=\"40\"\n");
    EXPECT_EQ(withIniValue("[General]\na=1", "options", "vol", "40"),
              "[General]\na=1\n\n[options]\nvol=\"40\"\n");
    EXPECT_EQ(withIniValue("[options]\r\na=1\r\n\r\n[z]\r\n", "options", "vol", "4"),
              "[options]\r\na=1\r\nvol=\"4\"\n\r\n[z]\r\n");
    EXPECT_EQ(iniKeyText("a b/c"), "a%20b\\c");
    EXPECT_EQ(iniValueText("@x"), "\"@@x\"");
}

// A full disk (28,672 of 30,018 bytes fit), a disk that reports it is full only when the file
// is flushed (delayed allocation; QSaveFile ignores that error and renames the cut file over the
// old one) and a read-only disk: the old file stays whole, the failure is told once, the value
// holds for this run, and the next good write stores it all.
TEST(QtSettingsStore, AFullOrReadOnlyDiskKeepsTheOldFileWhole) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    QtSettingsStore store(ini);
    store.WriteSetting("mp3dir", "/" + QString(29997, 'm'));
    const QByteArray before = contentOf(ini);
    ASSERT_EQ(before.size(), 30018);
    QStringList told;
    store.onWriteFailed = [&](const QString& why) { told << why; };

    for (const int fault : {0, 1, 2}) {
        files::testing::FaultyFileSystem faulty;
        if (fault == 0) faulty.fillDiskAfter(28672);
        if (fault == 1) faulty.failSync();
        if (fault == 2) faulty.makeReadOnly();
        files::FileSystemOverride use(faulty);
        store.WriteSetting("vol", "40");
        store.WriteSetting("skin", "default");
        EXPECT_EQ(contentOf(ini), before);
        EXPECT_EQ(namesIn(dir.path()), QStringList{"melodrop.ini"});
        EXPECT_TRUE(store.lastError().startsWith(ini + ": ")) << store.lastError().toStdString();
    }
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0], ini + ": No space left on device");
    EXPECT_TRUE(store.lastError().endsWith("Read-only file system"));
    EXPECT_EQ(store.ReadSetting("vol"), "40");

    store.WriteSetting("trig", "/");
    EXPECT_EQ(store.lastError(), "");
    const QSettings qt(ini, QSettings::IniFormat);
    EXPECT_EQ(qt.value("options/mp3dir").toString(), "/" + QString(29997, 'm'));
    EXPECT_EQ(qt.value("options/vol").toString(), "40");
    EXPECT_EQ(qt.value("options/skin").toString(), "default");
    EXPECT_EQ(qt.value("options/trig").toString(), "/");
}

// The program tells the failure in a warning box once the writing event is over, once.
TEST(QtSettingsStore, TheFailureIsToldInAWarningBoxAfterTheEvent) {
    QTemporaryDir dir;
    const QString ini = dir.path() + "/melodrop.ini";
    melodrop::testing::FakeDesktop desktop;
    QtSettingsStore store(ini);
    store.tellFailuresThrough(desktop);
    files::testing::FaultyFileSystem faulty;
    faulty.makeReadOnly();
    files::FileSystemOverride use(faulty);
    store.WriteSetting("vol", "41");
    store.WriteSetting("vol", "42");
    EXPECT_TRUE(desktop.requests.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.requests,
              QStringList{"message melodrop|melodrop could not save its settings.\n" + ini +
                          ": Read-only file system"});
    EXPECT_EQ(desktop.messageIcons, QList<MessageIcon>{MessageIcon::Warning});
}

// A settings file that is a pipe or far too large is not read, and nothing is written over it.
TEST(QtSettingsStore, AnUnreadableFileIsLeftAlone) {
    QTemporaryDir dir;
    const QString fifo = dir.path() + "/fifo.ini";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = dir.path() + "/huge.ini";
    put(huge, "[options]\nvol=5\n" + QByteArray(QtSettingsStore::kMaxFileBytes, ';'));
    for (const QString& ini : {fifo, huge}) {
        QtSettingsStore store(ini);
        EXPECT_EQ(store.ReadSetting("vol"), "");
        QStringList told;
        store.onWriteFailed = [&](const QString& why) { told << why; };
        store.WriteSetting("vol", "40");
        EXPECT_EQ(store.ReadSetting("vol"), "40");
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].startsWith(ini + ": ")) << told[0].toStdString();
    }
    EXPECT_TRUE(QFileInfo(fifo).isFile() == false && QFileInfo::exists(fifo));
    EXPECT_EQ(QFileInfo(huge).size(), 16 + QtSettingsStore::kMaxFileBytes);
}

// The same on a real disk that fills up: a tmpfs of 64 KiB in a mount namespace of its own.
TEST(QtSettingsStore, ARealFullDiskKeepsTheOldFileWhole) {
    const QString self = QCoreApplication::applicationFilePath();
    QTemporaryDir mountPoint;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MELODROP_TINY_DISK", mountPoint.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("unshare", {"--map-root-user", "--mount", "sh", "-c",
                            "mount -t tmpfs -o size=64k tmpfs \"$MELODROP_TINY_DISK\" || exit 77; "
                            "exec \"$0\" --gtest_also_run_disabled_tests "
                            "--gtest_filter=QtSettingsStoreOnTinyDisk.DISABLED_FillsUp",
                            self});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    MELODROP_NEED(child.exitCode() != 77 && child.error() != QProcess::FailedToStart,
                  "cannot mount a tmpfs in a user namespace here:\n" + output.toStdString());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
}

// Run by the test above inside its namespace, on the tiny disk.
TEST(QtSettingsStoreOnTinyDisk, DISABLED_FillsUp) {
    const QString disk = qEnvironmentVariable("MELODROP_TINY_DISK");
    ASSERT_FALSE(disk.isEmpty());
    const QString ini = disk + "/melodrop.ini";
    QtSettingsStore store(ini);
    store.WriteSetting("mp3dir", "/" + QString(29997, 'm'));
    ASSERT_EQ(store.lastError(), "");
    const QByteArray before = contentOf(ini);
    ASSERT_EQ(before.size(), 30018);
    // Fill what is left of the disk.
    {
        QFile filler(disk + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    store.WriteSetting("vol", "40");
    EXPECT_EQ(store.lastError(), ini + ": No space left on device");
    EXPECT_EQ(contentOf(ini), before);
    EXPECT_EQ(namesIn(disk), (QStringList{"filler", "melodrop.ini"}));
    const QSettings qt(ini, QSettings::IniFormat);
    EXPECT_EQ(qt.value("options/mp3dir").toString(), "/" + QString(29997, 'm'));
}
