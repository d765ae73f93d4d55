// The inputs each image effect sets on its effect, against the numbers its
// stored values give, read back from the effect; and what the common roads
// draw (or do not draw) on a recording host.

#include <cmath>

#include "effects/BrushObject.h"
#include "effects/PatternBrush.h"
#include "effects/WaterMoveFX.h"
#include "effects/WavesLightFX.h"
#include "particles/engine/PerlinNoise.h"
#include "render/RenderTargetPairTextures.h"
#include "render/Timing.h"
#include "tests/support/RecordingArchive.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/render/QuadTestSupport.h"

namespace image_effect_test {
namespace {

// A timeline held at one level.
class FixedLevel : public KXI_Timing {
public:
    explicit FixedLevel(float level) { m_level = level; }
};

void SetLevel(DS_FX_Constructor& fx, float level)
{
    fx.timing.SetTimeline(std::make_unique<FixedLevel>(level));
}

// Runs the clock in steps of at most 0.2 s to local time `t`.
void RunTo(DS_FX_Constructor& fx, float t)
{
    for (float at = 0.2f; at < t; at += 0.2f)
        fx.Update(at);
    fx.Update(t);
}

class ImageEffectInputsTest : public docres_test::ManagerDeviceTest {
protected:
    // Attaches `fx` as its brush object would (effect from its link, no mask).
    template <class T>
    T& Attached(T& fx)
    {
        fx.Attach(&manager->GetGuidTexture(fx.key));
        EXPECT_NE(fx.effect, nullptr) << "no effect from the link";
        return fx;
    }

    RecordingHost host{640, 320};
};

TEST_F(ImageEffectInputsTest, DefaultLinksGiveEffectsWithBothTechniques)
{
    DS_PatternBrush pattern;
    DS_BackgroundCopy copy;
    DS_WavesFX waves;
    DS_LightFX light;
    DS_UnderwaterFX underwater;
    DS_WaterFX water;
    DS_MoveFX move;
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&pattern, &copy, &waves, &light,
                                                                           &underwater, &water, &move}) {
        SCOPED_TRACE(fx->effectLink.Id());
        Attached(*fx);
        ASSERT_TRUE(fx->effect);
        EXPECT_EQ(fx->effect->SetTechnique("Main"), gfx::kOk);
        EXPECT_EQ(fx->effect->SetTechnique("MainFX"), gfx::kOk);
        for (const char* name : {"Scale", "Mask", "Background"})
            EXPECT_TRUE(fx->effect->HasParameter(name)) << name;
    }
}

TEST_F(ImageEffectInputsTest, RoadASetsScaleMaskBackgroundAndDrawsThePictureWhateverTheMode)
{
    DS_MoveFX fx;
    Attached(fx);
    const auto target = quad_test::MakeTexture(*device, 1, 1, {0xFF00FF00u});
    host.target = target.Get();
    for (std::int32_t mode : {0, 2}) {
        fx.mode.value = mode;
        fx.Apply(host);
        EXPECT_EQ(fx.effect->CurrentTechnique(), mode ? "MainFX" : "Main");
    }
    EXPECT_EQ(host.quadDraws, 2);
    EXPECT_EQ(host.gridDraws, 0);
    ExpectFloats(*fx.effect, "Scale", {2.0f, 1.0f});
    EXPECT_EQ(fx.effect->GetTexture("Background"), target.Get());
    EXPECT_EQ(fx.effect->GetTexture("Mask"), nullptr);

    // A stored scale of 0 counts as 1 instead of dividing by zero.
    fx.scale.SetValue(0, nullptr);
    fx.Apply(host);
    ExpectFloats(*fx.effect, "Scale", {2.0f, 1.0f});
    fx.scale.SetValue(25, nullptr); // factor 0.5
    fx.Apply(host);
    ExpectFloats(*fx.effect, "Scale", {4.0f, 2.0f});
}

