// The inputs each distortion effect sets on its effect, against the numbers
// its stored values give, read back from the effect on a recording host.

#include <cmath>

#include "effects/CentreDistortionFX.h"
#include "effects/FlowFieldFX.h"
#include "effects/LineDistortionFX.h"
#include "effects/WaterfallCloudFX.h"
#include "tests/render/QuadTestSupport.h"
#include "render/RenderContext.h"
#include "tests/effects/DistortionTestSupport.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"

namespace image_effect_test {
namespace {

class DistortionInputsTest : public docres_test::ManagerDeviceTest {
protected:
    void SetUp() override
    {
        ManagerDeviceTest::SetUp();
        manager->ScreenInfoRecord().pictureWidth = 200;
        manager->ScreenInfoRecord().pictureHeight = 100;
        context.pictureWidth = 400.0f;
        context.pictureHeight = 200.0f;
        contextScope = std::make_unique<CurrentRenderContextScope>(&context);
    }
    void TearDown() override
    {
        contextScope.reset();
        ManagerDeviceTest::TearDown();
    }

    // Attaches `fx` as its brush object would; classes without a default
    // link get their built-in effect through bytes they cannot run.
    template <class T>
    T& Attached(T& fx)
    {
        if (fx.effectLink.Path().empty())
            LinkForeignEffect(*manager, fx);
        fx.Attach(&manager->GetGuidTexture(fx.key));
        EXPECT_NE(fx.effect, nullptr) << "no effect";
        return fx;
    }

