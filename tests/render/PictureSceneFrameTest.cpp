// One slide frame: objects drawn from the last in the list to the first,
// each with its parallax; the picture drawn so far handed over between the
// objects that read it; and the frame always ending on the target it began
// on, whatever the objects and the render-target pair do.

#include "tests/render/PictureSceneTestSupport.h"

namespace picture_scene_test {
namespace {

math::Matrix Translation(float x, float y)
{
    math::Matrix m;
    m.m[3][0] = x;
    m.m[3][1] = y;
    return m;
}

void ExpectShows(const std::vector<std::uint32_t>& pixels, std::uint32_t x, std::uint32_t y, std::uint32_t rgb,
                 std::uint32_t width = kTargetSize)
{
    const std::uint32_t pixel = At(pixels, x, y, width);
    EXPECT_TRUE(ShowsRgb(pixel, rgb)) << "(" << x << ", " << y << ") shows " << Hex(pixel) << ", expected "
                                      << Hex(rgb);
}

// A render object that claims a render-target pass but never switches.
class SilentReader : public ProbeObject {
public:
    using ProbeObject::ProbeObject;
    void RenderTo(DS_ABRender& renderer, int&) override { Render(renderer); }
};

// A light that reads the picture itself: it keeps the pass open after the
// objects and ends it when it draws its bars, drawing what the pass holds.
class ReadingLight : public DS_2D_Light {
public:
    bool NeedsRenderTarget() const override { return true; }
    void DrawBorderBars(bool skip) override
    {
        stillOpenAtBars = InRenderTarget();
        finished = EndRenderTarget(false);
        DS_2D_Light::DrawBorderBars(skip);
    }

    bool stillOpenAtBars = false;
    gfx::Texture* finished = nullptr;
};

TEST(PictureSceneParallaxTest, FactorIsHundredOverDepthMinusOne)
{
    struct Case {
        std::uint32_t depth;
        float factor;
    };
    const Case cases[] = {{100, 0.0f}, {50, 1.0f}, {200, -0.5f}, {25, 3.0f}, {1, 99.0f}, {0, 99.0f}};
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(DS_2D_Light::ParallaxFactor(c.depth), c.factor) << "depth " << c.depth;
}

TEST_F(PictureSceneTest, ObjectsRenderFromTheLastInTheListToTheFirst)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    ProbeLog log;
    const RenderObjectList objects = {
        RectProbe("first", log, 100, 0, 0, 16, 8, kRedRgb),
        RectProbe("second", log, 100, 0, 0, 16, 8, kGreenRgb),
        RectProbe("third", log, 100, 4, 4, 12, 8, kBlueRgb),
    };
    light->RenderFrame(objects, false);

    EXPECT_EQ(log.Names(), (std::vector<std::string>{"third", "second", "first"}));
    const auto pixels = BackBufferPixels();
    // The first in the list is drawn last, over the others.
    ExpectShows(pixels, 16, 8, kRedRgb);
    ExpectShows(pixels, 16, 24, kRedRgb);
    ExpectShows(pixels, 40, 48, kGrey);
}

TEST_F(PictureSceneTest, DisabledObjectsAreNeitherDrawnNorCounted)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    auto effect = LoadTestEffect();
    ProbeLog log;
    const RenderObjectList objects = {RectProbe("rect", log, 100, 0, 0, 8, 4, kRedRgb),
                                      ReaderProbe("reader", log, *effect)};
    objects[1]->SetEnabled(0);

    EXPECT_EQ(light->CountRenderTargetPasses(objects), 0);
    light->RenderFrame(objects, false);
    EXPECT_EQ(log.Names(), (std::vector<std::string>{"rect"}));
    // No pass: the object drew straight onto the back buffer and saw the picture.
    EXPECT_EQ(log.entries[0].target, light->Background().Texture());
    EXPECT_FALSE(light->Pair().IsSaving());
    ExpectShows(BackBufferPixels(), 8, 8, kRedRgb);

