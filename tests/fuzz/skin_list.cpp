// skinfetch's skin list: split into lines, each name decoded (UTF-8 or Windows-1252) and judged
// as a file name. No crash; a name judged safe names one file inside the folder.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "skinfetch/SkinListFile.h"
#include "skinfetch/Skinfetch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& line : melodrop::skinfetch::splitListLines(text)) {
        if (line.contains('\r') || line.contains('\n')) std::abort();
        const QString name = melodrop::skinfetch::entryName(line);
        if (!melodrop::skinfetch::unsafeSkinNameReason(name).isEmpty()) continue;
        if (name == QLatin1String(".") || name == QLatin1String("..") ||
            name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
            std::abort();
        (void)line.toPercentEncoding();
    }
    return 0;
}
