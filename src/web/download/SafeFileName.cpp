#include "web/download/SafeFileName.h"

#include <algorithm>

namespace melodrop {

QString unsafeFileNameReason(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("the file name is empty");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" is not a file name").arg(name);
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("the file name contains a path separator");
    if (name.contains(QLatin1Char(':'))) return QStringLiteral("the file name contains a drive");
    const bool control = std::any_of(name.cbegin(), name.cend(),
                                     [](QChar c) { return c.category() == QChar::Other_Control; });
    if (control) return QStringLiteral("the file name contains control characters");
    return {};
}

QString folderOfChosenPath(const QString& chosenPath) {
    const qsizetype cut = std::max(chosenPath.lastIndexOf(QLatin1Char('/')),
                                   chosenPath.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? QString() : chosenPath.left(cut);
}

}  // namespace melodrop
