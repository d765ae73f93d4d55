#include "platform/gfx/NormalMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace gfx {
namespace {

// Heights in the red channel: height(x, y) given as 0..255.
template <typename F>
Image HeightMap(std::uint32_t size, F height) {
    Image image(size, size, Format::A8R8G8B8);
    for (std::uint32_t y = 0; y < size; ++y)
        for (std::uint32_t x = 0; x < size; ++x) image.SetPixel(x, y, 0xFF000000u | height(x, y) << 16);
    return image;
}

std::pair<int, int> Uv(const Image& image, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = image.Row(y) + x * 2;
    return {static_cast<std::int8_t>(p[0]), static_cast<std::int8_t>(p[1])};
}

TEST(NormalMapTest, FlatHeightPointsStraightOut) {
    const Image flat = HeightMap(4, [](auto, auto) { return 200u; });
    Image argb(4, 4, Format::A8R8G8B8);
    ASSERT_TRUE(ComputeNormalMap(argb, flat, 0, Channel::Red, 25.0f));
    EXPECT_EQ(argb.Pixel(2, 2), 0xFF8080FFu);  // biased (0, 0, 1)
    Image dudv(4, 4, Format::V8U8);
    ASSERT_TRUE(ComputeNormalMap(dudv, flat, 0, Channel::Red, 25.0f));
    EXPECT_EQ(Uv(dudv, 1, 1), std::make_pair(0, 0));
}

TEST(NormalMapTest, SlopeIsTheCentralDifferenceTimesAmplitude) {
    // Height rises by 51 (0.2) per column: slope 0.2 x amplitude 5 = 1, so
    // the normal leans back along -u by 45 degrees.
    const Image ramp = HeightMap(8, [](std::uint32_t x, auto) { return 51u * (x % 5); });
    Image dudv(8, 8, Format::V16U16);
    ASSERT_TRUE(ComputeNormalMap(dudv, ramp, 0, Channel::Red, 5.0f));
    std::int16_t uv[2];
    std::memcpy(uv, dudv.Row(3) + 2 * 4, 4);
    EXPECT_NEAR(uv[0] / 32767.0, -std::sqrt(0.5), 1e-3);
    EXPECT_EQ(uv[1], 0);
    // INVERTSIGN leans the other way.
    ASSERT_TRUE(ComputeNormalMap(dudv, ramp, NormalMapFlags::InvertSign, Channel::Red, 5.0f));
    std::memcpy(uv, dudv.Row(3) + 2 * 4, 4);
    EXPECT_NEAR(uv[0] / 32767.0, std::sqrt(0.5), 1e-3);
    // A rise down the rows leans along -v.
    const Image down = HeightMap(8, [](auto, std::uint32_t y) { return 51u * (y % 5); });
    Image v8u8(8, 8, Format::V8U8);
    ASSERT_TRUE(ComputeNormalMap(v8u8, down, 0, Channel::Red, 5.0f));
    EXPECT_EQ(Uv(v8u8, 3, 2), std::make_pair(0, -90));  // -0.7071 x 127
}

TEST(NormalMapTest, EdgesWrapOrMirror) {
    // A single raised column at x = 0: wrapping sees it from the last column.
    const Image spike = HeightMap(4, [](std::uint32_t x, auto) { return x == 0 ? 255u : 0u; });
    Image wrapped(4, 4, Format::V8U8), mirrored(4, 4, Format::V8U8);
    ASSERT_TRUE(ComputeNormalMap(wrapped, spike, 0, Channel::Red, 2.0f));
    ASSERT_TRUE(ComputeNormalMap(mirrored, spike, NormalMapFlags::MirrorU, Channel::Red, 2.0f));
    EXPECT_LT(Uv(wrapped, 3, 0).first, 0);   // rises towards x = 4 (= 0): leans to -u
    EXPECT_EQ(Uv(mirrored, 3, 0).first, 0);  // mirrored: flat beyond the edge
    EXPECT_EQ(Uv(mirrored, 0, 0).first, 0);  // the spike mirrors onto itself
}

TEST(NormalMapTest, UnsupportedArgumentsLeaveTheDestination) {
    const Image flat = HeightMap(4, [](auto, auto) { return 0u; });
    Image a8(4, 4, Format::A8);
    EXPECT_FALSE(ComputeNormalMap(a8, flat, 0, Channel::Red, 1.0f));
    Image dudv(4, 4, Format::V8U8);
    EXPECT_FALSE(ComputeNormalMap(dudv, flat, 0, 3, 1.0f));  // two channels at once
    EXPECT_FALSE(ComputeNormalMap(dudv, Image(), 0, Channel::Red, 1.0f));
}

}  // namespace
}  // namespace gfx