    objects[1]->SetEnabled(1);
    EXPECT_EQ(light->CountRenderTargetPasses(objects), 1);
}

TEST_F(PictureSceneTest, EachObjectMovesByItsParallaxShareOfTheCameraOffset)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    // The camera looks at (12, 8): the canvas moves 4 to the right, and an
    // object at depth d moves by another (100 / d - 1) x 4.
    renderContext->SetCameraView(kPictureWidth, kPictureHeight, math::Vec3{12, 8, 0}, 1.0f, true);
    ASSERT_FLOAT_EQ(renderContext->parallaxOffset.x, 4.0f);

    ProbeLog log;
    const RenderObjectList objects = {
        RectProbe("plane", log, 100, 0, 0, 4, 4, kRedRgb),
        RectProbe("near", log, 50, 0, 6, 4, 10, kGreenRgb),
        RectProbe("far", log, 200, 0, 12, 4, 16, kBlueRgb),
    };
    light->RenderFrame(objects, false);

    ASSERT_EQ(log.entries.size(), 3u);
    EXPECT_EQ(log.Find("plane")->parallax, Translation(0, 0));
    EXPECT_EQ(log.Find("near")->parallax, Translation(4, 0));
    EXPECT_EQ(log.Find("far")->parallax, Translation(-2, 0));
    EXPECT_EQ(renderContext->parallax, math::Matrix{}) << "the parallax of the last object stayed behind";

    // Canvas x maps to 2 x, canvas y to 4 y on the back buffer.
    const auto pixels = BackBufferPixels();
    ExpectShows(pixels, 12, 8, kRedRgb);   // x 4..8
    ExpectShows(pixels, 20, 36, kGreenRgb); // x 8..12
    ExpectShows(pixels, 12, 36, kGrey);     // where it would be without parallax
    ExpectShows(pixels, 8, 56, kBlueRgb);   // x 2..6
}

// Objects share the picture's pixel space whatever the canvas: with the
// camera on a path, the canvas is only the window (path width x path
// height) around the camera centre that fills the view, and an object at
// picture pixel p lands where the picture's pixel p does, at canvas
// (p - centre) x zoom + canvas / 2.
struct CameraPlacementCase {
    const char* name;
    bool animated;
    std::uint32_t zoomPercent;
    // Where the object's picture rectangle [18, 22) x [3, 5) lands on the
    // 64 x 64 back buffer: left, top, right, bottom.
    std::uint32_t screen[4];
};

const CameraPlacementCase kCameraPlacementCases[] = {
    // The canvas is the 32 x 16 picture: 2 x 4 back-buffer pixels each.
    {"camera off: canvas and picture coincide", false, 100, {36, 12, 44, 20}},
    // Window x 12..28, y 0..8 of the picture on a 16 x 8 canvas: 4 x 8 each.
    {"path at zoom 100: the window around the centre", true, 100, {24, 24, 40, 40}},
    // Scaled by 2 about the centre: window x 16..24, y 2..6.
    {"path at zoom 200: scaled about the centre", true, 200, {16, 16, 48, 48}},
};

