// Large inputs (tests/scenario/large/scenarios): each scenario states its time and memory limits,
// which the runner checks at the end and reports; the report is printed here as well.
#include <gtest/gtest.h>

#include <cstdio>

#include "scenario/ScenarioTestSupport.h"

using namespace melodrop::e2e;

namespace {

void runLarge(const char* file) {
    const ScenarioRun run =
        runPath(QStringLiteral(MELODROP_FIXTURES_DIR "/../scenario/large/scenarios/") + file);
    ASSERT_TRUE(passes(run));
    ASSERT_FALSE(run.out.isEmpty());
    std::printf("[ measure  ] %s: %s\n", file, qPrintable(run.out.last().mid(2)));
}

}  // namespace

TEST(LargeInputs, AHundredThousandFilesInTheMp3Folder) {
    runLarge("many-mp3s.scn");
}

TEST(LargeInputs, AnImmuneListOfAMillionNames) {
    runLarge("million-immune.scn");
}

TEST(LargeInputs, ChatLinesOfAMegabyte) {
    runLarge("megabyte-lines.scn");
}

TEST(LargeInputs, AFloodOf33000LinesWithAutomaticIgnoringAt40000) {
    runLarge("long-flood.scn");
}
