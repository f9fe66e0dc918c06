#pragma once
// One MP3 file decoded with libmpg123 to 32-bit float stereo at the file's own sample rate,
// gapless (the encoder's delay and padding are cut away, so lengths and positions are exact).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct mpg123_handle_struct;

namespace melodrop::audio {

enum class DecoderError {
    None,
    NotAFile,   // missing, unreadable, a folder, a device or a pipe
    NoAudio,    // empty, not MP3, or no MPEG frame at all
    Truncated,  // the stream's own header promises more frames than the file holds
    Unsupported,
};

class Mp3Decoder {
public:
    static constexpr int kChannels = 2;

    // Opens and checks the whole file (one pass over its frame headers, no decoding).
    // Returns null and sets *error when the file cannot be played.
    static std::unique_ptr<Mp3Decoder> open(const std::string& path, DecoderError* error);
    // The same on bytes in memory, read through a reader of the decoder's own (the fuzz target).
    static std::unique_ptr<Mp3Decoder> openMemory(std::vector<unsigned char> bytes,
                                                  DecoderError* error);
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    int sampleRate() const { return rate_; }
    // Length in frames (one frame = one sample per channel).
    int64_t lengthFrames() const { return length_; }
    // Decodes up to maxFrames interleaved stereo frames into out. Returns the number decoded;
    // 0 means the end of the stream (or a stream so damaged that decoding cannot go on).
    int read(float* out, int maxFrames);
    // Moves to a frame, sample-accurately, clamped to [0, length].
    void seek(int64_t frame);

    struct MemorySource;

private:
    Mp3Decoder(mpg123_handle_struct* handle, int rate, int64_t length);
    // Checks an opened stream and makes the decoder of it.
    static std::unique_ptr<Mp3Decoder> finish(mpg123_handle_struct* opened, DecoderError* error,
                                              std::unique_ptr<MemorySource> source);
    mpg123_handle_struct* handle_;
    std::unique_ptr<MemorySource> source_;
    int rate_;
    int64_t length_;
    bool finished_ = false;
};

}  // namespace melodrop::audio
