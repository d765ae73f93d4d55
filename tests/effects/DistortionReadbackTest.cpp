// Distortion effects drawn headless on a slide's picture scene (the light's
// own frame) and read back: at level 0 or zero amplitude the picture is
// unchanged, at full strength each distortion shows where expected, and a
// uniform picture stays uniform under every displacement.

#include <cmath>
#include <functional>

#include "effects/BrushObject.h"
#include "effects/CentreDistortionFX.h"
#include "tests/effects/DistortionTestSupport.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace image_effect_test {
namespace {

using namespace picture_scene_test;

constexpr float kPi = 3.1415927f;
constexpr std::uint32_t kFlatRgb = 0x336699;

class DistortionReadbackTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        docres_test::TestModuleFolder();
        RegisterEffectClasses();
        light = MakeStripesLight(PicturePosition::kStretch);
    }
    void TearDown() override
    {
        light.reset();
        PictureSceneTest::TearDown();
    }

    // Prepares `fx` as a document's object: the built-in effect through
    // bytes it cannot run where it has no default link, a held level.
    void Prepare(DS_FX_Constructor& fx, float level = 1.0f)
    {
        // The region (what road B's grid covers) is the whole picture.
        const float w = float(kPictureWidth), h = float(kPictureHeight);
        const math::Vec3 corners[4] = {{0, 0, 0}, {w, 0, 0}, {0, h, 0}, {w, h, 0}};
        for (int i = 0; i < 4; ++i)
            fx.region.corners[i].value = corners[i];
        if (fx.effectLink.Path().empty())
            LinkForeignEffect(*manager, fx);
        HoldLevel(fx, level);
    }

    // The frame of `fx` after its clock ran to scene time `t`.
    std::vector<std::uint32_t> FrameAt(DS_FX_Constructor& fx, float t = 0.0f)
    {
        RenderObjectList objects;
        objects.emplace_back(fx.CreateRenderObject().release());
        for (float at = 0.0f; at < t; at += 0.1f)
            objects.front()->Update(at);
        objects.front()->Update(t);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    // A one-colour picture replaces the stripes.
    void UseFlatPicture()
    {
        ModuleResourceBlob stored(u"flat.bmp");
        stored.SetBytes(docres_test::SolidBmp(kPictureWidth, kPictureHeight, kFlatRgb));
        DocResManagerRecord record;
        const LinkKey flat{u"pictures\\flat.bmp", 8};
        record.textureSetRecords[flat] = {stored};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
        light = MakeLight(flat, PicturePosition::kStretch);
    }

    std::unique_ptr<DS_2D_Light> light;
};

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

TEST_F(DistortionReadbackTest, AUniformPictureStaysUniform)
{
    UseFlatPicture();
    for (const Strong& s : StrongDistortions()) {
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
        EXPECT_TRUE(ShowsRgb(At(pixels, 6, 58), 0xFFFFFFu)) << Hex(At(pixels, 6, 58));
        EXPECT_TRUE(ShowsRgb(At(pixels, 6, 6), kGrey)) << Hex(At(pixels, 6, 6));
    }
}

} // namespace
} // namespace image_effect_test
