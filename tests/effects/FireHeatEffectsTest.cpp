// The fire, day-to-night and heat-shimmer effects: their stored levels, the
// inputs they set against the numbers their values give, the fire's grid
// and clip-plane handling, read back from their effects on a recording
// host.

#include <cmath>

#include "effects/DayNightHeatFX.h"
#include "effects/FireFX.h"
#include "platform/gfx/Device.h"
#include "render/RenderContext.h"
#include "render/Timing.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/render/QuadTestSupport.h"
#include "tests/support/RecordingArchive.h"

namespace image_effect_test {
namespace {

using namespace image_effect_writer;

class FixedLevel : public KXI_Timing {
public:
    explicit FixedLevel(float level) { m_level = level; }
};

void SetLevel(DS_FX_Constructor& fx, float level)
{
    fx.timing.SetTimeline(std::make_unique<FixedLevel>(level));
}

// A host that also notes the clip-plane state each draw ran with.
class ClipPlaneHost : public RecordingHost {
public:
    using RecordingHost::RecordingHost;
    void DrawIndexedWithEffect(QuadBatchBuffer& item, gfx::Effect& effect) override
    {
        NoteClipPlanes();
        RecordingHost::DrawIndexedWithEffect(item, effect);
    }
    void DrawWithEffect(TexturedQuad& quad, gfx::Effect& effect) override
    {
        NoteClipPlanes();
        RecordingHost::DrawWithEffect(quad, effect);
    }
    void NoteClipPlanes()
    {
        std::uint32_t state = 0;
        GetResourceDevice()->GetRenderState(gfx::RenderState::ClipPlaneEnable, &state);
        clipPlanesWhileDrawing.push_back(state);
    }
    std::vector<std::uint32_t> clipPlanesWhileDrawing;
};

class FireHeatEffectsTest : public docres_test::ManagerDeviceTest {
protected:
    void SetUp() override
    {
        docres_test::ManagerDeviceTest::SetUp();
        context.projection = math::Matrix{};
        scope = std::make_unique<CurrentRenderContextScope>(&context);
    }
    void TearDown() override
    {
        scope.reset();
        docres_test::ManagerDeviceTest::TearDown();
    }

    template <class T>
    T& Attached(T& fx)
    {
        fx.Attach(&manager->GetGuidTexture(fx.key));
        return fx;
    }

