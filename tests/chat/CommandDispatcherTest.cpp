// The dispatcher's decisions: whose lines count, the trigger, the split into command word and
// argument, exact matching and the length rules, on a table that records what would run.
#include <gtest/gtest.h>

#include <QStringList>

#include "chat/CommandDispatcher.h"
#include "fakes/QtPrinters.h"

using namespace melodrop;

namespace {

const QString kUser = QStringLiteral("SpinDoctor");

class Recorder {
public:
    Recorder() {
        // A sample of the real table's kinds of rule, with the real numbers.
        rows({{"stop", LengthRule::AtMost, 5},
              {"play", LengthRule::AtLeast, 6},
              {"rand", LengthRule::ArgumentFrom, 6},
              {"idle", LengthRule::AtLeast, 6},
              {"idlel", LengthRule::CommaRule, 0},
              {"idleloff", LengthRule::AtMost, 10},
              {"idleoff", LengthRule::AtMost, 8},
              {"trig", LengthRule::AtLeast, 6},
              {"x", LengthRule::AtLeast, 3},
              {"bust", LengthRule::Unchecked, 0},
              {"exit", LengthRule::Unchecked, 0}});
    }

    struct Row {
        const char* name;
        LengthRule rule;
        int number;
    };
    void rows(std::initializer_list<Row> list) {
        for (const Row& r : list)
            table.push_back({QString::fromLatin1(r.name), r.rule, r.number,
                             [this, name = QString::fromLatin1(r.name)](const CommandLine& l) {
                                 ran << name + (l.withArgument ? "[" + l.argument + "]" : "");
                             }});
    }

    CommandDispatcher dispatcher() {
        return CommandDispatcher(
            table, [this] { return user; }, [this] { return trigger; });
    }
    QStringList dispatch(const QString& sender, const QString& text) {
        ran.clear();
        dispatcher().handleLine(sender, text);
        return ran;
    }