TEST_F(ImageEffectInputsTest, RoadBDrawsTheGridInModeZeroAndThePictureOtherwise)
{
    DS_LightFX_II fx; // attaches with the grid
    LinkCommonRes(fx, kCommonResLightBlendEffect);
    Attached(fx);
    ASSERT_TRUE(fx.grid.HasBuffers());
    EXPECT_EQ(fx.grid.vertices.VertexCount(), 9);
    fx.scale.SetValue(25, nullptr);
    fx.SetCommonParams(host);
    ExpectFloats(*fx.effect, "Scale", {4.0f, 2.0f, 0.25f, 0.5f});
    fx.DrawWithTechnique(host);
    EXPECT_EQ(host.gridDraws, 1);
    fx.mode.value = 1;
    fx.DrawWithTechnique(host);
    EXPECT_EQ(host.gridDraws, 1);
    EXPECT_EQ(host.quadDraws, 1);
}

TEST_F(ImageEffectInputsTest, APictureOfSizeZeroSetsAndDrawsNothing)
{
    DS_BackgroundCopy fx;
    Attached(fx);
    fx.rectangle.centreX.value = 64;
    RecordingHost empty{0, 320};
    fx.Apply(empty);
    RecordingHost flat{640, 0};
    fx.Apply(flat);
    fx.SetCommonParams(flat);
    EXPECT_EQ(empty.quadDraws + flat.quadDraws, 0);
    ExpectFloats(*fx.effect, "offset", {0.0f, 0.0f});
    // And with the picture, the copy's offset is the extra value over W.
    fx.Apply(host);
    ExpectFloats(*fx.effect, "offset", {0.1f, 0.0f});
    fx.flagX.value = 1;
    fx.flagY.value = 1;
    fx.Apply(host);
    ExpectFloats(*fx.effect, "offset", {1.1f, 1.0f});
}

// An effect whose mode reads the picture drawn so far took it from the
// target; when it cannot draw (no picture size on the host, a pattern brush
// without its pattern) it draws that picture back plain ("Copy"). In mode 0
// it took nothing and draws nothing.
TEST_F(ImageEffectInputsTest, AnEffectThatTookThePictureAndCannotDrawGivesItBack)
{
    DS_PatternBrush pattern; // its default link names no pattern
    DS_WavesFX waves;
    DS_LightFX_II light;
    LinkCommonRes(light, 190); // the light blend effect
    light.blendMode.value = 1;
    struct Case {
        const char* name;
        DS_FX_Constructor* fx;
        std::uint32_t width, height;
    };
    const Case cases[] = {{"pattern brush without its pattern", &pattern, 640, 320},
                          {"waves on a picture of no width", &waves, 0, 320},
                          {"blended light on a picture of no height", &light, 640, 0}};
    const auto picture = quad_test::MakeTexture(*device, 1, 1, {0xFF00FF00u});
    for (const Case& c : cases) {
        for (const std::int32_t mode : {0, 1}) {
            SCOPED_TRACE(std::string(c.name) + ", mode " + std::to_string(mode));
            Attached(*c.fx);
            c.fx->mode.value = mode;
            RecordingHost taker{c.width, c.height};
            taker.target = picture.Get();
            c.fx->Apply(taker);
            const bool took = c.fx->NeedsRenderTarget() != 0;
            EXPECT_EQ(taker.techniques, took ? std::vector<std::string>{"Copy"} : std::vector<std::string>{});
            EXPECT_EQ(taker.gridDraws, 0);
        }
    }
}

TEST_F(ImageEffectInputsTest, WavesVectorsFollowAngleAndReverseFlag)
{
    struct Case {
        std::uint32_t angle;
        std::int32_t reverse;
        std::vector<float> direction, across;
    };
    const Case cases[] = {{0, 0, {-1.0f, 0.0f}, {0.0f, 1.0f}},
                          {0, 1, {-1.0f, 0.0f}, {-1.0f, 0.0f}},
                          {90, 0, {0.0f, 1.0f}, {1.0f, 0.0f}}};
    DS_WavesFX fx;
    Attached(fx);
    SetLevel(fx, 0.5f);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " " << c.reverse);
        fx.angle.SetValue(c.angle, nullptr);
        fx.reverse.SetValue(c.reverse, nullptr);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "direction", c.direction);
        ExpectFloats(*fx.effect, "direction_n", c.across);
    }
    ExpectFloats(*fx.effect, "frequency", {1.0f / 0.026f}, 1e-3f);
    ExpectFloats(*fx.effect, "amplitude", {0.0125f * 0.5f});
    RunTo(fx, 0.2f); // speed factor 25
    fx.Apply(host);
    ExpectFloats(*fx.effect, "time", {0.2f * 25.0f * 0.08f});
}

