// Distortion effects drawn headless on a slide's picture scene (the light's
// own frame) and read back: at level 0 or zero amplitude the picture is
// unchanged, at full strength each distortion shows where expected, and a
// uniform picture stays uniform under every displacement.

#include <cmath>
#include <functional>

#include "effects/BrushObject.h"
#include "effects/CentreDistortionFX.h"
#include "effects/FlowFieldFX.h"
#include "effects/LineDistortionFX.h"
#include "effects/WaterfallCloudFX.h"
#include "tests/effects/DistortionTestSupport.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace image_effect_test {
namespace {

using namespace picture_scene_test;

constexpr float kPi = 3.1415927f;
constexpr std::uint32_t kWhite = 0xFFFFFF;

class DistortionReadbackTest : public EffectReadbackTest {};

// The picture as the stretched light shows it: 2 x 4 target pixels per
// picture pixel.
std::uint32_t PictureAt(std::uint32_t x, std::uint32_t y)
{
    return StripesColour(x / 2, y / 4);
}

// Pixels away from the stripes' edges, where filtered lookups blend.
void ExpectPicture(const std::vector<std::uint32_t>& pixels)
{
    for (std::uint32_t y : {4u, 12u, 20u, 44u, 52u, 60u})
        for (std::uint32_t x = 4; x < kTargetSize; x += 8)
            EXPECT_TRUE(ShowsRgb(At(pixels, x, y), PictureAt(x, y)))
                << "(" << x << ", " << y << ") shows " << Hex(At(pixels, x, y));
}

// One description of each class, set up to distort strongly about the
// picture's middle (target pixel (32, 32)) at level 1.
struct Strong {
    const char* what;
    std::function<std::unique_ptr<DS_FX_Constructor>()> make;
};

const math::Vec3 kMiddle{16.0f, 8.0f, 0.0f};

const std::vector<Strong>& StrongDistortions()
{
    static const std::vector<Strong> all = {
        {"expand",
         [] {
             auto fx = std::make_unique<DS_ExpandFX>();
             fx->outward.SetValue(100, nullptr); // 0.5
             fx->centre.value = kMiddle;
             return fx;
         }},
        {"radial wave",
         [] {
             auto fx = std::make_unique<DS_RadialWaveFX>();
             fx->amplitude.SetValue(400, nullptr);  // 0.1
             fx->wavelength.SetValue(1990, nullptr); // 0.2
             fx->centre.value = kMiddle;
             return fx;
         }},
        {"rotation",
         [] {
             auto fx = std::make_unique<DS_RotationFX>();
             fx->speed.SetValue(200, nullptr); // factor 1: the angle is the time
             fx->centre.value = kMiddle;
             return fx;
         }},
        {"bend",
         [] {
             auto fx = std::make_unique<DS_BendFX>();
             fx->kind.value = 1;
             fx->amplitudeA.SetValue(1571, nullptr); // pi
             fx->centre.value = kMiddle;
             return fx;
         }},
        {"perspective",
         [] {
             auto fx = std::make_unique<DS_PerspectiveFX>();
             fx->amplitudeA.SetValue(500, nullptr); // 1: a tilt of 1 radian, no narrowing
             fx->centre.value = {16.0f, 4.0f, 0.0f}; // the line across target row 16
             return fx;
         }},
        {"stretch",
         [] {
             auto fx = std::make_unique<DS_StretchFX>();
             fx->kind.value = 1;
             fx->amplitudeA.SetValue(100, nullptr); // 1: twice as far from the line
             fx->centre.value = {16.0f, 4.0f, 0.0f};
             return fx;
         }},
    };
    return all;
}

TEST_F(DistortionReadbackTest, AtLevelZeroThePictureIsUnchanged)
{
    for (const Strong& s : StrongDistortions()) {
        SCOPED_TRACE(s.what);
        auto fx = s.make();
        Prepare(*fx, 0.0f);
        ExpectPicture(FrameAt(*fx));
    }
}

// Flows at full strength, their stripes streaming right (linear), out of
// the middle (radial) or round it (vortex).
const std::vector<Strong>& StrongFlows()
{
    static const std::vector<Strong> all = {
        {"linear flow",
         [] {
             auto fx = std::make_unique<DS_VarrowLinear>();
             fx->magnitude.SetValue(250, nullptr); // 0.5 picture heights
             return fx;
         }},
        {"radial flow",
         [] {
             auto fx = std::make_unique<DS_VarrowRadial>();
             fx->amplitude.SetValue(100, nullptr);
             fx->outwardFlag.value = 1;
             fx->centre.value = kMiddle;
             return fx;
         }},
        {"vortex",
         [] {
             auto fx = std::make_unique<DS_VarrowVortical>();
             fx->amplitude.SetValue(100, nullptr);
             fx->ellipseDeform.SetValue(300, nullptr);
             fx->ellipseAngle.value = 30;
             fx->centre.value = kMiddle;
             return fx;
         }},
    };
    return all;
}

TEST_F(DistortionReadbackTest, AtZeroAmplitudeTheFlowsWaterfallAndCloudLeaveThePicture)
{
    DS_VarrowLinear linear;
    DS_VarrowRadial radial;
    DS_VarrowVortical vortex;
    DS_WaterfallFX waterfall; // no layers, no noise
    DS_CloudFX cloud;         // density 0
    cloud.cloudLink.StorePathAndId(kPictureLink.path, kPictureLink.id);
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&linear, &radial, &vortex, &waterfall,
                                                                           &cloud}) {
        SCOPED_TRACE(fx->BuiltinEffectName());
        Prepare(*fx);
        ExpectPicture(FrameAt(*fx, 2.0f));
    }
}