    std::vector<Command> table;
    QStringList ran;
    QString user = kUser;
    QString trigger = QStringLiteral("/");
};

struct Case {
    const char* trigger;
    const char* line;
    const char* ran;  // "" when nothing runs
};

class DispatchCase : public ::testing::TestWithParam<Case> {};

TEST_P(DispatchCase, RunsExactlyWhatTheRulesAllow) {
    const Case c = GetParam();
    Recorder r;
    r.trigger = QString::fromUtf8(c.trigger);
    const QStringList ran = r.dispatch(kUser, QString::fromUtf8(c.line));
    EXPECT_EQ(ran.join(QLatin1Char('|')), QString::fromUtf8(c.ran))
        << "trigger '" << c.trigger << "' line '" << c.line << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DispatchCase,
    ::testing::Values(
        // The trigger, exact and case-sensitive, at position 1 only.
        Case{"/", "/play love", "play[love]"}, Case{"/", "/Play love", ""},
        Case{"/", " /play love", ""}, Case{"/", "play love", ""},
        Case{"/", "/play", ""},                                   // too short: no argument
        Case{"/", "/play  two  blanks ", "play[ two  blanks ]"},  // argument untrimmed
        Case{"/", "/stop", "stop"}, Case{"/", "/stop ", ""},      // at most 5
        Case{"/", "/stopx", ""}, Case{"/", "/foo", ""}, Case{"/", "", ""},
        // Distinct names however they share a beginning.
        Case{"/", "/idle away", "idle[away]"}, Case{"/", "/idleoff", "idleoff"},
        Case{"/", "/idleloff", "idleloff"}, Case{"/", "/idleloff ", "idleloff"},
        Case{"/", "/idleloff  ", ""}, Case{"/", "/idleoff ", ""},
        Case{"/", "/idlel a,b", "idlel[a,b]"},
        // rand: the search form from six characters on.
        Case{"/", "/rand", "rand"}, Case{"/", "/rand ", "rand[]"},
        Case{"/", "/rand love", "rand[love]"},
        // Commands that take anything.
        Case{"/", "/bust", "bust[/bust]"}, Case{"/", "/bust me", "bust[me]"},
        Case{"/", "/exit now please", "exit[now please]"},
        // trig followed by one blank: an empty argument.
        Case{"/", "/trig ", "trig[]"}, Case{"/", "/x ", "x[]"}, Case{"/", "/x", ""},
        // An empty trigger examines every line.
        Case{"", "play love", "play[love]"}, Case{"", "stop", "stop"}, Case{"", "hello there", ""},
        // The numbers do not grow with the trigger.
        Case{"zz-", "zz-stop", ""}, Case{"zz-", "zz-play love", "play[love]"},
        // Two characters of trigger and no blank: the whole line is the argument.
        Case{"//", "//play", "play[//play]"}, Case{"//", "//rand", "rand[//rand]"},
        // A trigger longer than the line, or one with a blank in it.
        Case{"/////////", "/stop", ""}, Case{"a b", "a bstop", ""}, Case{"a b", "a b stop", ""},
        // Control characters are ordinary characters of the argument or word.
        Case{"/", "/play \t\x01", "play[\t\x01]"}, Case{"/", "/stop\t", ""}));

TEST(CommandDispatcher, OnlyTheSignedOnUsersLinesAreCommands) {
    Recorder r;
    EXPECT_TRUE(r.dispatch(QStringLiteral("Intruder"), QStringLiteral("/exit")).isEmpty());
    EXPECT_TRUE(r.dispatch(QStringLiteral("spindoctor"), QStringLiteral("/exit")).isEmpty());
    EXPECT_TRUE(r.dispatch(kUser + QLatin1Char(' '), QStringLiteral("/exit")).isEmpty());
    EXPECT_EQ(r.dispatch(kUser, QStringLiteral("/exit")), QStringList{"exit[/exit]"});
}

TEST(CommandDispatcher, NobodySignedOnMeansNoCommands) {
    Recorder r;
    r.user.clear();
    EXPECT_TRUE(r.dispatch(QString(), QStringLiteral("/exit")).isEmpty());
}

TEST(CommandDispatcher, AsksForTheUserAndTriggerOnEveryLine) {
    Recorder r;
    CommandDispatcher d = r.dispatcher();
    d.handleLine(kUser, QStringLiteral("/stop"));
    r.user = QStringLiteral("Other");
    d.handleLine(kUser, QStringLiteral("/stop"));
    r.trigger = QStringLiteral("!");
    d.handleLine(QStringLiteral("Other"), QStringLiteral("/stop"));
    d.handleLine(QStringLiteral("Other"), QStringLiteral("!stop"));
    EXPECT_EQ(r.ran, (QStringList{"stop", "stop"}));
}

TEST(CommandDispatcher, TheFirstMatchingRowDecidesEvenWhenItsRuleRefuses) {
    Recorder r;
    r.rows({{"stop", LengthRule::Unchecked, 0}});  // a later duplicate is never reached
    EXPECT_TRUE(r.dispatch(kUser, QStringLiteral("/stop now")).isEmpty());
}

TEST(CommandDispatcher, ALineDuringACommandIsDispatchedInFull) {
    Recorder r;
    std::unique_ptr<CommandDispatcher> d;
    r.table.push_back({QStringLiteral("wait"), LengthRule::Unchecked, 0, [&](const CommandLine&) {
                           r.ran << QStringLiteral("wait begins");
                           d->handleLine(kUser, QStringLiteral("/play inner"));
                           r.ran << QStringLiteral("wait ends");
                       }});
    d = std::make_unique<CommandDispatcher>(
        r.table, [&] { return r.user; }, [&] { return r.trigger; });
    d->handleLine(kUser, QStringLiteral("/wait"));
    EXPECT_EQ(r.ran, (QStringList{"wait begins", "play[inner]", "wait ends"}));
}

TEST(CommandDispatcher, AHugeLineIsJustALine) {
    Recorder r;
    const QString filler(100 * 1024, QLatin1Char('a'));
    EXPECT_EQ(r.dispatch(kUser, QStringLiteral("/play ") + filler),
              QStringList{"play[" + filler + "]"});
    EXPECT_TRUE(r.dispatch(kUser, QStringLiteral("/stop") + filler).isEmpty());
    EXPECT_TRUE(r.dispatch(kUser, filler + QStringLiteral(" /stop")).isEmpty());
}

struct CommaCase {
    const char* line;
    bool accepted;
    const char* before;
    const char* after;
};

class CommaRule : public ::testing::TestWithParam<CommaCase> {};

TEST_P(CommaRule, NeedsTwoCharactersBeforeAndThreeAfterTheComma) {
    const CommaCase c = GetParam();
    QString before, after;
    const bool ok = splitAtComma(splitCommandLine(QString::fromUtf8(c.line)), before, after);
    EXPECT_EQ(ok, c.accepted) << c.line;
    if (ok && c.accepted) {
        EXPECT_EQ(before, QString::fromUtf8(c.before));
        EXPECT_EQ(after, QString::fromUtf8(c.after));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommaRule,
    ::testing::Values(CommaCase{"/idlel abc,def", true, "abc", "def"},
                      CommaCase{"/idlel x,abc", false, "", ""},
                      CommaCase{"/idlel xy,abc", true, "xy", "abc"},
                      CommaCase{"/idlel abc,de", false, "", ""},
                      CommaCase{"/idlel  a ,  b ", true, "a", "b"},  // counted before trimming
                      CommaCase{"/idlel   ,   ", true, "", ""},      // empty after trimming
                      CommaCase{"/idlel abcdef", false, "", ""},
                      CommaCase{"/idlel a,b,cde", false, "", ""},  // the first comma counts
                      CommaCase{"/idlel http://x.y/a,b, site ", true, "http://x.y/a", "b, site"}));

TEST(CommandLine, SplitsAtTheFirstBlankOnly) {
    const CommandLine l = splitCommandLine(QStringLiteral("/pr  my room "));
    EXPECT_EQ(l.blankPosition, 4);
    EXPECT_EQ(l.word, QStringLiteral("/pr"));
    EXPECT_EQ(l.argument, QStringLiteral(" my room "));
    const CommandLine none = splitCommandLine(QStringLiteral("/stop"));
    EXPECT_EQ(none.blankPosition, 0);
    EXPECT_EQ(none.word, QStringLiteral("/stop"));
    EXPECT_EQ(none.argument, QStringLiteral("/stop"));
}

}  // namespace
