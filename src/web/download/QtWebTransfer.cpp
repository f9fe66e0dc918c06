#include "web/download/QtWebTransfer.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace melodrop {

namespace {

QString seconds(std::chrono::milliseconds limit) {
    return QString::number(static_cast<double>(limit.count()) / 1000.0);
}

// What a finished reply amounts to: the body when a whole 2xx answer arrived, else the reason.
FetchResult judge(QNetworkReply& reply, QByteArray body, const QString& url,
                  const QString& abortReason) {
    FetchResult result;
    const auto fail = [&](const QString& why) {
        result.error = url + QStringLiteral(": ") + why;
        return result;
    };
    if (!abortReason.isEmpty()) return fail(abortReason);

    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        const QString phrase =
            reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return fail(QStringLiteral("the server answered %1 %2").arg(status.toInt()).arg(phrase));
    }
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    if (status.isValid() && length.isValid() && body.size() != length.toLongLong()) {
        return fail(QStringLiteral("the transfer was cut off after %1 of %2 bytes")
                        .arg(body.size())
                        .arg(length.toLongLong()));
    }
    if (reply.error() != QNetworkReply::NoError) return fail(reply.errorString());
    if (!status.isValid()) return fail(QStringLiteral("no HTTP answer"));

    result.ok = true;
    result.body = std::move(body);
    return result;
}

}  // namespace

QtWebTransfer::QtWebTransfer(TransferLimits limits) : limits_(limits) {}

FetchResult QtWebTransfer::fetch(const QString& url) {
    if (busy_) return {false, {}, url + QStringLiteral(": another transfer is still running")};
    const QUrl target(url);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {false, {}, url + QStringLiteral(": not a web address")};

    busy_ = true;
    QNetworkRequest request(target);
    // The body is stored exactly as sent, and its length can be checked against Content-Length.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = network_.get(request);

    QEventLoop loop;
    QTimer silence;
    QTimer total;
    silence.setSingleShot(true);
    total.setSingleShot(true);
    QByteArray body;
    QString abortReason;
    const auto abortWith = [&](const QString& why) {
        if (abortReason.isEmpty()) abortReason = why;
        reply->abort();
    };
    const QString tooLarge =
        QStringLiteral("the answer is larger than %1 bytes").arg(limits_.maxBodyBytes);

    QObject::connect(reply, &QNetworkReply::metaDataChanged, [&] {
        silence.start(limits_.silence);
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits_.maxBodyBytes) abortWith(tooLarge);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, [&] {
        silence.start(limits_.silence);
        body += reply->readAll();
        if (body.size() > limits_.maxBodyBytes) abortWith(tooLarge);
    });
    QObject::connect(&silence, &QTimer::timeout, [&] {
        abortWith(QStringLiteral("no answer within %1 s").arg(seconds(limits_.silence)));
    });
    QObject::connect(&total, &QTimer::timeout, [&] {
        abortWith(QStringLiteral("the transfer took longer than %1 s").arg(seconds(limits_.total)));
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);

    silence.start(limits_.silence);
    total.start(limits_.total);
    if (!reply->isFinished()) loop.exec();
    // The loop also ends when the application quits during the wait.
    if (!reply->isFinished()) abortWith(QStringLiteral("the transfer was interrupted"));
    silence.stop();
    total.stop();

    if (abortReason.isEmpty()) body += reply->readAll();
    if (abortReason.isEmpty() && body.size() > limits_.maxBodyBytes) abortReason = tooLarge;
    FetchResult result = judge(*reply, std::move(body), url, abortReason);
    // The loop has returned, so no signal of the reply is being delivered: delete it now.
    delete reply;
    busy_ = false;
    return result;
}

}  // namespace melodrop
