#include "audio/BufferClock.h"

#include <thread>

namespace melodrop::audio {

void BufferClock::publish(const BufferStamp& stamp) {
    const uint64_t sequence = sequence_.load();
    sequence_.store(sequence + 1);  // odd: a write is under way
    segment_.store(stamp.segment);
    startSeconds_.store(stamp.startSeconds);
    frames_.store(stamp.frames);
    handedAtTicks_.store(stamp.handedAt.time_since_epoch().count());
    sequence_.store(sequence + 2);
}

BufferStamp BufferClock::read() const {
    for (;;) {
        const uint64_t before = sequence_.load();
        BufferStamp stamp;
        stamp.segment = segment_.load();
        stamp.startSeconds = startSeconds_.load();
        stamp.frames = frames_.load();
        stamp.handedAt =
            BufferStamp::Clock::time_point(BufferStamp::Clock::duration(handedAtTicks_.load()));
        if (before % 2 == 0 && sequence_.load() == before) {
            return stamp;
        }
        std::this_thread::yield();  // the writer is between its stores: let it finish
    }
}

}  // namespace melodrop::audio
