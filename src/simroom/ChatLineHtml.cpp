#include "simroom/ChatLineHtml.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QRegularExpression>

namespace melodrop::simroom {

namespace {

struct Style {
    QString face;
    QString color;  // "#rrggbb", or "" for the default
    QString back;
    int size = 0;  // 1 to 7, 0 for the default
    int bold = 0, italic = 0, underline = 0, strike = 0;
    QString href;
};

// Point sizes of the client's font sizes 1 to 7.
int pointSize(int size) {
    static const int points[] = {10, 7, 10, 12, 14, 18, 24, 36};
    return points[qBound(0, size, 7)];
}

QString colorValue(QString value) {
    value = value.trimmed();
    QColor c(value);
    if (!c.isValid() && !value.startsWith(QLatin1Char('#'))) c = QColor(QLatin1Char('#') + value);
    return c.isValid() ? c.name() : QString();
}

// name="value", name='value' or name=value, in any letter case.
QMap<QString, QString> attributes(const QString& text) {
    static const QRegularExpression attr(
        QStringLiteral("([A-Za-z]+)\\s*=\\s*(?:\"([^\"]*)\"?|'([^']*)'?|([^\\s\"'>]+))"));
    QMap<QString, QString> out;
    for (auto it = attr.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QString value = m.captured(2);
        if (value.isNull()) value = m.captured(3);
        if (value.isNull()) value = m.captured(4);
        out.insert(m.captured(1).toLower(), value);
    }
    return out;
}

QString decodeEntities(QString text) {
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&nbsp;"), QString(QChar(0xA0)), Qt::CaseInsensitive);
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"), Qt::CaseInsensitive);
    return text;
}

class Renderer {
public:
    QString render(const QString& line) {
        qsizetype i = 0;
        QString text;
        while (i < line.size()) {
            const QChar c = line.at(i);
            const qsizetype close = c == QLatin1Char('<') ? line.indexOf(QLatin1Char('>'), i) : -1;
            const bool isTag = close > i + 1 && (line.at(i + 1).isLetter() ||
                                                 (line.at(i + 1) == QLatin1Char('/') &&
                                                  i + 2 < close && line.at(i + 2).isLetter()));
            if (!isTag) {
                text += c;
                ++i;
                continue;
            }
            flush(text);
            tag(line.mid(i + 1, close - i - 1));
            i = close + 1;
        }
        flush(text);
        return out_;
    }

private:
    void flush(QString& text) {
        if (text.isEmpty()) return;
        QString css;
        if (!style_.face.isEmpty())
            css += QStringLiteral("font-family:'%1';")
                       .arg(QString(style_.face).remove(QLatin1Char('\'')));
        if (!style_.color.isEmpty()) css += QStringLiteral("color:%1;").arg(style_.color);
        if (!style_.back.isEmpty()) css += QStringLiteral("background-color:%1;").arg(style_.back);
        css += QStringLiteral("font-size:%1pt;").arg(pointSize(style_.size));
        css += style_.bold > 0 ? QStringLiteral("font-weight:bold;")
                               : QStringLiteral("font-weight:normal;");
        if (style_.italic > 0) css += QStringLiteral("font-style:italic;");
        QStringList lines;
        if (style_.underline > 0 || !style_.href.isEmpty()) lines << QStringLiteral("underline");
        if (style_.strike > 0) lines << QStringLiteral("line-through");
        if (!lines.isEmpty())
            css += QStringLiteral("text-decoration:%1;").arg(lines.join(QLatin1Char(' ')));
        QString body = decodeEntities(text).toHtmlEscaped();
        body.replace(QStringLiteral("  "), QStringLiteral("&nbsp; "));
        body.replace(QStringLiteral("\n"), QStringLiteral("<br>"));
        QString span = QStringLiteral("<span style=\"%1\">%2</span>").arg(css, body);
        if (!style_.href.isEmpty())
            span = QStringLiteral("<a href=\"%1\">%2</a>").arg(style_.href.toHtmlEscaped(), span);
        out_ += span;
        text.clear();
    }

    void tag(const QString& inside) {
        const bool closing = inside.startsWith(QLatin1Char('/'));
        const QString body = closing ? inside.mid(1) : inside;
        qsizetype nameEnd = 0;
        while (nameEnd < body.size() && body.at(nameEnd).isLetterOrNumber()) ++nameEnd;
        const QString name = body.left(nameEnd).toLower();
        const QString rest = body.mid(nameEnd);
        auto count = [closing](int& n) { n = closing ? qMax(0, n - 1) : n + 1; };
        if (name == QLatin1String("b")) return count(style_.bold);
        if (name == QLatin1String("i")) return count(style_.italic);
        if (name == QLatin1String("u")) return count(style_.underline);
        if (name == QLatin1String("s")) return count(style_.strike);
        if (name == QLatin1String("br") && !closing) {
            out_ += QStringLiteral("<br>");
            return;
        }
        if (name == QLatin1String("font")) {
            if (closing) {
                if (!fonts_.isEmpty()) restoreFont(fonts_.takeLast());
                return;
            }
            fonts_.append(style_);
            const auto attrs = attributes(rest);
            if (attrs.contains(QStringLiteral("face")))
                style_.face = attrs.value(QStringLiteral("face"));
            if (attrs.contains(QStringLiteral("color")))
                style_.color = colorValue(attrs.value(QStringLiteral("color")));
            if (attrs.contains(QStringLiteral("back")))
                style_.back = colorValue(attrs.value(QStringLiteral("back")));
            if (attrs.contains(QStringLiteral("size"))) {
                bool ok = false;
                const int size = attrs.value(QStringLiteral("size")).trimmed().toInt(&ok);
                if (ok) style_.size = qBound(1, size, 7);
            }
            return;
        }
        if (name == QLatin1String("a")) {
            if (closing) {
                style_.href.clear();
                return;
            }
            const QString href = attributes(rest).value(QStringLiteral("href"));
            style_.href = href.isEmpty() ? QStringLiteral("#") : href;
            return;
        }
        // Any other tag (<html>, <body>, <p>, made-up ones) is not shown.
    }

    // Closing a font goes back to the fonts before it, but keeps bold, italic and the rest.
    void restoreFont(const Style& before) {
        style_.face = before.face;
        style_.color = before.color;
        style_.back = before.back;
        style_.size = before.size;
    }

    Style style_;
    QList<Style> fonts_;
    QString out_;
};

}  // namespace

QString chatLineToRichText(const QString& line) {
    return Renderer().render(line);
}

}  // namespace melodrop::simroom