    RecordingHost host{640, 320};
    RenderContext context;
    std::unique_ptr<CurrentRenderContextScope> contextScope;
};

TEST_F(DistortionInputsTest, EveryClassHasItsEffectWithBothTechniquesAndTheCommonInputs)
{
    DS_ExpandFX expand;
    DS_RadialWaveFX wave;
    DS_RotationFX rotation;
    DS_BendFX bend;
    DS_PerspectiveFX perspective;
    DS_StretchFX stretch;
    DS_VarrowLinear linear;
    DS_VarrowRadial radial;
    DS_VarrowVortical vortex;
    DS_WaterfallFX waterfall;
    DS_CloudFX cloud;
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{
             &expand, &wave, &rotation, &bend, &perspective, &stretch, &linear, &radial, &vortex, &waterfall,
             &cloud}) {
        SCOPED_TRACE(fx->BuiltinEffectName());
        Attached(*fx);
        ASSERT_TRUE(fx->effect);
        EXPECT_EQ(fx->effect->SetTechnique("Main"), gfx::kOk);
        EXPECT_EQ(fx->effect->SetTechnique("MainFX"), gfx::kOk);
        for (const char* name : {"Scale", "Mask", "Background"})
            EXPECT_TRUE(fx->effect->HasParameter(name)) << name;
    }
    EXPECT_EQ(waterfall.effect->SetTechnique("Noise"), gfx::kOk);
    EXPECT_EQ(waterfall.effect->SetTechnique("ColorWaves"), gfx::kOk);
    // Expand and the radial wave link the shared module; the others have
    // no default link.
    EXPECT_EQ(DS_ExpandFX().effectLink.Id(), kCommonResExpandEffect);
    EXPECT_EQ(DS_RadialWaveFX().effectLink.Id(), kCommonResRadialWaveEffect);
    EXPECT_TRUE(DS_BendFX().effectLink.Path().empty());
}

TEST_F(DistortionInputsTest, ExpandSendsItsAmplitudeAsOutwardAndInwardParts)
{
    struct Case {
        std::int32_t kind;
        std::uint32_t a, b;
        float level;
        std::vector<float> amplitude;
    };
    const Case cases[] = {
        {0, 50, 20, 1.0f, {0.25f, 0.0f}}, // kind 0: A
        {1, 50, 20, 1.0f, {0.0f, 0.1f}},  // kind 1: -B
        {0, 50, 20, 0.5f, {0.125f, 0.0f}},
        {0, 0, 20, 1.0f, {0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " level " << c.level);
        DS_ExpandFX fx;
        fx.kind.value = c.kind;
        fx.outward.SetValue(c.a, nullptr);
        fx.inward.SetValue(c.b, nullptr);
        fx.centre.value = {100.0f, 50.0f, 0.0f};
        HoldLevel(fx, c.level);
        Attached(fx);
        fx.Update(0.1f);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "amplitude", c.amplitude);
        ExpectFloats(*fx.effect, "Center", {0.25f, 0.25f});
    }
    // "Scale" is set as four floats, then as two: the last two keep road B's.
    DS_ExpandFX fx;
    fx.scale.SetValue(25, nullptr);
    Attached(fx);
    fx.Apply(host);
    ExpectFloats(*fx.effect, "Scale", {4.0f, 2.0f, 0.25f, 0.5f});
    EXPECT_EQ(host.quadDraws, 5);
}

TEST_F(DistortionInputsTest, ExpandSwingsBetweenMinusBAndAWithTheWaveform)
{
    DS_ExpandFX fx;
    fx.kind.value = 3; // sine
    fx.outward.SetValue(60, nullptr); // 0.3
    fx.inward.SetValue(20, nullptr);  // 0.1
    HoldLevel(fx, 1.0f);
    RunClockTo(fx, 3.1415927f / 2.0f); // phase pi / 2 at factor 1: sine 1
    EXPECT_NEAR(fx.current, 0.3f, 1e-4f);
    RunClockTo(fx, 3.0f * 3.1415927f / 2.0f, 3.1415927f / 2.0f);
    EXPECT_NEAR(fx.current, -0.1f, 1e-4f);
}

TEST_F(DistortionInputsTest, RadialWaveIsRoundAtTheDefaultWidthOnAnyAspect)
{
    struct Case {
        std::uint32_t w, h;
        std::uint32_t widthValue;
        float expected;
    };
    const Case cases[] = {{600, 600, 50, 1.0f}, {800, 600, 50, 0.75f}, {800, 600, 0, 3.0f * 0.75f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h << " width " << c.widthValue);
        DS_RadialWaveFX fx;
        fx.width.SetValue(c.widthValue, nullptr);
        Attached(fx);
        RecordingHost sized{c.w, c.h};
        fx.Apply(sized);
        ExpectFloats(*fx.effect, "bg_scale_factor", {1.0f, c.expected});
    }
}

TEST_F(DistortionInputsTest, RadialWaveTakesItsCentreFromTheScreenPictureAndRunsByItsFlag)
{
    DS_RadialWaveFX fx;
    fx.centre.value = {50.0f, 25.0f, 0.0f};
    fx.wavelength.SetValue(90, nullptr); // 0.01
    fx.amplitude.SetValue(100, nullptr); // 0.025
    HoldLevel(fx, 0.5f);
    Attached(fx);
    RunClockTo(fx, 0.1f); // phase 5 at factor 50
    fx.Apply(host);
    ExpectFloats(*fx.effect, "center", {0.25f, 0.25f});
    ExpectFloats(*fx.effect, "frequency", {100.0f}, 1e-3f);
    ExpectFloats(*fx.effect, "amplitude", {0.0125f});
    ExpectFloats(*fx.effect, "time", {-0.4f});
    fx.outwardFlag.value = 1;
    fx.Apply(host);
    ExpectFloats(*fx.effect, "time", {0.4f});
    // A screen picture of size 0 leaves the centre as it was.
    manager->ScreenInfoRecord().pictureWidth = 0;
    fx.centre.value = {10.0f, 10.0f, 0.0f};
    fx.Apply(host);
    ExpectFloats(*fx.effect, "center", {0.25f, 0.25f});
}

TEST_F(DistortionInputsTest, RotationMatrixByAspectAndTilt)
{
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    struct Case {
        const char* what;
        std::uint32_t aspect;
        std::uint32_t tilt;
        std::vector<float> transform;
    };
    const Case cases[] = {
        {"plain", 1000, 0, {c, s, -s, c}},
        // A factor of 0 turns plainly instead of dividing by zero.
        {"aspect 0", 0, 0, {c, s, -s, c}},
        {"aspect 2", 2000, 0, {c, 2.0f * s, -s / 2.0f, c}},
        // Tilted by 90 degrees the stretched axes swap.
        {"aspect 2 tilt 90", 2000, 90, {c, s / 2.0f, -2.0f * s, c}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        DS_RotationFX fx;
        fx.aspect.SetValue(k.aspect, nullptr);
        fx.tilt.value = k.tilt;
        fx.speed.SetValue(200, nullptr); // factor 1
        Attached(fx);
        RunClockTo(fx, 0.5f);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "coord_transf", k.transform);
        for (float value : fx.effect->GetFloats("coord_transf"))
            EXPECT_TRUE(std::isfinite(value));
    }
}

TEST_F(DistortionInputsTest, RotationReversesTakesItsOffsetAndItsOpacityInTimingModeOne)
{
    DS_RotationFX fx;
    EXPECT_EQ(fx.timing.clockMode.value, KXI_SmartTiming::kClockScaledByLevel);
    EXPECT_EQ(fx.category, 6);
    fx.centre.value = {100.0f, 50.0f, 0.0f};
    fx.reverse.value = 1;
    fx.speed.SetValue(200, nullptr);
    HoldLevel(fx, 0.4f);
    Attached(fx);
    RunClockTo(fx, 0.5f);
    EXPECT_FLOAT_EQ(fx.angle, -0.5f);
    fx.Apply(host);
    ExpectFloats(*fx.effect, "offset", {-0.25f, -0.25f});
    ExpectFloats(*fx.effect, "mix_color", {1.0f, 1.0f, 1.0f, 1.0f});
    fx.timing.clockMode.value = 1;
    fx.Apply(host);
    ExpectFloats(*fx.effect, "mix_color", {1.0f, 1.0f, 1.0f, 0.4f});
}

TEST_F(DistortionInputsTest, BendAnglesByKindAtTheTimelineLevel)
{
    struct Case {
        std::int32_t kind;
        float level;
        float angle;
    };
    // A = 0.2, B = 0.1: kind 0 gives -A, kind 1 gives A (expand's opposite).
    const Case cases[] = {{0, 1.0f, -0.2f}, {1, 1.0f, 0.2f}, {1, 0.5f, 0.1f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " level " << c.level);
        DS_BendFX fx;
        fx.kind.value = c.kind;
        fx.amplitudeA.SetValue(100, nullptr);
        fx.amplitudeB.SetValue(50, nullptr);
        fx.bend.SetValue(25, nullptr);
        fx.centre.value = {200.0f, 100.0f, 0.0f};
        HoldLevel(fx, c.level);
        Attached(fx);
        fx.Update(0.1f);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "Angle", {c.angle});
        ExpectFloats(*fx.effect, "Bend", {0.5f});
        ExpectFloats(*fx.effect, "Center", {0.5f, 0.5f});
        // Road B: the grid in mode 0.
        EXPECT_EQ(host.gridDraws, 1);
        host.gridDraws = 0;
    }
}

