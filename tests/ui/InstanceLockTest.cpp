// The single-instance lock: one holder at a time, and nothing a crashed holder leaves behind
// (the file, whatever it holds) stops the next start.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "ui/InstanceLock.h"
#include "ui/QtDesktop.h"

using namespace melodrop::ui;
using Outcome = InstanceLock::Outcome;

namespace {

class InstanceLockTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("run/melodrop.lock")); }
    void leaveFile(const QByteArray& content) {
        InstanceLock made(path());  // makes the folder and the file
        ASSERT_EQ(made.take(), Outcome::Held);
        made.release();
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    // Another process that holds the lock on the same file (a shell that locks it with
    // flock(1) and becomes `sleep`), until it is killed.
    void startHolder(QProcess& holder) {
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("flock")).isEmpty())
            << "flock (util-linux) is missing";
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path()).absolutePath()));
        holder.start(QStringLiteral("sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("exec 9>\"$1\" && flock --nonblock 9 && echo held && "
                                     "exec sleep 60"),
                      QStringLiteral("holder"), path()});
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        ASSERT_EQ(holder.readLine().trimmed(), "held");
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(InstanceLockTest, OneHolderAtATime) {
    InstanceLock first(path());
    InstanceLock second(path());
    EXPECT_EQ(first.take(), Outcome::Held);
    EXPECT_EQ(first.take(), Outcome::Held);  // asking again is no second instance
    EXPECT_EQ(second.take(), Outcome::HeldElsewhere);
    EXPECT_FALSE(second.held());
    first.release();
    EXPECT_EQ(second.take(), Outcome::Held);
    EXPECT_TRUE(QFile::exists(path()));  // the file stays; only the lock counts
}

TEST_F(InstanceLockTest, AHolderThatDiesLeavesNoLock) {
    QProcess holder;
    startHolder(holder);
    InstanceLock lock(path());
    EXPECT_EQ(lock.take(), Outcome::HeldElsewhere);
    holder.kill();  // as a crash: no chance to clean up
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(lock.take(), Outcome::Held);
}

TEST_F(InstanceLockTest, WhateverTheLeftFileHoldsItDoesNotStopTheStart) {
    for (const QByteArray& content :
         {QByteArray(), QByteArray("garbage"), QByteArray("999999\nmelodrop\nother-host\n"),
          QByteArray("1\nmelodrop\n\n")}) {
        leaveFile(content);
        InstanceLock lock(path());
        EXPECT_EQ(lock.take(), Outcome::Held) << content.constData();
    }
}

TEST_F(InstanceLockTest, ProgramsStartedByTheHolderDoNotKeepTheLock) {
    InstanceLock lock(path());
    ASSERT_EQ(lock.take(), Outcome::Held);
    QProcess child;  // as skinfetch, started while melodrop runs and outliving it
    child.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(child.waitForStarted(10000));
    lock.release();
    InstanceLock next(path());
    EXPECT_EQ(next.take(), Outcome::Held);
    child.kill();
    child.waitForFinished(10000);
}

TEST_F(InstanceLockTest, ALockThatCannotBeMadeDoesNotStopTheStart) {
    QFile blocker(dir.filePath(QStringLiteral("run")));  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    InstanceLock lock(path());
    EXPECT_EQ(lock.take(), Outcome::Unavailable);

    QtDesktopOptions options;
    options.lockFilePath = path();
    options.endProcess = [] {};
    QtDesktop desktop(options);
    EXPECT_FALSE(desktop.anotherInstanceRunning());
}
