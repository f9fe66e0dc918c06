#pragma once
// Where the sound is: the buffer the output took last and when it took it. The output's thread
// writes it without ever waiting; any other thread reads it without holding that thread up.
// (A sequence lock: a read that overlapped a write is read again.)
#include <atomic>
#include <chrono>
#include <cstdint>

namespace melodrop::audio {

struct BufferStamp {
    using Clock = std::chrono::steady_clock;

    uint64_t segment = 0;     // the stretch of playing it belongs to, numbered by the player
    double startSeconds = 0;  // where the buffer starts in the track
    int frames = 0;           // frames of the track in it, at the output rate
    Clock::time_point handedAt;
};

class BufferClock {
public:
    // One writer at a time.
    void publish(const BufferStamp& stamp);
    BufferStamp read() const;

private:
    // Every access is sequentially consistent, so a read sees either all of a write or none of
    // it once the sequence number is the same, and even, before and after. One write per buffer
    // makes the cost of that ordering nothing to speak of.
    std::atomic<uint64_t> sequence_{0};
    std::atomic<uint64_t> segment_{0};
    std::atomic<double> startSeconds_{0};
    std::atomic<int> frames_{0};
    std::atomic<BufferStamp::Clock::rep> handedAtTicks_{0};
};

}  // namespace melodrop::audio