TEST_F(DistortionReadbackTest, AUniformPictureStaysUniform)
{
    UseFlatPicture();
    std::vector<Strong> all = StrongDistortions();
    all.insert(all.end(), StrongFlows().begin(), StrongFlows().end());
    for (const Strong& s : all) {
        SCOPED_TRACE(s.what);
        auto fx = s.make();
        Prepare(*fx);
        const auto pixels = FrameAt(*fx, 1.0f);
        for (std::uint32_t y = 1; y < kTargetSize; y += 5)
            for (std::uint32_t x = 1; x < kTargetSize; x += 5)
                ASSERT_TRUE(ShowsRgb(At(pixels, x, y), kFlatRgb)) << "(" << x << ", " << y << ") "
                                                                  << Hex(At(pixels, x, y));
    }
}

TEST_F(DistortionReadbackTest, ExpandMagnifiesTheMiddle)
{
    DS_ExpandFX fx;
    fx.outward.SetValue(100, nullptr);
    fx.centre.value = {16.0f, 4.0f, 0.0f}; // target (32, 16): the green/blue edge
    fx.scale.SetValue(100, nullptr);        // s = 2: a stripe is half the falloff's reach
    Prepare(fx);
    const auto pixels = FrameAt(fx);
    // The middle stripes grow out over their neighbours; far off the
    // picture stays.
    EXPECT_TRUE(ShowsRgb(At(pixels, 14, 16), kGreenRgb)) << Hex(At(pixels, 14, 16));
    EXPECT_TRUE(ShowsRgb(At(pixels, 50, 16), kBlueRgb)) << Hex(At(pixels, 50, 16));
    EXPECT_TRUE(ShowsRgb(At(pixels, 4, 60), kGrey)) << Hex(At(pixels, 4, 60));
}

TEST_F(DistortionReadbackTest, RadialRingsDisplaceAnAnnulusAndMoveBetweenTwoTimes)
{
    const Strong& wave = StrongDistortions()[1];
    auto fx = wave.make();
    Prepare(*fx);
    const auto early = FrameAt(*fx, 0.0f);
    auto later = wave.make();
    Prepare(*later);
    const auto late = FrameAt(*later, 0.05f); // time 0.2: a fifth of a cycle
    int displaced = 0, moved = 0;
    for (std::uint32_t y = 0; y < 32; y += 2)
        for (std::uint32_t x = 0; x < kTargetSize; x += 2) {
            displaced += !ShowsRgb(At(early, x, y), PictureAt(x, y));
            moved += At(early, x, y) != At(late, x, y);
        }
    EXPECT_GT(displaced, 10);
    EXPECT_GT(moved, 10);
}

