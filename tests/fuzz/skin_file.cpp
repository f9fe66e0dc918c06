// A skin file as the skin code reads it: its three required keys and name, and the colours in
// decimal or &H hexadecimal. No crash; a colour that parses fits a colour reference.
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "aol/QuartzlineFiles.h"
#include "base/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"backcolor", "forecolor"}) {
        const QString text = QString::fromStdString(aol::ReadINIBytes("melodrop", key, bytes));
        if (const auto colour = melodrop::parseColorReference(text);
            colour && *colour > 0xFFFFFFFFu)
            std::abort();
    }
    aol::ReadINIBytes("melodrop", "image", bytes);
    aol::ReadINIBytes("melodrop", "skinname", bytes);
    // The whole input as a colour value too.
    melodrop::parseColorReference(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));
    melodrop::parseNumber(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));
    return 0;
}
