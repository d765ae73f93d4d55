// The flame and underwater lights: their stored records, the fire and
// effect they embed (taken over by value assignment), the flame quad, the
// render-target answer, the haze's inputs, and their frames drawn headless
// from writer-made records.

#include <set>

#include "effects/FlameLight.h"
#include "effects/UnderwaterLight.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/effects/LightVariantsTestSupport.h"

namespace light_variant_test {
namespace {

using namespace light_writer;
using image_effect_test::ExpectFloats;

class FlameUnderwaterLightTest : public LightVariantTest {};

// ---- flame light

TEST(FlameQuad, FillsTheLowest65PercentLoweredByTheOffset)
{
    struct Case {
        std::uint32_t offset;
        float top, bottom;
    };
    for (const Case& c : {Case{0, 268.8f, 768.0f}, Case{20, 345.6f, 844.8f}}) {
        SCOPED_TRACE(c.offset);
        const auto corners = DS_FlameLight::FlameCorners(1024.0f, 768.0f, c.offset);
        EXPECT_FLOAT_EQ(corners[0].y, c.top);
        EXPECT_FLOAT_EQ(corners[1].y, c.top);
        EXPECT_FLOAT_EQ(corners[2].y, c.bottom);
        EXPECT_FLOAT_EQ(corners[3].y, c.bottom);
        EXPECT_EQ(corners[0].x, 0.0f);
        EXPECT_EQ(corners[1].x, 1024.0f);
        EXPECT_EQ(corners[3].x, 1024.0f);
    }
}

TEST(FlameLightRenderTarget, OnlyHeatFlagOneAsksForThePass)
{
    DS_FlameLight light;
    const RenderObjectList none;
    for (std::int32_t flag : {0, 1, 2}) {
        light.heatFlag.value = flag;
        EXPECT_EQ(light.NeedsRenderTarget(), flag == 1) << flag;
        EXPECT_EQ(light.CountRenderTargetPasses(none), flag == 1 ? 1 : 0) << flag;
    }
}

TEST_F(FlameUnderwaterLightTest, AVersionOneRecordKeepsTheDefaultFireAndStoresItsSpeed)
{
    FlameLightFields f;
    f.version = 1;
    f.fireSpeed = 77;
    f.dropped1 = {u"pictures\\a.bmp", 3};
    f.dropped2 = {u"pictures\\b.bmp", 4};
    f.hazeStrength = 40;
    f.light = StripesLightLevel();
    auto light = ReadWritten<DS_FlameLight>(WriteFlameLight, f);
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->fire.patternLink.Id(), kCommonResFlamePatternPicture);
    EXPECT_EQ(light->fire.noiseLink.Id(), kCommonResFireNoisePicture);
    EXPECT_EQ(light->fire.speed.value, 77u);
    EXPECT_FLOAT_EQ(light->fire.speed.Scaled(), 1.0f) << "the factor is not recomputed";
    EXPECT_FLOAT_EQ(light->haze.strength.Scaled(), 0.08f);
    EXPECT_EQ(light->BackgroundLink().Id(), kPictureLink.id);
}

TEST_F(FlameUnderwaterLightTest, AVersionTwoRecordHandsItsEmbeddedFireOver)
{
    FlameLightFields f;
    f.fireFlag = 0;
    f.heatFlag = 2;
    f.flameOffset = 12;
    f.fire.colour1 = 0x00FFFF;
    f.fire.brightness = 40;
    f.fire.fx.speed = 100;
    const std::uint8_t guid[16] = {1, 2, 3};
    f.fire.fx.base.guid = crt::GuidFromBytes(guid);
    f.light = StripesLightLevel();
    auto light = ReadWritten<DS_FlameLight>(WriteFlameLight, f);
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->fireFlag.value, 0);
    EXPECT_EQ(light->heatFlag.value, 2);
    EXPECT_EQ(light->flameOffset.value, 12u);
    EXPECT_EQ(light->fire.colour1.value, 0x00FFFFu);
    EXPECT_FLOAT_EQ(light->fire.brightness.Scaled(), 0.8f);
    EXPECT_FLOAT_EQ(light->fire.speed.Scaled(), 2.0f) << "the assignment tells the speed's copy";
    EXPECT_EQ(light->fire.guid, f.fire.fx.base.guid);
}