TEST_F(DistortionReadbackTest, RotationAndBendByHalfATurnPutTheRedCornerBottomRight)
{
    struct Case {
        const char* what;
        std::size_t strong;
        float time;
    };
    // The rotation's aspect factor is its default 0: it turns plainly.
    for (const Case& c : {Case{"rotation with aspect 0", 2, kPi}, Case{"bend", 3, 0.0f}}) {
        SCOPED_TRACE(c.what);
        auto fx = StrongDistortions()[c.strong].make();
        Prepare(*fx);
        const auto pixels = FrameAt(*fx, c.time);
        EXPECT_TRUE(ShowsRgb(At(pixels, 58, 58), kRedRgb)) << Hex(At(pixels, 58, 58));
        EXPECT_TRUE(ShowsRgb(At(pixels, 6, 58), kWhite)) << Hex(At(pixels, 6, 58));
        EXPECT_TRUE(ShowsRgb(At(pixels, 6, 6), kGrey)) << Hex(At(pixels, 6, 6));
    }
}

TEST_F(DistortionReadbackTest, PerspectiveForeshortensAndStretchSpreadsAwayFromTheLine)
{
    struct Case {
        std::size_t strong;
        std::uint32_t y;
        std::uint32_t expected;
    };
    // The line runs across target row 16; row 28 shows the stripes and row
    // 40 the grey. The tilt pulls the grey up to row 28; the stretch pushes
    // the stripes down to row 40.
    for (const Case& c : {Case{4, 28, kGrey}, Case{5, 40, kRedRgb}}) {
        SCOPED_TRACE(StrongDistortions()[c.strong].what);
        auto fx = StrongDistortions()[c.strong].make();
        Prepare(*fx);
        const auto pixels = FrameAt(*fx);
        EXPECT_TRUE(ShowsRgb(At(pixels, 4, c.y), c.expected)) << Hex(At(pixels, 4, c.y));
        // On the line itself nothing moves.
        EXPECT_TRUE(ShowsRgb(At(pixels, 40, 14), kBlueRgb)) << Hex(At(pixels, 40, 14));
    }
}

TEST_F(DistortionReadbackTest, AtTheExtremeAmplitudePerspectiveAndStretchDrawThePictureNotBlack)
{
    DS_StretchFX stretch;
    stretch.amplitudeB.SetValue(100, nullptr); // kind 0: -1, 1 + amplitude = 0
    stretch.centre.value = {16.0f, 4.0f, 0.0f};
    DS_PerspectiveFX perspective;
    perspective.amplitudeA.SetValue(785, nullptr); // a tilt of pi / 2: 1 + amplitude = 0
    perspective.centre.value = {16.0f, 4.0f, 0.0f};
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&stretch, &perspective}) {
        SCOPED_TRACE(fx->BuiltinEffectName());
        Prepare(*fx);
        const auto pixels = FrameAt(*fx);
        for (std::uint32_t y = 0; y < kTargetSize; y += 3)
            for (std::uint32_t x = 0; x < kTargetSize; x += 3)
                ASSERT_NE(At(pixels, x, y) & 0xFFFFFF, 0u) << "(" << x << ", " << y << ")";
    }
}

TEST_F(DistortionReadbackTest, FlowsStreamTheStripesBetweenTwoTimes)
{
    for (const Strong& s : StrongFlows()) {
        SCOPED_TRACE(s.what);
        auto early = s.make();
        Prepare(*early);
        const auto first = FrameAt(*early, 0.5f);
        auto late = s.make();
        Prepare(*late);
        const auto second = FrameAt(*late, 2.5f);
        int displaced = 0, moved = 0;
        for (std::uint32_t y = 0; y < 32; y += 2)
            for (std::uint32_t x = 0; x < kTargetSize; x += 2) {
                displaced += !ShowsRgb(At(first, x, y), PictureAt(x, y));
                moved += At(first, x, y) != At(second, x, y);
            }
        EXPECT_GT(displaced, 10);
        EXPECT_GT(moved, 10);
    }
}