TEST_F(DistortionInputsTest, BendAttachesThroughTheCentreWithItsGrid)
{
    DS_BendFX fx;
    fx.keepId = 0;
    Attached(fx);
    EXPECT_EQ(fx.centre.value.x, 100.0f);
    EXPECT_EQ(fx.centre.value.y, 50.0f);
    ASSERT_TRUE(fx.grid.HasBuffers());
    EXPECT_EQ(fx.grid.vertices.VertexCount(), 9);
}

TEST_F(DistortionInputsTest, PerspectiveAmplitudesByKindAndWithNothingToDivideBy)
{
    struct Case {
        const char* what;
        std::uint32_t a, b;
        std::int32_t kind;
        float amplitude, pAmplitude;
    };
    // Depth factor value 1 (10).
    const Case cases[] = {
        {"A 0.2, B 0.1, kind 0", 100, 50, 0, (std::cos(1.0f) - 1.0f) * 0.2f, std::sin(1.0f) * 10.0f * 2.0f},
        {"A 0.2, B 0.1, kind 1", 100, 50, 1, (std::cos(1.0f) - 1.0f) * 0.1f, -std::sin(1.0f) * 10.0f * 1.0f},
        {"both 0", 0, 0, 0, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DS_PerspectiveFX fx;
        fx.amplitudeA.SetValue(c.a, nullptr);
        fx.amplitudeB.SetValue(c.b, nullptr);
        fx.depth.SetValue(1, nullptr);
        fx.kind.value = c.kind;
        HoldLevel(fx, 1.0f);
        Attached(fx);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "amplitude", {c.amplitude}, 1e-4f);
        ExpectFloats(*fx.effect, "p_amplitude", {c.pAmplitude}, 1e-4f);
        for (const char* name : {"Center", "Ln", "Lt", "t", "n"})
            EXPECT_FALSE(fx.effect->GetFloats(name).empty()) << name;
    }
}