TEST_F(ImageEffectInputsTest, LightFlickerAtPhaseZero)
{
    const float noise = (float(SumPerlinOctaves(2, 0.0, 75.0, 0.5)) + 1.0f) * 0.5f;
    struct Case {
        std::int32_t flickerMode;
        float flicker;
    };
    // Mode 1 gives 0 at exactly 0.5 (not greater than 0.5).
    const Case cases[] = {{0, 0.5f}, {-3, 0.5f}, {1, 0.0f}, {2, noise}, {7, noise}};
    DS_LightFX fx;
    Attached(fx);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flickerMode);
        fx.flickerMode.value = c.flickerMode;
        fx.Apply(host);
        ExpectFloats(*fx.effect, "multiplier", {0.4f * c.flicker});
    }
}

TEST_F(ImageEffectInputsTest, LightTwoTechniquesAndRenderTargetAnswers)
{
    struct Case {
        std::int32_t blendMode;
        const char* technique;
        int needsTarget;
    };
    // A blend mode outside 0..4 plays as the normal blend.
    const Case cases[] = {{0, "Blend_Normal", 0},     {1, "Blend_Screen", 1}, {2, "Blend_ColorDodge", 1},
                          {3, "Linear_Dodge", 1},     {4, "Blend_Sum", 1},    {9, "Blend_Normal", 0},
                          {-1, "Blend_Normal", 0}};
    DS_LightFX_II fx;
    LinkCommonRes(fx, kCommonResLightBlendEffect);
    Attached(fx);
    fx.colour.value = 0x00FF8000; // blue 255, green 128, red 0
    fx.strength.SetValue(50, nullptr);
    fx.flickerMode.value = 0;
    SetLevel(fx, 0.5f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blendMode);
        fx.blendMode.value = c.blendMode;
        EXPECT_EQ(fx.NeedsRenderTarget(), c.needsTarget);
        fx.Apply(host);
        EXPECT_EQ(fx.effect->CurrentTechnique(), c.technique);
    }
    ExpectFloats(*fx.effect, "BlendColor", {0.0f, 128.0f / 255.0f, 1.0f, 0.25f});
    EXPECT_EQ(host.gridDraws, 0);
}

TEST_F(ImageEffectInputsTest, UnderwaterFrequencyKeepsTheWavelengthInPixels)
{
    DS_UnderwaterFX fx;
    Attached(fx);
    RecordingHost wide{1600, 800};
    fx.Apply(wide);
    ExpectFloats(*fx.effect, "frequency", {19.80198f, 9.90099f}, 1e-4f);
    ExpectFloats(*fx.effect, "amplitude", {0.00625f});
}

