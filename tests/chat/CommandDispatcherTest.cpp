// The dispatcher's decisions on a table that records what would run: whose lines count, the
// trigger, the split into word and argument, exact matching and the length rules.
#include <gtest/gtest.h>

#include "chat/CommandDispatcher.h"
#include "fakes/QtPrinters.h"

using namespace melodrop;

namespace {

const QString kUser = "SpinDoctor";

struct Recorder {
    Recorder() {
        // A sample of the real table's kinds of rule, with the real numbers.
        const std::pair<const char*, std::pair<LengthRule, int>> rows[] = {
            {"stop", {LengthRule::AtMost, 5}},       {"play", {LengthRule::AtLeast, 6}},
            {"rand", {LengthRule::ArgumentFrom, 6}}, {"idle", {LengthRule::AtLeast, 6}},
            {"idlel", {LengthRule::CommaRule, 0}},   {"idleloff", {LengthRule::AtMost, 10}},
            {"idleoff", {LengthRule::AtMost, 8}},    {"x", {LengthRule::AtLeast, 3}},
            {"exit", {LengthRule::Unchecked, 0}}};
        for (const auto& [name, rule] : rows)
            table.push_back({name, rule.first, rule.second, [this, name](const CommandLine& l) {
                                 ran << name + (l.withArgument ? "[" + l.argument + "]" : "");
                             }});
    }
    QString dispatch(const QString& text, const QString& sender = kUser) {
        ran.clear();
        CommandDispatcher(
            table, [this] { return user; }, [this] { return trigger; })
            .handleLine(sender, text);
        return ran.join('|');
    }
    std::vector<Command> table;
    QStringList ran;
    QString user = kUser;
    QString trigger = "/";
};

struct Case {
    const char* trigger;
    const char* line;
    const char* ran;  // "" when nothing runs
};

class Dispatch : public ::testing::TestWithParam<Case> {};

TEST_P(Dispatch, RunsExactlyWhatTheRulesAllow) {
    Recorder r;
    r.trigger = GetParam().trigger;
    EXPECT_EQ(r.dispatch(GetParam().line), GetParam().ran)
        << "trigger '" << GetParam().trigger << "' line '" << GetParam().line << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Dispatch,
    ::testing::Values(Case{"/", "/play love", "play[love]"}, Case{"/", "/Play love", ""},
                      Case{"/", " /play love", ""}, Case{"/", "/play", ""},
                      Case{"/", "/play  two  blanks ", "play[ two  blanks ]"},  // untrimmed
                      Case{"/", "/stop", "stop"}, Case{"/", "/stop ", ""}, Case{"/", "/foo", ""},
                      Case{"/", "", ""}, Case{"/", "/idle away", "idle[away]"},
                      Case{"/", "/idleoff", "idleoff"}, Case{"/", "/idleoff ", ""},
                      Case{"/", "/idleloff ", "idleloff"}, Case{"/", "/idleloff  ", ""},
                      Case{"/", "/idlel a,b", "idlel[a,b]"}, Case{"/", "/rand", "rand"},
                      Case{"/", "/rand ", "rand[]"}, Case{"/", "/exit now", "exit[now]"},
                      Case{"/", "/exit", "exit[/exit]"}, Case{"/", "/x ", "x[]"},
                      Case{"/", "/x", ""}, Case{"", "play love", "play[love]"},
                      Case{"", "stop", "stop"}, Case{"zz-", "zz-stop", ""},
                      Case{"zz-", "zz-play love", "play[love]"},
                      Case{"//", "//play", "play[//play]"}, Case{"//", "//rand", "rand[//rand]"},
                      Case{"/////////", "/stop", ""}, Case{"a b", "a bstop", ""},
                      Case{"a b", "a b stop", ""}, Case{"/", "/play \t\x01", "play[\t\x01]"},
                      Case{"/", "/stop\t", ""}));

TEST(CommandDispatcher, OnlyTheSignedOnUsersLinesCount) {
    Recorder r;
    for (const char* other : {"Intruder", "spindoctor", "SpinDoctor ", ""})
        EXPECT_EQ(r.dispatch("/exit", other), "") << other;
    r.user.clear();  // nobody signed on: not even an empty sender passes
    EXPECT_EQ(r.dispatch("/exit", ""), "");
}

TEST(CommandDispatcher, ALineDuringACommandIsDispatchedInFull) {
    Recorder r;
    std::unique_ptr<CommandDispatcher> d;
    r.table.insert(r.table.begin(), {"wait", LengthRule::Unchecked, 0, [&](const CommandLine&) {
                                         r.ran << "wait begins";
                                         d->handleLine(kUser, "/play inner");
                                         r.ran << "wait ends";
                                     }});
    d = std::make_unique<CommandDispatcher>(
        r.table, [&] { return r.user; }, [&] { return r.trigger; });
    d->handleLine(kUser, "/wait");
    EXPECT_EQ(r.ran, (QStringList{"wait begins", "play[inner]", "wait ends"}));
}

TEST(CommandDispatcher, AHugeLineIsJustALine) {
    Recorder r;
    const QString filler(100 * 1024, 'a');
    EXPECT_EQ(r.dispatch("/play " + filler), "play[" + filler + "]");
    EXPECT_EQ(r.dispatch("/stop" + filler), "");
}

TEST(CommandLine, CommaRuleCountsBeforeTrimming) {
    QString url, text;
    EXPECT_TRUE(splitAtComma(splitCommandLine("/idlel  a ,  b "), url, text));
    EXPECT_EQ(url + "|" + text, "a|b");
    EXPECT_TRUE(splitAtComma(splitCommandLine("/idlel u://v,w, x "), url, text));
    EXPECT_EQ(url + "|" + text, "u://v|w, x");  // the first comma splits
    EXPECT_FALSE(splitAtComma(splitCommandLine("/idlel a,b,cde"), url, text));
}

}  // namespace