TEST_F(FlameUnderwaterLightTest, AssigningAFireSharesItsTexturesGridAndTimeline)
{
    DS_FireFX source;
    source.colour2.value = 0x102030;
    source.density.SetValue(70, nullptr);
    source.depth.SetValue(40, nullptr);
    source.name = u"campfire";
    gfx::Ref<gfx::Texture> noMask;
    source.Attach(&noMask);
    ASSERT_TRUE(source.patternTexture);
    ASSERT_TRUE(source.grid.HasBuffers());
    DS_FireFX target;
    target = source;
    EXPECT_EQ(target.colour2.value, 0x102030u);
    EXPECT_FLOAT_EQ(target.density.Scaled(), -0.3f);
    EXPECT_EQ(target.depth.value, 40u);
    EXPECT_EQ(target.name, u"campfire");
    EXPECT_EQ(target.patternTexture, source.patternTexture);
    EXPECT_EQ(target.noiseTexture, source.noiseTexture);
    EXPECT_EQ(target.effect, source.effect);
    EXPECT_EQ(target.grid.vertices.Buffer(), source.grid.vertices.Buffer());
    EXPECT_EQ(target.timing.CurrentTimeline(), source.timing.CurrentTimeline());
    EXPECT_EQ(target.guid, source.guid);

    // A fire assigned to itself keeps every value and resource.
    DS_FireFX& same = target;
    target = same;
    EXPECT_EQ(target.colour2.value, 0x102030u);
    EXPECT_FLOAT_EQ(target.density.Scaled(), -0.3f);
    EXPECT_EQ(target.patternTexture, source.patternTexture);
    EXPECT_EQ(target.timing.CurrentTimeline(), source.timing.CurrentTimeline());
}

TEST_F(FlameUnderwaterLightTest, TheHazeSendsItsDefaultsAndAMissingEffectTurnsTheHeatOff)
{
    DS_FlameLight light;
    light.BackgroundLink().StorePathAndId(kPictureLink.path, kPictureLink.id);
    Prepare(light);
    ASSERT_TRUE(light.haze.effect);
    EXPECT_EQ(light.heatFlag.value, 1);
    light.UpdateCamera(0.1f);
    ExpectFloats(*light.haze.effect, "stenght", {0.0025f});
    ExpectFloats(*light.haze.effect, "bump_scale", {0.208f, 0.208f * 16.0f / 32.0f});
    // Another user of effect 63 between update and draw changes nothing the
    // haze draws with.
    light.haze.effect->SetFloat("stenght", 0.5f);
    const float elsewhere[2] = {3.0f, 3.0f};
    light.haze.effect->SetFloatArray("bump_scale", elsewhere, 2);
    EXPECT_TRUE(light.haze.Draw(light, white.Get()));
    ExpectFloats(*light.haze.effect, "stenght", {0.0025f});
    ExpectFloats(*light.haze.effect, "bump_scale", {0.208f, 0.104f});
    EXPECT_EQ(light.haze.effect->CurrentTechnique(), "BumpmapDistortLow2");

    DS_FlameLight missing;
    missing.BackgroundLink().StorePathAndId(kPictureLink.path, kPictureLink.id);
    missing.haze.effectLink.StorePathAndId(kCommonResModule, 12345);
    Prepare(missing);
    EXPECT_EQ(missing.haze.effect, nullptr);
    EXPECT_EQ(missing.heatFlag.value, 0);
    EXPECT_FALSE(missing.NeedsRenderTarget());
    // Without a haze the frame still shows the picture and the fire.
    const auto pixels = Frame(missing, 0.5f);
    EXPECT_TRUE(ShowsRgb(At(pixels, 4, 4), kRedRgb)) << Hex(At(pixels, 4, 4));
}

// The grey lower half of the stripes: where the fire burns it turns red
// or yellow (red well above blue).
int FieryPixels(const std::vector<std::uint32_t>& pixels, std::uint32_t top, std::uint32_t bottom)
{
    int count = 0;
    for (std::uint32_t y = top; y < bottom; ++y)
        for (std::uint32_t x = 0; x < kTargetSize; ++x) {
            const std::uint32_t p = At(pixels, x, y);
            count += int((p >> 16) & 0xFF) > int(p & 0xFF) + 40;
        }
    return count;
}

TEST_F(FlameUnderwaterLightTest, TheFlameBurnsInTheLowerPartAndTheHazeShiftsTheWholeFrame)
{
    auto frameOf = [&](std::int32_t heatFlag, std::uint32_t strength) {
        FlameLightFields f;
        f.heatFlag = heatFlag;
        f.hazeStrength = strength;
        f.hazeBumpScale = 0;
        f.light = StripesLightLevel();
        auto light = ReadWritten<DS_FlameLight>(WriteFlameLight, f);
        EXPECT_NE(light, nullptr);
        if (!light)
            return std::vector<std::uint32_t>{};
        Prepare(*light);
        return Frame(*light, 0.5f);
    };
    const auto plain = frameOf(0, 0);
    ASSERT_FALSE(plain.empty());
    // The flame starts 35 % down the picture (row 22 of 64).
    EXPECT_GT(FieryPixels(plain, 40, 64), 40);
    EXPECT_EQ(DifferingPixels(plain, plain, 0, 20), 0);
    for (std::uint32_t y : {2u, 10u, 18u})
        for (std::uint32_t x = 4; x < kTargetSize; x += 8)
            EXPECT_TRUE(ShowsRgb(At(plain, x, y), StripesColour(x / 2, y / 4))) << x << ", " << y;

    // A strong haze moves the stripes' edges in the upper part too.
    const auto hazy = frameOf(1, 2000);
    ASSERT_FALSE(hazy.empty());
    EXPECT_GT(DifferingPixels(plain, hazy, 0, 30), 0);
    EXPECT_GT(FieryPixels(hazy, 40, 64), 20);

    // Heat flag 2: no pass of the light's own, so no finished frame for the
    // haze; the frame is drawn straight and stays as it is.
    const auto unfinished = frameOf(2, 2000);
    EXPECT_EQ(DifferingPixels(plain, unfinished, 0, 64, 2), 0);
}