// The waterfall and the cloud over the top-left quarter of the picture.
void OverTopLeftQuarter(DS_FX_Constructor& fx, bool cornersDownFirst)
{
    const float w = float(kPictureWidth) / 2, h = float(kPictureHeight) / 2;
    const math::Vec3 across[4] = {{0, 0, 0}, {w, 0, 0}, {0, h, 0}, {w, h, 0}};
    const math::Vec3 down[4] = {{0, 0, 0}, {0, h, 0}, {w, 0, 0}, {w, h, 0}};
    for (int i = 0; i < 4; ++i)
        fx.region.corners[i].value = cornersDownFirst ? down[i] : across[i];
}

TEST_F(DistortionReadbackTest, WaterfallAndCloudColourTheirRegionAndInModeOneKeepThePictureOutside)
{
    for (std::int32_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        DS_WaterfallFX waterfall;
        waterfall.layerCount.value = 1;
        waterfall.baseColour.value = 0xFF0000; // blue added
        waterfall.speed.SetValue(50, nullptr); // factor 1: phase 0.5 at 0.5 s
        waterfall.mode.value = mode;
        DS_CloudFX cloud;
        // The cloud picture is the stripes: red 1 over most of its width.
        cloud.cloudLink.StorePathAndId(kPictureLink.path, kPictureLink.id);
        cloud.threshold.SetValue(0, nullptr);
        cloud.density.SetValue(50, nullptr);
        cloud.colour1.value = 0x00FF00; // green
        cloud.colour2.value = 0x00FF00;
        cloud.scale.SetValue(500, nullptr); // s = 4: the quarter sees the red stripe
        cloud.mode.value = mode;
        struct Case {
            DS_FX_Constructor* fx;
            bool cornersDownFirst;
            std::uint32_t inside;
        };
        // Inside, on the red stripe: red with blue added (magenta), and
        // green clouds.
        for (const Case& c : {Case{&waterfall, false, kMagentaRgb}, Case{&cloud, true, kGreenRgb}}) {
            SCOPED_TRACE(c.fx->BuiltinEffectName());
            Prepare(*c.fx);
            OverTopLeftQuarter(*c.fx, c.cornersDownFirst);
            // On the background quad (the cloud in mode 1) the mask limits
            // the clouds to the left half.
            MaskLeftHalf(*c.fx);
            const auto pixels = FrameAt(*c.fx, 0.5f);
            if (c.fx == &waterfall || mode == 0) {
                EXPECT_TRUE(ShowsRgb(At(pixels, 6, 6), c.inside)) << Hex(At(pixels, 6, 6));
            }
            for (std::uint32_t y : {44u, 52u, 60u})
                for (std::uint32_t x = 44; x < kTargetSize; x += 8)
                    EXPECT_TRUE(ShowsRgb(At(pixels, x, y), PictureAt(x, y))) << "(" << x << ", " << y << ") "
                                                                              << Hex(At(pixels, x, y));
            EXPECT_TRUE(ShowsRgb(At(pixels, 52, 8), kWhite)) << Hex(At(pixels, 52, 8));
        }
    }
}

TEST_F(DistortionReadbackTest, AWaterfallWithTheLargestLayerCountPlays)
{
    DS_WaterfallFX waterfall;
    waterfall.layerCount.value = 0xFFFFFFFFu;
    Prepare(waterfall);
    OverTopLeftQuarter(waterfall, false);
    const auto pixels = FrameAt(waterfall, 0.3f);
    EXPECT_TRUE(ShowsRgb(At(pixels, 52, 52), kGrey)) << Hex(At(pixels, 52, 52));
}

} // namespace
} // namespace image_effect_test
