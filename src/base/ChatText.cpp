#include "base/ChatText.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <QList>
#include <memory>

#include "aol/Ansi.h"

namespace melodrop {

namespace {

// Made once per thread (making one reads ICU's rule tables); null when ICU cannot make it.
icu::Transliterator* toLatin() {
    thread_local const std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(icu::Transliterator::createInstance(
            icu::UnicodeString::fromUTF8("Any-Latin; Latin-ASCII"), UTRANS_FORWARD, status));
        if (U_FAILURE(status)) made.reset();
        return made;
    }();
    return transliterator.get();
}

QString transliterated(const QString& run) {
    icu::Transliterator* latin = toLatin();
    if (!latin) return run;
    icu::UnicodeString text(reinterpret_cast<const UChar*>(run.utf16()),
                            static_cast<int32_t>(run.size()));
    latin->transliterate(text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace

QString readableInChatRoom(const QString& text) {
    const QList<uint> codePoints = text.toUcs4();
    QString out;
    out.reserve(text.size());
    QList<uint> foreign;  // a run of characters the room cannot show, transliterated together
    auto flush = [&] {
        if (foreign.isEmpty()) return;
        out += transliterated(
            QString::fromUcs4(reinterpret_cast<const char32_t*>(foreign.data()), foreign.size()));
        foreign.clear();
    };
    for (const uint codePoint : codePoints) {
        // The module's own conversion decides, so that the two never disagree.
        if (aol::HasAnsiForm(codePoint)) {
            flush();
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
        } else {
            foreign << codePoint;
        }
    }
    flush();
    return out;
}

}  // namespace melodrop
