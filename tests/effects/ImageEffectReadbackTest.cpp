// Image effects drawn headless on a slide's picture scene and read back:
// what each effect does to a small striped picture at level 0 and at full
// strength, the hand-over of the picture drawn so far between effects, the
// mask, and the composite put back under an effect that draws only a region.

#include <algorithm>

#include "effects/BrushObject.h"
#include "effects/PatternBrush.h"
#include "effects/WaterMoveFX.h"
#include "effects/WavesLightFX.h"
#include "render/Timing.h"
#include "tests/effects/DistortionTestSupport.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace image_effect_test {
namespace {

using namespace picture_scene_test;

constexpr std::uint32_t kWhiteRgb = 0xFFFFFF;

class FixedLevel : public KXI_Timing {
public:
    explicit FixedLevel(float level) { m_level = level; }
};

// A test effect that draws only its grid over the region (the top-left
// quarter of the picture), brightened, and puts the composite back first
// when asked to.
class GridOnlyEffect : public DS_FX_Constructor {
public:
    explicit GridOnlyEffect(bool restore) : m_restore(restore)
    {
        LinkCommonRes(*this, kCommonResLightEffect);
        mode.value = 1;
        region.corners[0].value = {0.0f, 0.0f, 0.0f};
        region.corners[1].value = {16.0f, 0.0f, 0.0f};
        region.corners[2].value = {0.0f, 8.0f, 0.0f};
        region.corners[3].value = {16.0f, 8.0f, 0.0f};
    }
    void Attach(gfx::Ref<gfx::Texture>* holder) override { AttachWithGrid(holder); }
    void Apply(DS_ABRender& host) override
    {
        if (!CanApply(host))
            return;
        if (m_restore)
            RestoreComposite(host);
        effect->SetFloat("multiplier", 1.0f);
        SetCommonParams(host);
        effect->SetTechnique("MainFX");
        host.DrawIndexedWithEffect(grid, *effect);
    }
    std::unique_ptr<DS_FX_Constructor> Clone() const override { return std::make_unique<GridOnlyEffect>(*this); }

private:
    bool m_restore;
};

class ImageEffectReadbackTest : public EffectReadbackTest {
protected:
    // The frame of `descriptions` (first drawn last) on the back buffer.
    std::vector<std::uint32_t> Frame(std::initializer_list<DS_FX_Constructor*> descriptions)
    {
        RenderObjectList objects;
        for (DS_FX_Constructor* description : descriptions)
            objects.emplace_back(description->CreateRenderObject().release());
        for (auto& object : objects)
            object->Update(0.0f);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }
};

// The picture as the stretched light shows it: 2 x 4 target pixels per
// picture pixel.
std::uint32_t PictureAt(std::uint32_t x, std::uint32_t y)
{
    return StripesColour(x / 2, y / 4);
}

// Rows away from the stripes' lower edge, where filtered lookups blend.
void ExpectPicture(const std::vector<std::uint32_t>& pixels)
{
    for (std::uint32_t y : {4u, 12u, 20u, 44u, 52u, 60u})
        for (std::uint32_t x = 4; x < kTargetSize; x += 8)
            EXPECT_TRUE(ShowsRgb(At(pixels, x, y), PictureAt(x, y)))
                << "(" << x << ", " << y << ") shows " << Hex(At(pixels, x, y));
}

TEST_F(ImageEffectReadbackTest, AtLevelZeroOrStrengthZeroThePictureIsUnchanged)
{
    DS_MoveFX move;
    move.magnitude.SetValue(1250, nullptr);
    DS_WavesFX waves;
    waves.amplitude.SetValue(2000, nullptr);
    DS_LightFX brighten;
    DS_UnderwaterFX underwater;
    underwater.amplitude.SetValue(0, nullptr);
    DS_LightFX_II overlay;
    LinkCommonRes(overlay, kCommonResLightBlendEffect);
    overlay.colour.value = 0x0000FF;
    overlay.blendMode.value = 1;
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&move, &waves, &brighten, &overlay})
        fx->timing.SetTimeline(std::make_unique<FixedLevel>(0.0f));
    struct Case {
        const char* what;
        DS_FX_Constructor* fx;
    };
    for (const Case& c : {Case{"move", &move}, Case{"waves", &waves}, Case{"light", &brighten},
                          Case{"underwater", &underwater}, Case{"light II", &overlay}}) {
        SCOPED_TRACE(c.what);
        ExpectPicture(Frame({c.fx}));
    }
}