    RenderContext context;
    std::unique_ptr<CurrentRenderContextScope> scope;
    ClipPlaneHost host{640, 320};
};

std::vector<TexturedQuadVertex> GridVertices(const QuadBatchBuffer& grid)
{
    return quad_test::BufferRecords<TexturedQuadVertex>(grid.vertices.Buffer());
}

// ---- stored form

TEST_F(FireHeatEffectsTest, FireRecordsOfEveryVersionReadTheirOwnFieldsAndTheBase)
{
    struct Case {
        std::int32_t version;
        bool ownFields;
    };
    for (const Case& c : {Case{1, false}, Case{2, true}, Case{3, true}}) {
        SCOPED_TRACE(c.version);
        FireFields f;
        f.version = c.version;
        f.colour1 = 0x00FF00;
        f.colour2 = 0x0000FF;
        f.spareInt = 7;
        f.pattern = {u"pictures\\flame.bmp", 21};
        f.noise = {u"pictures\\noise.bmp", 22};
        f.region = {1, 2, 0, 1, 40, 0, 30, 2, 0, 30, 40, 0};
        f.extraInt = 9;
        f.density = 120;
        f.brightness = 30;
        f.patternWidth = 50;
        f.fx.version = 2; // a base without region and extra int
        f.fx.speed = 75;
        DocumentWriter w;
        WriteFire(w, f);
        auto fire = ReadRecord<DS_FireFX>(w);
        ASSERT_NE(fire, nullptr);
        EXPECT_EQ(fire->speed.value, 75u);
        if (!c.ownFields) {
            const DS_FireFX defaults;
            EXPECT_EQ(fire->colour1.value, 0xFFFFu);
            EXPECT_EQ(fire->colour2.value, 0xFFu);
            EXPECT_EQ(fire->patternLink.Id(), kCommonResFirePicture);
            EXPECT_EQ(fire->noiseLink.Id(), kCommonResFireNoisePicture);
            EXPECT_FLOAT_EQ(fire->density.Scaled(), 0.0f);
            EXPECT_FLOAT_EQ(fire->brightness.Scaled(), 0.3f);
            EXPECT_FLOAT_EQ(fire->patternWidth.Scaled(), 1.0f);
            continue;
        }
        EXPECT_EQ(fire->colour1.value, 0x00FF00u);
        EXPECT_EQ(fire->colour2.value, 0x0000FFu);
        EXPECT_EQ(fire->spareInt.value, 7);
        EXPECT_EQ(fire->patternLink.Id(), 21);
        EXPECT_EQ(fire->noiseLink.Id(), 22);
        EXPECT_NEAR(fire->density.Scaled(), 0.2f, 1e-6f);
        EXPECT_FLOAT_EQ(fire->brightness.Scaled(), 0.6f);
        EXPECT_FLOAT_EQ(fire->patternWidth.Scaled(), 0.5f);
        // Version 2's region and extra int land in the base, as a base of
        // version 3 would put them.
        const bool inBase = c.version == 2;
        EXPECT_EQ(fire->region.corners[3].value.x, inBase ? 30.0f : 0.0f);
        EXPECT_EQ(fire->region.corners[1].value.y, inBase ? 40.0f : 0.0f);
        EXPECT_EQ(fire->extraInt.value, inBase ? 9 : 0);
    }
}

TEST_F(FireHeatEffectsTest, SavedEffectsReadBackWithTheirValues)
{
    DS_FireFX fire;
    fire.colour1.value = 0x123456;
    fire.density.SetValue(60, nullptr);
    fire.patternLink.StorePathAndId(u"pictures\\flame.bmp", 31);
    DS_DayToNight night;
    night.multiplyColour.value = 0x405060;
    night.softLightColour.SetHSB(200, 50, 70);
    night.desaturation.SetValue(80, nullptr);
    DS_HeatDistortion heat;
    heat.shimmerSpeed.SetValue(9, nullptr);
    heat.strength.SetValue(44, nullptr);
    heat.bumpScale.SetValue(12, nullptr);
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&fire, &night, &heat}) {
        RecordingArchive archive;
        fx->Save(ArchiveWriter(archive));
        DocumentWriter w;
        w.Raw(archive.writer.Bytes());
        if (fx == &fire) {
            auto read = ReadRecord<DS_FireFX>(w);
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(read->colour1.value, 0x123456u);
            EXPECT_FLOAT_EQ(read->density.Scaled(), -0.4f);
            EXPECT_EQ(read->patternLink.Id(), 31);
        } else if (fx == &night) {
            auto read = ReadRecord<DS_DayToNight>(w);
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(read->multiplyColour.value, 0x405060u);
            EXPECT_EQ(read->softLightColour.hue.value, 200u);
            EXPECT_FLOAT_EQ(read->softLightColour.r, night.softLightColour.r);
            EXPECT_FLOAT_EQ(read->desaturation.Scaled(), 0.8f);
        } else {
            auto read = ReadRecord<DS_HeatDistortion>(w);
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(read->shimmerSpeed.value, 9u);
            EXPECT_FLOAT_EQ(read->strength.Scaled(), 0.088f);
            EXPECT_FLOAT_EQ(read->bumpScale.Scaled(), 1.0f - 0.108f);
        }
    }
}

// ---- fire

