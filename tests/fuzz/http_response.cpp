// An HTTP answer from a hostile server, in pieces of any size: no crash, the bounds hold, and
// the answer read in one piece is the answer read in many.
#include <cstdint>
#include <cstdlib>

#include "net/HttpResponseParser.h"

using melodrop::HttpResponseParser;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses the piece size.
    const qsizetype piece = 1 + data[0] % 97;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    const HttpResponseParser::Limits limits{512, 4096};

    HttpResponseParser whole(limits);
    qint64 wholeBody = whole.feed(bytes, length);
    whole.endOfInput();
    HttpResponseParser pieces(limits);
    qint64 piecesBody = 0;
    for (qsizetype at = 0; at < length; at += piece)
        piecesBody += pieces.feed(bytes + at, std::min(piece, length - at));
    pieces.endOfInput();

    if (whole.state() != pieces.state() || whole.body() != pieces.body() ||
        whole.status() != pieces.status())
        std::abort();
    if (whole.body().size() > limits.maxBodyBytes) std::abort();
    if (whole.state() == HttpResponseParser::State::Done && wholeBody != whole.body().size())
        std::abort();
    (void)piecesBody;
    return 0;
}
