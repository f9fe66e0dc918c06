// Every line melodrop can say, compared with the exact text the room must receive.
#include <gtest/gtest.h>

#include <QLocale>

#include "base/AnnouncementLines.h"

using namespace melodrop;

namespace {

const QString H = QString::fromUtf8(
    "<Font Face=\"Arial\"><Font Color=\"#0000A0\">\u00B7\u00B7\u00F7\u2022 <Font "
    "Color=\"#000000\">");

QString plain(const char* labelAndRest) {
    return H + QString::fromUtf8(labelAndRest);
}

struct Case {
    Announcement kind;
    const char* value;
    const char* expected;  // after the head
    bool always;
};

const Case kCases[] = {
    {Announcement::Playing, "My Song.MP3",
     "<b>p</b>laying; '<Font Color=\"#0000A0\"><b>my song.mp3</b><Font Color=\"#000000\">'", false},
    {Announcement::Random, "A<B>",
     "<b>r</b>andom; '<Font Color=\"#0000A0\"><b>a<b></b><Font Color=\"#000000\">'", false},
    {Announcement::Previous, "X",
     "<b>p</b>revious; '<Font Color=\"#0000A0\"><b>x</b><Font Color=\"#000000\">'", false},
    {Announcement::Pausing, "X",
     "<b>p</b>ausing; '<Font Color=\"#0000A0\"><b>x</b><Font Color=\"#000000\">'", false},
    {Announcement::Paused, "X",
     "<b>p</b>aused; '<Font Color=\"#0000A0\"><b>x</b><Font Color=\"#000000\">'", false},
    {Announcement::Upaused, "X",
     "<b>u</b>paused; '<Font Color=\"#0000A0\"><b>x</b><Font Color=\"#000000\">'", false},
    {Announcement::Stopped, "X",
     "<b>s</b>topped; '<Font Color=\"#0000A0\"><b>x</b><Font Color=\"#000000\">'", false},
    {Announcement::Song, "mp3 name",
     "<b>s</b>ong; '<Font Color=\"#0000A0\"><b>mp3 name</b><Font Color=\"#000000\">'", false},
    {Announcement::FastForward, "10",
     "<b>f</b>ast <b>f</b>orward; '<Font Color=\"#0000A0\"><b>10</b><Font Color=\"#000000\">'",
     false},
    {Announcement::Rewind, "5",
     "<b>r</b>ewind; '<Font Color=\"#0000A0\"><b>5</b><Font Color=\"#000000\">'", false},
    {Announcement::SetVolume, "50",
     "<b>s</b>et <b>v</b>olume; '<Font Color=\"#0000A0\"><b>50</b><Font Color=\"#000000\">'",
     false},
    {Announcement::Volume, "90",
     "<b>v</b>olume; '<Font Color=\"#0000A0\"><b>90</b><Font Color=\"#000000\">'", false},
    {Announcement::SetDir, "C:\\Music",
     "<b>s</b>et <b>d</b>ir; '<Font Color=\"#0000A0\"><b>c:\\music</b><Font Color=\"#000000\">'",
     false},
    {Announcement::Dir, "/Home/Music",
     "<b>d</b>ir; '<Font Color=\"#0000A0\"><b>/home/music</b><Font Color=\"#000000\">'", false},
    {Announcement::SetTrigger, "/X",
     "<b>s</b>et <b>t</b>rigger; '<Font Color=\"#0000A0\"><b>/X</b><Font Color=\"#000000\">'",
     false},
    {Announcement::Trigger, "/X",
     "<b>t</b>rigger; '<Font Color=\"#0000A0\"><b>/X</b><Font Color=\"#000000\">'", false},
    {Announcement::Handle, "Zeph",
     "<b>h</b>andle; '<Font Color=\"#0000A0\"><b>zeph</b><Font Color=\"#000000\">'", false},
    {Announcement::PrivateRoom, "My Room",
     "<b>p</b>rivate <b>r</b>oom; '<Font Color=\"#0000A0\"><b>my room</b><Font Color=\"#000000\">'",
     false},
    {Announcement::Ignored, "Bob",
     "<b>i</b>gnored; '<Font Color=\"#0000A0\"><b>bob</b><Font Color=\"#000000\">'", false},
    {Announcement::Unignored, "Bob",
     "<b>u</b>nignored; '<Font Color=\"#0000A0\"><b>bob</b><Font Color=\"#000000\">'", false},
    {Announcement::AutoIgnoring, "Bob",
     "<b>a</b>uto <b>i</b>gnoring; '<Font Color=\"#0000A0\"><b>bob</b><Font Color=\"#000000\">'",
     false},
    {Announcement::SetAutoXer, "3X",
     "<b>s</b>et <b>a</b>uto <b>x</b>er; '<Font Color=\"#0000A0\"><b>3X</b><Font "
     "Color=\"#000000\">'",
     false},
    {Announcement::Immuned, "Bob",
     "<b>i</b>mmuned; '<Font Color=\"#0000A0\"><b>bob</b><Font Color=\"#000000\">'", false},
    {Announcement::Unimmuned, "Bob",
     "<b>u</b>nimmuned; '<Font Color=\"#0000A0\"><b>Bob</b><Font Color=\"#000000\">'", true},
    {Announcement::SkinChanged, "Blue Ice",
     "<b>s</b>kin <b>c</b>hanged; '<Font Color=\"#0000A0\"><b>blue ice</b><Font "
     "Color=\"#000000\">'",
     true},
    {Announcement::Mp3ListRefreshed, "",
     "<b>m</b>p3 <b>l</b>ist; '<Font Color=\"#0000A0\"><b>refreshed</b><Font Color=\"#000000\">'",
     false},
    {Announcement::SetContinuousOn, "",
     "<b>s</b>et <b>c</b>ontinuous; '<Font Color=\"#0000A0\"><b>on</b><Font Color=\"#000000\">'",
     false},
    {Announcement::SetContinuousOff, "",
     "<b>s</b>et <b>c</b>ontinuous; '<Font Color=\"#0000A0\"><b>off</b><Font Color=\"#000000\">'",
     false},
    {Announcement::SetRandomOn, "",
     "<b>s</b>et <b>r</b>andom; '<Font Color=\"#0000A0\"><b>on</b><Font Color=\"#000000\">'",
     false},
    {Announcement::SetRandomOff, "",
     "<b>s</b>et <b>r</b>andom; '<Font Color=\"#0000A0\"><b>off</b><Font Color=\"#000000\">'",
     false},
    {Announcement::SetIdleOff, "",
     "<b>s</b>et <b>i</b>dle; '<Font Color=\"#0000A0\"><b>off</b><Font Color=\"#000000\">'", true},
    {Announcement::SetIdleLinkerOn, "",
     "<b>s</b>et <b>i</b>dle <b>l</b>inker; '<Font Color=\"#0000A0\"><b>on</b><Font "
     "Color=\"#000000\">'",
     true},
    {Announcement::SetIdleLinkerOff, "",
     "<b>s</b>et <b>i</b>dle <b>l</b>inker; '<Font Color=\"#0000A0\"><b>off</b><Font "
     "Color=\"#000000\">'",
     true},
    {Announcement::SetImsOn, "",
     "<b>s</b>et <b>i</b>ms; '<Font Color=\"#0000A0\"><b>on</b><Font Color=\"#000000\">'", false},
    {Announcement::SetImsOff, "",
     "<b>s</b>et <b>i</b>ms; '<Font Color=\"#0000A0\"><b>off</b><Font Color=\"#000000\">'", false},
    {Announcement::SetAutoXerOff, "",
     "<b>s</b>et <b>a</b>uto <b>x</b>er; '<Font Color=\"#0000A0\"><b>off</b><Font "
     "Color=\"#000000\">'",
     false},
    {Announcement::ViewingImmune, "",
     "<b>v</b>iewing; '<Font Color=\"#0000A0\"><b>immune</b><Font Color=\"#000000\">'", false},
    {Announcement::ViewingChatCommands, "",
     "<b>v</b>iewing; '<Font Color=\"#0000A0\"><b>chat commands</b><Font Color=\"#000000\">'",
     false},
    {Announcement::MelodropShown, "",
     "<b>m</b>elodrop; '<Font Color=\"#0000A0\"><b>shown</b><Font Color=\"#000000\">'", false},
    {Announcement::MelodropMinimized, "",
     "<b>m</b>elodrop; '<Font Color=\"#0000A0\"><b>minimized to systray</b><Font "
     "Color=\"#000000\">'",
     false},
};

}  // namespace

