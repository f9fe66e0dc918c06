#include "audio/BufferClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace melodrop::audio {
namespace {

// Every stamp written has its fields tied together, so a read that mixed two writes shows.
BufferStamp stampNumber(uint64_t n) {
    return {n, static_cast<double>(n) / 4, static_cast<int>(n % 4096),
            BufferStamp::Clock::time_point(BufferStamp::Clock::duration(n * 3))};
}

TEST(BufferClock, AReadNeverMixesTwoWrites) {
    BufferClock clock;
    constexpr uint64_t kWrites = 200000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (uint64_t n = 1; n <= kWrites; ++n) {
            clock.publish(stampNumber(n));
        }
        done = true;
    });
    int torn = 0;
    uint64_t last = 0;
    int backwards = 0;
    while (!done) {
        const BufferStamp read = clock.read();
        const BufferStamp expected = stampNumber(read.segment);
        torn += read.startSeconds == expected.startSeconds && read.frames == expected.frames &&
                        read.handedAt == expected.handedAt
                    ? 0
                    : 1;
        backwards += read.segment < last ? 1 : 0;
        last = read.segment;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
    EXPECT_EQ(clock.read().segment, kWrites);
}

}  // namespace
}  // namespace melodrop::audio
