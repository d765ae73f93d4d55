#include "platform/gfx/ImageCodec.h"

#include <gtest/gtest.h>

#include "platform/gfx/ImageGif.h"
#include "ImageTestSupport.h"

namespace gfx {
namespace {

using testing::ChannelDistance;
using testing::EncodePicture;
using testing::PictureKind;

std::vector<std::uint32_t> Gradient(int width, int height) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(0x80000000u | std::uint32_t(x * 255 / (width - 1)) << 16 | std::uint32_t(y * 255 / (height - 1)) << 8 | 0x40);
    return pixels;
}

TEST(ImageCodecTest, PicturesDecodeAtTheirSizeAndColours) {
    struct Case {
        PictureKind kind;
        int channels;
        ImageFileFormat file;
        Format format;
        int tolerance;
    };
    const Case cases[] = {
        {PictureKind::Png, 4, ImageFileFormat::Png, Format::A8R8G8B8, 0},
        {PictureKind::Png, 3, ImageFileFormat::Png, Format::X8R8G8B8, 0},
        {PictureKind::Bmp, 3, ImageFileFormat::Bmp, Format::X8R8G8B8, 0},
        {PictureKind::Tga, 4, ImageFileFormat::Tga, Format::A8R8G8B8, 0},
        {PictureKind::Jpg, 3, ImageFileFormat::Jpg, Format::X8R8G8B8, 12},
    };
    const int width = 37, height = 21;  // odd sizes catch pitch mistakes
    const auto pixels = Gradient(width, height);
    for (const Case& c : cases) {
        const auto file = EncodePicture(c.kind, pixels, width, height, c.channels);
        std::string error;
        const auto decoded = DecodeImage(file, error);
        ASSERT_TRUE(decoded) << int(c.kind) << ": " << error;
        EXPECT_EQ(decoded->info.width, std::uint32_t(width));
        EXPECT_EQ(decoded->info.height, std::uint32_t(height));
        EXPECT_EQ(decoded->info.fileFormat, c.file);
        EXPECT_EQ(decoded->info.format, c.format);
        const Image& image = decoded->levels.at(0);
        int worst = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint32_t expected = pixels[std::size_t(y) * width + x];
                if (c.format == Format::X8R8G8B8) expected |= 0xFF000000u;
                worst = std::max(worst, ChannelDistance(image.Pixel(x, y), expected));
            }
        EXPECT_LE(worst, c.tolerance) << int(c.kind);
    }
}

TEST(ImageCodecTest, DamagedPicturesAreRefused) {
    const auto png = EncodePicture(PictureKind::Png, Gradient(16, 16), 16, 16);
    const auto jpg = EncodePicture(PictureKind::Jpg, Gradient(16, 16), 16, 16, 3);
    std::vector<std::vector<std::uint8_t>> damaged = {
        {},
        {'x', 'y', 'z'},
        {png.begin(), png.begin() + 40},
        {jpg.begin(), jpg.begin() + 20},
        {'G', 'I', 'F', '8', '9', 'a', 1, 0},
        {'B', 'M', 0, 0},
    };
    // A PNG that claims a size past our limit is refused before decoding.
    auto huge = png;
    huge[16] = 0x00; huge[17] = 0x01; huge[18] = 0x00; huge[19] = 0x00;  // width 65536
    damaged.push_back(huge);
    for (const auto& bytes : damaged) {
        std::string error;
        EXPECT_FALSE(DecodeImage(bytes, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(ImageGifTest, FramesAndDelays) {
    const std::uint32_t palette[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const auto gif = testing::WriteGif(2, 2, palette, {{{0, 1, 2, 3}, 10}, {{3, 3, 0, 0}, 25}, {{1, 1, 1, 1}, 0}});
    std::string error;
    const auto frames = DecodeGifFrames(gif, error);
    ASSERT_TRUE(frames) << error;
    ASSERT_EQ(frames->size(), 3u);
    EXPECT_EQ((*frames)[0].delayMs, 100u);
    EXPECT_EQ((*frames)[1].delayMs, 250u);
    EXPECT_EQ((*frames)[2].delayMs, 0u);
    EXPECT_EQ((*frames)[0].image.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ((*frames)[0].image.Pixel(1, 0), 0xFF00FF00u);
    EXPECT_EQ((*frames)[0].image.Pixel(0, 1), 0xFF0000FFu);
    EXPECT_EQ((*frames)[1].image.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ((*frames)[1].image.Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ((*frames)[2].image.Pixel(1, 1), 0xFF00FF00u);

    // The picture decoder shows the first frame.
    const auto first = DecodeImage(gif, error);
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(first->info.fileFormat, ImageFileFormat::Gif);
    EXPECT_EQ(first->levels[0].Pixel(1, 0), 0xFF00FF00u);
}

TEST(ImageGifTest, FrameBudgetAndDamageAreRefused) {
    const std::uint32_t palette[4] = {};
    // 8192 x 8192 frames: one alone is 256 MiB, two would pass the budget.
    auto big = testing::WriteGif(4, 4, palette, {{std::vector<std::uint8_t>(16, 0), 1}, {std::vector<std::uint8_t>(16, 0), 1}});
    big[6] = 0x00; big[7] = 0x20; big[8] = 0x00; big[9] = 0x20;
    std::string error;
    EXPECT_FALSE(DecodeGifFrames(big, error));
    EXPECT_EQ(error, "GIF picture too large");

    const auto gif = testing::WriteGif(2, 2, palette, {{{0, 1, 2, 3}, 10}});
    for (std::size_t size : {std::size_t{0}, std::size_t{10}, gif.size() / 2}) {
        std::vector<std::uint8_t> cut(gif.begin(), gif.begin() + long(size));
        EXPECT_FALSE(DecodeGifFrames(cut, error)) << size;
    }
}

}  // namespace
}  // namespace gfx