TEST_F(PictureSceneTest, ObjectsFollowThePicturePixelsThroughThePathCamera)
{
    for (const CameraPlacementCase& c : kCameraPlacementCases) {
        SCOPED_TRACE(c.name);
        auto light = MakeStripesLight(PicturePosition::kStretch);
        DSM_Camera& camera = light->Camera();
        camera.mode.StoreValue(DSM_Camera::kPath);
        camera.pathWidth.StoreValue(kPictureWidth / 2);
        camera.pathHeight.StoreValue(kPictureHeight / 2);
        // Two points at one place: the camera holds still there at the zoom.
        for (int i = 0; i < 2; ++i) {
            DX_CamPathPnt* point = camera.path.AddPoint(DX_SmartPnt(math::Vec3{20, 4, 0}), nullptr);
            point->duration.StoreValue(4.0f);
            point->zoomPercent.StoreValue(c.zoomPercent);
        }
        light->SetCameraAnimated(c.animated);
        light->UpdateCamera(0.0f);
        ASSERT_FLOAT_EQ(renderContext->canvasWidth, float(c.animated ? kPictureWidth / 2 : kPictureWidth));

        ProbeLog log;
        light->RenderFrame({RectProbe("object", log, 100, 18, 3, 22, 5, kYellowRgb)}, false);

        const auto pixels = BackBufferPixels();
        const auto [left, top, right, bottom] = c.screen;
        ExpectShows(pixels, (left + right) / 2, (top + bottom) / 2, kYellowRgb);
        ExpectShows(pixels, left + 1, top + 1, kYellowRgb);
        ExpectShows(pixels, right - 1, bottom - 1, kYellowRgb);
        // Just outside it, the picture's blue stripe shows.
        ExpectShows(pixels, left - 2, (top + bottom) / 2, kBlueRgb);
        ExpectShows(pixels, right + 1, (top + bottom) / 2, kBlueRgb);
        ExpectShows(pixels, (left + right) / 2, top - 2, kBlueRgb);
        ExpectShows(pixels, (left + right) / 2, bottom + 1, kBlueRgb);
    }
}

TEST_F(PictureSceneTest, ReadersGetThePictureDrawnSoFarAndTheLastEndsThePass)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    auto effect = LoadTestEffect();
    ProbeLog log;
    // Drawn in the order A, first reader, B, last reader.
    const RenderObjectList objects = {
        ReaderProbe("last reader", log, *effect),
        RectProbe("B", log, 100, 24, 0, 32, 4, kGreenRgb),
        ReaderProbe("first reader", log, *effect),
        RectProbe("A", log, 100, 0, 0, 8, 4, kRedRgb),
    };
    ASSERT_EQ(light->CountRenderTargetPasses(objects), 2);

    // Two frames: the pair keeps flipping from where the last one left it.
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        log.entries.clear();
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);

        ASSERT_EQ(log.Names(), (std::vector<std::string>{"A", "first reader", "B", "last reader"}));
        const ProbeLog::Entry& first = *log.Find("first reader");
        const ProbeLog::Entry& last = *log.Find("last reader");
        ASSERT_NE(first.target, nullptr);
        ASSERT_NE(last.target, nullptr);
        EXPECT_NE(first.target, last.target);
        EXPECT_NE(first.target, light->Background().Texture());
        EXPECT_EQ(last.target, light->Pair().CurrentTexture());
        // Objects other than readers see the picture itself.
        EXPECT_EQ(log.Find("A")->target, light->Background().Texture());

        // The pass draws the canvas stretched over the 64 x 64 pair.
        ExpectShows(first.targetPixels, 8, 8, kRedRgb);
        ExpectShows(first.targetPixels, 56, 8, 0xFFFFFF); // B is not drawn yet
        ExpectShows(first.targetPixels, 24, 24, kGreenRgb);
        ExpectShows(last.targetPixels, 8, 8, kRedRgb);
        ExpectShows(last.targetPixels, 56, 8, kGreenRgb);
        ExpectShows(last.targetPixels, 24, 48, kGrey);

        // The last reader drew everything into the restored back buffer,
        // fitted with bars.
        EXPECT_FALSE(light->InRenderTarget());
        EXPECT_FALSE(light->Pair().IsSaving());
        EXPECT_EQ(quad_test::CurrentTarget(*device).Get(), quad_test::BackBuffer(*device).Get());
        const auto pixels = BackBufferPixels();
        ExpectShows(pixels, 8, 8, kBlackRgb);
        ExpectShows(pixels, 8, 20, kRedRgb);
        ExpectShows(pixels, 56, 20, kGreenRgb);
        ExpectShows(pixels, 24, 28, kGreenRgb);
        ExpectShows(pixels, 40, 28, kBlueRgb);
        ExpectShows(pixels, 24, 40, kGrey);
        ExpectShows(pixels, 24, 56, kBlackRgb);
    }
}

