// skinfetch's refresh and download against a real server, with scripted dialogs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "localserver/LocalHttpServer.h"
#include "net/QtWebTransfer.h"
#include "skinfetch/FakeSkinfetchDialogs.h"
#include "skinfetch/SkinListFile.h"
#include "skinfetch/Skinfetch.h"

using namespace std::chrono_literals;

namespace melodrop::skinfetch {
namespace {

using melodrop::LocalHttpServer;
using testing::FakeSkinfetchDialogs;

const QString kList = "/zeph/melodrop/skins/skins.txt";

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class SkinfetchTest : public ::testing::Test {
protected:
    SkinfetchTest()
        : transfer(limits()), logic(transfer, dialogs, programFolder.path(), server.baseUrl()) {
        QDir(programFolder.path()).mkdir("skins");
        logic.onStatusChanged = [this] { statuses << logic.status(); };
    }
    static TransferLimits limits() {
        TransferLimits l;
        l.window = 300ms;
        return l;
    }
    QString skinsFolder() const { return programFolder.path() + "/skins"; }
    void refreshWith(const QByteArray& listText) {
        server.serve(kList, listText);
        logic.refreshList();
    }
    QStringList filesIn(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    LocalHttpServer server;
    QtWebTransfer transfer;
    FakeSkinfetchDialogs dialogs;
    QTemporaryDir programFolder;
    QTemporaryDir target;
    Skinfetch logic;
    QStringList statuses;
};

TEST_F(SkinfetchTest, EachLineIsOneEntryAndTheListCopyIsRemoved) {
    EXPECT_EQ(logic.status(), "status:");
    refreshWith("cool skin\r\nblue, green\r\nlast");
    EXPECT_EQ(logic.entries(), (QStringList{"cool skin", "blue, green", "last"}));
    EXPECT_EQ(statuses, (QStringList{"status: getting list...", "status: get list complete."}));
    EXPECT_TRUE(filesIn(skinsFolder()).isEmpty());
    EXPECT_TRUE(dialogs.requests.isEmpty());
    EXPECT_EQ(logic.selectedIndex(), -1);
}

TEST_F(SkinfetchTest, AFinalLineBreakGivesAnEmptyLastEntry) {
    refreshWith("a\r\nb\r\n");
    EXPECT_EQ(logic.entries(), (QStringList{"a", "b", ""}));
    refreshWith("a\nb\n");  // bare line feeds end lines too
    EXPECT_EQ(logic.entries(), (QStringList{"a", "b", ""}));
}

TEST_F(SkinfetchTest, NoAnswerGivesOneEmptyEntry) {
    server.serveSilence(kList);
    logic.refreshList();
    EXPECT_EQ(logic.entries(), QStringList{""});
    EXPECT_EQ(logic.status(), "status: get list complete.");
    EXPECT_FALSE(logic.isWorking());
}

TEST_F(SkinfetchTest, SavingTheListCopyFailsWithTheErrorSavingBox) {
    // The skins folder is missing: the path does not exist.
    QDir(skinsFolder()).removeRecursively();
    refreshWith("a\r\nb");
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_TRUE(dialogs.requests.at(0).startsWith("box Error Saving|Error - "));
    EXPECT_GT(dialogs.requests.at(0).size(), QString("box Error Saving|Error - ").size());
    EXPECT_EQ(dialogs.icons, QList<BoxIcon>{BoxIcon::Warning});
    EXPECT_TRUE(logic.entries().isEmpty());
    EXPECT_EQ(statuses.last(), "status: get list complete.");

    // Any other failure: the copy's name is taken by a folder.
    QDir(programFolder.path()).mkpath("skins/skins.txt");
    dialogs.requests.clear();
    refreshWith("a\r\nb");
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_TRUE(dialogs.requests.at(0).startsWith("box Error Saving|Unknown Error - "));
    EXPECT_TRUE(logic.entries().isEmpty());
}

TEST_F(SkinfetchTest, TheSelectedEntryAtTheBottomOfALongListIsDownloaded) {
    QByteArray list;
    for (int i = 0; i < 40; ++i) list += "skin " + QByteArray::number(i) + "\r\n";
    list += "50% #1, final";
    refreshWith(list);
    server.serve("/zeph/melodrop/skins/50% #1, final.zip", "PK bottom");
    server.serve("/zeph/melodrop/skins/skin 0.zip", "PK top");
    const QString stored = target.path() + "/50% #1, final.zip";
    {
        QFile old(stored);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'o'));
    }

