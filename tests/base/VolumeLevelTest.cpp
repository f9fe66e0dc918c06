// The two roundings of a level that is not whole: where binary noise lies on either side of a
// half, rounding the product and rounding its 15-digit text disagree.
#include <gtest/gtest.h>

#include "base/VolumeLevel.h"

namespace melodrop {
namespace {

TEST(VolumeLevel, EachRoundingKeepsItsOwnWayAtAHalf) {
    EXPECT_EQ(playerVolumeRounded(0), -2500);
    EXPECT_EQ(playerVolumeRounded(100), 0);
    EXPECT_EQ(playerVolumeRounded(60.5), -988);  // -987.5: halves go to the even neighbour
    EXPECT_EQ(playerVolumeThroughText(60.5), -988);
    // 64.18 x 25 - 2500 is -895.4999999999998 in binary, -895.5 as 15 digits.
    EXPECT_EQ(playerVolumeRounded(64.18), -895);
    EXPECT_EQ(playerVolumeThroughText(64.18), -896);
    EXPECT_EQ(sliderPositionFor(50.5), 50);
    EXPECT_EQ(sliderPositionFor(51.5), 52);
}

}  // namespace
}  // namespace melodrop
