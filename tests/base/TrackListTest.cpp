// The track list's reading of a folder: which files it lists, in which order, and names that are
// not valid UTF-8.
#include "base/TrackList.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "base/FileNames.h"
#include "base/Mp3Folder.h"
#include "fakes/QtPrinters.h"

namespace melodrop {
namespace {

class TrackListFolder : public ::testing::Test {
protected:
    void touch(const QString& name) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    // A file whose name is the given bytes (Qt cannot see it to remove it: the test does).
    void touchBytes(const QByteArray& name) {
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + name;
        FILE* f = std::fopen(path.constData(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
        made_.append(path);
    }
    ~TrackListFolder() override {
        for (const QByteArray& path : made_) ::unlink(path.constData());
    }
    QTemporaryDir dir;
    QList<QByteArray> made_;
};

// The order the list had when it compared names with the collator at every step of the sort.
QStringList collatorOrder(QStringList names) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return names;
}

TEST_F(TrackListFolder, ListsTheMp3FilesOfAMixedFolderInNameOrder) {
    for (const char* name : {"b.mp3", "A.MP3", "c.Mp3", "10 ten.mp3", "9 nine.mp3",
                             "\u00e4rger.mp3", "Zebra.mp3", "zulu.mP3", ".hidden.mp3", "notes.txt",
                             "cover.jpg", "mp3", "song.mp3.bak", "song.mp4", "x.mp3 "})
        touch(QString::fromUtf8(name));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
    ASSERT_EQ(::symlink("b.mp3", QFile::encodeName(dir.filePath("link to b.mp3")).constData()), 0);
    ASSERT_EQ(::symlink("gone.mp3", QFile::encodeName(dir.filePath("broken.mp3")).constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.mp3")).constData(), 0600), 0);
    touch(QStringLiteral("locked.mp3"));
    QFile::setPermissions(dir.filePath("locked.mp3"), QFileDevice::Permissions());

    TrackList list;
    ASSERT_TRUE(list.setFolder(dir.path()));
    // In the order of a sort that asks the collator at every step (where the accented name goes
    // depends on the locale).
    const QStringList expected = collatorOrder(
        {"zulu.mP3", "b.mp3", "c.Mp3", ".hidden.mp3", "10 ten.mp3", "9 nine.mp3", "A.MP3",
         QString::fromUtf8("\u00e4rger.mp3"), "link to b.mp3", "locked.mp3", "Zebra.mp3"});
    EXPECT_EQ(list.entries(), expected);
    QStringList plain = expected;
    plain.removeAll(QString::fromUtf8("\u00e4rger.mp3"));
    EXPECT_EQ(plain,
              (QStringList{".hidden.mp3", "10 ten.mp3", "9 nine.mp3", "A.MP3", "b.mp3", "c.Mp3",
                           "link to b.mp3", "locked.mp3", "Zebra.mp3", "zulu.mP3"}));
    // The lower-case copy goes with it, index for index.
    QStringList lower;
    for (const QString& name : expected) lower << name.toLower();
    EXPECT_EQ(list.lowerCaseEntries(), lower);
}

TEST_F(TrackListFolder, SortsLikeTheCollatorOnManyNames) {
    QStringList names;
    const char* const parts[] = {"Love",
                                 "love",
                                 "LOVE",
                                 "\u00c9t\u00e9",
                                 "ete",
                                 "Zo\u00eb",
                                 "zoe",
                                 "a b",
                                 "a-b",
                                 "a_b",
                                 "ab",
                                 "A\u0301",
                                 "\u00c1",
                                 "x10",
                                 "x9",
                                 "stra\u00dfe",
                                 "STRASSE",
                                 "\u1e9e",
                                 "\u0130stanbul",
                                 "istanbul",
                                 "\U00010400x",
                                 "\U00010428X",
                                 "\u03a3\u03c3\u03c2"};
    for (const char* a : parts)
        for (const char* b : {"", " song", "2", " (remix)"})
            names << QString::fromUtf8(a) + QString::fromUtf8(b) + QStringLiteral(".mp3");
    QStringList sorted = names;
    sortTrackNames(sorted);
    EXPECT_EQ(sorted.size(), names.size());
    // The same order when the lower-case copy is made along (and shared as a key).
    QStringList withCopy = names, lowerCase;
    sortTrackNames(withCopy, &lowerCase);
    EXPECT_EQ(withCopy, sorted);
    ASSERT_EQ(lowerCase.size(), sorted.size());
    for (qsizetype i = 0; i < sorted.size(); ++i) EXPECT_EQ(lowerCase[i], sorted[i].toLower());
    // Any two neighbours are in the collator's order (names it takes as equal may come either
    // way in a collator sort; ours orders those by their characters).
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    for (qsizetype i = 1; i < sorted.size(); ++i) {
        const int order = collator.compare(sorted[i - 1], sorted[i]);
        EXPECT_LE(order, 0) << sorted[i - 1].toStdString() << " / " << sorted[i].toStdString();
        if (order == 0) {
            EXPECT_LT(sorted[i - 1], sorted[i]);
        }
    }
}

TEST_F(TrackListFolder, FindsByLowerCasedPartOfTheName) {
    for (const char* name : {"Love Song.mp3", "lovely day.MP3", "New.mp3"}) touch(name);
    TrackList list;
    ASSERT_TRUE(list.setFolder(dir.path()));
    EXPECT_EQ(list.findLowerCase(QStringLiteral("love")), 0);
    EXPECT_EQ(list.findLowerCase(QStringLiteral("love"), 1), 1);
    EXPECT_EQ(list.findLowerCase(QStringLiteral("love"), 2), -1);
    EXPECT_EQ(list.findLowerCase(QStringLiteral(".mp3"), -5), 0);
    // A refresh rebuilds the copy with the list.
    touch(QStringLiteral("ALOVE.mp3"));
    list.refresh();
    EXPECT_EQ(list.findLowerCase(QStringLiteral("love")), 0);
    EXPECT_EQ(list.entry(0), QStringLiteral("ALOVE.mp3"));
}

TEST_F(TrackListFolder, AFolderThatCannotBeReadListsNothing) {
    QStringList names{QStringLiteral("left over")};
    EXPECT_FALSE(listMp3Files(dir.filePath("missing"), names));
    EXPECT_TRUE(names.isEmpty());
}

// Names made on a system with an 8-bit code page are not valid UTF-8: they are listed under their
// Windows-1252 reading, and the path built from that name opens the file's own bytes.
TEST_F(TrackListFolder, NamesThatAreNotUtf8AreListedReadablyAndLeadBackToTheirBytes) {
    touchBytes("caf\xe9 noir.mp3");
    touchBytes("\x93quoted\x94 \x81.mp3");
    touch(QString::fromUtf8("caf\u00e9 cr\u00e8me.mp3"));  // valid UTF-8
    TrackList list;
    ASSERT_TRUE(list.setFolder(dir.path()));
    const QString noir = QString::fromUtf8("caf\u00e9 noir.mp3");
    const QString quoted = QString::fromUtf8("\u201cquoted\u201d \u0081.mp3");
    EXPECT_EQ(list.entries(),
              collatorOrder({QString::fromUtf8("caf\u00e9 cr\u00e8me.mp3"), noir, quoted}));

    EXPECT_EQ(nativeFilePath(list.pathOf(noir)),
              QFile::encodeName(dir.path()) + "/caf\xe9 noir.mp3");
    EXPECT_EQ(nativeFilePath(list.pathOf(quoted)),
              QFile::encodeName(dir.path()) + "/\x93quoted\x94 \x81.mp3");
    // Valid names, and names of files that do not exist, keep their UTF-8 bytes.
    const QString creme = list.pathOf(QString::fromUtf8("caf\u00e9 cr\u00e8me.mp3"));
    EXPECT_EQ(nativeFilePath(creme), QFile::encodeName(creme));
    const QString missing = list.pathOf(QString::fromUtf8("caf\u00e9 blanc.mp3"));
    EXPECT_EQ(nativeFilePath(missing), QFile::encodeName(missing));
}

TEST(FileNames, Windows1252ReadingKeepsEveryByte) {
    QByteArray all;
    for (int b = 1; b < 256; ++b) all.append(static_cast<char>(b));
    const QString name = fileNameFromBytes(all);
    ASSERT_EQ(name.size(), all.size());
    EXPECT_EQ(name.at(0x80 - 1), QChar(0x20AC));  // the euro sign
    QByteArray back;
    ASSERT_TRUE(fileNameToWindows1252(name, back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(fileNameToWindows1252(QStringLiteral("\u4e2d"), back));
    EXPECT_EQ(fileNameFromBytes("plain.mp3"), QStringLiteral("plain.mp3"));
    EXPECT_EQ(fileNameFromBytes("\xc3\xa9.mp3"), QString::fromUtf8("\u00e9.mp3"));
}

}  // namespace
}  // namespace melodrop
