#include "net/SafeFileName.h"

#include <algorithm>

namespace melodrop {

QString unsafeFileNameReason(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("the file name is empty");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" is not a file name").arg(name);
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("the file name contains a path separator");
    const bool drive = name.size() >= 2 && name.at(1) == QLatin1Char(':') &&
                       name.at(0).isLetter() && name.at(0).unicode() < 0x80;
    if (drive) return QStringLiteral("the file name starts with a drive");
#ifdef Q_OS_WIN
    // Elsewhere in a name, a colon names a stream of another file.
    if (name.contains(QLatin1Char(':'))) return QStringLiteral("the file name contains a colon");
#endif
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