TEST_F(DistortionInputsTest, StretchAmplitudeByKindAtTheTimelineLevel)
{
    struct Case {
        std::int32_t kind;
        float level;
        float amplitude;
    };
    // A = 0.3, B = 0.2: kind 0 gives -B, kind 1 gives A (expand's opposite).
    const Case cases[] = {{0, 1.0f, -0.2f}, {1, 1.0f, 0.3f}, {1, 0.5f, 0.15f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " level " << c.level);
        DS_StretchFX fx;
        fx.kind.value = c.kind;
        fx.amplitudeA.SetValue(30, nullptr);
        fx.amplitudeB.SetValue(20, nullptr);
        HoldLevel(fx, c.level);
        Attached(fx);
        fx.Update(0.1f);
        fx.Apply(host);
        ExpectFloats(*fx.effect, "amplitude", {c.amplitude});
    }
}

TEST_F(DistortionInputsTest, FlowsSendTheCycleAndTheirFields)
{
    DS_VarrowLinear linear;
    linear.magnitude.SetValue(250, nullptr); // 0.5
    linear.angle.SetValue(90, nullptr);
    DS_VarrowRadial radial;
    radial.amplitude.SetValue(100, nullptr); // 0.5
    DS_VarrowVortical vortex;
    vortex.amplitude.SetValue(100, nullptr);
    vortex.reverse.value = 2;
    vortex.ellipseAngle.value = 90;
    vortex.ellipseDeform.SetValue(250, nullptr);
    vortex.centre.value = {100.0f, 50.0f, 0.0f};
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&linear, &radial, &vortex}) {
        fx->speed.SetValue(10, nullptr); // factor 1: the phase is the time
        Attached(*fx);
        RunClockTo(*fx, 7.0f);
        fx->Apply(host);
        ExpectFloats(*fx->effect, "Shift", {7.0f / 6.2831855f - 1.0f}, 1e-4f);
    }
    ExpectFloats(*linear.effect, "Direction", {0.0f, -0.5f});
    ExpectFloats(*radial.effect, "Amplitude", {0.0f, 0.5f});
    radial.outwardFlag.value = 1;
    radial.Apply(host);
    ExpectFloats(*radial.effect, "Amplitude", {0.5f, 0.0f});
    // Reverse flag 2 keeps the amplitude positive; only 1 negates it.
    ExpectFloats(*vortex.effect, "Amplitude", {0.5f});
    ExpectFloats(*vortex.effect, "ElipsDeform", {0.25f});
    ExpectFloats(*vortex.effect, "Center", {0.25f, 0.25f});
    // RotationZ(90 degrees) and its inverse, rows (c, s) and (-s, c).
    ExpectFloats(*vortex.effect, "r_matrix2", {0.0f, 1.0f, 0.0f, 0.0f, -1.0f, 0.0f}, 1e-6f);
    ExpectFloats(*vortex.effect, "r_matrix3", {0.0f, -1.0f, 0.0f, 0.0f, 1.0f, 0.0f}, 1e-6f);
    vortex.reverse.value = 1;
    vortex.Apply(host);
    ExpectFloats(*vortex.effect, "Amplitude", {-0.5f});
    EXPECT_EQ(host.gridDraws, 5);
}

