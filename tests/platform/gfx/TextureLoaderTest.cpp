#include "platform/gfx/TextureLoader.h"

#include <gtest/gtest.h>

#include "ImageTestSupport.h"

namespace gfx {
namespace {

using testing::EncodePicture;
using testing::PictureKind;

constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

TextureImage Prepare(const std::vector<std::uint8_t>& file, const TextureLoadOptions& options) {
    std::string error;
    auto texture = PrepareTextureImage(file, options, error);
    EXPECT_TRUE(texture) << error;
    return texture ? std::move(*texture) : TextureImage{};
}

TEST(TextureLoaderTest, NextPowerOfTwo) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 0}, {1, 1}, {5, 8}, {8, 8}, {1080, 2048}, {1920, 2048}};
    for (auto [n, expected] : cases) EXPECT_EQ(NextPowerOfTwo(n), expected) << n;
}

TEST(TextureLoaderTest, FilterNoneKeepsThePictureInTheCorner) {
    const auto png = EncodePicture(PictureKind::Png, testing::TwoHalves(100, 50, kRed, kBlue), 100, 50);
    TextureLoadOptions options;
    options.mipLevels = 1;
    options.filter = kD3dxFilterNone;
    const TextureImage texture = Prepare(png, options);
    ASSERT_EQ(texture.levels.size(), 1u);
    const Image& level = texture.levels[0];
    EXPECT_EQ(level.Width(), 128u);
    EXPECT_EQ(level.Height(), 64u);
    EXPECT_EQ(texture.info.width, 100u);  // the picture's own size: u extent 100/128
    EXPECT_EQ(texture.info.height, 50u);
    EXPECT_EQ(level.Pixel(0, 0), kRed);
    EXPECT_EQ(level.Pixel(49, 49), kRed);
    EXPECT_EQ(level.Pixel(50, 0), kBlue);
    EXPECT_EQ(level.Pixel(99, 49), kBlue);
    EXPECT_EQ(level.Pixel(100, 0), 0u);  // outside the picture: transparent black
    EXPECT_EQ(level.Pixel(10, 50), 0u);
    EXPECT_EQ(level.Pixel(127, 63), 0u);
}

TEST(TextureLoaderTest, FilterTriangleStretchesThePictureOverTheTexture) {
    const auto png = EncodePicture(PictureKind::Png, testing::TwoHalves(100, 50, kRed, kBlue), 100, 50);
    TextureLoadOptions options;
    options.mipLevels = 1;
    options.filter = kD3dxFilterTriangle;
    const TextureImage texture = Prepare(png, options);
    const Image& level = texture.levels.at(0);
    EXPECT_EQ(level.Width(), 128u);
    EXPECT_EQ(level.Height(), 64u);
    EXPECT_EQ(texture.info.width, 100u);
    EXPECT_EQ(level.Pixel(0, 0), kRed);
    EXPECT_EQ(level.Pixel(60, 63), kRed);   // the red half now spans 64 columns
    EXPECT_EQ(level.Pixel(67, 0), kBlue);
    EXPECT_EQ(level.Pixel(127, 63), kBlue);
    const std::uint32_t seam = level.Pixel(64, 30);  // a blend of both at the seam
    EXPECT_GT((seam >> 16) & 0xFF, 0u);
    EXPECT_GT(seam & 0xFF, 0u);
}

TEST(TextureLoaderTest, SizesLevelsAndFormatsAsAsked) {
    const auto png = EncodePicture(PictureKind::Png, testing::TwoHalves(100, 50, kRed, kBlue), 100, 50, 3);
    struct Case {
        std::uint32_t width, height, mipLevels;
        Format format;
        std::uint32_t expectWidth, expectHeight, expectLevels;
        Format expectFormat;
    };
    const Case cases[] = {
        {kD3dxDefault, kD3dxDefault, 1, Format::Unknown, 128, 64, 1, Format::X8R8G8B8},
        {kD3dxDefault, kD3dxDefault, 0, Format::Unknown, 128, 64, 8, Format::X8R8G8B8},
        {kD3dxDefaultNonPow2, kD3dxFromFile, 1, Format::A8R8G8B8, 100, 50, 1, Format::A8R8G8B8},
        {32, 16, 3, Format::DXT1, 32, 16, 3, Format::DXT1},
        {0, 0, 2, Format::DXT5, 128, 64, 2, Format::DXT5},
    };
    for (const Case& c : cases) {
        TextureLoadOptions options;
        options.width = c.width;
        options.height = c.height;
        options.mipLevels = c.mipLevels;
        options.format = c.format;
        const TextureImage texture = Prepare(png, options);
        ASSERT_EQ(texture.levels.size(), c.expectLevels);
        EXPECT_EQ(texture.levels[0].Width(), c.expectWidth);
        EXPECT_EQ(texture.levels[0].Height(), c.expectHeight);
        for (std::size_t i = 0; i < texture.levels.size(); ++i) {
            EXPECT_EQ(texture.levels[i].PixelFormat(), c.expectFormat);
            EXPECT_EQ(texture.levels[i].Width(), std::max(1u, c.expectWidth >> i));
        }
        // Colours survive any format: the top-left corner is red.
        const auto argb = ToArgb(texture.levels[0]);
        EXPECT_LE(testing::ChannelDistance(argb[0], kRed), 8);
    }
}

TEST(TextureLoaderTest, BadInputGivesNoTexture) {
    const auto png = EncodePicture(PictureKind::Png, testing::TwoHalves(8, 8, kRed, kBlue), 8, 8);
    std::string error;
    TextureLoadOptions badFilter;
    badFilter.filter = 9;
    EXPECT_FALSE(PrepareTextureImage(png, badFilter, error));
    TextureLoadOptions badFormat;
    badFormat.format = Format::D24S8;
    EXPECT_FALSE(PrepareTextureImage(png, badFormat, error));
    const std::vector<std::uint8_t> truncated(png.begin(), png.begin() + long(png.size() / 2));
    EXPECT_FALSE(PrepareTextureImage(truncated, TextureLoadOptions{}, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace gfx
