#include "audio/Mp3Decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace melodrop::audio {

namespace {

// Encoders disagree by a frame about whether the header frame counts; more missing than that
// means the file was cut short.
constexpr off_t kFrameCountSlack = 1;

struct HandleDeleter {
    void operator()(mpg123_handle* h) const { mpg123_delete(h); }
};
using HandlePtr = std::unique_ptr<mpg123_handle, HandleDeleter>;

// Float stereo output at every rate the library knows, so that it never resamples: gapless
// trimming is only exact at the native rate.
bool configureOutput(mpg123_handle* h) {
    if (mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET | MPG123_FORCE_STEREO, 0) !=
            MPG123_OK ||
        mpg123_format_none(h) != MPG123_OK) {
        return false;
    }
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
        if (mpg123_format(h, rates[i], MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK) {
            return false;
        }
    }
    return true;
}

// Frames promised by the Xing/Info header that lame writes (which also carries the encoder
// delay); -1 when the stream has no such header and the count is only an estimate.
off_t promisedFrames(mpg123_handle* h) {
    long delay = -1;
    if (mpg123_getstate(h, MPG123_ENC_DELAY, &delay, nullptr) != MPG123_OK || delay < 0) {
        return -1;
    }
    return mpg123_framelength(h);
}

}  // namespace

// Bytes in memory as the stream libmpg123 reads, with read and seek like POSIX's.
struct Mp3Decoder::MemorySource {
    std::vector<unsigned char> bytes;
    size_t at = 0;

    static mpg123_ssize_t read(void* self, void* buffer, size_t size) {
        auto* source = static_cast<MemorySource*>(self);
        const size_t n = std::min(size, source->bytes.size() - source->at);
        if (n == 0) {
            return 0;
        }
        std::memcpy(buffer, source->bytes.data() + source->at, n);
        source->at += n;
        return static_cast<mpg123_ssize_t>(n);
    }
    static off_t seek(void* self, off_t offset, int whence) {
        auto* source = static_cast<MemorySource*>(self);
        off_t base = 0;
        if (whence == SEEK_CUR) {
            base = static_cast<off_t>(source->at);
        } else if (whence == SEEK_END) {
            base = static_cast<off_t>(source->bytes.size());
        } else if (whence != SEEK_SET) {
            return -1;
        }
        if (offset > static_cast<off_t>(source->bytes.size()) - base || base + offset < 0) {
            return -1;
        }
        source->at = static_cast<size_t>(base + offset);
        return static_cast<off_t>(source->at);
    }
};

std::unique_ptr<Mp3Decoder> Mp3Decoder::openMemory(std::vector<unsigned char> bytes,
                                                   DecoderError* error) {
    *error = DecoderError::None;
    int err = MPG123_OK;
    HandlePtr h(mpg123_new(nullptr, &err));
    if (!h || !configureOutput(h.get())) {
        *error = DecoderError::Unsupported;
        return nullptr;
    }
    auto source = std::make_unique<MemorySource>();
    source->bytes = std::move(bytes);
    if (mpg123_replace_reader_handle(h.get(), &MemorySource::read, &MemorySource::seek, nullptr) !=
            MPG123_OK ||
        mpg123_open_handle(h.get(), source.get()) != MPG123_OK) {
        *error = DecoderError::NotAFile;
        return nullptr;
    }
    return finish(h.release(), error, std::move(source));
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::open(const std::string& path, DecoderError* error) {
    *error = DecoderError::None;
    // Only regular files: opening a pipe or a device could block or never end.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        *error = DecoderError::NotAFile;
        return nullptr;
    }
    int err = MPG123_OK;
    HandlePtr h(mpg123_new(nullptr, &err));
    if (!h || !configureOutput(h.get())) {
        *error = DecoderError::Unsupported;
        return nullptr;
    }
    if (mpg123_open(h.get(), path.c_str()) != MPG123_OK) {
        *error = DecoderError::NotAFile;
        return nullptr;
    }
    return finish(h.release(), error, nullptr);
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::finish(mpg123_handle* opened, DecoderError* error,
                                               std::unique_ptr<MemorySource> source) {
    HandlePtr h(opened);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(h.get(), &rate, &channels, &encoding) != MPG123_OK) {
        *error = DecoderError::NoAudio;
        return nullptr;
    }
    if (channels != kChannels || encoding != MPG123_ENC_FLOAT_32 || rate <= 0) {
        *error = DecoderError::Unsupported;
        return nullptr;
    }
    const off_t promised = promisedFrames(h.get());
    // The scan walks every frame header: exact length, a full seek index, and the real count.
    if (mpg123_scan(h.get()) != MPG123_OK) {
        *error = DecoderError::NoAudio;
        return nullptr;
    }
    const off_t found = mpg123_framelength(h.get());
    if (promised > 0 && found < promised - kFrameCountSlack) {
        *error = DecoderError::Truncated;
        return nullptr;
    }
    const off_t length = mpg123_length(h.get());
    if (length <= 0 || mpg123_seek(h.get(), 0, SEEK_SET) < 0) {
        *error = DecoderError::NoAudio;
        return nullptr;
    }
    auto decoder =
        std::unique_ptr<Mp3Decoder>(new Mp3Decoder(h.release(), static_cast<int>(rate), length));
    decoder->source_ = std::move(source);
    return decoder;
}

Mp3Decoder::Mp3Decoder(mpg123_handle* handle, int rate, int64_t length)
    : handle_(handle), rate_(rate), length_(length) {}

Mp3Decoder::~Mp3Decoder() {
    mpg123_close(handle_);
    mpg123_delete(handle_);
}

int Mp3Decoder::read(float* out, int maxFrames) {
    if (finished_ || maxFrames <= 0) {
        return 0;
    }
    const size_t frameBytes = sizeof(float) * kChannels;
    size_t done = 0;
    const int result =
        mpg123_read(handle_, reinterpret_cast<unsigned char*>(out), maxFrames * frameBytes, &done);
    if (result == MPG123_NEW_FORMAT) {
        // Stitched files: another stream may start inside this one. The same output format
        // goes on; another rate cannot be played at this stream's rate and ends the track.
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(handle_, &rate, &channels, &encoding);
        finished_ = rate != rate_ || channels != kChannels || encoding != MPG123_ENC_FLOAT_32;
    } else if (result != MPG123_OK) {
        // The end, or a decoding error that leaves nothing sensible to play.
        finished_ = true;
    }
    return static_cast<int>(done / frameBytes);
}

void Mp3Decoder::seek(int64_t frame) {
    frame = std::clamp<int64_t>(frame, 0, length_);
    finished_ = mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) < 0;
}

}  // namespace melodrop::audio
