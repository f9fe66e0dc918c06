// The runner's steps on the client itself, and the scenarios that make test plays on the fake
// Win32 client, played here on the simulated client: both clients must answer them alike.
#include <gtest/gtest.h>

#include <QDir>

#include "ScenarioTestSupport.h"

using namespace melodrop::e2e;
using melodrop::scenario::kExpectationFailed;
using melodrop::scenario::kScenarioError;

TEST(ClientSteps, TheWin32ScenariosHoldOnTheSimulatedClientToo) {
    const QDir folder(QStringLiteral(MELODROP_FIXTURES_DIR "/../scenario/win32"));
    const QStringList scenarios = folder.entryList({QStringLiteral("*.scn")}, QDir::Files);
    ASSERT_GE(scenarios.size(), 4);
    for (const QString& name : scenarios) {
        // Only the Win32 client has a bridge to stop.
        if (name == QLatin1String("bridge-restart.scn")) continue;
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(passes(runPath(folder.filePath(name))));
    }
}

TEST(ClientSteps, AKeywordNeverSentIsReportedWithWhatWasSent) {
    ScenarioRun run = runText(QStringLiteral(R"(
start quick
expect keyword aol://2719:2-2-nowhere
)"));
    EXPECT_EQ(run.result.exitCode, kExpectationFailed);
    EXPECT_TRUE(run.result.message.contains(QStringLiteral("never received")));

    run = runText(QStringLiteral(R"(
setting trig /
start quick
client-alerts on
user /imsoff
expect ims off
expect no-alert
expect keyword aol://2719:2-2-nowhere
)"));
    EXPECT_EQ(run.result.exitCode, kExpectationFailed);
}

TEST(ClientSteps, WhatOnlyOneClientCanDoIsAClearErrorOnTheOther) {
    for (const QString& step :
         {QStringLiteral("bridge stop"), QStringLiteral("bridge start"),
          QStringLiteral("bridge restart"), QStringLiteral("client-alerts maybe")}) {
        SCOPED_TRACE(step.toStdString());
        const ScenarioRun run = runText(QStringLiteral("start quick\n") + step + QLatin1Char('\n'));
        EXPECT_EQ(run.result.exitCode, kScenarioError);
    }
}
