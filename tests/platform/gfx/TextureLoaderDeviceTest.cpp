// Textures made on a headless device from picture files, and the texture
// helpers the normal-map and copy paths use.

#include "platform/gfx/TextureLoaderDevice.h"

#include "GfxTestSupport.h"
#include "ImageTestSupport.h"
#include "platform/gfx/NormalMap.h"

namespace gfx::test {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

class TextureLoaderDeviceTest : public DeviceTest {};

TEST_F(TextureLoaderDeviceTest, PictureUploadsAndDrawsWithItsColours) {
    // 16 x 8 picture: its texture is 16 x 8 (already powers of two).
    const auto png = gfx::testing::EncodePicture(gfx::testing::PictureKind::Png, gfx::testing::TwoHalves(16, 8, kRed, kBlue), 16, 8);
    TextureLoadOptions options;
    options.mipLevels = 1;
    ImageInfo info;
    Texture* created = nullptr;
    ASSERT_EQ(CreateTextureFromFileInMemoryEx(*device, png, options, 0, Pool::Managed, &info, &created), kOk);
    auto texture = Ref<Texture>::Adopt(created);
    EXPECT_EQ(info.width, 16u);
    EXPECT_EQ(info.height, 8u);
    EXPECT_EQ(info.fileFormat, ImageFileFormat::Png);

    // Drawn point-sampled over the upper half of the target.
    device->SetSamplerState(0, SamplerState::MinFilter, std::uint32_t(TextureFilter::Point));
    device->SetSamplerState(0, SamplerState::MagFilter, std::uint32_t(TextureFilter::Point));
    ASSERT_EQ(device->SetTexture(0, texture.Get()), kOk);
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, 8)), kOk);
    const auto pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 0, 0), kRed);
    EXPECT_EQ(Pixel(pixels, 7, 7), kRed);
    EXPECT_EQ(Pixel(pixels, 8, 0), kBlue);
    EXPECT_EQ(Pixel(pixels, 15, 7), kBlue);
    EXPECT_EQ(Pixel(pixels, 0, 8), 0xFF000000u);
}

TEST_F(TextureLoaderDeviceTest, GifFrameAsDxt1KeepsItsPictureSize) {
    const std::uint32_t palette[4] = {0xFF0000, 0x0000FF, 0, 0};
    std::vector<std::uint8_t> indices(10 * 6);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = (i % 10) < 5 ? 0 : 1;
    const auto gif = gfx::testing::WriteGif(10, 6, palette, {{indices, 5}});
    TextureLoadOptions options;
    options.mipLevels = 1;
    options.format = Format::DXT1;
    options.filter = kD3dxFilterNone;
    ImageInfo info;
    Texture* created = nullptr;
    ASSERT_EQ(CreateTextureFromFileInMemoryEx(*device, gif, options, 0, Pool::Managed, &info, &created), kOk);
    auto texture = Ref<Texture>::Adopt(created);
    EXPECT_EQ(texture->GetFormat(), Format::DXT1);
    EXPECT_EQ(texture->Width(), 16u);
    EXPECT_EQ(texture->Height(), 8u);
    EXPECT_EQ(info.width, 10u);  // u scale 10/16, v scale 6/8
    EXPECT_EQ(info.height, 6u);
    const auto argb = ToArgb(ReadSurfaceImage(texture->SurfaceLevel(0).Get()));
    EXPECT_COLOR_NEAR(argb[0], kRed, 8);
    EXPECT_COLOR_NEAR(argb[9], kBlue, 8);
    EXPECT_EQ(argb[12] >> 24, 0u);  // padding stays transparent
}

TEST_F(TextureLoaderDeviceTest, DamagedPictureGivesNoTexture) {
    const auto png = gfx::testing::EncodePicture(gfx::testing::PictureKind::Png, gfx::testing::TwoHalves(16, 8, kRed, kBlue), 16, 8);
    const std::vector<std::uint8_t> damaged(png.begin(), png.begin() + 50);
    Texture* created = reinterpret_cast<Texture*>(1);
    std::string error;
    EXPECT_EQ(CreateTextureFromFileInMemoryEx(*device, damaged, {}, 0, Pool::Managed, nullptr, &created, &error), kInvalidCall);
    EXPECT_EQ(created, nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(CreateTextureFromFileEx(*device, "/nonexistent/picture.png", {}, 0, Pool::Managed, nullptr, &created), kNotFound);
    EXPECT_EQ(created, nullptr);
}

TEST_F(TextureLoaderDeviceTest, NormalMapConvertsIntoABumpMap) {
    // The lake's path: height picture -> A8R8G8B8 normal map (full chain) -> V8U8.
    std::vector<std::uint32_t> heights(8 * 8);
    for (std::uint32_t y = 0; y < 8; ++y)
        for (std::uint32_t x = 0; x < 8; ++x) heights[y * 8 + x] = 0xFF000000u | (51u * (x % 5)) << 16;
    auto height = MakeTexture(*device, 8, 8, heights);
    Texture* normalRaw = nullptr;
    ASSERT_EQ(CreateTexture(*device, 8, 8, 0, 0, Format::A8R8G8B8, Pool::Managed, &normalRaw), kOk);
    auto normal = Ref<Texture>::Adopt(normalRaw);
    EXPECT_EQ(normal->GetLevelCount(), 4u);
    ASSERT_EQ(ComputeNormalMap(normal.Get(), height.Get(), 0, Channel::Red, 5.0f), kOk);
    Texture* bumpRaw = nullptr;
    ASSERT_EQ(CreateTexture(*device, 8, 8, 1, 0, Format::V8U8, Pool::Managed, &bumpRaw), kOk);
    auto bump = Ref<Texture>::Adopt(bumpRaw);
    ASSERT_EQ(LoadSurfaceFromSurface(bump->SurfaceLevel(0).Get(), normal->SurfaceLevel(0).Get(), kD3dxFilterTriangle), kOk);
    const Image dudv = ReadSurfaceImage(bump->SurfaceLevel(0).Get());
    ASSERT_FALSE(dudv.Empty());
    // Slope 1 along u at x = 2: the normal leans to -u by 45 degrees.
    EXPECT_NEAR(static_cast<std::int8_t>(dudv.Row(3)[2 * 2]), -90, 2);
    EXPECT_NEAR(static_cast<std::int8_t>(dudv.Row(3)[2 * 2 + 1]), 0, 1);
}

}  // namespace
}  // namespace gfx::test
