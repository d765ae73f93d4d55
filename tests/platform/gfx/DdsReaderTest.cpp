#include "platform/gfx/DdsReader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gfx/DdsBlockCodec.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/TextureLoader.h"
#include "ImageTestSupport.h"

namespace gfx {
namespace {

// A 4x4 DXT block's colour half: two 565 ends and 2-bit indices, row by row.
void ColourHalf(std::uint8_t* block, std::uint16_t c0, std::uint16_t c1, const int indices[16]) {
    std::memcpy(block, &c0, 2);
    std::memcpy(block + 2, &c1, 2);
    std::memset(block + 4, 0, 4);
    for (int i = 0; i < 16; ++i) block[4 + i / 4] |= std::uint8_t(indices[i] << (2 * (i % 4)));
}

constexpr int kIndexRows[16] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};

TEST(DdsBlockCodecTest, Dxt1FourAndThreeColourBlocks) {
    std::uint8_t block[8];
    std::uint32_t pixels[16];
    // Red (0xF800) over blue (0x001F): four colours, thirds in between.
    ColourHalf(block, 0xF800, 0x001F, kIndexRows);
    DecodeDxtBlock(Format::DXT1, block, pixels);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pixels[4], 0xFF0000FFu);
    EXPECT_EQ(pixels[8], 0xFFAA0055u);   // (2 red + blue) / 3
    EXPECT_EQ(pixels[12], 0xFF5500AAu);
    // Blue first (smaller): three colours, the half, and transparent black.
    ColourHalf(block, 0x001F, 0xF800, kIndexRows);
    DecodeDxtBlock(Format::DXT1, block, pixels);
    EXPECT_EQ(pixels[0], 0xFF0000FFu);
    EXPECT_EQ(pixels[8], 0xFF7F007Fu);
    EXPECT_EQ(pixels[12], 0x00000000u);
}

TEST(DdsBlockCodecTest, Dxt3AndDxt5Alpha) {
    std::uint8_t block[16];
    std::uint32_t pixels[16];
    // DXT3: explicit 4-bit alpha, pixel i has alpha i * 17.
    for (int i = 0; i < 8; ++i) block[i] = std::uint8_t((2 * i) | (2 * i + 1) << 4);
    ColourHalf(block + 8, 0x07E0, 0x07E0, kIndexRows);  // green
    DecodeDxtBlock(Format::DXT3, block, pixels);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(pixels[i], std::uint32_t(i * 17) << 24 | 0x00FF00u) << i;
    // DXT5: ends 255 and 0 with six steps between.
    block[0] = 255;
    block[1] = 0;
    const int alphaIndex[16] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0, 1, 1, 1, 1};
    std::uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= std::uint64_t(alphaIndex[i]) << (3 * i);
    for (int i = 0; i < 6; ++i) block[2 + i] = std::uint8_t(bits >> (8 * i));
    DecodeDxtBlock(Format::DXT5, block, pixels);
    const std::uint32_t expected[8] = {255, 0, 218, 182, 145, 109, 72, 36};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(pixels[i] >> 24, expected[i]) << i;
    EXPECT_EQ(pixels[12] & 0xFFFFFF, 0x00FF00u);
}

TEST(DdsBlockCodecTest, EncodingKeepsColoursAndTransparency) {
    std::uint32_t pixels[16];
    for (int i = 0; i < 16; ++i) pixels[i] = i < 8 ? 0xFFFF0000u : 0xFF0000FFu;
    pixels[15] = 0x000000FFu;  // one transparent pixel (of the colours the block has)
    for (Format format : {Format::DXT1, Format::DXT3, Format::DXT5}) {
        std::uint8_t block[16];
        std::uint32_t decoded[16];
        EncodeDxtBlock(format, pixels, block);
        DecodeDxtBlock(format, block, decoded);
        for (int i = 0; i < 15; ++i) EXPECT_LE(testing::ChannelDistance(decoded[i], pixels[i]), 8) << i;
        EXPECT_EQ(decoded[15] >> 24, 0u) << static_cast<std::uint32_t>(format);
    }
}

