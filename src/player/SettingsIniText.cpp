#include "player/SettingsIniText.h"

#include <QList>
#include <QStringEncoder>

namespace melodrop {

namespace {

bool isHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

QByteArray hexEscape(char32_t c) {
    return "\\x" + QByteArray::number(static_cast<uint>(c), 16);
}

// The name of a key or group line: the text before "=", without surrounding blanks.
QByteArray keyOfLine(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('[')) return {};
    const qsizetype equals = trimmed.indexOf('=');
    return equals < 0 ? QByteArray() : trimmed.left(equals).trimmed();
}

bool isGroupLine(const QByteArray& line) {
    return line.trimmed().startsWith('[');
}

}  // namespace

QByteArray iniKeyText(const QString& key) {
    QByteArray out;
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                   (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u'.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%' + QByteArray::number(c, 16).rightJustified(2, '0').toUpper();
        } else {
            out += "%U" + QByteArray::number(c, 16).rightJustified(4, '0').toUpper();
        }
    }
    return out;
}

QByteArray iniValueText(const QString& value) {
    // A string starting with "@" would read as a typed value ("@Invalid()", "@ByteArray(...)").
    const QString text = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    QByteArray out = "\"";
    bool escapeNextIfHexDigit = false;  // "\x1" followed by "f" would read as "\x1f"
    QString plain;                      // characters that go in as UTF-8
    const auto flushPlain = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    for (const char32_t c : text.toUcs4()) {
        if (escapeNextIfHexDigit && isHexDigit(c)) {
            out += hexEscape(c);
            continue;
        }
        escapeNextIfHexDigit = false;
        if (c == '"' || c == '\\') {
            flushPlain();
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            flushPlain();
            out += hexEscape(c);
            escapeNextIfHexDigit = true;
        } else {
            plain += QString::fromUcs4(&c, 1);
        }
    }
    flushPlain();
    out += '"';
    return out;
}

QByteArray withIniValue(const QByteArray& fileText, const QString& group, const QString& key,
                        const QString& value) {
    QList<QByteArray> lines = fileText.split('\n');
    const QByteArray header = '[' + iniKeyText(group) + ']';
    const QByteArray name = iniKeyText(key);
    const QByteArray entry = name + '=' + iniValueText(value);

    qsizetype start = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == header) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        QByteArray out = fileText;
        if (!out.isEmpty() && !out.endsWith('\n')) out += '\n';
        if (!out.isEmpty()) out += '\n';
        return out + header + '\n' + entry + '\n';
    }

    qsizetype end = start + 1;
    while (end < lines.size() && !isGroupLine(lines[end])) ++end;
    bool replaced = false;
    qsizetype lastFilled = start;
    for (qsizetype i = start + 1; i < end;) {
        if (keyOfLine(lines[i]) != name) {
            if (!lines[i].trimmed().isEmpty()) lastFilled = i;
            ++i;
            continue;
        }
        if (replaced) {
            lines.removeAt(i);
            --end;
            continue;
        }
        const bool crlf = lines[i].endsWith('\r');
        lines[i] = entry + (crlf ? "\r" : "");
        replaced = true;
        lastFilled = i;
        ++i;
    }
    if (!replaced) lines.insert(lastFilled + 1, entry);
    QByteArray out = lines.join('\n');
    if (!out.endsWith('\n')) out += '\n';
    return out;
}

}  // namespace melodrop