TEST_F(ImageEffectInputsTest, WaterInputs)
{
    DS_WaterFX fx;
    Attached(fx);
    EXPECT_NE(fx.bumpTexture, nullptr) << "the bump picture of the shared module";
    fx.angle.SetValue(0, nullptr);
    fx.Update(0.0f);
    fx.Apply(host);
    const float k = 0.02f;
    ExpectFloats(*fx.effect, "BampTrans", {k, 0.0f, 0.0f, k});
    ExpectFloats(*fx.effect, "P1", {-0.998f, -1.0f, -0.998f});
    ExpectFloats(*fx.effect, "P2", {1.0f, 1.0327f, 1.0f}, 1e-4f);
    ExpectFloats(*fx.effect, "Vhalf", {0.4472136f, 0.8944272f, 0.0f});
    ExpectFloats(*fx.effect, "Direction1", {-0.5f / 0.011f, 0.0f}, 1e-3f);
    ExpectFloats(*fx.effect, "Direction2", {-0.5f * 0.005f, 0.0f});
    ExpectFloats(*fx.effect, "Color", {1.0f, 1.0f, 1.0f});
    EXPECT_EQ(fx.effect->GetTexture("BumpMap"), fx.bumpTexture.Get());

    // The default angle 40 turns both drifts by 40 degrees, y positive.
    fx.angle.SetValue(40, nullptr);
    fx.Apply(host);
    const float c = std::cos(40.0f * 3.1415927f / 180.0f), s = std::sin(40.0f * 3.1415927f / 180.0f);
    ExpectFloats(*fx.effect, "Direction1", {c * -0.5f / 0.011f, s * -0.5f / 0.011f}, 1e-3f);

    // At phase pi / 9 the bump transform has turned a quarter.
    RunTo(fx, 3.1415927f / 9.0f);
    fx.Apply(host);
    ExpectFloats(*fx.effect, "BampTrans", {0.0f, -k, k, 0.0f}, 1e-5f);

    // Shape values outside 1..9999 are held there: P1 and P2 stay finite.
    struct Case {
        std::uint32_t shape;
        float t;
    };
    for (const Case& c : {Case{0, 0.0001f}, Case{30000, 0.9999f}, Case{5000, 0.5f}}) {
        SCOPED_TRACE(c.shape);
        fx.shape.SetValue(c.shape, nullptr);
        fx.Apply(host);
        const float q = 2.0f / c.t - 1.0f;
        ExpectFloats(*fx.effect, "P1", {c.t - 1.0f, -1.0f, c.t - 1.0f});
        ExpectFloats(*fx.effect, "P2", {1.0f, (std::sqrt(q) + q) / (q - 1.0f), 1.0f}, 1e-2f);
        for (float value : fx.effect->GetFloats("P2"))
            EXPECT_TRUE(std::isfinite(value));
    }
}

TEST_F(ImageEffectInputsTest, MoveDirectionForEachKindAndLevelZero)
{
    struct Case {
        std::int32_t kind;
        std::uint32_t second; // b value (0.0002 each)
        float level;
        std::vector<float> shift;
    };
    // Defaults a = b = 0.01, angle 0, phase 0 (waveform: kind 2 gives -1,
    // kind 3 gives 0).
    const Case cases[] = {
        {0, 50, 1.0f, {-0.01f, 0.0f}}, {1, 50, 1.0f, {0.01f, 0.0f}}, {-2, 50, 1.0f, {0.01f, 0.0f}},
        {2, 50, 1.0f, {0.01f, 0.0f}},  {2, 25, 1.0f, {0.005f, 0.0f}}, {3, 50, 1.0f, {0.0f, 0.0f}},
        {0, 50, 0.0f, {0.0f, 0.0f}},   {2, 50, 0.0f, {0.0f, 0.0f}},
    };
    DS_MoveFX fx;
    Attached(fx);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " b " << c.second << " level " << c.level);
        fx.kind.value = c.kind;
        fx.secondMagnitude.SetValue(c.second, nullptr);
        SetLevel(fx, c.level);
        fx.Restart();
        fx.Update(0.0f);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "Direction", c.shift);
    }
}

class PatternInputsTest : public ImageEffectInputsTest {
protected:
    // A pattern of `width` x `height` pixels with `frames` frames of 0.1 s.
    void GivePattern(DS_PatternBrush& fx, std::uint32_t width, std::uint32_t height, std::size_t frames,
                     std::size_t durations)
    {
        fx.pattern.sourceWidth = width;
        fx.pattern.sourceHeight = height;
        fx.pattern.frameTextures.clear();
        for (std::size_t i = 0; i < frames; ++i)
            fx.pattern.frameTextures.push_back(quad_test::MakeTexture(*device, 1, 1, {0xFF000000u | std::uint32_t(i)}));
        fx.pattern.frameDurations.assign(durations, 0.1f);
        fx.pattern.currentFrame = 0;
        fx.pattern.frameStart = 0.0f;
    }
};

