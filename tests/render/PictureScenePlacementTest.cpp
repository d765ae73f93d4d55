// The picture scene draws its background picture placed for the picture
// position (Stretch, Fit with bars, Fill cropped), and publishes where it
// lands as the document's ScreenInfo.

#include <cmath>

#include "tests/render/PictureSceneTestSupport.h"

namespace picture_scene_test {
namespace {

struct Sample {
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t rgb;
};

struct PlacementCase {
    const char* name;
    int mode;
    std::vector<Sample> samples;
};

// The 32 x 16 picture on the 64 x 64 back buffer: stripes of red, green,
// blue and white over its top half, grey below.
const PlacementCase kPlacementCases[] = {
    {"Stretch: the picture covers the whole view",
     PicturePosition::kStretch,
     {{8, 16, kRedRgb}, {24, 16, kGreenRgb}, {40, 16, kBlueRgb}, {56, 16, 0xFFFFFF}, {8, 48, kGrey}, {56, 48, kGrey}}},
    {"Fit: the whole picture, bars above and below",
     PicturePosition::kFit,
     {{8, 8, kBlackRgb},
      {56, 8, kBlackRgb},
      {8, 24, kRedRgb},
      {24, 24, kGreenRgb},
      {40, 24, kBlueRgb},
      {56, 24, 0xFFFFFF},
      {8, 40, kGrey},
      {8, 56, kBlackRgb},
      {56, 60, kBlackRgb}}},
    {"Fill: the view covered, the outer stripes cropped",
     PicturePosition::kFill,
     {{4, 16, kGreenRgb}, {16, 16, kGreenRgb}, {48, 16, kBlueRgb}, {60, 16, kBlueRgb}, {16, 48, kGrey}}},
};

TEST_F(PictureSceneTest, DrawsThePicturePlacedForEachPicturePosition)
{
    for (const PlacementCase& c : kPlacementCases) {
        SCOPED_TRACE(c.name);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFFFF00FFu, 1.0f, 0);
        auto light = MakeStripesLight(c.mode);
        ASSERT_EQ(light->GetWidth(), kPictureWidth);
        ASSERT_EQ(light->GetHeight(), kPictureHeight);

        light->RenderFrame({}, false);
        light->DrawBorderBars(false);

        const auto pixels = BackBufferPixels();
        for (const Sample& s : c.samples)
            EXPECT_TRUE(ShowsRgb(At(pixels, s.x, s.y), s.rgb))
                << "(" << s.x << ", " << s.y << ") shows " << Hex(At(pixels, s.x, s.y)) << ", expected " << Hex(s.rgb);
    }
}

TEST_F(PictureSceneTest, NoClearKeepsWhatTheTargetHeldAroundThePicture)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFFFF00FFu, 1.0f, 0);
    light->RenderFrame({}, true);
    const auto pixels = BackBufferPixels();
    EXPECT_TRUE(ShowsRgb(At(pixels, 8, 8), kMagentaRgb)) << Hex(At(pixels, 8, 8));
    EXPECT_TRUE(ShowsRgb(At(pixels, 8, 24), kRedRgb)) << Hex(At(pixels, 8, 24));
}

// ---- ScreenInfo ------------------------------------------------------------------

struct ScreenInfoCase {
    const char* name;
    float viewWidth;
    float viewHeight;
    FitRect quad; // the letterboxed picture on the back buffer
};

const ScreenInfoCase kScreenInfoCases[] = {
    {"a view of the back buffer's size", 64, 64, {0, 16, 64, 32}},
    {"a view of half its size is scaled up", 32, 32, {0, 16, 64, 32}},
    {"a view wider than the picture's aspect has bars at its sides", 64, 16, {16, 0, 32, 64}},
};

TEST_F(PictureSceneTest, ApplyViewPublishesWhereThePictureLandsOnTheBackBuffer)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    for (const ScreenInfoCase& c : kScreenInfoCases) {
        SCOPED_TRACE(c.name);
        light->ApplyView(QuadVertices::FromRect(0, 0, c.viewWidth, c.viewHeight));
        const ScreenInfo& info = GetScreenInfo();
        EXPECT_FLOAT_EQ(info.scaleX, 64.0f / c.viewWidth);
        EXPECT_FLOAT_EQ(info.scaleY, 64.0f / c.viewHeight);
        EXPECT_EQ(info.pictureWidth, std::int32_t(kPictureWidth));
        EXPECT_EQ(info.pictureHeight, std::int32_t(kPictureHeight));
        const FitRect landed = ViewRectOfQuad(info.quad);
        EXPECT_FLOAT_EQ(landed.x, c.quad.x);
        EXPECT_FLOAT_EQ(landed.y, c.quad.y);
        EXPECT_FLOAT_EQ(landed.width, c.quad.width);
        EXPECT_FLOAT_EQ(landed.height, c.quad.height);
        EXPECT_EQ(info.quad.vertices[0].u, 0.0f);
        EXPECT_EQ(info.quad.vertices[0].v, 1.0f);
    }
}

// ---- a picture that could not be loaded --------------------------------------

bool AllFinite(const math::Matrix& m)
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            if (!std::isfinite(m.m[row][column]))
                return false;
    return true;
}

TEST_F(PictureSceneTest, AMissingPictureDrawsNothingAndLeavesNoNonFiniteValue)
{
    ProbeLog log;
    const RenderObjectList objects = {RectProbe("rect", log, 50, 0, 0, 8, 8, kRedRgb)};
    for (int mode : {PicturePosition::kStretch, PicturePosition::kFit, PicturePosition::kFill}) {
        SCOPED_TRACE(mode);
        auto light = MakeLight({u"pictures\\missing.bmp", 3}, mode);
        EXPECT_EQ(light->GetWidth(), 0u);
        EXPECT_EQ(light->GetHeight(), 0u);
        light->Camera().mode.StoreValue(DSM_Camera::kRandomDrift);
        light->SetCameraAnimated(true);
        light->UpdateCamera(1.0f);

        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFFFF00FFu, 1.0f, 0);
        light->RenderFrame(objects, false);
        light->DrawBorderBars(false);
        const auto pixels = BackBufferPixels();
        for (std::uint32_t y = 0; y < kTargetSize; y += 9)
            for (std::uint32_t x = 0; x < kTargetSize; x += 9)
                ASSERT_TRUE(ShowsRgb(At(pixels, x, y), kBlackRgb, 0))
                    << x << ", " << y << ": " << Hex(At(pixels, x, y));

        const ScreenInfo& info = GetScreenInfo();
        EXPECT_EQ(info.pictureWidth, 0);
        EXPECT_TRUE(std::isfinite(info.scaleX) && std::isfinite(info.scaleY));
        for (const QuadVertex& v : info.quad.vertices)
            EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y)) << v.x << ", " << v.y;
        for (const math::Matrix* m : {&renderContext->view, &renderContext->projection, &renderContext->camera,
                                      &renderContext->parallax, &renderContext->inverseView})
            EXPECT_TRUE(AllFinite(*m));
        EXPECT_TRUE(std::isfinite(renderContext->parallaxOffset.x) && std::isfinite(renderContext->parallaxOffset.y));
    }
}

} // namespace
} // namespace picture_scene_test
