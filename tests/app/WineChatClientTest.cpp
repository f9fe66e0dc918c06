// `melodrop --client wine`: which Wine starts the bridge, with what, how it ends, and what the
// user is told when it cannot start or ends by itself. A shell script stands in for Wine's
// loader here (the real bridge under wine64 is tried in tests/scenario/win32/BridgeUnderWineTest).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/clients/WineChatClient.h"
#include "bridge/launch/WineBridge.h"
#include "fakes/FakeDesktop.h"
#include "fakes/QtPrinters.h"

using namespace melodrop;
using namespace melodrop::app;

namespace {

// Says what the bridge says and waits for its input to end, noting its arguments and WINEDEBUG;
// FAKE_BRIDGE=fail makes it end at once as a bridge that cannot listen does. (Shell built-ins
// only: the PATH holds nothing but this.)
const char* const kFakeWine = R"sh(#!/bin/sh
printf '%s\n' "$@" "WINEDEBUG=$WINEDEBUG" > "$FAKE_NOTES"
if [ "$FAKE_BRIDGE" = fail ]; then
    echo "melodrop-bridge: cannot listen on 127.0.0.1:$3 (is another bridge, or another program, using it?)"
    exit 1
fi
echo "melodrop-bridge: listening on 127.0.0.1:$3"
while read -r line; do :; done
echo "ended with its input" >> "$FAKE_NOTES"
)sh";

void writeProgram(const QString& path, const QByteArray& text = "#!/bin/sh\n") {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList linesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool eventually(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class WineStart : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeProgram(dir.filePath("bin/wine"), kFakeWine);
        writeProgram(dir.filePath("windows/melodrop-bridge.exe"));
        environment.insert("PATH", dir.filePath("bin"));
        environment.insert("XDG_RUNTIME_DIR", runtime());
        environment.insert("FAKE_NOTES", notes());
        environment.remove("WINE");
        environment.remove("WINEDEBUG");
        setup.bridgePlaces = {dir.filePath("nowhere/melodrop-bridge.exe"),
                              dir.filePath("windows/melodrop-bridge.exe")};
        setup.environment = environment;
        setup.port = 47999;
        setup.wineOffPath = {};
    }
    QString runtime() const { return dir.path(); }
    QString notes() const { return dir.filePath("notes.txt"); }

    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    WineBridge::Setup setup;
};

}  // namespace

TEST(WineBridge, WineIsTheOneNamedElseWineElseWine64OnThePathElseOffIt) {
    QTemporaryDir dir;
    for (const char* program : {"a/wine64", "b/wine", "c/wine64", "d/wine64"})
        writeProgram(dir.filePath(program));
    const auto found = [&](const QString& wine, const QString& path, const QStringList& off) {
        QProcessEnvironment environment;
        if (!wine.isEmpty()) environment.insert("WINE", wine);
        environment.insert("PATH", path);
        return QDir(dir.path()).relativeFilePath(WineBridge::findWine(environment, off));
    };
    const QString a = dir.filePath("a"), b = dir.filePath("b"), c = dir.filePath("c");
    EXPECT_EQ(found("", a + ":" + b, {}), "b/wine");
    EXPECT_EQ(found("", a + ":" + c, {}), "a/wine64");
    EXPECT_EQ(found(dir.filePath("d/wine64"), a + ":" + b, {}), "d/wine64");
    EXPECT_EQ(found("wine64", c, {}), "c/wine64");
    EXPECT_EQ(found("", dir.filePath("none"), {dir.filePath("d/wine64")}), "d/wine64");
    EXPECT_EQ(WineBridge::findWine(QProcessEnvironment(), {dir.filePath("none/wine64")}), "");
    EXPECT_EQ(WineBridge::winePath("/run/user/1000/x.token"), "Z:\\run\\user\\1000\\x.token");
}