TEST_F(FireHeatEffectsTest, FireInputsFollowTheLevelColoursAndPhase)
{
    DS_FireFX fire;
    Attached(fire);
    ASSERT_TRUE(fire.effect);
    struct Case {
        float level;
        float brightness;
        float density;
    };
    for (const Case& c : {Case{1.0f, 0.3f, 0.0f}, Case{0.5f, 0.075f, -0.5f}, Case{0.0f, 0.0f, -1.0f}}) {
        SCOPED_TRACE(c.level);
        SetLevel(fire, c.level);
        fire.Apply(host);
        ExpectFloats(*fire.effect, "Brightness", {c.brightness});
        ExpectFloats(*fire.effect, "Density", {c.density});
    }
    ExpectFloats(*fire.effect, "ColorK1", {1.0f, 0.0f, 0.0f});
    ExpectFloats(*fire.effect, "ColorK2", {0.0f, 1.0f, 0.0f});
    // The mask is looked up in picture pixels: the target's size only
    // while no picture is known.
    ExpectFloats(*fire.effect, "bg_scale_factor", {1.0f / 640.0f, 1.0f / 320.0f});
    manager->ScreenInfoRecord().pictureWidth = 1000;
    manager->ScreenInfoRecord().pictureHeight = 250;
    fire.Apply(host);
    ExpectFloats(*fire.effect, "bg_scale_factor", {1.0f / 1000.0f, 1.0f / 250.0f});
    manager->ScreenInfoRecord() = ScreenInfo{};
    // Phase 10: speed factor 1 over ten seconds.
    for (float t = 0.2f; t < 10.01f; t += 0.2f)
        fire.Update(t);
    ASSERT_NEAR(fire.Phase(), 10.0f, 1e-3f);
    for (std::int32_t mode : {0, 1}) {
        fire.mode.value = mode;
        fire.Apply(host);
        EXPECT_EQ(fire.effect->CurrentTechnique(), "Main");
    }
    ExpectFloats(*fire.effect, "c11", {0.0f, 13.0f}, 1e-2f);
    ExpectFloats(*fire.effect, "c12", {0.0f, 21.0f}, 1e-2f);
    ExpectFloats(*fire.effect, "c13", {0.0f, 23.0f}, 1e-2f);
}

TEST_F(FireHeatEffectsTest, TheFireGridCarriesRegionCoordinatesRepeatedByThePatternWidth)
{
    struct Case {
        std::uint32_t width;
        float uRight;
    };
    // Width 0 would divide by zero: it counts as 1.
    for (const Case& c : {Case{100, 1.0f}, Case{50, 2.0f}, Case{0, 1.0f}}) {
        SCOPED_TRACE(c.width);
        DS_FireFX fire;
        fire.patternWidth.SetValue(c.width, nullptr);
        fire.region.SetRectangle(200.0f, 100.0f, {300.0f, 150.0f, 0.0f});
        Attached(fire);
        const auto vertices = GridVertices(fire.grid);
        ASSERT_EQ(vertices.size(), 81u);
        const TexturedQuadVertex& first = vertices.front();
        const TexturedQuadVertex& last = vertices.back();
        EXPECT_FLOAT_EQ(first.x, 200.0f);
        EXPECT_FLOAT_EQ(first.y, 100.0f);
        EXPECT_FLOAT_EQ(first.u, 0.0f);
        EXPECT_FLOAT_EQ(first.v, 0.0f);
        EXPECT_FLOAT_EQ(last.x, 400.0f);
        EXPECT_FLOAT_EQ(last.y, 200.0f);
        EXPECT_FLOAT_EQ(last.u, c.uRight);
        EXPECT_FLOAT_EQ(last.v, 1.0f);
    }
}

TEST_F(FireHeatEffectsTest, ClipPlanesAreOffWhileTheFireDrawsAndRestoredAfter)
{
    DS_FireFX fire;
    Attached(fire);
    TexturedQuad quad;
    ASSERT_TRUE(quad.Build(*device));
    device->SetRenderState(gfx::RenderState::ClipPlaneEnable, 5);
    fire.Apply(host);
    fire.DrawAsEffect(host, quad);
    EXPECT_EQ(host.clipPlanesWhileDrawing, (std::vector<std::uint32_t>{0, 0}));
    std::uint32_t after = 0;
    device->GetRenderState(gfx::RenderState::ClipPlaneEnable, &after);
    EXPECT_EQ(after, 5u);
    EXPECT_EQ(host.gridDraws, 1);
    EXPECT_EQ(host.quadDraws, 1);
}