// ---- underwater light

TEST_F(FlameUnderwaterLightTest, UnderwaterRecordsOfBothVersions)
{
    {
        SCOPED_TRACE("version 1 halves the stored speed");
        UnderwaterLightFields f;
        f.version = 1;
        f.speed = 7;
        f.light = StripesLightLevel();
        auto light = ReadWritten<FakeUndervater>(WriteUnderwaterLight, f);
        ASSERT_NE(light, nullptr);
        EXPECT_EQ(light->underwater.speed.value, 3u);
        EXPECT_EQ(light->underwater.effectLink.Id(), kCommonResUnderwaterEffect);
    }
    {
        SCOPED_TRACE("version 2 takes the embedded effect's values");
        UnderwaterLightFields f;
        f.effect.amplitude = 120;
        f.effect.wavelength = 10;
        f.effect.fx.speed = 60;
        f.light = StripesLightLevel();
        auto light = ReadWritten<FakeUndervater>(WriteUnderwaterLight, f);
        ASSERT_NE(light, nullptr);
        EXPECT_FLOAT_EQ(light->underwater.amplitude.Scaled(), 120 * 0.000125f);
        EXPECT_FLOAT_EQ(light->underwater.wavelength.Scaled(), 10 * 0.002f + 0.001f);
        EXPECT_FLOAT_EQ(light->underwater.speed.Scaled(), 60.0f);
    }
}

TEST(UnderwaterLightRenderTarget, AsksForThePassEvenWithoutObjects)
{
    FakeUndervater light;
    EXPECT_TRUE(light.NeedsRenderTarget());
    EXPECT_EQ(light.CountRenderTargetPasses({}), 1);
}

TEST_F(FlameUnderwaterLightTest, TheWaterWobblesThePictureAndItsObjectsAlsoWithoutBars)
{
    UnderwaterLightFields f;
    f.effect.amplitude = 400;
    f.effect.wavelength = 40;
    f.light = StripesLightLevel();
    auto light = ReadWritten<FakeUndervater>(WriteUnderwaterLight, f);
    ASSERT_NE(light, nullptr);
    Prepare(*light);
    ProbeLog log;
    RenderObjectList objects;
    // A yellow bar over the grey half: its left edge at x = 20 of 64.
    objects.push_back(RectProbe("bar", log, 100, 10.0f, 10.0f, 32.0f, 14.0f, kYellowRgb));
    const auto pixels = Frame(*light, 1.0f, objects, true);
    // Straight, the red/green edge of the stripes stands at x = 16 and the
    // bar's edge at x = 20 on every row: the water bends both.
    auto edgeRows = [&](std::uint32_t top, std::uint32_t bottom, auto isLeft) {
        std::vector<std::uint32_t> edges;
        for (std::uint32_t y = top; y < bottom; ++y) {
            std::uint32_t x = 0;
            while (x < kTargetSize && isLeft(At(pixels, x, y)))
                ++x;
            edges.push_back(x);
        }
        return std::set<std::uint32_t>(edges.begin(), edges.end()).size();
    };
    auto reddish = [](std::uint32_t p) { return ((p >> 16) & 0xFF) > 0x80 && ((p >> 8) & 0xFF) < 0x80; };
    auto greyish = [](std::uint32_t p) { return (p & 0xFF) > 0x50; };
    EXPECT_GT(edgeRows(2, 28, reddish), 1u) << "the stripes' edge bends";
    EXPECT_GT(edgeRows(42, 54, greyish), 1u) << "the object's edge bends";
}

TEST_F(FlameUnderwaterLightTest, AnUnderwaterEffectThatCannotApplyShowsTheFramePlainly)
{
    UnderwaterLightFields f;
    f.effect.fx.effectLink = {u"common_res.dll", 12345};
    f.light = StripesLightLevel();
    auto light = ReadWritten<FakeUndervater>(WriteUnderwaterLight, f);
    ASSERT_NE(light, nullptr);
    Prepare(*light);
    const auto pixels = Frame(*light, 1.0f);
    for (std::uint32_t y : {4u, 12u, 44u})
        for (std::uint32_t x = 4; x < kTargetSize; x += 8)
            EXPECT_TRUE(ShowsRgb(At(pixels, x, y), StripesColour(x / 2, y / 4))) << x << ", " << y;
}

} // namespace
} // namespace light_variant_test
