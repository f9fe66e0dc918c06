// The MP3 decoder on any bytes: open, decode a bounded amount, seek about, decode again.
// No crash, no read past the buffers, and never more frames than the stream's length.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "audio/Mp3Decoder.h"

using melodrop::audio::DecoderError;
using melodrop::audio::Mp3Decoder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecoderError error = DecoderError::None;
    auto decoder = Mp3Decoder::openMemory(std::vector<unsigned char>(data, data + size), &error);
    if (!decoder) return 0;
    std::vector<float> buffer(1152 * Mp3Decoder::kChannels);
    const auto decode = [&](int pieces) {
        std::int64_t frames = 0;
        for (int i = 0; i < pieces; ++i) {
            const int got = decoder->read(buffer.data(), 1152);
            if (got < 0 || got > 1152) std::abort();
            if (got == 0) break;
            frames += got;
        }
        return frames;
    };
    decode(64);
    const std::int64_t length = decoder->lengthFrames();
    for (const std::int64_t at :
         {length / 2, length - 1, std::int64_t{0}, length + 100, std::int64_t{-5}}) {
        decoder->seek(at);
        decode(4);
    }
    decoder->seek(0);
    if (decode(1 << 20) > length + 1152) std::abort();
    return 0;
}
