#include "scenario/RunLimits.h"

#include <QFile>

namespace melodrop::scenario {

namespace {

double statusMegabytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith(prefix)) continue;
        bool ok = false;
        const double kilobytes =
            line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble(&ok);
        return ok ? kilobytes / 1024.0 : -1;
    }
    return -1;
}

}  // namespace

RunLimits::RunLimits() {
    // Writing 5 to clear_refs starts the peak (VmHWM) again from the memory resident now.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
    clock_.start();
}

double RunLimits::elapsedSeconds() const {
    return static_cast<double>(clock_.elapsed()) / 1000.0;
}

double RunLimits::peakMegabytes() {
    return statusMegabytes("VmHWM");
}

QString RunLimits::report() const {
    QString text = QStringLiteral("time %1 s").arg(elapsedSeconds(), 0, 'f', 1);
    if (seconds) text += QStringLiteral(" (at most %1 s)").arg(*seconds);
    text += QStringLiteral(", peak memory %1 MB").arg(peakMegabytes(), 0, 'f', 0);
    if (megabytes) text += QStringLiteral(" (at most %1 MB)").arg(*megabytes);
    return text;
}

QString RunLimits::exceeded() const {
    QStringList over;
    if (seconds && elapsedSeconds() > *seconds)
        over << QStringLiteral("the run took %1 s, more than %2 s")
                    .arg(elapsedSeconds(), 0, 'f', 1)
                    .arg(*seconds);
    if (megabytes && peakMegabytes() > *megabytes)
        over << QStringLiteral("the run's peak memory was %1 MB, more than %2 MB")
                    .arg(peakMegabytes(), 0, 'f', 0)
                    .arg(*megabytes);
    return over.join(QStringLiteral("; "));
}

}  // namespace melodrop::scenario
