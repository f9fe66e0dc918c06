// Chat lines drawn as the client draws them: fonts, colours, bold, links, and text that only
// looks like a tag.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include "fakes/QtPrinters.h"
#include "simroom/ChatLineHtml.h"

using melodrop::simroom::chatLineToRichText;

namespace {

struct TextRun {
    QString text;
    QTextCharFormat format;
};

// The runs of text of a drawn line, with their formats.
QList<TextRun> runs(const QString& line) {
    QTextDocument doc;
    doc.setHtml(chatLineToRichText(line));
    QList<TextRun> out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            out.append({it.fragment().text(), it.fragment().charFormat()});
    return out;
}

QString plain(const QString& line) {
    QTextDocument doc;
    doc.setHtml(chatLineToRichText(line));
    return doc.toPlainText();
}

TEST(ChatLineHtml, DrawsTheAnnouncementsFontsColoursAndBold) {
    const QString line = QStringLiteral(
        "<Font Face=\"Arial\"><Font Color=\"#0000A0\">··÷• <Font Color=\"#000000\"><b>p</b>"
        "laying; '<Font Color=\"#0000A0\"><b>love.mp3</b><Font Color=\"#000000\">'");
    EXPECT_EQ(plain(line), QStringLiteral("··÷• playing; 'love.mp3'"));
    const QList<TextRun> r = runs(line);
    ASSERT_EQ(r.size(), 5);
    EXPECT_EQ(r[0].text, QStringLiteral("··÷• "));
    EXPECT_EQ(r[0].format.foreground().color(), QColor(0x00, 0x00, 0xA0));
    EXPECT_EQ(r[0].format.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    EXPECT_EQ(r[1].text, QStringLiteral("p"));
    EXPECT_EQ(r[1].format.fontWeight(), QFont::Bold);
    EXPECT_EQ(r[1].format.foreground().color(), QColor(Qt::black));
    EXPECT_EQ(r[2].text, QStringLiteral("laying; '"));
    EXPECT_NE(r[2].format.fontWeight(), QFont::Bold);
    EXPECT_EQ(r[3].text, QStringLiteral("love.mp3"));
    EXPECT_EQ(r[3].format.fontWeight(), QFont::Bold);
    EXPECT_EQ(r[3].format.foreground().color(), QColor(0x00, 0x00, 0xA0));
    EXPECT_EQ(r[4].text, QStringLiteral("'"));
    EXPECT_EQ(r[4].format.foreground().color(), QColor(Qt::black));
}

TEST(ChatLineHtml, ATagNeedsItsNameRightAfterTheBracket) {
    // "< a href" is no link to the client: it shows as it was typed.
    const QString line = QStringLiteral("see < a href=\"http://x.test/\">d/l</a> and <b");
    EXPECT_EQ(plain(line), QStringLiteral("see < a href=\"http://x.test/\">d/l and <b"));
    for (const TextRun& run : runs(line))
        EXPECT_FALSE(run.format.isAnchor()) << run.text.toStdString();
    EXPECT_EQ(plain(QStringLiteral("1 < 2 > 0 & <3 <>")), QStringLiteral("1 < 2 > 0 & <3 <>"));
}

TEST(ChatLineHtml, LinksUnknownTagsSizesAndClosingFonts) {
    const QList<TextRun> link =
        runs(QStringLiteral("<a href=\"http://x.test/a?b=1&c=2\">here</a>!"));
    ASSERT_EQ(link.size(), 2);
    EXPECT_TRUE(link[0].format.isAnchor());
    EXPECT_EQ(link[0].format.anchorHref(), QStringLiteral("http://x.test/a?b=1&c=2"));
    EXPECT_FALSE(link[1].format.isAnchor());

    EXPECT_EQ(plain(QStringLiteral("<blink>hi</blink><HTML>there")), QStringLiteral("hithere"));

    const QList<TextRun> sized =
        runs(QStringLiteral("<font size=5 color=red>big</font>small<FONT COLOR=00FF00>g"));
    ASSERT_EQ(sized.size(), 3);
    EXPECT_DOUBLE_EQ(sized[0].format.fontPointSize(), 18.0);
    EXPECT_EQ(sized[0].format.foreground().color(), QColor(Qt::red));
    EXPECT_DOUBLE_EQ(sized[1].format.fontPointSize(), 10.0);
    EXPECT_NE(sized[1].format.foreground().color(), QColor(Qt::red));
    EXPECT_EQ(sized[2].format.foreground().color(), QColor(0, 255, 0));

    // Markup of Qt's own that a member types is text, not markup.
    EXPECT_EQ(plain(QStringLiteral("<img src=x>&lt;b&gt;")), QStringLiteral("<b>"));
    EXPECT_EQ(plain(QStringLiteral("&lt;script&gt;")), QStringLiteral("<script>"));
}

}  // namespace
