// The water-ring light: grid factors, drops, views and projection, its
// stored form, and what it draws in both modes.

#include <cmath>

#include "effects/WaterRingLight.h"
#include "objectmodel/ClassRegistry.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "tests/effects/FixedFunctionLightTestSupport.h"
#include "tests/support/LightWriter.h"
#include "tests/support/RecordingArchive.h"

namespace fixed_light_test {
namespace {

using picture_scene_test::At;

const LinkKey kRingPicture{u"pictures\\pond.bmp", 12};

// Red grows with x, green with y.
std::uint32_t Ramp(std::uint32_t x, std::uint32_t y)
{
    return ((x * 8 + 4) << 16) | ((y * 8 + 4) << 8);
}

class WaterRingTest : public FixedFunctionLightTest {
protected:
    std::unique_ptr<DS_WaterRingLight> MakeRing(
        std::uint32_t width, std::uint32_t height, int ringMode, int pictureMode = PicturePosition::kFit,
        const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& colour = Ramp)
    {
        StorePicture(kRingPicture, width, height, colour);
        auto ring = std::make_unique<DS_WaterRingLight>();
        ring->mode.StoreValue(ringMode);
        SetUpLight(*ring, kRingPicture, pictureMode);
        return ring;
    }

    // Where a point of the water plane lands on the 64 x 64 target after the
    // last water draw.
    math::Vec2 OnTarget(const DS_WaterRingLight& ring, float x, float z)
    {
        math::Matrix toClip;
        math::MatrixMultiply(&toClip, ring.LastWaterWorld(), ring.Projection());
        math::Vec3 clip;
        math::Vec3TransformCoord(&clip, math::Vec3{x, 0.0f, z}, toClip);
        return {(clip.x + 1.0f) * 32.0f, (1.0f - clip.y) * 32.0f};
    }
};

TEST_F(WaterRingTest, GridFactorsComeFromTheStoredValues)
{
    const DS_WaterRingLight ring;
    EXPECT_FLOAT_EQ(ring.TimeStepFactor(), 1.0f);
    EXPECT_FLOAT_EQ(ring.DropStrength(), 0.45f);
    EXPECT_FLOAT_EQ(ring.Damping(), 0.99f);
    EXPECT_FLOAT_EQ(ring.RefractionDepth(), 0.2f);
    EXPECT_FLOAT_EQ(1.0f / ring.dropRate.Scaled(), 2.0f) << "one drop every 2 s";
    EXPECT_FLOAT_EQ(ring.specularPower.Scaled(), 40.0f);
    EXPECT_FLOAT_EQ(ring.specularLevel.Scaled(), 0.9f);

    struct Case {
        std::uint32_t value;
        float damping;
    };
    for (const Case& c : {Case{0, 0.9f}, Case{49, 0.9882f}, Case{50, 0.99f}, Case{100, 0.999f}}) {
        DS_WaterRingLight light;
        light.dampingValue.StoreValue(c.value);
        EXPECT_NEAR(light.Damping(), c.damping, 1e-6f) << c.value;
    }

    // Device creation hands them to the grid, sized for the picture.
    auto made = MakeRing(64, 32, 0);
    made->timeStepValue.StoreValue(50);
    made->dampingValue.StoreValue(0);
    made->CreateDeviceObjects();
    EXPECT_FLOAT_EQ(made->Grid().timeStep, 2.0f);
    EXPECT_FLOAT_EQ(made->Grid().damping, 0.9f);
    EXPECT_FLOAT_EQ(made->Grid().dropStrength, 0.45f);
    EXPECT_FLOAT_EQ(made->Grid().PlaneWidth(), 60.0f);
    EXPECT_FLOAT_EQ(made->Grid().PlaneHeight(), 30.0f);
    EXPECT_EQ(made->Grid().Columns(), 128u);
    EXPECT_EQ(made->Grid().Rows(), 64u);
    EXPECT_FLOAT_EQ(made->WaterMaterial().specular.r, 0.9f);
    EXPECT_FLOAT_EQ(made->WaterMaterial().power, 40.0f);
}

TEST_F(WaterRingTest, DropsFallWhenMoreThanThePeriodHasPassed)
{
    auto ring = MakeRing(32, 32, 0);
    struct Case {
        float time;
        bool drop;
        float lastDrop;
    };
    // Each drop takes two numbers of the random sequence.
    const Case cases[] = {{0.0f, false, 0.0f}, {2.0f, false, 0.0f}, {2.1f, true, 2.1f},
                          {3.0f, false, 2.1f}, {1.0f, false, 1.0f}, {3.5f, true, 3.5f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        crt::srand(9);
        const int first = crt::rand();
        const int third = (crt::rand(), crt::rand());
        crt::srand(9);
        ring->UpdateCamera(c.time);
        EXPECT_EQ(crt::rand(), c.drop ? third : first);
        EXPECT_FLOAT_EQ(ring->LastDropTime(), c.lastDrop);
    }
}

TEST_F(WaterRingTest, RenderTargetAnswerFollowsTheMode)
{
    DS_WaterRingLight ring;
    EXPECT_FALSE(ring.NeedsRenderTarget());
    ring.mode.StoreValue(1);
    EXPECT_TRUE(ring.NeedsRenderTarget());
    ring.mode.StoreValue(2);
    EXPECT_FALSE(ring.NeedsRenderTarget());
}

TEST_F(WaterRingTest, ProjectionSpansThePlaneForATargetAsLargeAsThePicture)
{
    auto ring = MakeRing(64, 64, 0);
    math::Matrix expected;
    math::MatrixOrthoOffCenterRH(&expected, -15.0f, 15.0f, -15.0f, 15.0f, -1.0f, 2000.0f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_FLOAT_EQ(ring->Projection().m[r][c], expected.m[r][c]) << r << "," << c;
}

// The plane lands where the picture lies on the target: a 32 x 16 picture
// fitted to 64 x 64 covers rows 16..48; a pan of the scene moves it along.
TEST_F(WaterRingTest, PlaneCornersLandOnThePicturesRectangle)
{
    auto ring = MakeRing(32, 16, 0);
    RenderAt(*ring, 0.0f);
    const float w = ring->Grid().PlaneWidth(), h = ring->Grid().PlaneHeight();
    math::Vec2 topLeft = OnTarget(*ring, -w / 2, -h / 2), bottomRight = OnTarget(*ring, w / 2, h / 2);
    EXPECT_NEAR(topLeft.x, 0.0f, 0.01f);
    EXPECT_NEAR(topLeft.y, 16.0f, 0.01f);
    EXPECT_NEAR(bottomRight.x, 64.0f, 0.01f);
    EXPECT_NEAR(bottomRight.y, 48.0f, 0.01f);

    renderContext->SetPanZoom(1.0f, 0.25f, 0.0f);
    RenderAt(*ring, 0.0f);
    topLeft = OnTarget(*ring, -w / 2, -h / 2);
    EXPECT_NEAR(topLeft.x, 16.0f, 0.01f) << "a quarter of the fitted width";
    EXPECT_NEAR(topLeft.y, 16.0f, 0.01f);
    renderContext->SetPanZoom(1.0f, 0.0f, 0.0f);
}

TEST_F(WaterRingTest, StoredVersionsReadBack)
{
    light_writer::WaterRingFields fields;
    fields.timeStep = 10;
    fields.density = 20;
    fields.resolution = 30;
    fields.dropStrength = 40;
    fields.damping = 60;
    fields.refractionDepth = 70;
    fields.dropRate = 120;
    fields.specularLevel = 50;
    fields.specularPower = 25;
    fields.mode = 1;
    for (std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        fields.version = version;
        DocumentWriter writer;
        light_writer::WriteWaterRing(writer, fields);
        const std::unique_ptr<DS_2D_Light> read = ReadLight(writer);
        auto* ring = dynamic_cast<DS_WaterRingLight*>(read.get());
        ASSERT_NE(ring, nullptr);
        const bool v2 = version > 1;
        EXPECT_EQ(ring->mode.value, 1);
        EXPECT_EQ(ring->timeStepValue.value, v2 ? 10u : 0u);
        EXPECT_EQ(ring->densityValue.value, v2 ? 20u : 0u);
        EXPECT_EQ(ring->resolutionValue.value, v2 ? 30u : 0u);
        EXPECT_EQ(ring->dropStrengthValue.value, v2 ? 40u : 50u);
        EXPECT_EQ(ring->dampingValue.value, v2 ? 60u : 50u);
        EXPECT_EQ(ring->refractionDepthValue.value, v2 ? 70u : 20u);
        EXPECT_FLOAT_EQ(ring->dropRate.Scaled(), v2 ? 2.0f : 0.5f);
        EXPECT_FLOAT_EQ(ring->specularLevel.Scaled(), v2 ? 0.5f : 0.9f);
        EXPECT_FLOAT_EQ(ring->specularPower.Scaled(), v2 ? 20.0f : 40.0f);
    }
    fields.version = 2;
    DocumentWriter writer;
    light_writer::WriteWaterRing(writer, fields);
    RecordingArchive archive;
    ReadLight(writer)->Save(ArchiveWriter(archive));
    EXPECT_EQ(archive.writer.Bytes(), writer.Bytes());
}

// Mode 0: the picture seen through the water, slightly bent, changing as
// the rings spread.
TEST_F(WaterRingTest, PictureShowsThroughTheRipplingWater)
{
    auto ring = MakeRing(32, 32, 0);
    ring->specularLevel.SetValue(0, nullptr);
    ring->CreateDeviceObjects();
    crt::srand(3);
    const auto first = RenderAt(*ring, 0.1f);
    int close = 0, total = 0;
    for (std::uint32_t y = 4; y < 60; y += 4)
        for (std::uint32_t x = 4; x < 60; x += 4) {
            ++total;
            const std::uint32_t picture = 0xFF000000u | Ramp(x / 2, y / 2);
            if (ColourDistance(At(first, x, y), picture) <= 24)
                ++close;
        }
    EXPECT_GT(close, total * 3 / 4) << "the picture under the water";

    // Strong drops, ten a second, spread their rings over a checkerboard,
    // whose edges move as the surface bends the lookup.
    auto board = MakeRing(32, 32, 0, PicturePosition::kFit,
                          [](std::uint32_t x, std::uint32_t y) { return ((x / 2 + y / 2) % 2) ? 0xFFFFFFu : 0u; });
    board->dropStrengthValue.StoreValue(100);
    board->refractionDepthValue.StoreValue(100);
    board->dropRate.SetValue(600, nullptr);
    board->CreateDeviceObjects();
    const auto calm = RenderAt(*board, 0.0f);
    for (int i = 1; i <= 20; ++i)
        board->UpdateCamera(0.11f * float(i));
    const auto rippled = RenderAt(*board, 2.4f);
    int changed = 0;
    for (std::size_t i = 0; i < calm.size(); ++i)
        changed += ColourDistance(calm[i], rippled[i]) > 16 ? 1 : 0;
    EXPECT_GT(changed, 40) << "the rings moved the picture";

    // Highlights only brighten the picture: the same water with and
    // without a specular level.
    const auto frameWithSpecular = [&](std::uint32_t level) {
        ring->specularLevel.SetValue(level, nullptr);
        crt::srand(3);
        ring->CreateDeviceObjects();
        for (int i = 0; i < 5; ++i)
            ring->UpdateCamera(0.1f * i);
        return RenderAt(*ring, 0.5f);
    };
    const auto lit = frameWithSpecular(100);
    const auto unlit = frameWithSpecular(0);
    int brighter = 0, darker = 0;
    for (std::size_t i = 0; i < lit.size(); ++i) {
        brighter += ChannelOf(lit[i], 0) > ChannelOf(unlit[i], 0) + 2 ? 1 : 0;
        darker += ChannelOf(lit[i], 0) + 2 < ChannelOf(unlit[i], 0) ? 1 : 0;
    }
    EXPECT_GT(brighter, 0);
    EXPECT_EQ(darker, 0);
}

// Mode 1: an object on the slide shows through the water, and the slide's
// objects are drawn unlit.
TEST_F(WaterRingTest, FrameWithItsObjectsShowsThroughTheWater)
{
    auto ring = MakeRing(32, 32, 1);
    picture_scene_test::ProbeLog log;
    const RenderObjectList objects = {RectProbe("red", log, 100, 4, 4, 14, 14, picture_scene_test::kRedRgb),
                                      RectProbe("blue", log, 100, 18, 18, 28, 28, picture_scene_test::kBlueRgb)};
    EXPECT_EQ(ring->CountRenderTargetPasses(objects), 1);
    const auto pixels = RenderAt(*ring, 0.1f, objects);
    EXPECT_FALSE(ring->InRenderTarget());
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 18, 18), picture_scene_test::kRedRgb, 40))
        << Hex(At(pixels, 18, 18));
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 46, 46), picture_scene_test::kBlueRgb, 40))
        << Hex(At(pixels, 46, 46));

    // Mode 0: the objects draw on top of the water, unlit.
    auto plain = MakeRing(32, 32, 0);
    const auto onTop = RenderAt(*plain, 0.1f, objects);
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(onTop, 18, 18), picture_scene_test::kRedRgb, 2));
    EXPECT_TRUE(picture_scene_test::ShowsRgb(At(onTop, 46, 46), picture_scene_test::kBlueRgb, 2));
}