TEST_F(PictureSceneTest, APassTheObjectsLeaveOpenIsEndedAndItsPictureShown)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    ProbeLog log;
    auto batch = std::shared_ptr<QuadBatchBuffer>(MakeRectBatch(*device, 0, 0, 8, 4, 0xFF000000u | kRedRgb));
    gfx::Device* target = device.get();
    gfx::Texture* texture = white.Get();
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(new SilentReader(
        "silent", log, 100,
        [batch, target, texture](DS_ABRender& renderer) {
            target->SetTexture(0, texture);
            renderer.DrawIndexedOptionalEffect(*batch, nullptr, 0, 1);
        },
        1))};

    device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFFFF00FFu, 1.0f, 0);
    light->RenderFrame(objects, false);

    EXPECT_FALSE(light->InRenderTarget());
    EXPECT_EQ(quad_test::CurrentTarget(*device).Get(), quad_test::BackBuffer(*device).Get());
    const auto pixels = BackBufferPixels();
    ExpectShows(pixels, 8, 8, kRedRgb);
    ExpectShows(pixels, 40, 8, kBlueRgb);
    ExpectShows(pixels, 40, 48, kGrey);
}

TEST_F(PictureSceneTest, ALightThatReadsThePictureKeepsItsPassOpenUntilItsBars)
{
    StoreStripesPicture();
    ReadingLight light;
    light.BackgroundLink().StorePathAndId(kPictureLink.path, kPictureLink.id);
    light.CreateDeviceObjects();
    light.OnResetDevice();
    light.SetPictureMode(PicturePosition::kStretch);

    ProbeLog log;
    const RenderObjectList objects = {RectProbe("rect", log, 100, 0, 0, 8, 4, kRedRgb)};
    ASSERT_EQ(light.CountRenderTargetPasses(objects), 1);
    light.RenderFrame(objects, false);
    EXPECT_TRUE(light.InRenderTarget());
    light.DrawBorderBars(false);
    EXPECT_TRUE(light.stillOpenAtBars);
    ASSERT_NE(light.finished, nullptr);
    EXPECT_FALSE(light.InRenderTarget());
    const auto finished = quad_test::ReadTexture(*device, light.finished);
    ExpectShows(finished, 8, 8, kRedRgb);
    ExpectShows(finished, 40, 8, kBlueRgb);
}

TEST_F(PictureSceneTest, WithoutARenderTargetPairTheFrameGoesStraightToTheBackBuffer)
{
    g_RenderTargetSizing.multiplier = 0;
    auto light = MakeStripesLight(PicturePosition::kStretch);
    ASSERT_FALSE(light->Pair().IsValid());
    auto effect = LoadTestEffect();
    ProbeLog log;
    // The reader is drawn first (it is last in the list), then the rectangle.
    const RenderObjectList objects = {RectProbe("rect", log, 100, 0, 0, 8, 4, kRedRgb),
                                      ReaderProbe("reader", log, *effect)};

    light->RenderFrame(objects, false);

    EXPECT_EQ(log.Names(), (std::vector<std::string>{"reader", "rect"}));
    EXPECT_EQ(log.Find("reader")->target, light->Background().Texture());
    EXPECT_FALSE(light->InRenderTarget());
    EXPECT_EQ(quad_test::CurrentTarget(*device).Get(), quad_test::BackBuffer(*device).Get());
    const auto pixels = BackBufferPixels();
    ExpectShows(pixels, 8, 8, kRedRgb);
    ExpectShows(pixels, 40, 8, kBlueRgb);
}

} // namespace
} // namespace picture_scene_test
