#include "base/NumberText.h"

#include <cmath>

namespace melodrop {

std::optional<double> parseNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<unsigned> parseColorReference(const QString& text) {
    QString t = text.trimmed();
    bool ok = false;
    qlonglong value = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        if (t.endsWith(QLatin1Char('&'))) t.chop(1);
        if (t.isEmpty() || t.size() > 8) return std::nullopt;
        value = t.toLongLong(&ok, 16);
    } else {
        value = t.toLongLong(&ok, 10);
    }
    if (!ok || value < 0 || value > 0xFFFFFFFFLL) return std::nullopt;
    return static_cast<unsigned>(value);
}

long long roundHalfEven(double value) {
    // The default floating-point rounding mode rounds halves to even.
    return std::llrint(value);
}

}  // namespace melodrop