TEST_F(ImageEffectReadbackTest, AtFullStrengthEachEffectShows)
{
    {
        SCOPED_TRACE("move: the red/green boundary moves right by a quarter");
        DS_MoveFX fx;
        fx.magnitude.SetValue(1250, nullptr); // a = 0.25 of the picture
        const auto pixels = Frame({&fx});
        EXPECT_TRUE(ShowsRgb(At(pixels, 20, 8), kRedRgb)) << Hex(At(pixels, 20, 8));
        EXPECT_TRUE(ShowsRgb(At(pixels, 36, 8), kGreenRgb)) << Hex(At(pixels, 36, 8));
    }
    {
        SCOPED_TRACE("waves across the stripes make their boundaries wavy");
        DS_WavesFX fx;
        fx.angle.SetValue(90, nullptr);
        fx.amplitude.SetValue(200, nullptr);
        fx.wavelength.SetValue(600, nullptr);
        const auto pixels = Frame({&fx});
        int moved = 0;
        for (std::uint32_t y = 0; y < 32; ++y)
            moved += !ShowsRgb(At(pixels, 14, y), kRedRgb) || !ShowsRgb(At(pixels, 17, y), kGreenRgb);
        EXPECT_GT(moved, 0);
        EXPECT_LT(moved, 32);
    }
    {
        SCOPED_TRACE("light brightens the grey by half");
        DS_LightFX fx;
        fx.strength.SetValue(100, nullptr); // x 1.0 x flicker 0.5
        const auto pixels = Frame({&fx});
        EXPECT_TRUE(ShowsRgb(At(pixels, 40, 48), 0xC0C0C0)) << Hex(At(pixels, 40, 48));
    }
    {
        SCOPED_TRACE("background copy mirrors the picture");
        DS_BackgroundCopy fx;
        fx.flagX.value = 1;
        const auto pixels = Frame({&fx});
        EXPECT_TRUE(ShowsRgb(At(pixels, 8, 8), kWhiteRgb)) << Hex(At(pixels, 8, 8));
        EXPECT_TRUE(ShowsRgb(At(pixels, 56, 8), kRedRgb)) << Hex(At(pixels, 56, 8));
    }
    {
        SCOPED_TRACE("water tints the picture");
        DS_WaterFX fx;
        fx.colour.value = 0x0000FF; // red
        const auto pixels = Frame({&fx});
        const std::uint32_t pixel = At(pixels, 56, 8);
        EXPECT_GT((pixel >> 16) & 0xFF, 0xC0u) << Hex(pixel);
        EXPECT_LT((pixel >> 8) & 0xFF, 0x20u) << Hex(pixel);
    }
}

