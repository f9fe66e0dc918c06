#include "net/HttpResponseParser.h"

#include <QList>
#include <algorithm>
#include <cstring>

namespace melodrop {

namespace {

// A chunk size line or a trailer line longer than this is not HTTP.
constexpr qsizetype kMaxFramingLine = 1024;

// Where the head ends (just past its empty line), or -1. `from` is where to start looking.
qsizetype endOfHead(const QByteArray& head, qsizetype from) {
    for (qsizetype i = std::max<qsizetype>(from, 1); i < head.size(); ++i) {
        if (head[i] != '\n') continue;
        if (head[i - 1] == '\n') return i + 1;
        if (i >= 2 && head[i - 1] == '\r' && head[i - 2] == '\n') return i + 1;
    }
    return -1;
}

bool allDigits(const QByteArray& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void HttpResponseParser::fail(const QString& why) {
    if (state_ == State::Failed) return;
    state_ = State::Failed;
    error_ = why;
    body_.clear();
}

qint64 HttpResponseParser::feed(const char* data, qsizetype size) {
    qint64 bodyBytes = 0;
    while (size > 0 && (state_ == State::Head || state_ == State::Body)) {
        if (state_ == State::Head) {
            const qsizetype used = feedHead(data, size);
            data += used;
            size -= used;
            continue;
        }
        if (framing_ == Framing::Chunked) {
            const qsizetype used = feedChunked(data, size, bodyBytes);
            data += used;
            size -= used;
            continue;
        }
        qsizetype take = size;
        if (framing_ == Framing::Length)
            take = std::min<qint64>(take, *contentLength_ - body_.size());
        bodyBytes += takeBody(data, take);
        data += take;
        size -= take;
        if (state_ == State::Body && framing_ == Framing::Length && body_.size() == *contentLength_)
            state_ = State::Done;
    }
    return bodyBytes;
}

qsizetype HttpResponseParser::feedHead(const char* data, qsizetype size) {
    const qsizetype before = head_.size();
    const qsizetype room = limits_.maxHeadBytes - before;
    const qsizetype take = std::min(size, room + 1);
    head_.append(data, take);
    const qsizetype end = endOfHead(head_, before - 2);
    if (end < 0) {
        if (head_.size() > limits_.maxHeadBytes)
            fail(QStringLiteral("the answer's headers are larger than %1 bytes")
                     .arg(limits_.maxHeadBytes));
        return take;
    }
    const qsizetype used = end - before;
    head_.truncate(end);
    parseHead();
    return used;
}

void HttpResponseParser::parseHead() {
    QList<QByteArray> lines = head_.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    head_.clear();

    // "HTTP/1.1 200 OK"
    const QByteArray statusLine = lines.value(0);
    const qsizetype firstBlank = statusLine.indexOf(' ');
    const QByteArray code = statusLine.mid(firstBlank + 1, 3);
    if (!statusLine.startsWith("HTTP/") || firstBlank < 0 || !allDigits(code) ||
        (statusLine.size() > firstBlank + 4 && statusLine[firstBlank + 4] != ' ')) {
        return fail(QStringLiteral("no HTTP answer"));
    }
    status_ = code.toInt();
    reason_ = QString::fromLatin1(statusLine.mid(firstBlank + 5).trimmed());
    if (status_ >= 100 && status_ < 200) return;  // an interim answer; the real one follows

    location_.clear();
    contentLength_.reset();
    bool chunked = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0) continue;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        if (name == "content-length") {
            if (!allDigits(value) || value.size() > 18)
                return fail(QStringLiteral("the answer's length is not a number"));
            const qint64 length = value.toLongLong();
            if (contentLength_ && *contentLength_ != length)
                return fail(QStringLiteral("the answer states two lengths"));
            contentLength_ = length;
        } else if (name == "transfer-encoding") {
            chunked = value.toLower().endsWith("chunked");
        } else if (name == "location") {
            location_ = value;
        }
    }
    state_ = State::Body;
    if (chunked) {
        framing_ = Framing::Chunked;
        contentLength_.reset();
    } else if (contentLength_) {
        framing_ = Framing::Length;
        if (*contentLength_ > limits_.maxBodyBytes)
            return fail(
                QStringLiteral("the answer is larger than %1 bytes").arg(limits_.maxBodyBytes));
        if (*contentLength_ == 0) state_ = State::Done;
    } else {
        framing_ = Framing::UntilClose;
    }
    if (status_ == 204 || status_ == 304) state_ = State::Done;
}

qint64 HttpResponseParser::takeBody(const char* data, qsizetype size) {
    if (size <= 0) return 0;
    if (body_.size() + size > limits_.maxBodyBytes) {
        fail(QStringLiteral("the answer is larger than %1 bytes").arg(limits_.maxBodyBytes));
        return 0;
    }
    // Grow the buffer without ever reserving more than the bound.
    if (body_.capacity() < body_.size() + size)
        body_.reserve(std::min<qint64>(
            limits_.maxBodyBytes, std::max<qint64>(body_.size() + size, 2 * body_.capacity())));
    body_.append(data, size);
    return size;
}

bool HttpResponseParser::takeLine(const char*& data, qsizetype& size, QByteArray& line) {
    const char* newline = static_cast<const char*>(memchr(data, '\n', static_cast<size_t>(size)));
    const qsizetype take = newline ? (newline - data) + 1 : size;
    line_.append(data, take);
    data += take;
    size -= take;
    if (line_.size() > kMaxFramingLine) {
        fail(QStringLiteral("the answer's chunk framing is broken"));
        return false;
    }
    if (!newline) return false;
    line = line_.trimmed();
    line_.clear();
    return true;
}

qsizetype HttpResponseParser::feedChunked(const char* data, qsizetype size, qint64& bodyBytes) {
    const char* const start = data;
    while (size > 0 && state_ == State::Body) {
        QByteArray line;
        switch (chunkPart_) {
            case ChunkPart::Size: {
                if (!takeLine(data, size, line)) break;
                const qsizetype extension = line.indexOf(';');
                const QByteArray digits = (extension < 0 ? line : line.left(extension)).trimmed();
                bool ok = !digits.isEmpty() && digits.size() <= 15;
                const qint64 chunk = ok ? digits.toLongLong(&ok, 16) : 0;
                if (!ok || chunk < 0) {
                    fail(QStringLiteral("the answer's chunk framing is broken"));
                    break;
                }
                chunkLeft_ = chunk;
                chunkPart_ = chunk == 0 ? ChunkPart::Trailer : ChunkPart::Data;
                break;
            }
            case ChunkPart::Data: {
                const qsizetype take = std::min<qint64>(size, chunkLeft_);
                bodyBytes += takeBody(data, take);
                data += take;
                size -= take;
                chunkLeft_ -= take;
                if (chunkLeft_ == 0) chunkPart_ = ChunkPart::DataEnd;
                break;
            }
            case ChunkPart::DataEnd:
                if (!takeLine(data, size, line)) break;
                if (!line.isEmpty()) fail(QStringLiteral("the answer's chunk framing is broken"));
                chunkPart_ = ChunkPart::Size;
                break;
            case ChunkPart::Trailer:
                if (!takeLine(data, size, line)) break;
                if (line.isEmpty()) state_ = State::Done;
                break;
        }
    }
    return data - start;
}

void HttpResponseParser::endOfInput() {
    switch (state_) {
        case State::Head:
            return fail(head_.isEmpty() && status_ == 0
                            ? QStringLiteral("no HTTP answer")
                            : QStringLiteral("the connection closed in the middle of the answer"));
        case State::Body:
            if (framing_ == Framing::UntilClose) {
                state_ = State::Done;
            } else if (framing_ == Framing::Length) {
                fail(QStringLiteral("the transfer was cut off after %1 of %2 bytes")
                         .arg(body_.size())
                         .arg(*contentLength_));
            } else {
                fail(QStringLiteral("the transfer was cut off after %1 bytes").arg(body_.size()));
            }
            return;
        case State::Done:
        case State::Failed:
            return;
    }
}

}  // namespace melodrop
