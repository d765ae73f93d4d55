// The glow surface's blur on a headless device with the shared module's
// blur effect: the blurred size for a strength, the passes it runs, a line
// of one pixel spread across its neighbours, and what happens without an
// effect or a capture.

#include <gtest/gtest.h>

#include <memory>

#include "render/BlurSurface.h"
#include "render/RenderContext.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using namespace quad_test;

class BlurSurfaceTest : public DeviceFixture {};

TEST_F(BlurSurfaceTest, StrengthReducesTheBlurredSize)
{
    struct Case {
        const char* name;
        std::int32_t viewWidth, viewHeight;
        unsigned strength;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {"StrengthZeroKeepsTheView", 1000, 500, 0, 1000, 500},
        {"Half", 1000, 500, 50, 500, 250},
        {"EightyIsTheMost", 1000, 500, 80, 200, 100},
        {"HundredBehavesLikeEighty", 1000, 500, 100, 200, 100},
        {"OnePixelStaysOne", 1, 1, 80, 1, 1},
        {"NoViewIsOnePixel", 0, 0, 0, 1, 1},
        {"NegativeViewIsOnePixel", -40, 10, 0, 1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KXI_BlurSurface surface;
        surface.strength.QuietSet(c.strength);
        surface.SetViewSize(c.viewWidth, c.viewHeight);
        ASSERT_TRUE(surface.Resize());
        EXPECT_EQ(surface.BlurredWidth(), c.width);
        EXPECT_EQ(surface.BlurredHeight(), c.height);
        ASSERT_NE(surface.TextureA(), nullptr);
        ASSERT_NE(surface.TextureB(), nullptr);
        EXPECT_EQ(surface.TextureA()->Width(), std::uint32_t(c.width));
        EXPECT_EQ(surface.TextureB()->Height(), std::uint32_t(c.height));
    }
}

TEST_F(BlurSurfaceTest, ChangingTheStrengthResizesTheTargets)
{
    KXI_BlurSurface surface;
    surface.SetViewSize(40, 20);
    ASSERT_TRUE(surface.Resize());
    surface.strength.SetValue(50, nullptr);
    EXPECT_EQ(surface.BlurredWidth(), 20);
    ASSERT_NE(surface.TextureA(), nullptr);
    EXPECT_EQ(surface.TextureA()->Width(), 20u);
    EXPECT_EQ(surface.TextureB()->Height(), 10u);
    EXPECT_EQ(device->DefaultPoolResourceCount(), 2u) << "the old targets are gone";
}

TEST_F(BlurSurfaceTest, ViewResizeTakesThePictureSizeOfTheRenderContext)
{
    RenderContext context;
    CurrentRenderContextScope current(&context);
    context.pictureWidth = 30.7f;
    context.pictureHeight = 12.0f;
    KXI_BlurSurface surface;
    surface.OnViewResize();
    EXPECT_EQ(surface.ViewWidth(), 30);
    EXPECT_EQ(surface.ViewHeight(), 12);
    ASSERT_NE(surface.TextureA(), nullptr);
    EXPECT_EQ(surface.TextureA()->Width(), 30u);

    context.pictureWidth = 0.0f;
    surface.OnViewResize();
    EXPECT_EQ(surface.TextureA()->Width(), 30u) << "a picture without width does not resize";
}

TEST_F(BlurSurfaceTest, BlurRunsTwoPassesThenTwoPerExtraPass)
{
    const auto effect = LoadBlurEffect();
    ASSERT_TRUE(effect);
    struct Case {
        std::int32_t passes;
        std::vector<std::string> techniques;
    };
    const std::string vFirst = "GaussianBlurVFirst", v = "GaussianBlurV", h = "GaussianBlurH";
    const Case cases[] = {
        {0, {vFirst, h}},
        {2, {vFirst, h, v, h, v, h}},
        {-3, {vFirst, h}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.passes);
        SurfaceRenderer renderer(*device, kWidth, kHeight);
        KXI_BlurSurface surface;
        surface.SetEffect(effect.Get());
        surface.SetViewSize(16, 16);
        ASSERT_TRUE(surface.Resize());
        ASSERT_TRUE(surface.BeginCapture(renderer));
        EXPECT_EQ(surface.Blur(renderer, c.passes), surface.TextureA());
        EXPECT_EQ(renderer.techniques, c.techniques);
    }

    SurfaceRenderer renderer(*device, kWidth, kHeight);
    KXI_BlurSurface surface;
    surface.SetEffect(effect.Get());
    surface.SetViewSize(4, 4);
    ASSERT_TRUE(surface.Resize());
    ASSERT_TRUE(surface.BeginCapture(renderer));
    surface.Blur(renderer, 1 << 30);
    EXPECT_EQ(renderer.techniques.size(), std::size_t(2 + 2 * KXI_BlurSurface::kMaxExtraPasses))
        << "a stored pass count is held to the most the surface runs";
}

TEST_F(BlurSurfaceTest, BlurSpreadsAOnePixelLineAcrossItsNeighbours)
{
    const auto effect = LoadBlurEffect();
    ASSERT_TRUE(effect);
    constexpr std::uint32_t kSide = 16;
    struct Case {
        const char* name;
        bool horizontalLine; // else vertical
    };
    for (const Case& c : {Case{"HorizontalLineSpreadsVertically", true}, Case{"VerticalLineSpreadsHorizontally", false}}) {
        SCOPED_TRACE(c.name);
        SurfaceRenderer renderer(*device, kSide, kSide);
        KXI_BlurSurface surface;
        surface.SetEffect(effect.Get());
        surface.SetViewSize(kSide, kSide);
        ASSERT_TRUE(surface.Resize());

        const auto backBuffer = BackBuffer(*device);
        ASSERT_TRUE(surface.BeginCapture(renderer));
        EXPECT_EQ(renderer.pushes.at(0).width, kSide);
        EXPECT_EQ(renderer.pushes.at(0).mode, PicturePosition::kRenderTarget);
        if (c.horizontalLine)
            FillRect(*device, 0, 8, float(kSide), 9, kWhite);
        else
            FillRect(*device, 8, 0, 9, float(kSide), kWhite);
        gfx::Texture* blurred = surface.Blur(renderer, 0);
        ASSERT_EQ(blurred, surface.TextureA());
        EXPECT_EQ(renderer.pops, 1);
        EXPECT_EQ(renderer.ViewDepth(), 0u);
        EXPECT_EQ(CurrentTarget(*device).Get(), backBuffer.Get());

        // Intensity at distance d from the line, along the spread.
        const auto pixels = ReadTexture(*device, blurred);
        const auto at = [&](int d) {
            const std::uint32_t along = 4, across = std::uint32_t(8 + d);
            const std::uint32_t pixel = c.horizontalLine ? pixels[across * kSide + along] : pixels[along * kSide + across];
            return Channel(pixel, 16);
        };
        EXPECT_GT(at(0), at(1)) << "the line itself stays the brightest";
        EXPECT_LT(at(0), 200) << "and gave light away";
        EXPECT_GT(at(1), 20) << "its neighbour received light";
        EXPECT_EQ(at(1), at(-1)) << "evenly on both sides";
        EXPECT_GT(at(2), at(3));
        EXPECT_GT(at(4), 0) << "the kernel reaches four pixels";
        EXPECT_EQ(at(6), 0) << "and no further";
        // Along the line nothing changes.
        const std::uint32_t a = c.horizontalLine ? pixels[8 * kSide + 2] : pixels[2 * kSide + 8];
        const std::uint32_t b = c.horizontalLine ? pixels[8 * kSide + 12] : pixels[12 * kSide + 8];
        EXPECT_EQ(a, b);
    }
}

// Glows are weighed by the blurred alpha: under a frame that writes no alpha
// (the player's), the capture and every blur pass still write it, and the
// frame's mask is back once the blur is done.
TEST_F(BlurSurfaceTest, UnderAFrameThatWritesNoAlphaTheBlurCarriesAlpha)
{
    const auto effect = LoadBlurEffect();
    ASSERT_TRUE(effect);
    constexpr std::uint32_t kFrameMask = gfx::ColorWrite::Red | gfx::ColorWrite::Green | gfx::ColorWrite::Blue;
    ASSERT_EQ(device->SetRenderState(gfx::RenderState::ColorWriteEnable, kFrameMask), gfx::kOk);
    constexpr std::uint32_t kSide = 16;
    SurfaceRenderer renderer(*device, kSide, kSide);
    KXI_BlurSurface surface;
    surface.SetEffect(effect.Get());
    surface.SetViewSize(kSide, kSide);
    ASSERT_TRUE(surface.Resize());
    ASSERT_TRUE(surface.BeginCapture(renderer));
    FillRect(*device, 0, 8, float(kSide), 9, kWhite);
    gfx::Texture* blurred = surface.Blur(renderer, 0);
    ASSERT_NE(blurred, nullptr);
    const auto pixels = ReadTexture(*device, blurred);
    EXPECT_GT(pixels[8 * kSide + 4] >> 24, 0x20u) << "the line keeps alpha";
    EXPECT_GT(pixels[9 * kSide + 4] >> 24, 0x10u) << "and spreads it";
    EXPECT_EQ(pixels[2 * kSide + 4] >> 24, 0u) << "not beyond the kernel";
    std::uint32_t mask = 0;
    device->GetRenderState(gfx::RenderState::ColorWriteEnable, &mask);
    EXPECT_EQ(mask, kFrameMask);
}

TEST_F(BlurSurfaceTest, WithoutEffectTheCaptureComesBackUnblurred)
{
    SurfaceRenderer renderer(*device, kWidth, kHeight);
    KXI_BlurSurface surface;
    surface.SetViewSize(8, 8);
    ASSERT_TRUE(surface.Resize());
    ASSERT_TRUE(surface.BeginCapture(renderer));
    FillRect(*device, 0, 4, 8, 5, kWhite);
    gfx::Texture* result = surface.Blur(renderer, 3);
    ASSERT_EQ(result, surface.TextureA());
    EXPECT_TRUE(renderer.techniques.empty());
    EXPECT_EQ(renderer.pops, 1);
    const auto pixels = ReadTexture(*device, result);
    EXPECT_EQ(pixels[4 * 8 + 3], kWhite);
    EXPECT_EQ(pixels[3 * 8 + 3], 0u);
}

TEST_F(BlurSurfaceTest, WithoutTargetsNothingIsCapturedOrBlurred)
{
    SurfaceRenderer renderer(*device, kWidth, kHeight);
    const auto effect = LoadBlurEffect();
    KXI_BlurSurface surface;
    surface.SetEffect(effect.Get());
    const auto target = CurrentTarget(*device);
    EXPECT_FALSE(surface.BeginCapture(renderer)) << "never sized";
    EXPECT_EQ(surface.Blur(renderer, 2), nullptr);
    EXPECT_TRUE(renderer.pushes.empty());
    EXPECT_EQ(renderer.pops, 0);
    EXPECT_TRUE(renderer.techniques.empty());
    EXPECT_EQ(CurrentTarget(*device).Get(), target.Get());
}

TEST_F(BlurSurfaceTest, TheEffectKeepsNoTargetAfterABlur)
{
    const auto effect = LoadBlurEffect();
    SurfaceRenderer renderer(*device, kWidth, kHeight);
    {
        KXI_BlurSurface surface;
        surface.SetEffect(effect.Get());
        surface.SetViewSize(8, 8);
        ASSERT_TRUE(surface.Resize());
        ASSERT_TRUE(surface.BeginCapture(renderer));
        surface.Blur(renderer, 1);
    }
    EXPECT_EQ(device->DefaultPoolResourceCount(), 0u)
        << "every render target is released with the surface, so a lost device can be reset";
}

TEST_F(BlurSurfaceTest, ACopyHasItsOwnTargetsAndStrength)
{
    KXI_BlurSurface surface;
    surface.strength.QuietSet(50);
    surface.SetViewSize(20, 10);
    ASSERT_TRUE(surface.Resize());
    KXI_BlurSurface copy = surface;
    EXPECT_EQ(copy.strength.value, 50u);
    EXPECT_EQ(copy.BlurredWidth(), 10);
    ASSERT_NE(copy.TextureA(), nullptr);
    EXPECT_NE(copy.TextureA(), surface.TextureA());
    copy.strength.SetValue(0, nullptr);
    EXPECT_EQ(copy.BlurredWidth(), 20) << "the copy's control watches the copy's strength";
    EXPECT_EQ(surface.BlurredWidth(), 10);
}

} // namespace