TEST_F(ImageEffectReadbackTest, PatternTilesAlongARowByItsTileCount)
{
    struct Case {
        std::uint32_t tileSize;
        int runs;
    };
    // A 16 x 16 pattern, black left and white right, on the 32 pixel wide
    // picture: 2 tiles across at size 1, 1 at size 2.
    for (const Case& c : {Case{100, 2}, Case{200, 1}}) {
        SCOPED_TRACE(c.tileSize);
        DS_PatternBrush fx;
        fx.tileSize.SetValue(c.tileSize, nullptr);
        auto object = fx.CreateRenderObject();
        auto& brush = static_cast<DS_BrushObj&>(*object);
        auto& pattern = static_cast<DS_PatternBrush&>(*brush.Effect()).pattern;
        pattern.sourceWidth = pattern.sourceHeight = 16;
        pattern.frameTextures = {quad_test::MakeTexture(*device, 2, 1, {0xFF000000u, 0xFFFFFFFFu})};
        RenderObjectList objects;
        objects.emplace_back(object.release());
        light->RenderFrame(objects, false);
        const auto pixels = BackBufferPixels();
        int whiteRuns = 0;
        bool inWhite = false;
        for (std::uint32_t x = 0; x < kTargetSize; ++x) {
            const bool white = (At(pixels, x, 40) & 0xFF) > 0xC0;
            whiteRuns += white && !inWhite;
            inWhite = white;
        }
        EXPECT_EQ(whiteRuns, c.runs);
    }
}

TEST_F(ImageEffectReadbackTest, LightTwoBlendModesOnMidGrey)
{
    struct Case {
        std::int32_t blendMode;
        std::uint32_t expected;
    };
    // c = 0.25 grey at full alpha over the 0.5 grey of the picture.
    const Case cases[] = {{0, 0x404040}, {1, 0xA0A0A0}, {2, 0xABABAB}, {3, 0xC0C0C0}, {4, 0xC0C0C0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blendMode);
        DS_LightFX_II fx;
        LinkCommonRes(fx, kCommonResLightBlendEffect);
        fx.colour.value = 0x404040;
        fx.strength.SetValue(100, nullptr);
        fx.blendMode.value = c.blendMode;
        const auto pixels = Frame({&fx});
        EXPECT_TRUE(ShowsRgb(At(pixels, 40, 48), c.expected)) << Hex(At(pixels, 40, 48));
        // The stripes above show the blend too, never black.
        EXPECT_NE(At(pixels, 40, 8) & 0xFFFFFF, 0u);
    }
}

TEST_F(ImageEffectReadbackTest, AUniformPictureStaysUniformUnderEveryDisplacement)
{
    UseFlatPicture();

    DS_MoveFX move;
    move.magnitude.SetValue(2000, nullptr);
    DS_WavesFX waves;
    waves.amplitude.SetValue(2000, nullptr);
    DS_UnderwaterFX underwater;
    underwater.amplitude.SetValue(2000, nullptr);
    DS_WaterFX water;
    DS_BackgroundCopy copy;
    copy.rectangle.centreX.value = 10;
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&move, &waves, &underwater, &water, &copy}) {
        SCOPED_TRACE(fx->effectLink.Id());
        const auto pixels = Frame({fx});
        for (std::uint32_t y = 1; y < kTargetSize; y += 5)
            for (std::uint32_t x = 1; x < kTargetSize; x += 5)
                ASSERT_TRUE(ShowsRgb(At(pixels, x, y), kFlatRgb)) << "(" << x << ", " << y << ") "
                                                                   << Hex(At(pixels, x, y));
    }
}

// The light II overlay (magenta over the left half) is drawn first; the
// copy after it mirrors what it reads: the composite in mode 1, the raw
// picture in mode 0.
TEST_F(ImageEffectReadbackTest, ModeOneHandsTheCompositeToTheNextEffectModeZeroThePicture)
{
    for (std::int32_t mode : {1, 0}) {
        SCOPED_TRACE(mode);
        DS_LightFX_II overlay;
        LinkCommonRes(overlay, kCommonResLightBlendEffect);
        overlay.colour.value = 0xFF00FF;
        overlay.strength.SetValue(100, nullptr);
        MaskLeftHalf(overlay);
        DS_BackgroundCopy copy;
        copy.flagX.value = 1;
        copy.mode.value = mode;
        const auto pixels = Frame({&copy, &overlay});
        if (mode == 1) {
            EXPECT_TRUE(ShowsRgb(At(pixels, 56, 8), kMagentaRgb)) << Hex(At(pixels, 56, 8));
            EXPECT_TRUE(ShowsRgb(At(pixels, 8, 8), kWhiteRgb)) << Hex(At(pixels, 8, 8));
        } else {
            EXPECT_TRUE(ShowsRgb(At(pixels, 56, 8), kRedRgb)) << Hex(At(pixels, 56, 8));
            EXPECT_TRUE(ShowsRgb(At(pixels, 8, 8), kWhiteRgb)) << Hex(At(pixels, 8, 8));
        }
    }
}