// A waterfall falling straight down (angle 270, magnitude 1) with a
// translucency factor of 0.5, its clock at phase 0.1 with 4 layers.
class WaterfallInputsTest : public DistortionInputsTest {
protected:
    DS_WaterfallFX& Waterfall(std::uint32_t layers)
    {
        fx.layerCount.value = layers;
        fx.translucency.SetValue(50, nullptr);
        fx.magnitude.SetValue(250, nullptr);
        fx.angle.SetValue(270, nullptr);
        fx.speed.SetValue(5, nullptr); // factor 0.1
        Attached(fx);
        RunClockTo(fx, 1.0f);
        return fx;
    }

    DS_WaterfallFX fx;
};

TEST_F(WaterfallInputsTest, LayersAreStaggeredAndFadeInAndOut)
{
    Waterfall(4);
    ASSERT_EQ(fx.layers.size(), 4u);
    const float fractions[4] = {0.1f, 0.35f, 0.6f, 0.85f};
    const float translucencies[4] = {0.2f, 0.7f, 0.8f, 0.3f};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(fx.layers[i].shiftX, 0.0f, 1e-5f);
        EXPECT_NEAR(fx.layers[i].shiftY, -fractions[i], 1e-4f);
        EXPECT_NEAR(fx.layers[i].translucency, translucencies[i] * 0.5f, 1e-4f);
    }
    fx.Apply(host);
    EXPECT_EQ(host.gridDraws, 4);
    EXPECT_EQ(host.techniques.back(), "ColorWaves");
    // The last layer's inputs are the ones left on the effect.
    ExpectFloats(*fx.effect, "shift", {0.0f, -0.85f}, 1e-4f);
    ExpectFloats(*fx.effect, "transluency", {0.15f}, 1e-4f);
    ExpectFloats(*fx.effect, "treshold", {1.0f});
}

TEST_F(WaterfallInputsTest, HiddenOrWithoutLayersAndNoiseItDrawsNothing)
{
    Waterfall(4);
    fx.hidden.value = 1;
    fx.Apply(host);
    EXPECT_EQ(host.gridDraws, 0);
    DS_WaterfallFX empty;
    Attached(empty);
    empty.Apply(host);
    EXPECT_EQ(host.gridDraws + host.quadDraws, 0);
}

TEST_F(WaterfallInputsTest, AHugeStoredLayerCountKeepsAtMostTheCap)
{
    Waterfall(0xFFFFFFFFu);
    EXPECT_EQ(fx.layers.size(), DS_WaterfallFX::kMaxLayers);
    EXPECT_EQ(fx.layerCount.value, 0xFFFFFFFFu);
    // The stagger follows the kept count.
    EXPECT_NEAR(fx.layers[1].shiftY - fx.layers[0].shiftY, -1.0f / 64.0f, 1e-4f);
    fx.Apply(host);
    EXPECT_EQ(host.gridDraws, 64);
}

TEST_F(WaterfallInputsTest, TheNoisePassScrollsTheNoisePicture)
{
    const LinkKey noise{u"pictures\\noise.bmp", 5};
    manager->GetTexture(DS_ImageFileLink(noise.id, noise.path)).AddTexture(
        TextureRef{quad_test::MakeTexture(*device, 2, 2, std::vector<std::uint32_t>(4, 0xFF808080u))});
    fx.noiseLink.StorePathAndId(noise.path, noise.id);
    fx.noiseAmplitude.SetValue(100, nullptr);
    fx.scale.SetValue(25, nullptr); // s = 0.5
    Waterfall(0);
    fx.Apply(host);
    EXPECT_EQ(host.gridDraws, 1);
    EXPECT_EQ(host.techniques.back(), "Noise");
    EXPECT_NE(fx.effect->GetTexture("NoiseMap"), nullptr);
    ExpectFloats(*fx.effect, "bump_scale", {4.0f, 2.0f});
    ExpectFloats(*fx.effect, "noise_amplitude", {0.01f});
    // Down by a tenth of the phase over the scale.
    ExpectFloats(*fx.effect, "noise_shift", {0.0f, -0.1f * 0.1f / 0.5f}, 1e-5f);
}