TEST_F(FireHeatEffectsTest, AsEffectSetsOnlyTheTransformsTexturesAndOffsets)
{
    DS_FireFX painted;
    painted.colour1.value = 0xFF0000; // blue
    painted.colour2.value = 0x00FF00; // green
    Attached(painted);
    painted.Apply(host);
    // A second fire sharing the effect draws as the flame light does.
    DS_FireFX flame;
    Attached(flame);
    ASSERT_EQ(flame.effect, painted.effect);
    for (float t = 0.2f; t < 1.01f; t += 0.2f)
        flame.Update(t);
    TexturedQuad quad;
    ASSERT_TRUE(quad.Build(*device));
    flame.DrawAsEffect(host, quad);
    EXPECT_EQ(flame.effect->CurrentTechnique(), "AsEffect");
    ExpectFloats(*flame.effect, "ColorK1", {0.0f, 1.0f, 0.0f});
    ExpectFloats(*flame.effect, "ColorK2", {0.0f, -1.0f, 1.0f});
    ExpectFloats(*flame.effect, "c11", {0.0f, 1.3f}, 1e-3f);
    EXPECT_EQ(flame.effect->GetTexture("Pattern"), flame.patternTexture.Get());
}

TEST_F(FireHeatEffectsTest, AFireInModeOneGivesThePictureBackEvenWithoutItsTextures)
{
    const auto target = quad_test::MakeTexture(*device, 1, 1, {0xFF00FF00u});
    host.target = target.Get();
    DS_FireFX fire;
    fire.mode.value = 1;
    fire.patternLink.StorePathAndId(kCommonResModule, 12345);
    Attached(fire);
    EXPECT_EQ(fire.patternTexture, nullptr);
    fire.Apply(host);
    EXPECT_EQ(host.quadDraws, 1) << "the picture drawn back";
    EXPECT_EQ(host.gridDraws, 1) << "then the fire's grid";
}

// ---- day to night and heat

TEST_F(FireHeatEffectsTest, DayToNightFadesInAlongASineOfTheLevel)
{
    DS_DayToNight night;
    Attached(night);
    EXPECT_EQ(night.effect, nullptr) << "no default link";
    night.effect = manager->GetBuiltinEffect("day-to-night");
    ASSERT_TRUE(night.effect);
    night.multiplyColour.value = 0x0080FF;
    night.desaturation.SetValue(25, nullptr);
    for (float level : {0.0f, 0.5f, 1.0f}) {
        SCOPED_TRACE(level);
        SetLevel(night, level);
        night.Apply(host);
        ExpectFloats(*night.effect, "Fade", {std::sin(level * 1.5707964f)});
    }
    ExpectFloats(*night.effect, "Fade", {1.0f});
    ExpectFloats(*night.effect, "mul_color", {1.0f, 128.0f / 255.0f, 0.0f, 1.0f});
    ExpectFloats(*night.effect, "Disaturate", {0.25f});
    ExpectFloats(*night.effect, "soft_light_color",
                 {night.softLightColour.r, night.softLightColour.g, night.softLightColour.b, night.softLightColour.a});
    EXPECT_EQ(host.gridDraws, 3);
}

TEST_F(FireHeatEffectsTest, HeatShimmerRunsItsOwnClockAndAlwaysTheSharedBump)
{
    DS_HeatDistortion heat;
    heat.effectLink.StorePathAndId(kCommonResModule, kCommonResHeatHazeEffect);
    heat.shimmerSpeed.SetValue(500, nullptr); // factor 0.5
    heat.speed.SetValue(3, nullptr);
    heat.strength.SetValue(40, nullptr);
    Attached(heat);
    ASSERT_TRUE(heat.effect);
    const gfx::Ref<gfx::Texture> bump =
        manager->GetTexture(CommonResImageLink(kCommonResHeatBumpPicture)).textures.front();
    EXPECT_EQ(heat.bumpTexture, bump);
    // A 1.5 s step counts as 0.2 s, times the shimmer factor alone.
    heat.Update(1.5f);
    EXPECT_FLOAT_EQ(heat.ShimmerPhase(), 0.1f);
    EXPECT_FLOAT_EQ(heat.Phase(), 0.6f);
    RecordingHost wide{800, 600};
    heat.Apply(wide);
    ExpectFloats(*heat.effect, "bump_scale", {1.0f, 0.75f});
    ExpectFloats(*heat.effect, "Offset", {0.1f, -0.1f});
    ExpectFloats(*heat.effect, "stenght", {0.08f * 0.05f});
    EXPECT_EQ(heat.effect->GetTexture("Bumpmap"), bump.Get());
}

} // namespace
} // namespace image_effect_test
