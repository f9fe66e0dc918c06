#include "base/AnnouncementLines.h"

#include <QLocale>

namespace melodrop {

namespace {

// The four marker characters: middle dot, middle dot, division sign, bullet.
const QString kMarker = QStringLiteral("\u00B7\u00B7\u00F7\u2022 ");
const QString kFontArial = QStringLiteral("<Font Face=\"Arial\">");
const QString kBlue = QStringLiteral("<Font Color=\"#0000A0\">");
const QString kBlack = QStringLiteral("<Font Color=\"#000000\">");
const QString kHead = kFontArial + kBlue + kMarker + kBlack;
const QString kOpener = QStringLiteral("; '") + kBlue + QStringLiteral("<b>");
const QString kTail = QStringLiteral("</b>") + kBlack + QStringLiteral("'");

struct KindText {
    const char* label;
    const char* fixedValue;  // nullptr: the caller gives the value
    bool lowerCase;
    bool always;
};

KindText textOf(Announcement kind) {
    using A = Announcement;
    switch (kind) {
        case A::Playing:
            return {"<b>p</b>laying", nullptr, true, false};
        case A::Random:
            return {"<b>r</b>andom", nullptr, true, false};
        case A::Previous:
            return {"<b>p</b>revious", nullptr, true, false};
        case A::Pausing:
            return {"<b>p</b>ausing", nullptr, true, false};
        case A::Paused:
            return {"<b>p</b>aused", nullptr, true, false};
        case A::Upaused:
            return {"<b>u</b>paused", nullptr, true, false};
        case A::Stopped:
            return {"<b>s</b>topped", nullptr, true, false};
        case A::Song:
            return {"<b>s</b>ong", nullptr, true, false};
        case A::FastForward:
            return {"<b>f</b>ast <b>f</b>orward", nullptr, true, false};
        case A::Rewind:
            return {"<b>r</b>ewind", nullptr, true, false};
        case A::SetVolume:
            return {"<b>s</b>et <b>v</b>olume", nullptr, true, false};
        case A::Volume:
            return {"<b>v</b>olume", nullptr, false, false};
        case A::SetDir:
            return {"<b>s</b>et <b>d</b>ir", nullptr, true, false};
        case A::Dir:
            return {"<b>d</b>ir", nullptr, true, false};
        case A::SetTrigger:
            return {"<b>s</b>et <b>t</b>rigger", nullptr, false, false};
        case A::Trigger:
            return {"<b>t</b>rigger", nullptr, false, false};
        case A::Handle:
            return {"<b>h</b>andle", nullptr, true, false};
        case A::PrivateRoom:
            return {"<b>p</b>rivate <b>r</b>oom", nullptr, true, false};
        case A::Ignored:
            return {"<b>i</b>gnored", nullptr, true, false};
        case A::Unignored:
            return {"<b>u</b>nignored", nullptr, true, false};
        case A::AutoIgnoring:
            return {"<b>a</b>uto <b>i</b>gnoring", nullptr, true, false};
        case A::SetAutoXer:
            return {"<b>s</b>et <b>a</b>uto <b>x</b>er", nullptr, false, false};
        case A::Immuned:
            return {"<b>i</b>mmuned", nullptr, true, false};
        case A::Unimmuned:
            return {"<b>u</b>nimmuned", nullptr, false, true};
        case A::SkinChanged:
            return {"<b>s</b>kin <b>c</b>hanged", nullptr, true, true};
        case A::Mp3ListRefreshed:
            return {"<b>m</b>p3 <b>l</b>ist", "refreshed", false, false};
        case A::SetContinuousOn:
            return {"<b>s</b>et <b>c</b>ontinuous", "on", false, false};
        case A::SetContinuousOff:
            return {"<b>s</b>et <b>c</b>ontinuous", "off", false, false};
        case A::SetRandomOn:
            return {"<b>s</b>et <b>r</b>andom", "on", false, false};
        case A::SetRandomOff:
            return {"<b>s</b>et <b>r</b>andom", "off", false, false};
        case A::SetIdleOff:
            return {"<b>s</b>et <b>i</b>dle", "off", false, true};
        case A::SetIdleLinkerOn:
            return {"<b>s</b>et <b>i</b>dle <b>l</b>inker", "on", false, true};
        case A::SetIdleLinkerOff:
            return {"<b>s</b>et <b>i</b>dle <b>l</b>inker", "off", false, true};
        case A::SetImsOn:
            return {"<b>s</b>et <b>i</b>ms", "on", false, false};
        case A::SetImsOff:
            return {"<b>s</b>et <b>i</b>ms", "off", false, false};
        case A::SetAutoXerOff:
            return {"<b>s</b>et <b>a</b>uto <b>x</b>er", "off", false, false};
        case A::ViewingImmune:
            return {"<b>v</b>iewing", "immune", false, false};
        case A::ViewingChatCommands:
            return {"<b>v</b>iewing", "chat commands", false, false};
        case A::MelodropShown:
            return {"<b>m</b>elodrop", "shown", false, false};
        case A::MelodropMinimized:
            return {"<b>m</b>elodrop", "minimized to systray", false, false};
    }
    return {"", nullptr, false, false};
}

}  // namespace

QString lowered(const QString& text) {
    return QLocale().toLower(text);
}

QString announcementLine(Announcement kind, const QString& value) {
    const KindText t = textOf(kind);
    const QString shown =
        t.fixedValue ? QString::fromLatin1(t.fixedValue) : (t.lowerCase ? lowered(value) : value);
    return kHead + QString::fromLatin1(t.label) + kOpener + shown + kTail;
}

bool sentAlways(Announcement kind) {
    return textOf(kind).always;
}

QString idleOnLine(const QString& reason) {
    return kHead + QStringLiteral("<b>s</b>et <b>i</b>dle") + kOpener + QStringLiteral("on") +
           kTail + QStringLiteral("; ") + kBlack + QStringLiteral("<b>r</b>sn: ") + kBlue +
           QStringLiteral("<b>") + lowered(reason) + QStringLiteral("</b>");
}

namespace {
QString idleHead(const QString& handle) {
    return kHead + QStringLiteral("<b>i</b>dle; ") + kBlue + QStringLiteral("<b>") +
           lowered(handle) + QStringLiteral("</b>") + kBlack + QStringLiteral("; ") + kBlack;
}
QString idleTime(const QString& days, const QString& hours, const QString& minutes) {
    return QStringLiteral("</b>") + kBlack + QStringLiteral("; '<b>") + days + QLatin1Char('/') +
           hours + QLatin1Char('/') + minutes + QStringLiteral("</b>'");
}
}  // namespace

QString idleMinuteLine(const QString& handle, const QString& reason, const QString& days,
                       const QString& hours, const QString& minutes) {
    return idleHead(handle) + QStringLiteral("<b>r</b>sn: <b>") + kBlue + lowered(reason) +
           idleTime(days, hours, minutes);
}

QString idleLinkerMinuteLine(const QString& handle, const QString& url, const QString& urlText,
                             const QString& days, const QString& hours, const QString& minutes) {
    return idleHead(handle) + QStringLiteral("<b>u</b>rl: <b>") + kBlue +
           QStringLiteral("< a href=") + lowered(url) + QStringLiteral(">") + kBlue +
           QStringLiteral("<b>") + lowered(urlText) + QStringLiteral("</b></a>") +
           idleTime(days, hours, minutes);
}

QString loadedBanner() {
    return kHead + QStringLiteral("<b>m</b>elodrop *beta tester* <b>by</b> zeph [") + kBlue +
           QStringLiteral("<b>loaded</b>") + kBlack + QStringLiteral("]");
}

QString unloadedBanner() {
    return kHead + QStringLiteral("<b>m</b>elodrop <b>by</b> zeph [") + kBlue +
           QStringLiteral("<b>unloaded</b>") + kBlack + QStringLiteral("]");
}

QString userLine(const QString& handle, int mp3Count, const QString& downloadPage) {
    return kHead + QStringLiteral("<b>u</b>ser: ") + kBlue + QStringLiteral("<b>") +
           lowered(handle) + QStringLiteral("</b>; ") + kBlack + QStringLiteral("<b>m</b>p3s: ") +
           kBlue + QStringLiteral("<b>") + QString::number(mp3Count) +
           QStringLiteral("</b>; < a href=\"") + downloadPage + QStringLiteral("\">") + kBlue +
           QStringLiteral("<b>d/l</b></a>");
}

}  // namespace melodrop