TEST_F(DistortionInputsTest, CloudDefaultsGiveTheIdentityProjectionAndAWholeRegionTheWholeMask)
{
    DS_CloudFX fx;
    const float w = 200.0f, h = 100.0f;
    // Corner 2 top right, corner 3 bottom right.
    const math::Vec3 corners[4] = {{0, 0, 0}, {0, h, 0}, {w, 0, 0}, {w, h, 0}};
    for (int i = 0; i < 4; ++i)
        fx.region.corners[i].value = corners[i];
    fx.angle.SetValue(0, nullptr);
    fx.speed.SetValue(1000, nullptr); // factor 1
    fx.threshold.SetValue(50, nullptr);
    fx.density.SetValue(25, nullptr);
    fx.colour1.value = 0x0000FF;
    fx.colour2.value = 0xFF0000;
    const LinkKey clouds{u"pictures\\clouds.bmp", 6};
    manager->GetTexture(DS_ImageFileLink(clouds.id, clouds.path)).AddTexture(
        TextureRef{quad_test::MakeTexture(*device, 2, 2, std::vector<std::uint32_t>(4, 0xFFFFFFFFu))});
    fx.cloudLink.StorePathAndId(clouds.path, clouds.id);
    Attached(fx);
    RunClockTo(fx, 0.5f);
    fx.Apply(host);
    ExpectFloats(*fx.effect, "PX_Transform", {0.0f});
    ExpectFloats(*fx.effect, "PY_TransformH", {1.0f});
    ExpectFloats(*fx.effect, "PY_TransformZ", {0.0f});
    ExpectFloats(*fx.effect, "tex_shift", {1.0f, 1.0f, 0.0f, 0.0f});
    ExpectFloats(*fx.effect, "mask_tex_shift", {1.0f, 0.0f, 1.0f, 0.0f});
    ExpectFloats(*fx.effect, "Scale", {2.0f / 0.4f, 1.0f / 0.4f});
    ExpectFloats(*fx.effect, "Threshold", {2.0f});
    ExpectFloats(*fx.effect, "Density", {0.5f});
    ExpectFloats(*fx.effect, "ColorK1", {1.0f, 0.0f, 0.0f});
    ExpectFloats(*fx.effect, "ColorK2", {0.0f, 0.0f, 1.0f});
    ExpectFloats(*fx.effect, "Velocity", {-0.5f, 0.0f}, 1e-4f);
    EXPECT_NE(fx.effect->GetTexture("Background"), nullptr);
    EXPECT_EQ(host.gridDraws, 1);

    // The perspective with its values: b = 3, c = 2, e = 0.2, flipped.
    fx.perspective.horizon.SetValue(100, nullptr);
    fx.perspective.height.SetValue(8, nullptr);
    fx.perspective.shift.SetValue(20, nullptr);
    fx.perspective.flip.value = 1;
    fx.Apply(host);
    ExpectFloats(*fx.effect, "PX_Transform", {2.0f / 3.0f});
    ExpectFloats(*fx.effect, "PY_TransformH", {2.0f / 3.0f + 1.0f});
    ExpectFloats(*fx.effect, "PY_TransformZ", {2.0f});
    ExpectFloats(*fx.effect, "tex_shift", {1.0f, -1.0f, -0.2f, 1.0f});

    // Without its cloud picture the cloud draws nothing.
    DS_CloudFX bare;
    Attached(bare);
    bare.Apply(host);
    EXPECT_EQ(host.gridDraws, 2);
}

} // namespace
} // namespace image_effect_test