TEST_F(WineStart, TheBridgeRunsUnderWineUntilItsInputCloses) {
    WineBridge bridge(setup);
    int ends = 0;
    bridge.onEnded = [&](const QString&) { ++ends; };
    ASSERT_TRUE(bridge.start()) << qPrintable(bridge.error());
    ASSERT_TRUE(bridge.waitUntilListening(10000));
    EXPECT_EQ(bridge.wine(), dir.filePath("bin/wine"));
    EXPECT_EQ(bridge.bridgeProgram(), dir.filePath("windows/melodrop-bridge.exe"));
    EXPECT_EQ(bridge.port(), 47999);
    // No token file named, and not the default port: a token of its own port's, so that the
    // default token of a bridge on the default port (one the user started) stays as it is.
    const QString ownToken = runtime() + "/melodrop-bridge-47999.token";
    EXPECT_EQ(bridge.tokenFile(), ownToken);
    EXPECT_EQ(linesOf(notes()), (QStringList{dir.filePath("windows/melodrop-bridge.exe"), "--port",
                                             "47999", "--end-with-input", "--token-file",
                                             WineBridge::winePath(ownToken), "WINEDEBUG=-all"}));
    bridge.stop();
    EXPECT_FALSE(bridge.running());
    EXPECT_EQ(linesOf(notes()).constLast(), "ended with its input");
    EXPECT_EQ(ends, 0);  // asked for, not told

    // On the default port the bridge finds the place by the rule, as melodrop does.
    setup.port = 47190;
    WineBridge onDefault(setup);
    ASSERT_TRUE(onDefault.start());
    ASSERT_TRUE(onDefault.waitUntilListening(10000));
    EXPECT_EQ(onDefault.tokenFile(), runtime() + "/melodrop-bridge.token");
    EXPECT_EQ(linesOf(notes()).mid(3), (QStringList{"--end-with-input", "WINEDEBUG=-all"}));
    onDefault.stop();

    // A token file named is handed on as Wine sees it; the user's WINEDEBUG stays theirs.
    setup.tokenFile = "/elsewhere/my.token";
    setup.environment.insert("WINEDEBUG", "+relay");
    WineBridge named(setup);
    ASSERT_TRUE(named.start());
    ASSERT_TRUE(named.waitUntilListening(10000));
    EXPECT_EQ(linesOf(notes()).mid(3),
              (QStringList{"--end-with-input", "--token-file", "Z:\\elsewhere\\my.token",
                           "WINEDEBUG=+relay"}));
}

TEST_F(WineStart, WhatKeepsTheBridgeFromStartingIsSaid) {
    struct Case {
        const char* what;
        std::function<void(WineBridge::Setup&)> change;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"no Wine", [](WineBridge::Setup& s) { s.environment.insert("PATH", "/nonexistent"); },
         "Wine is not installed: there is no wine and no wine64 on the PATH"},
        {"WINE names nothing",
         [](WineBridge::Setup& s) { s.environment.insert("WINE", "/no/wine"); },
         "WINE names /no/wine, which is not a program"},
        {"no bridge",
         [](WineBridge::Setup& s) { s.bridgePlaces = {"/nowhere/melodrop-bridge.exe"}; },
         "melodrop-bridge.exe is not found (looked for it as /nowhere/melodrop-bridge.exe)"},
        {"no runtime folder", [](WineBridge::Setup& s) { s.environment.remove("XDG_RUNTIME_DIR"); },
         "XDG_RUNTIME_DIR is not set"},
    };
    for (const Case& c : cases) {
        WineBridge::Setup changed = setup;
        c.change(changed);
        WineBridge bridge(changed);
        EXPECT_FALSE(bridge.start()) << c.what;
        EXPECT_TRUE(bridge.error().contains(QLatin1String(c.said)))
            << c.what << ": " << qPrintable(bridge.error());
        EXPECT_FALSE(bridge.running()) << c.what;
    }
}

// Told once the program has started, in a message box; the program goes on.
TEST_F(WineStart, TheUserIsToldWhenTheBridgeCannotStartOrEndsByItself) {
    melodrop::testing::FakeDesktop desktop;
    ClientChoice choice;
    choice.kind = ClientKind::Wine;
    choice.bridgePort = 47999;

    QProcessEnvironment noWine = environment;
    noWine.insert("WINE", "/nonexistent/wine");
    WineChatClient missing(choice, setup.bridgePlaces, noWine);
    missing.tellUserThrough(desktop);
    QCoreApplication::processEvents();
    EXPECT_TRUE(desktop.requestsStartingWith("message ").isEmpty());  // not before the start
    missing.programLaunched({});
    ASSERT_TRUE(eventually([&] { return !desktop.requestsStartingWith("message ").isEmpty(); }));
    EXPECT_TRUE(desktop.requests.constLast().contains(
        "melodrop cannot start melodrop-bridge.exe, which reaches the chat client under Wine: "
        "WINE names /nonexistent/wine, which is not a program"))
        << qPrintable(desktop.requests.constLast());
    EXPECT_TRUE(desktop.requests.constLast().contains("melodrop goes on without the chat client"));

    desktop.requests.clear();
    QProcessEnvironment failing = environment;
    failing.insert("FAKE_BRIDGE", "fail");
    WineChatClient ending(choice, setup.bridgePlaces, failing);
    ending.tellUserThrough(desktop);
    ending.programLaunched({});
    ASSERT_TRUE(eventually([&] { return !desktop.requestsStartingWith("message ").isEmpty(); }));
    EXPECT_TRUE(desktop.requests.constLast().contains(
        "melodrop-bridge ended (exit code 1): cannot listen on 127.0.0.1:47999"))
        << qPrintable(desktop.requests.constLast());
    EXPECT_EQ(desktop.requestsStartingWith("message ").size(), 1);
}
