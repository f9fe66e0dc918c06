// The channel between a later start of melodrop and the running one: what a request may be, and
// a running side that takes nothing else, from nobody else.
#include <gtest/gtest.h>

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <future>

#include "ui/InstanceChannel.h"

using namespace melodrop::ui;

namespace {

using Kind = InstanceRequest::Kind;

class InstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ASSERT_TRUE(server.listen());
    }
    QString socketPath() const { return runtime.filePath(QStringLiteral("melodrop.socket")); }

    // The later start's side runs on a thread of its own: the running side answers on this one.
    bool send(const InstanceRequest& request) {
        auto sent = std::async(std::launch::async, [this, request] {
            return sendToRunningInstance(request, nullptr, socketPath(), 5000);
        });
        while (sent.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return sent.get();
    }
    // A peer that writes raw bytes; what it hears back.
    QByteArray rawPeer(const QByteArray& bytes) {
        auto heard = std::async(std::launch::async, [this, bytes] {
            QLocalSocket socket;
            socket.connectToServer(socketPath());
            if (!socket.waitForConnected(5000)) return QByteArray("no connection");
            socket.write(bytes);
            socket.waitForBytesWritten(5000);
            QByteArray answer;
            while (socket.waitForReadyRead(2000)) answer += socket.readAll();
            return answer;
        });
        while (heard.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return heard.get();
    }

    QTemporaryDir runtime;
    InstanceServer server{runtime.filePath(QStringLiteral("melodrop.socket"))};
    QSignalSpy requests{&server, &InstanceServer::requested};
};

}  // namespace

TEST(InstanceRequests, OnlyWellFormedLinesAreRequests) {
    EXPECT_EQ(decodeRequest("raise"), (InstanceRequest{Kind::Raise, {}}));
    EXPECT_EQ(decodeRequest("play /music/a b/été.mp3"),
              (InstanceRequest{Kind::Play, QStringLiteral("/music/a b/été.mp3")}));
    EXPECT_EQ(decodeRequest("play /music/../x/./a.mp3")->file, QStringLiteral("/x/a.mp3"));
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("RAISE"), QByteArray("raise now"), QByteArray("play "),
          QByteArray("play relative.mp3"), QByteArray("play /a\x01.mp3"),
          QByteArray("play /a\x7f.mp3"), QByteArray("play /\xff\xfe.mp3"),
          QByteArray("play /a\0b.mp3", 14), QByteArray("stop"),
          QByteArray("play /") + QByteArray(5000, 'x')})
        EXPECT_FALSE(decodeRequest(bad).has_value()) << bad.left(40).toStdString();
    // What the later start sends reads back as itself; a path that cannot be sent is not.
    const InstanceRequest play{Kind::Play, QStringLiteral("/music/Кино.mp3")};
    QByteArray line = encodeRequest(play);
    ASSERT_TRUE(line.endsWith('\n'));
    line.chop(1);
    EXPECT_EQ(decodeRequest(line), play);
    EXPECT_TRUE(encodeRequest({Kind::Play, QStringLiteral("relative.mp3")}).isEmpty());
    EXPECT_TRUE(encodeRequest({Kind::Play, QStringLiteral("/a\nraise")}).isEmpty());
}

TEST_F(InstanceChannelTest, ALaterStartIsHeardAndAnswered) {
    EXPECT_TRUE(send({Kind::Raise, {}}));
    EXPECT_TRUE(send({Kind::Play, QStringLiteral("/music/song.mp3")}));
    ASSERT_EQ(requests.count(), 2);
    EXPECT_EQ(requests.at(0).at(0).value<InstanceRequest>().kind, Kind::Raise);
    EXPECT_EQ(requests.at(1).at(0).value<InstanceRequest>().file,
              QStringLiteral("/music/song.mp3"));
}

TEST_F(InstanceChannelTest, WhatIsNotARequestIsDroppedUnanswered) {
    EXPECT_EQ(rawPeer("play relative.mp3\n"), QByteArray());
    EXPECT_EQ(rawPeer("\xff\xff\xff\n"), QByteArray());
    EXPECT_EQ(rawPeer(QByteArray(kMaxRequestBytes + 10, 'a')), QByteArray());  // no line at all
    EXPECT_EQ(rawPeer("raise\n"), QByteArray("ok\n"));
    EXPECT_EQ(requests.count(), 1);
    // Without anybody listening, the later start says so.
    QString reason;
    EXPECT_FALSE(sendToRunningInstance({Kind::Raise, {}}, &reason,
                                       runtime.filePath(QStringLiteral("elsewhere")), 1000));
    EXPECT_FALSE(reason.isEmpty());
}

TEST(InstanceChannelFolder, OnlyAFolderOfTheUsersOwnServes) {
    QTemporaryDir open;
    QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    EXPECT_FALSE(isPrivateFolder(open.path()));
    InstanceServer server(open.filePath(QStringLiteral("melodrop.socket")));
    EXPECT_FALSE(server.listen());
    QFile::setPermissions(open.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(isPrivateFolder(open.path()));
    QString reason;
    EXPECT_FALSE(sendToRunningInstance({InstanceRequest::Kind::Raise, {}}, &reason, QString()));
    EXPECT_TRUE(reason.contains(QStringLiteral("not private")));
}
