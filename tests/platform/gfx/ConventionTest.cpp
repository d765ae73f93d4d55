// The device's conventions: pixel centres at integer coordinates for
// pre-transformed vertices and through the viewport, which pixels an edge
// owns, and one row order for pictures and render targets.

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

class ConventionTest : public DeviceTest {};

TEST_F(ConventionTest, PreTransformedPixelCentresAreAtIntegerCoordinates)
{
    UseDiffuseOnly(*device);
    // Covers the point (1, 1) and no other integer point: only pixel (1, 1).
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0.25f, 0.25f, 1.25f, 1.25f, 0xFFFFFFFF)), kOk);
    const auto pixels = ReadTarget(*device);
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 3; ++x)
            EXPECT_EQ(Pixel(pixels, x, y), (x == 1 && y == 1) ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
}

TEST_F(ConventionTest, TransformedPixelCentresAreAtIntegerCoordinates)
{
    UseDiffuseOnly(*device);
    UseScreenProjection();
    const std::vector<XyzDiffuse> quad{
        {0.25f, 1.25f, 0, 0xFFFFFFFF}, {0.25f, 0.25f, 0, 0xFFFFFFFF}, {1.25f, 1.25f, 0, 0xFFFFFFFF}, {1.25f, 0.25f, 0, 0xFFFFFFFF}};
    ASSERT_EQ(Draw(*device, 0x42, quad), kOk);
    const auto pixels = ReadTarget(*device);
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 3; ++x)
            EXPECT_EQ(Pixel(pixels, x, y), (x == 1 && y == 1) ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
}

// Edges through pixel centres: the left and top edges own them, the right and
// bottom ones do not. A rectangle from 0 to the target size covers it exactly
// once, and the upper half ends above row 8.
TEST_F(ConventionTest, EdgesOnPixelCentresBelongToTheRightAndLower)
{
    UseDiffuseOnly(*device);
    ASSERT_EQ(device->SetRenderState(RenderState::AlphaBlendEnable, kTrue), kOk);
    ASSERT_EQ(device->SetRenderState(RenderState::SrcBlend, std::uint32_t(Blend::One)), kOk);
    ASSERT_EQ(device->SetRenderState(RenderState::DestBlend, std::uint32_t(Blend::One)), kOk);
    // Two halves sharing the edge y = 8, each adding 0x40 to green.
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, kWidth, 8, 0xFF004000)), kOk);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 8, kWidth, kHeight, 0xFF004000)), kOk);
    // A band on the left, its right edge through the centres of column 4.
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, 4, kHeight, 0xFF000040)), kOk);
    const auto pixels = ReadTarget(*device);
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            EXPECT_EQ(Pixel(pixels, x, y), x < 4 ? 0xFF004040u : 0xFF004000u) << x << "," << y;
}

// A texture drawn over the whole target with point sampling maps texel (x, y)
// to pixel (x, y): pixel centre i meets u = i / width exactly.
TEST_F(ConventionTest, PointSampledPictureMapsTexelToPixel)
{
    std::vector<std::uint32_t> picture(kWidth * kHeight);
    for (std::uint32_t i = 0; i < picture.size(); ++i)
        picture[i] = 0xFF000000u | (i * 0x010203u & 0xFFFFFFu);
    Ref<Texture> texture = MakeTexture(*device, kWidth, kHeight, picture);
    ASSERT_EQ(device->SetTexture(0, texture.Get()), kOk);
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
    EXPECT_EQ(ReadTarget(*device), picture);
}

// Render into a texture, read it back, and sample it: the top row drawn is
// row 0 in memory and at v = 0, exactly like a picture filled by LockRect.
TEST_F(ConventionTest, RenderedTextureHasTheOrientationOfALoadedPicture)
{
    constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
    std::vector<std::uint32_t> picture(kWidth * kHeight, kBlue);
    std::fill(picture.begin(), picture.begin() + kWidth * 4, kRed); // top four rows red
    Ref<Texture> loaded = MakeTexture(*device, kWidth, kHeight, picture);

    Ref<Texture> rendered = MakeRenderTarget(*device, kWidth, kHeight);
    Surface* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), kOk);
    ASSERT_EQ(device->SetRenderTarget(0, rendered->SurfaceLevel(0).Get()), kOk);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, kBlue, 1.0f, 0), kOk);
    UseDiffuseOnly(*device);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, kWidth, 4, kRed)), kOk);
    EXPECT_EQ(ReadTarget(*device), picture);

    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), kOk);
    backBuffer->Release();
    ASSERT_EQ(device->SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Texture), kOk);
    for (Texture* source : {loaded.Get(), rendered.Get()}) {
        ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0), kOk);
        ASSERT_EQ(device->SetTexture(0, source), kOk);
        ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
        EXPECT_EQ(ReadTarget(*device), picture) << (source == loaded.Get() ? "loaded" : "rendered");
    }
}

} // namespace
} // namespace gfx::test