TEST_F(WaterRingTest, PicturePositionModeComesBackAfterARenderTargetFrame)
{
    auto effect = LoadTestEffect();
    for (int userMode : {PicturePosition::kFill, PicturePosition::kFit, PicturePosition::kStretch}) {
        SCOPED_TRACE(userMode);
        auto ring = MakeRing(32, 16, 0, userMode);
        picture_scene_test::ProbeLog log;
        const RenderObjectList objects = {ReaderProbe("reader", log, *effect)};
        RenderAt(*ring, 0.1f, objects);
        EXPECT_EQ(ring->PictureMode(), userMode);
        EXPECT_EQ(renderContext->mode, userMode);
    }
}

TEST_F(WaterRingTest, WithoutWaterTheFrameIsStillShown)
{
    // No picture: no grid, no water, no NaN.
    DS_WaterRingLight empty;
    SetUpLight(empty, LinkKey{u"missing.bmp", 1}, PicturePosition::kFit);
    EXPECT_EQ(empty.Grid().CellCount(), 16u);
    EXPECT_EQ(empty.Grid().Vertices(), nullptr);
    RenderAt(empty, 0.5f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::isfinite(empty.Projection().m[r][c]));

    // Mode 1 with a grid that lost its buffers: the finished frame plainly.
    auto ring = MakeRing(32, 32, 1);
    ring->Grid().ReleaseBuffers();
    const auto pixels = RenderAt(*ring, 0.1f);
    for (std::uint32_t y : {8u, 40u})
        EXPECT_TRUE(picture_scene_test::ShowsRgb(At(pixels, 24, y), Ramp(12, y / 2), 6)) << Hex(At(pixels, 24, y));
}

} // namespace
} // namespace fixed_light_test
