#pragma once
// What a screen glow around the test scene's dot must show, for every
// object that glows over the screen (field systems and tree leaves alike):
// the pixels near the dot at (22, 48) brightened in every channel, and the
// picture itself kept wherever the glow does not reach.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/render/PictureSceneTestSupport.h"

namespace glow_expectations {

inline void ExpectScreenGlowNearTheDotKeepingThePicture(const std::vector<std::uint32_t>& pixels)
{
    using namespace picture_scene_test;
    const std::uint32_t near = At(pixels, 22, 48);
    for (const int shift : {0, 8, 16})
        EXPECT_GT((near >> shift) & 0xFF, 0x84u) << Hex(near);
    EXPECT_TRUE(ShowsRgb(At(pixels, 56, 48), kGrey)) << Hex(At(pixels, 56, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 4, 4), kStripes[0])) << Hex(At(pixels, 4, 4));
    EXPECT_TRUE(ShowsRgb(At(pixels, 44, 4), kStripes[2])) << Hex(At(pixels, 44, 4));
}

} // namespace glow_expectations
