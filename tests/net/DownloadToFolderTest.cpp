// The download routine: the file is replaced whole or not at all, and a name from the server
// never reaches outside the folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fakes/FaultyFileSystem.h"
#include "localserver/LocalHttpServer.h"
#include "net/DownloadToFolder.h"
#include "net/QtWebTransfer.h"

using namespace std::chrono_literals;

namespace melodrop {
namespace {

using Outcome = DownloadResult::Outcome;
using melodrop::LocalHttpServer;

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class DownloadToFolderTest : public ::testing::Test {
protected:
    DownloadToFolderTest() : transfer(limits()) {}
    static TransferLimits limits() {
        TransferLimits l;
        l.window = 300ms;
        return l;
    }
    QStringList filesInFolder() const {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    LocalHttpServer server;
    QtWebTransfer transfer;
    QTemporaryDir folder;
};

TEST_F(DownloadToFolderTest, StoresTheBodyUnderTheDecodedLastSegment) {
    server.serve("/zeph/melodrop/melodrop update.zip", "PK archive");
    const DownloadResult r =
        downloadToFolder(transfer, server.url("/zeph/melodrop/melodrop update.zip"), folder.path());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.path, folder.path() + "/melodrop update.zip");
    EXPECT_EQ(readFile(r.path), "PK archive");
    EXPECT_EQ(filesInFolder(), QStringList{"melodrop update.zip"});
}

TEST_F(DownloadToFolderTest, ReplacesALargerExistingFileWhole) {
    const QString target = folder.path() + "/skin.zip";
    writeFile(target, QByteArray(50000, 'o'));
    server.serve("/skins/skin.zip", "new");
    ASSERT_TRUE(downloadToFolder(transfer, server.url("/skins/skin.zip"), folder.path()).ok());
    EXPECT_EQ(readFile(target), "new");
}

TEST_F(DownloadToFolderTest, AFailedTransferLeavesTheOldFileAsItWas) {
    const QString target = folder.path() + "/skin.zip";
    writeFile(target, "old content");
    server.serveCutOff("/cut/skin.zip", QByteArray(200000, 'n'), 70000);
    server.serve("/gone/skin.zip", "not here", 404);
    server.serveSilence("/silent/skin.zip");

    for (const QString path : {"/cut/skin.zip", "/gone/skin.zip", "/silent/skin.zip"}) {
        const DownloadResult r = downloadToFolder(transfer, server.url(path), folder.path());
        EXPECT_EQ(r.outcome, Outcome::FetchFailed) << path.toStdString();
        EXPECT_FALSE(r.error.isEmpty());
        EXPECT_EQ(readFile(target), "old content") << path.toStdString();
        EXPECT_EQ(filesInFolder(), QStringList{"skin.zip"}) << "no partial file is left behind";
    }
}

TEST_F(DownloadToFolderTest, AnUnwritableFolderFailsAndLeavesNothing) {
    server.serve("/a.zip", "bytes");
    const DownloadResult missing =
        downloadToFolder(transfer, server.url("/a.zip"), folder.path() + "/no such folder");
    EXPECT_EQ(missing.outcome, Outcome::WriteFailed);
    EXPECT_EQ(server.requestCount(), 0) << "nothing is fetched that cannot be stored";

    QDir(folder.path()).mkdir("a.zip");  // the target name is taken by a folder
    const DownloadResult blocked = downloadToFolder(transfer, server.url("/a.zip"), folder.path());
    EXPECT_EQ(blocked.outcome, Outcome::WriteFailed);
    EXPECT_FALSE(blocked.error.isEmpty());
    EXPECT_TRUE(filesInFolder().isEmpty());
}

TEST_F(DownloadToFolderTest, AFullOrReadOnlyDiskKeepsTheOldFileWhole) {
    const QString target = folder.path() + "/skin.zip";
    writeFile(target, "old content");
    server.serve("/skin.zip", QByteArray(100000, 'n'));
    for (const bool readOnly : {false, true}) {
        files::testing::FaultyFileSystem faulty;
        if (readOnly)
            faulty.makeReadOnly();
        else
            faulty.fillDiskAfter(65536);
        files::FileSystemOverride use(faulty);
        const DownloadResult r = downloadToFolder(transfer, server.url("/skin.zip"), folder.path());
        EXPECT_EQ(r.outcome, Outcome::WriteFailed);
        EXPECT_EQ(r.error,
                  target + (readOnly ? ": Read-only file system" : ": No space left on device"));
        EXPECT_EQ(readFile(target), "old content");
        EXPECT_EQ(filesInFolder(), QStringList{"skin.zip"});
    }
}

TEST_F(DownloadToFolderTest, AGivenFileNameIsUsedAndCheckedLikeTheUrls) {
    server.serve(QString::fromUtf8("/skins/caf\u00e9.zip"), "PK");
    const DownloadResult r = downloadToFolder(transfer, server.baseUrl() + "/skins/caf%E9.zip",
                                              folder.path(), QString::fromUtf8("caf\u00e9.zip"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.path, folder.path() + QString::fromUtf8("/caf\u00e9.zip"));
    EXPECT_EQ(readFile(r.path), "PK");
    EXPECT_EQ(
        downloadToFolder(transfer, server.url("/skins/x.zip"), folder.path(), "../x.zip").outcome,
        Outcome::BadFileName);
}

TEST_F(DownloadToFolderTest, NamesThatWouldLeaveTheFolderAreRefusedBeforeFetching) {
    QTemporaryDir outside;
    const QString base = server.baseUrl();
    const QString hostile[] = {
        base + "/skins/",
        base + "/skins/.",
        base + "/skins/..",
        base + "/skins/%2e%2e",
        base + "/skins/..%2Fevil.zip",
        base + "/skins/a%2Fb.zip",
        base + "/skins/a%5Cb.zip",
        base + "/skins/C:evil.zip",
        base + "/skins/a%0Ab.zip",
        base,
    };
    for (const QString& url : hostile) {
        const DownloadResult r = downloadToFolder(transfer, url, folder.path());
        EXPECT_EQ(r.outcome, Outcome::BadFileName) << url.toStdString();
    }
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_TRUE(filesInFolder().isEmpty());
    EXPECT_TRUE(QDir(outside.path()).isEmpty());
}

TEST_F(DownloadToFolderTest, DoesNothingWhileAnotherTransferRuns) {
    server.serve("/list.txt", "a");
    server.serve("/skin.zip", "zip");
    DownloadResult nested;
    server.onRequest = [&](const QString& path) {
        if (path == "/list.txt")
            nested = downloadToFolder(transfer, server.url("/skin.zip"), folder.path());
    };
    EXPECT_TRUE(transfer.fetch(server.url("/list.txt")).ok);
    EXPECT_EQ(nested.outcome, Outcome::Busy);
    EXPECT_EQ(server.requestCount("/skin.zip"), 0);
    EXPECT_TRUE(filesInFolder().isEmpty());
}

}  // namespace
}  // namespace melodrop