// A 4x4 DDS whose top half is red and bottom half blue, in DXT1 and DXT5.
std::vector<std::uint8_t> TwoBandDds(Format format) {
    Image image(8, 4, format);
    for (std::uint32_t bx = 0; bx < 2; ++bx) {
        std::uint8_t* block = image.Row(0) + bx * LayoutOf(format).blockBytes;
        if (format == Format::DXT5) {
            block[0] = 128;  // alpha 128 everywhere (index 0)
            block += 8;
        }
        const int indices[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1};
        ColourHalf(block, 0xF800, 0x001F, indices);
    }
    return WriteDds({image});
}

TEST(DdsReaderTest, DxtFilesDecodeToTheirColours) {
    struct Case {
        Format format;
        std::uint32_t alpha;
    };
    for (const Case c : {Case{Format::DXT1, 0xFF}, Case{Format::DXT5, 128}}) {
        std::string error;
        const auto decoded = DecodeImage(TwoBandDds(c.format), error);
        ASSERT_TRUE(decoded) << error;
        EXPECT_EQ(decoded->info.fileFormat, ImageFileFormat::Dds);
        EXPECT_EQ(decoded->info.format, c.format);
        EXPECT_EQ(decoded->info.width, 8u);
        const auto argb = ToArgb(decoded->levels[0]);
        for (std::uint32_t y = 0; y < 4; ++y)
            for (std::uint32_t x = 0; x < 8; ++x)
                EXPECT_EQ(argb[y * 8 + x], c.alpha << 24 | (y < 2 ? 0xFF0000u : 0x0000FFu)) << x << "," << y;
    }
}

TEST(DdsReaderTest, UncompressedFormatsAndMipLevelsRoundTrip) {
    for (Format format : {Format::A8R8G8B8, Format::X8R8G8B8, Format::A8, Format::V8U8, Format::V16U16}) {
        std::vector<Image> levels;
        for (std::uint32_t size = 4; size >= 1; size /= 2) {
            Image level(size, size, format);
            for (std::size_t i = 0; i < level.Bytes().size(); ++i) level.Bytes()[i] = std::uint8_t(i * 7 + size);
            levels.push_back(level);
        }
        std::string error;
        const auto dds = ReadDds(WriteDds(levels), error);
        ASSERT_TRUE(dds) << error;
        EXPECT_EQ(dds->format, format);
        ASSERT_EQ(dds->levels.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_TRUE(std::equal(levels[i].Bytes().begin(), levels[i].Bytes().end(), dds->levels[i].Bytes().begin()));
    }
}

TEST(DdsReaderTest, DamagedFilesAreRefused) {
    const auto good = TwoBandDds(Format::DXT1);
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"header size", 4, 100},    {"height 0", 12, 0},         {"huge width", 16, 0x100000},
        {"unknown fourcc", 84, 7},  {"cube map", 112, 0x200},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        std::memcpy(bytes.data() + c.at, &c.value, 4);
        std::string error;
        EXPECT_FALSE(ReadDds(bytes, error)) << c.what;
        EXPECT_FALSE(error.empty());
    }
    for (std::size_t size : {std::size_t{3}, std::size_t{100}, good.size() - 1}) {
        std::string error;
        EXPECT_FALSE(ReadDds({good.data(), size}, error)) << size;
    }
    // A file with more mip levels claimed than present keeps the whole ones.
    auto bytes = good;
    const std::uint32_t levels = 4;
    std::memcpy(bytes.data() + 28, &levels, 4);
    std::string error;
    const auto dds = ReadDds(bytes, error);
    ASSERT_TRUE(dds) << error;
    EXPECT_EQ(dds->levels.size(), 1u);
}

TEST(DdsReaderTest, TextureKeepsTheFileLevelsWhenNothingChanges) {
    const auto dds = TwoBandDds(Format::DXT1);
    TextureLoadOptions options;
    options.mipLevels = 1;
    std::string error;
    const auto texture = PrepareTextureImage(dds, options, error);
    ASSERT_TRUE(texture) << error;
    ASSERT_EQ(texture->levels.size(), 1u);
    EXPECT_EQ(texture->levels[0].PixelFormat(), Format::DXT1);
    EXPECT_TRUE(std::equal(texture->levels[0].Bytes().begin(), texture->levels[0].Bytes().end(), dds.begin() + 128));
}

}  // namespace
}  // namespace gfx