TEST_F(ImageEffectReadbackTest, AMaskRestrictsTheEffectToItsWhiteHalf)
{
    for (std::int32_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        DS_LightFX fx;
        fx.strength.SetValue(100, nullptr);
        fx.mode.value = mode;
        MaskLeftHalf(fx);
        const auto pixels = Frame({&fx});
        EXPECT_TRUE(ShowsRgb(At(pixels, 8, 48), 0xC0C0C0)) << Hex(At(pixels, 8, 48));
        EXPECT_TRUE(ShowsRgb(At(pixels, 56, 48), kGrey)) << Hex(At(pixels, 56, 48));
    }
}

TEST_F(ImageEffectReadbackTest, OutsideItsMaskAModeZeroEffectKeepsEveryPixelDrawnBeforeIt)
{
    // A light over the whole picture is drawn first, so that the target
    // differs from the picture the effects read.
    DS_LightFX before;
    before.strength.SetValue(50, nullptr);
    const auto reference = Frame({&before});
    DS_MoveFX move;
    move.magnitude.SetValue(1250, nullptr);
    DS_WavesFX waves;
    waves.amplitude.SetValue(2000, nullptr);
    DS_LightFX brighten;
    brighten.strength.SetValue(100, nullptr);
    DS_UnderwaterFX underwater;
    DS_WaterFX water;
    struct Case {
        const char* what;
        DS_FX_Constructor* fx;
    };
    for (const Case& c : {Case{"move", &move}, Case{"waves", &waves}, Case{"light", &brighten},
                          Case{"underwater", &underwater}, Case{"water", &water}}) {
        SCOPED_TRACE(c.what);
        MaskLeftHalf(*c.fx);
        const auto pixels = Frame({c.fx, &before});
        // The mask's texels span 8 pixels: from x = 36 on its weight is 0.
        for (std::uint32_t y = 0; y < kTargetSize; ++y) {
            for (std::uint32_t x = 36; x < kTargetSize; ++x) {
                ASSERT_EQ(At(pixels, x, y), At(reference, x, y)) << "(" << x << ", " << y << ")";
            }
        }
        if (c.fx == &brighten) {
            EXPECT_NE(At(pixels, 8, 48), At(reference, 8, 48)) << "inside the mask the light shows";
        }
    }
}

TEST_F(ImageEffectReadbackTest, AModeOneEffectWithoutAnEffectLeavesThePictureVisible)
{
    DS_MoveFX fx;
    fx.mode.value = 1;
    fx.effectLink = DS_HLSLEffectFile(12345, kCommonResModule);
    ExpectPicture(Frame({&fx}));
}

TEST_F(ImageEffectReadbackTest, RestoringTheCompositeKeepsThePictureAroundAGridOnlyEffect)
{
    for (bool restore : {false, true}) {
        SCOPED_TRACE(restore);
        GridOnlyEffect fx(restore);
        const auto pixels = Frame({&fx});
        // Inside the region (top-left quarter) the red stripe is there.
        EXPECT_TRUE(ShowsRgb(At(pixels, 8, 8), kRedRgb)) << Hex(At(pixels, 8, 8));
        const std::uint32_t outside = At(pixels, 40, 48);
        if (restore)
            EXPECT_TRUE(ShowsRgb(outside, kGrey)) << Hex(outside);
        else
            EXPECT_TRUE(ShowsRgb(outside, kBlackRgb)) << Hex(outside);
    }
}

} // namespace
} // namespace image_effect_test