TEST_F(PatternInputsTest, CoordinateTransformByAngleFlipsAndTileSize)
{
    DS_PatternBrush fx;
    Attached(fx);
    GivePattern(fx, 64, 32, 1, 0); // tile counts 10 and 10 on 640 x 320
    struct Case {
        std::uint32_t angle;
        std::int32_t flipX, flipY;
        std::uint32_t tileSize;
        std::vector<float> transform;
    };
    const Case cases[] = {
        {0, 0, 0, 100, {10.0f, 0.0f, 0.0f, 10.0f}},  {0, 1, 0, 100, {-10.0f, 0.0f, 0.0f, 10.0f}},
        {0, 0, 1, 100, {10.0f, 0.0f, 0.0f, -10.0f}}, {90, 0, 0, 100, {0.0f, 10.0f, -10.0f, 0.0f}},
        {0, 0, 0, 200, {5.0f, 0.0f, 0.0f, 5.0f}},    {0, 0, 0, 0, {10.0f, 0.0f, 0.0f, 10.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " " << c.flipX << c.flipY << " " << c.tileSize);
        fx.angle.value = c.angle;
        fx.flipX.value = c.flipX;
        fx.flipY.value = c.flipY;
        fx.tileSize.SetValue(c.tileSize, nullptr);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "coord_transf", c.transform, 1e-4f);
    }
    ExpectFloats(*fx.effect, "scale", {2.0f, 1.0f});
    fx.offsetX.SetValue(10, nullptr);
    fx.offsetY.SetValue(20, nullptr);
    fx.Apply(host);
    ExpectFloats(*fx.effect, "offset", {-0.1f, 0.2f});
}

TEST_F(PatternInputsTest, MixColourAlphaIsTheLevelOnlyInTimingModeOne)
{
    DS_PatternBrush fx;
    Attached(fx);
    GivePattern(fx, 8, 8, 1, 0);
    SetLevel(fx, 0.25f);
    for (std::int32_t mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        fx.timing.clockMode.value = mode;
        fx.Apply(host);
        ExpectFloats(*fx.effect, "mix_color", {1.0f, 1.0f, 1.0f, mode == 1 ? 0.25f : 1.0f});
    }
    // Without a pattern (or one of width 0) only "mix_color" is set.
    for (auto [w, h] : {std::pair{0u, 8u}, std::pair{8u, 0u}}) {
        const int before = host.quadDraws;
        GivePattern(fx, w, h, 1, 0);
        fx.Apply(host);
        EXPECT_EQ(host.quadDraws, before);
    }
}

TEST_F(PatternInputsTest, AnimatedPatternStepsAfterMoreThanItsDurationAndWrapsWithinTheFrames)
{
    DS_PatternBrush fx;
    Attached(fx);
    // Three durations but two textures: the frames are two.
    GivePattern(fx, 8, 8, 2, 3);
    fx.Update(0.0f);
    fx.Update(0.1f); // exactly 0.1 of phase: no step
    EXPECT_EQ(fx.pattern.currentFrame, 0);
    fx.Update(0.15f);
    EXPECT_EQ(fx.pattern.currentFrame, 1);
    fx.Apply(host);
    EXPECT_EQ(fx.effect->GetTexture("Pattern"), fx.pattern.frameTextures[1].Get());
    fx.Update(0.3f);
    EXPECT_EQ(fx.pattern.currentFrame, 0);
    // An index left outside the frames never binds past them.
    fx.pattern.currentFrame = 5;
    fx.Apply(host);
    EXPECT_EQ(fx.effect->GetTexture("Pattern"), nullptr);
    fx.Update(0.35f);
    EXPECT_EQ(fx.pattern.currentFrame, 0);
}

