// melodrop-icon: draws the program's icon into an icon theme folder at the given sizes
// (FOLDER/NxN/apps/NAME.png), so that the installed icons are the window's icon. A build tool.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

#include "ui/AppIcon.h"

int main(int argc, char** argv) {
    // Drawing into an image needs no window system.
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 3) {
        std::fputs("usage: melodrop-icon THEME-FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    for (const QString& text : args.mid(2)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "melodrop-icon: not a size: %s\n", qPrintable(text));
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[0]).arg(size);
        const QString file = folder + QLatin1Char('/') + args[1] + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !melodrop::ui::appIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "melodrop-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
