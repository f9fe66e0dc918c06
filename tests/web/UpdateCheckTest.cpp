// The update check from the menu item to its last window state, against a real server.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/VirtualClock.h"
#include "fakes/FakeDesktop.h"
#include "fakes/ProcessMemory.h"
#include "localserver/LocalHttpServer.h"
#include "net/QtWebTransfer.h"
#include "web/UpdateCheck.h"

using namespace std::chrono_literals;

namespace melodrop {
namespace {

using melodrop::LocalHttpServer;
using testing::FakeDesktop;

const QString kRelease = "/zeph/melodrop/updates.txt";
const QString kArchive = "/zeph/melodrop/melodrop update.zip";
const QString kQuestion =
    "message melodrop|a update of melodrop has been found, would you like to download it?";
const QString kWillDownload =
    "message melodrop|melodrop will download update in the background and will inform you when "
    "the download is complete.";

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest()
        : transfer(limits()),
          check(desktop, transfer, clock, programFolder.path(), server.baseUrl()) {}
    static TransferLimits limits() {
        TransferLimits l;
        l.window = 300ms;
        return l;
    }
    // The menu item, then the 100 ms until Timer2 fires.
    void clickCheckForUpdates() {
        check.start();
        clock.advance(0.1);
    }
    QString saveRequest() const {
        return "save Choose where to save melodrop|(*.zip)|*zip|melodrop update|" +
               programFolder.path();
    }
    QStringList filesIn(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    FakeDesktop desktop;
    VirtualClock clock;
    LocalHttpServer server;
    QtWebTransfer transfer;
    QTemporaryDir programFolder;
    QTemporaryDir target;
    UpdateCheck check;
};

TEST_F(UpdateCheckTest, TheMenuItemShowsTheNoticeAndTheCheckRunsOnceAfter100ms) {
    server.serve(kRelease, "0.0.2");
    check.start();
    EXPECT_EQ(desktop.requests, QStringList{"notice"});
    EXPECT_TRUE(check.timer2().isEnabled());
    EXPECT_EQ(check.timer2().interval(), 100);

    clock.advance(0.099);
    EXPECT_EQ(server.requestCount(), 0);
    clock.advance(0.001);
    EXPECT_EQ(server.requestCount(kRelease), 1);
    EXPECT_FALSE(check.timer2().isEnabled());
    clock.advance(5);
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(UpdateCheckTest, TheRunningVersionMeansNoUpdate) {
    server.serve(kRelease, "0.0.2");
    clickCheckForUpdates();
    EXPECT_EQ(desktop.requests,
              (QStringList{"notice", "hide notice", "minimize",
                           "message melodrop|no updates for melodrop were found.", "restore"}));
    EXPECT_EQ(desktop.messageIcons, QList<MessageIcon>{MessageIcon::Information});
}

TEST_F(UpdateCheckTest, AnyOtherBodyIsAnUpdateAndNoLeavesNothing) {
    for (const QByteArray body : {"0.0.2\r\n", "0.0.2\n", "", "0.0.3", "0.0.2 "}) {
        server.serve(kRelease, body);
        desktop.requests.clear();
        desktop.messageAnswers.enqueue(MessageAnswer::No);
        clickCheckForUpdates();
        EXPECT_EQ(desktop.requests, (QStringList{"notice", "minimize", "hide notice", kQuestion,
                                                 "hide notice", "restore"}))
            << body.toStdString();
    }
    EXPECT_EQ(desktop.messageIcons.last(), MessageIcon::Question);
    EXPECT_EQ(server.requestCount(kArchive), 0);
    EXPECT_TRUE(filesIn(programFolder.path()).isEmpty());
}

TEST_F(UpdateCheckTest, YesStoresTheArchiveInTheChosenFolderUnderItsOwnName) {
    server.serve(kRelease, "0.0.3");
    server.serve(kArchive, "PK new release");
    desktop.fileAnswers.enqueue(target.path() + "/my own name.zip");
    clickCheckForUpdates();

    EXPECT_EQ(desktop.requests, (QStringList{"notice", "minimize", "hide notice", kQuestion,
                                             saveRequest(), kWillDownload, "restore", "minimize",
                                             "message melodrop|melodrop download complete.",
                                             "hide notice", "restore"}));
    EXPECT_EQ(filesIn(target.path()), QStringList{"melodrop update.zip"});
    EXPECT_EQ(readFile(target.path() + "/melodrop update.zip"), "PK new release");
}

TEST_F(UpdateCheckTest, ABackslashPathAndALargerOldArchiveAreHandled) {
    const QString stored = target.path() + "/melodrop update.zip";
    {
        QFile old(stored);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(300000, 'o'));
    }
    QByteArray archive(2 * 1024 * 1024, 'n');
    server.serve(kRelease, "0.1.0");
    server.serve(kArchive, archive);
    desktop.fileAnswers.enqueue(target.path() + "\\typed.zip");
    clickCheckForUpdates();

    EXPECT_EQ(readFile(stored), archive);
    EXPECT_TRUE(desktop.requests.contains("message melodrop|melodrop download complete."));
}

TEST_F(UpdateCheckTest, AnUnreachableReleaseFileStopsSilently) {
    server.serveSilence(kRelease);
    const QString bases[] = {server.baseUrl() + "/elsewhere", server.baseUrl(),
                             LocalHttpServer::refusingBaseUrl()};
    for (const QString& base : bases) {
        UpdateCheck failing(desktop, transfer, clock, programFolder.path(), base);
        desktop.requests.clear();
        failing.start();
        clock.advance(0.1);
        EXPECT_EQ(desktop.requests, (QStringList{"notice", "hide notice", "restore"}))
            << base.toStdString();
    }
}

// A hostile update server (an endless release file, a trickle, an endless archive) ends the
// check as any failure does, in bounded memory.
TEST_F(UpdateCheckTest, AHostileServerEndsTheCheckLikeAnyFailure) {
    for (const auto kind : {LocalHttpServer::Hostile::NoLength, LocalHttpServer::Hostile::Trickle,
                            LocalHttpServer::Hostile::HugeHeader}) {
        server.serveHostile(kRelease, kind);
        server.setTrickleInterval(10);
        testing::resetPeakResident();
        const qint64 before = testing::residentBytes();
        desktop.requests.clear();
        clickCheckForUpdates();
        EXPECT_EQ(desktop.requests, (QStringList{"notice", "hide notice", "restore"}));
        if (testing::kPeakMemoryMeaningful) {
            EXPECT_LT(testing::peakResidentBytes() - before, qint64{100} * 1024 * 1024);
        }
    }
    server.serve(kRelease, "0.0.3");
    server.serveHostile(kArchive, LocalHttpServer::Hostile::Chunked);
    desktop.fileAnswers.enqueue(target.path() + "/x.zip");
    desktop.requests.clear();
    clickCheckForUpdates();
    ASSERT_GE(desktop.requests.size(), 3);
    EXPECT_TRUE(desktop.requests.at(desktop.requests.size() - 3)
                    .startsWith("message melodrop|melodrop download failed: "))
        << desktop.requests.join('\n').toStdString();
    EXPECT_TRUE(filesIn(target.path()).isEmpty());
}

TEST_F(UpdateCheckTest, CancellingTheDialogOrAPathWithoutFolderStopsSilently) {
    server.serve(kRelease, "9.9.9");
    server.serve(kArchive, "zip");
    for (const QString answer : {"", "typed.zip"}) {
        desktop.requests.clear();
        desktop.fileAnswers.enqueue(answer);
        clickCheckForUpdates();
        EXPECT_EQ(desktop.requests, (QStringList{"notice", "minimize", "hide notice", kQuestion,
                                                 saveRequest(), "hide notice", "restore"}));
    }
    EXPECT_EQ(server.requestCount(kArchive), 0);
}

TEST_F(UpdateCheckTest, AFailedDownloadIsReportedAsFailedAndKeepsTheOldArchive) {
    const QString stored = target.path() + "/melodrop update.zip";
    {
        QFile old(stored);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous");
    }
    server.serve(kRelease, "0.0.3");
    for (int cutOff = 0; cutOff < 2; ++cutOff) {
        if (cutOff)
            server.serveCutOff(kArchive, QByteArray(100000, 'n'), 1000);
        else
            server.serve(kArchive, "missing", 404);
        desktop.requests.clear();
        desktop.messageIcons.clear();
        desktop.fileAnswers.enqueue(stored);
        clickCheckForUpdates();

        ASSERT_GE(desktop.requests.size(), 3);
        EXPECT_TRUE(desktop.requests.at(desktop.requests.size() - 3)
                        .startsWith("message melodrop|melodrop download failed: "));
        EXPECT_EQ(desktop.requests.mid(desktop.requests.size() - 2),
                  (QStringList{"hide notice", "restore"}));
        EXPECT_FALSE(desktop.requests.contains("message melodrop|melodrop download complete."));
        EXPECT_EQ(desktop.messageIcons.last(), MessageIcon::Warning);
        EXPECT_EQ(readFile(stored), "previous");
        EXPECT_EQ(filesIn(target.path()), QStringList{"melodrop update.zip"});
    }
}

TEST_F(UpdateCheckTest, SkinfetchIsStartedFromTheProgramFolder) {
    check.startSkinfetch();
    EXPECT_EQ(desktop.requests, QStringList{"start " + programFolder.path() + "/skinfetch"});
}

}  // namespace
}  // namespace melodrop