    logic.setSelectedIndex(40);
    dialogs.saveAnswers = {target.path() + "/typed name.zip"};
    statuses.clear();
    logic.downloadSelected();

    EXPECT_EQ(dialogs.requests,
              (QStringList{"save Save skin to|(*.zip)|*zip|50% #1, final|" + skinsFolder(),
                           "box skinfetch|" + target.path()}));
    EXPECT_EQ(dialogs.icons, QList<BoxIcon>{BoxIcon::None});
    EXPECT_EQ(server.requestCount("/zeph/melodrop/skins/skin 0.zip"), 0);
    EXPECT_EQ(readFile(stored), "PK bottom");
    EXPECT_EQ(filesIn(target.path()), QStringList{"50% #1, final.zip"});
    EXPECT_EQ(statuses,
              (QStringList{"status: downloading skin.", "status: skin download complete."}));
}

TEST_F(SkinfetchTest, WithoutASelectedNameNoDialogOpens) {
    logic.downloadSelected();  // empty list
    refreshWith("a\r\n");
    logic.downloadSelected();   // nothing selected
    logic.setSelectedIndex(1);  // the empty last entry
    logic.downloadSelected();
    EXPECT_TRUE(dialogs.requests.isEmpty());
    EXPECT_EQ(logic.status(), "status: get list complete.");
}

TEST_F(SkinfetchTest, HostileNamesAreRefusedWithoutDialogOrDownload) {
    refreshWith("../evil\r\na/b\r\na\\b\r\nC:evil\r\ntab\tname\r\n..\r\ndel\x7f");
    ASSERT_EQ(logic.entries().size(), 7);
    for (int i = 0; i < logic.entries().size(); ++i) {
        logic.setSelectedIndex(i);
        dialogs.saveAnswers = {target.path() + "/x.zip"};
        logic.downloadSelected();
        EXPECT_TRUE(logic.status().startsWith("status: skin name refused"))
            << logic.entries().at(i).toStdString();
    }
    EXPECT_TRUE(dialogs.requests.isEmpty());
    EXPECT_EQ(server.requestCount(), 1);  // the list only
    EXPECT_TRUE(filesIn(target.path()).isEmpty());
}

// A list in the single-byte text of the rest of the system: the name shows readable and the
// server is asked for the bytes its list wrote; a UTF-8 list reads as UTF-8.
TEST_F(SkinfetchTest, AWindows1252ListShowsReadableNamesAndRequestsTheOriginalBytes) {
    refreshWith("caf\xE9 noir\r\n\x93quoted\x94\r\ncaf\xC3\xA9 cr\xC3\xA8me");
    ASSERT_EQ(logic.entries(), (QStringList{QString::fromUtf8("caf\u00e9 noir"),
                                            QString::fromUtf8("\u201cquoted\u201d"),
                                            QString::fromUtf8("caf\u00e9 cr\u00e8me")}));
    QStringList asked;
    server.onRequest = [&](const QString& path) { asked << path; };
    server.serve(QString::fromUtf8("/zeph/melodrop/skins/caf\u00e9 noir.zip"), "PK 1252");
    logic.setSelectedIndex(0);
    dialogs.saveAnswers = {target.path() + "/x.zip"};
    logic.downloadSelected();
    EXPECT_EQ(logic.status(), "status: skin download complete.");
    EXPECT_EQ(readFile(target.path() + QString::fromUtf8("/caf\u00e9 noir.zip")), "PK 1252");
    EXPECT_EQ(asked, QStringList{QString::fromUtf8("/zeph/melodrop/skins/caf\u00e9 noir.zip")});
    EXPECT_TRUE(dialogs.requests.first().contains(QString::fromUtf8("|caf\u00e9 noir|")));
}

TEST_F(SkinfetchTest, TheRequestCarriesTheListsBytesPercentEncoded) {
    EXPECT_EQ(entryName("caf\xE9"), QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(entryName("caf\xC3\xA9"), QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(entryName("\x80\x81"), QString::fromUtf8("\u20ac\u0081"));
    QByteArray raw;
    server.onRequest = [&](const QString& path) { raw = path.toLatin1(); };
    refreshWith("caf\xE9");
    // The server decodes %E9 (not UTF-8) as Latin-1: the request held the byte E9 itself.
    server.serve(QString::fromLatin1("/zeph/melodrop/skins/caf\xE9.zip"), "PK");
    logic.setSelectedIndex(0);
    dialogs.saveAnswers = {target.path() + "/x.zip"};
    logic.downloadSelected();
    EXPECT_EQ(raw, QByteArray("/zeph/melodrop/skins/caf\xE9.zip"));
}

// Harmless names with dots download; only "." and ".." themselves are refused.
TEST_F(SkinfetchTest, NamesWithTwoDotsInsideAreHarmless) {
    refreshWith("my..skin\r\n...\r\nv1.2..final");
    for (int i = 0; i < 3; ++i) {
        const QString name = logic.entries().at(i);
        server.serve("/zeph/melodrop/skins/" + name + ".zip", "PK " + name.toUtf8());
        logic.setSelectedIndex(i);
        dialogs.saveAnswers = {target.path() + "/x.zip"};
        logic.downloadSelected();
        EXPECT_EQ(logic.status(), "status: skin download complete.") << name.toStdString();
        EXPECT_EQ(readFile(target.path() + "/" + name + ".zip"), "PK " + name.toUtf8());
    }
    EXPECT_EQ(unsafeSkinNameReason("."), "\".\" is not a skin name");
    EXPECT_EQ(unsafeSkinNameReason(".."), "\"..\" is not a skin name");
    EXPECT_EQ(unsafeSkinNameReason("C:evil"), "the file name starts with a drive");
    EXPECT_EQ(unsafeSkinNameReason("skin: deluxe"), "");
}

// A list that never ends (or trickles) is given up like no answer: one empty entry.
TEST_F(SkinfetchTest, AHostileListServerEndsTheRefreshLikeNoAnswer) {
    for (const auto kind : {LocalHttpServer::Hostile::Chunked, LocalHttpServer::Hostile::Trickle}) {
        server.serveHostile(kList, kind);
        server.setTrickleInterval(10);
        logic.refreshList();
        EXPECT_EQ(logic.entries(), QStringList{""});
        EXPECT_EQ(logic.status(), "status: get list complete.");
        EXPECT_TRUE(filesIn(skinsFolder()).isEmpty());
    }
}

TEST_F(SkinfetchTest, AFailedDownloadSaysSoAndKeepsTheOldArchive) {
    refreshWith("gone");
    const QString stored = target.path() + "/gone.zip";
    {
        QFile old(stored);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old skin");
    }
    logic.setSelectedIndex(0);
    dialogs.saveAnswers = {stored};
    logic.downloadSelected();
    EXPECT_EQ(logic.status(), "status: skin download failed.");
    EXPECT_EQ(readFile(stored), "old skin");

    // A cancelled dialog ends silently.
    statuses.clear();
    logic.downloadSelected();
    EXPECT_TRUE(statuses.isEmpty());
}

}  // namespace
}  // namespace melodrop::skinfetch