TEST(AnnouncementLines, EveryKindReadsExactlyAsTheRoomMustSeeIt) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(announcementLine(c.kind, QString::fromUtf8(c.value)), plain(c.expected));
        EXPECT_EQ(sentAlways(c.kind), c.always);
    }
}

TEST(AnnouncementLines, LinesOfTheirOwnLayout) {
    EXPECT_EQ(idleOnLine(QStringLiteral("At LUNCH")),
              plain("<b>s</b>et <b>i</b>dle; '<Font Color=\"#0000A0\"><b>on</b><Font "
                    "Color=\"#000000\">'; <Font Color=\"#000000\"><b>r</b>sn: <Font "
                    "Color=\"#0000A0\"><b>at lunch</b>"));
    EXPECT_EQ(idleMinuteLine(QStringLiteral("User"), QStringLiteral("Lunch"), "0", "1", "12"),
              plain("<b>i</b>dle; <Font Color=\"#0000A0\"><b>user</b><Font Color=\"#000000\">; "
                    "<Font Color=\"#000000\"><b>r</b>sn: <b><Font "
                    "Color=\"#0000A0\">lunch</b><Font Color=\"#000000\">; '<b>0/1/12</b>'"));
    EXPECT_EQ(idleLinkerMinuteLine(QStringLiteral("User"), QStringLiteral("HTTP://X.Y"),
                                   QStringLiteral("My Page"), "1", "0", "0"),
              plain("<b>i</b>dle; <Font Color=\"#0000A0\"><b>user</b><Font Color=\"#000000\">; "
                    "<Font Color=\"#000000\"><b>u</b>rl: <b><Font Color=\"#0000A0\">< a "
                    "href=http://x.y><Font Color=\"#0000A0\"><b>my page</b></a></b><Font "
                    "Color=\"#000000\">; '<b>1/0/0</b>'"));
    EXPECT_EQ(loadedBanner(), plain("<b>m</b>elodrop *beta tester* <b>by</b> zeph [<Font "
                                    "Color=\"#0000A0\"><b>loaded</b><Font Color=\"#000000\">]"));
    EXPECT_EQ(unloadedBanner(),
              plain("<b>m</b>elodrop <b>by</b> zeph [<Font "
                    "Color=\"#0000A0\"><b>unloaded</b><Font Color=\"#000000\">]"));
    EXPECT_EQ(userLine(QStringLiteral("User"), 12, QStringLiteral("http://h/p/")),
              plain("<b>u</b>ser: <Font Color=\"#0000A0\"><b>user</b>; <Font "
                    "Color=\"#000000\"><b>m</b>p3s: <Font Color=\"#0000A0\"><b>12</b>; < a "
                    "href=\"http://h/p/\"><Font Color=\"#0000A0\"><b>d/l</b></a>"));
}

// The locale's lower-casing, not a fixed one: in Turkish the capital I is the dotless i.
TEST(AnnouncementLines, LowerCasingFollowsTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const QString playing = announcementLine(Announcement::Playing, QStringLiteral("ISTANBUL.MP3"));
    const QString user = userLine(QStringLiteral("IRMAK"), 1, QStringLiteral("x"));
    const QString idle = idleOnLine(QStringLiteral("IZMIR"));
    QLocale::setDefault(saved);
    EXPECT_TRUE(playing.contains(QString::fromUtf8("<b>\u0131stanbul.mp3</b>")))
        << playing.toStdString();
    EXPECT_TRUE(user.contains(QString::fromUtf8("<b>\u0131rmak</b>"))) << user.toStdString();
    EXPECT_TRUE(idle.contains(QString::fromUtf8("\u0131zm\u0131r"))) << idle.toStdString();
    // Values that are not lower-cased stay as they are in any locale.
    EXPECT_TRUE(
        announcementLine(Announcement::SetTrigger, QStringLiteral("I")).contains("<b>I</b>"));
}