TEST_F(ImageEffectInputsTest, BrushAnswersOneSwitchOnlyWhenEnabledWithAModeAndAnEffect)
{
    DS_MoveFX description;
    description.mode.value = 2;
    auto object = description.CreateRenderObject();
    auto& brush = dynamic_cast<DS_BrushObj&>(*object);
    EXPECT_EQ(brush.GetKind(), 4);
    ASSERT_NE(brush.Effect()->effect, nullptr);
    EXPECT_EQ(brush.NeedsRenderTarget(), 1);
    brush.SetEnabled(0);
    EXPECT_EQ(brush.NeedsRenderTarget(), 0);
    brush.SetEnabled(1);
    brush.Effect()->mode.value = 0;
    EXPECT_EQ(brush.NeedsRenderTarget(), 0);

    // A link that gives nothing: no effect, no switch, nothing drawn.
    DS_MoveFX missing;
    missing.mode.value = 1;
    missing.effectLink = DS_HLSLEffectFile(12345, kCommonResModule);
    auto empty = missing.CreateRenderObject();
    EXPECT_EQ(empty->NeedsRenderTarget(), 0);
    empty->Render(host);
    EXPECT_EQ(host.quadDraws, 0);

    // Bytes this platform cannot run take the class's built-in effect.
    ModuleResourceBlob hlsl(u"move.fx");
    hlsl.SetBytes({'f', 'l', 'o', 'a', 't', '4', ' ', 'm', 'a', 'i', 'n'});
    manager->GetResourceRecords(LinkKey{u"hlsl\\move.fx", 3}).push_back(hlsl);
    DS_MoveFX foreign;
    foreign.effectLink.StorePathAndId(u"hlsl\\move.fx", 3);
    auto fallback = foreign.CreateRenderObject();
    EXPECT_EQ(static_cast<DS_BrushObj&>(*fallback).Effect()->effect, manager->GetBuiltinEffect("move"));
}

TEST_F(ImageEffectInputsTest, SavingPutsA512CopyOfTheMaskUnderTheKey)
{
    DS_MoveFX fx;
    fx.mask = quad_test::MakeTexture(*device, 4, 2, std::vector<std::uint32_t>(8, 0xFFFFFFFFu));
    RecordingArchive archive;
    fx.Save(ArchiveWriter(archive));
    const gfx::Ref<gfx::Texture>& saved = manager->GetGuidTexture(fx.key);
    ASSERT_NE(saved, nullptr);
    EXPECT_NE(saved.Get(), fx.mask.Get());
    EXPECT_EQ(LevelZeroSize(saved.Get()).width, 512u);
    EXPECT_EQ(LevelZeroSize(saved.Get()).height, 512u);
}

TEST_F(ImageEffectInputsTest, TheGridFollowsTheRegionAndKeepsItWhenThePictureHasNoSize)
{
    DS_LightFX_II fx;
    fx.region.corners[0].value = {0.0f, 0.0f, 0.0f};
    fx.region.corners[1].value = {100.0f, 0.0f, 0.0f};
    fx.region.corners[2].value = {0.0f, 50.0f, 0.0f};
    fx.region.corners[3].value = {100.0f, 50.0f, 0.0f};
    manager->ScreenInfoRecord().pictureWidth = 200;
    manager->ScreenInfoRecord().pictureHeight = 100;
    fx.Attach(fx.GetTextureHolder());
    const auto filled = quad_test::BufferRecords<TexturedQuadVertex>(fx.grid.vertices.Buffer());
    ASSERT_EQ(filled.size(), 9u);
    EXPECT_FLOAT_EQ(filled[8].x, 100.0f);
    EXPECT_FLOAT_EQ(filled[8].u, 0.5f);
    EXPECT_FLOAT_EQ(filled[8].v, 0.5f);
    EXPECT_FLOAT_EQ(filled[4].u, 0.25f);

    manager->ScreenInfoRecord().pictureWidth = 0;
    fx.region.corners[3].value = {200.0f, 100.0f, 0.0f};
    fx.RebuildQuadMesh();
    const auto kept = quad_test::BufferRecords<TexturedQuadVertex>(fx.grid.vertices.Buffer());
    EXPECT_FLOAT_EQ(kept[8].x, 100.0f);
    EXPECT_FLOAT_EQ(kept[8].u, 0.5f);
}

TEST(ImageEffectBrushTest, WithoutAResourceManagerNothingIsAttached)
{
    DS_MoveFX description;
    description.mode.value = 1;
    auto object = description.CreateRenderObject();
    EXPECT_EQ(object->NeedsRenderTarget(), 0);
    RecordingHost host{64, 64};
    object->Render(host);
    EXPECT_EQ(host.quadDraws, 0);
}

} // namespace
} // namespace image_effect_test
