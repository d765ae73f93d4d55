// Sprite-effect controllers: their stored sections, the effect they hold
// (shared, released, falling back for bytes we cannot run), the effect
// sprite object, the glow controller and the explosion.

#include <cmath>

#include "objectmodel/ClassRegistry.h"
#include "particles/systems/Explosion.h"
#include "particles/systems/GlowController.h"
#include "particles/systems/ParticleSystemClasses.h"
#include "platform/crt/Random.h"
#include "render/BuiltinEffects.h"
#include "render/Timelines.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"
#include "tests/support/ParticleSystemWriter.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/SampleParticleDocuments.h"

namespace sprite_test {
namespace {

using namespace particle_writer;

const LinkKey kOurEffectLink{u"fx\\vertex-colour.fx", 21};
const LinkKey kForeignEffectLink{u"fx\\hlsl.fx", 22};
const LinkKey kGlowEffectLink{u"fx\\glow.fx", 23};

ModuleResourceBlob StoredBytes(std::u16string_view name, std::string_view text)
{
    ModuleResourceBlob blob{kxi_string(name)};
    blob.SetBytes(std::vector<std::uint8_t>(text.begin(), text.end()));
    return blob;
}

std::string_view BuiltinText(std::string_view name)
{
    const auto bytes = FindBuiltinEffectSource(name);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::vector<float> Floats(const gfx::Effect& effect, std::string_view name)
{
    const auto values = effect.GetFloats(name);
    return {values.begin(), values.end()};
}

// Sets its effect to draw vertex colours when asked to draw.
class TestFXCtrl : public DS_BaseFXCtrl {
public:
    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override { return std::make_unique<TestFXCtrl>(*this); }
    bool SetEffectParameters(DS_ABRender&, ParticleGeomArray&) override
    {
        ++asked;
        if (HeldEffect())
            HeldEffect()->SetTechnique("VertexColour");
        return draw;
    }
    void UpdateSprite(SpriteParticle& sprite) override
    {
        ++updates;
        sprite.position = place;
        sprite.halfWidth = sprite.halfHeight = 0.5f;
        sprite.colour = PackSpriteColour(colour.value, Alpha(), 1.0f);
    }

    bool draw = true;
    int asked = 0;
    int updates = 0;
    math::Vec3 place{1.0f, 1.0f, 0.0f};
};

// Glowing sprites of half size 0.5 at `place` (canvas units).
class TestGlowCtrl : public DS_GlowEffectCtrl {
public:
    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override { return std::make_unique<TestGlowCtrl>(*this); }
    void UpdateSprite(SpriteParticle& sprite) override
    {
        sprite.position = place;
        sprite.halfWidth = sprite.halfHeight = 0.5f;
    }
    math::Vec3 place{1.0f, 1.0f, 0.0f};
};

class EffectControllerTest : public SpriteSceneTest {
protected:
    void SetUp() override
    {
        SpriteSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        RegisterParticleSystemClasses();
        DocResManagerRecord record;
        record.storedResources[kOurEffectLink] = {StoredBytes(u"vertex-colour.fx", kTestEffect)};
        record.storedResources[kForeignEffectLink] =
            {StoredBytes(u"hlsl.fx", "technique Main { pass P { PixelShader = compile ps_2_0 Fire(); } }")};
        record.storedResources[kGlowEffectLink] = {StoredBytes(u"glow.fx", BuiltinText("generator-blend"))};
        StorePictures(record);
        light = MakeLight(kBlackLink, PicturePosition::kStretch);
    }
    void TearDown() override
    {
        light.reset();
        SpriteSceneTest::TearDown();
    }

    std::vector<std::uint32_t> Frame(const RenderObjectList& objects, float time = 0.0f)
    {
        for (const auto& object : objects)
            object->Update(time);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    std::unique_ptr<DS_2D_Light> light;
};

// ---- effects held -------------------------------------------------------------------

TEST_F(EffectControllerTest, CopiesShareTheEffectAndLeaveNoReferenceBehind)
{
    gfx::Effect* cached = nullptr;
    {
        TestFXCtrl original;
        Link(original.effectLink, kOurEffectLink);
        original.FetchEffect();
        ASSERT_NE(original.HeldEffect(), nullptr);
        cached = original.HeldEffect();
        const std::uint32_t before = cached->ReferenceCount();
        {
            TestFXCtrl copy(original);
            EXPECT_EQ(copy.HeldEffect(), cached);
            EXPECT_EQ(cached->ReferenceCount(), before + 1);
            auto object = original.CreateRenderObject(); // a clone that fetches again
            ASSERT_NE(object, nullptr);
        }
        EXPECT_EQ(cached->ReferenceCount(), before);
    }
    EXPECT_EQ(cached->ReferenceCount(), 1u) << "only the manager's cache holds it";
}

TEST_F(EffectControllerTest, EffectsByLinkKind)
{
    struct Case {
        const char* what;
        LinkKey link;
        bool explosion; // else the glow controller
        std::string_view builtin;
    };
    const Case cases[] = {
        {"empty link", {}, true, {}},
        {"missing resource", {u"fx\\nowhere.fx", 9}, true, {}},
        {"foreign bytes: the explosion's own", kForeignEffectLink, true, "explosion"},
        {"foreign bytes: the glow effect", kForeignEffectLink, false, "generator-blend"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DS_ExplosionConstructor explosion;
        TestGlowCtrl glow;
        DS_FXParticleSystemCtrl& controller = c.explosion ? static_cast<DS_FXParticleSystemCtrl&>(explosion) : glow;
        Link(controller.effectLink, c.link);
        controller.FetchEffect();
        if (c.builtin.empty()) {
            EXPECT_EQ(controller.HeldEffect(), nullptr);
            continue;
        }
        EXPECT_EQ(controller.HeldEffect(), manager->GetBuiltinEffect(c.builtin).Get());
    }
}

TEST_F(EffectControllerTest, AnEffectObjectDrawsOnlyWhenItsParametersAreSet)
{
    TestFXCtrl description;
    Link(description.effectLink, kOurEffectLink);
    description.colour.StoreValue(0x0000FF); // red
    std::unique_ptr<KXI_RenderObj> made = description.CreateRenderObject();
    auto* object = dynamic_cast<DS_FXObj*>(made.get());
    ASSERT_NE(object, nullptr);
    auto& controller = static_cast<TestFXCtrl&>(object->EffectController());
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(made.release())};

    ExpectPixel(Frame(objects), 16, 16, kRedRgb); // canvas (1, 1)
    controller.draw = false;
    controller.place = {3.0f, 3.0f, 0.0f};
    const auto pixels = Frame(objects, 0.1f);
    ExpectPixel(pixels, 16, 16, kBlackRgb);
    ExpectPixel(pixels, 48, 48, kBlackRgb);
    EXPECT_EQ(controller.updates, 2) << "it keeps animating";
    EXPECT_FLOAT_EQ(object->Sprites()[0]->position.x, 3.0f);

    // Without an effect nothing is asked or drawn.
    TestFXCtrl bare;
    bare.colour.StoreValue(0x0000FF);
    std::unique_ptr<KXI_RenderObj> plain = bare.CreateRenderObject();
    auto& plainController = static_cast<TestFXCtrl&>(static_cast<DS_FXObj&>(*plain).EffectController());
    const RenderObjectList lone = {DS_SafePtr<KXI_RenderObj>(plain.release())};
    ExpectPixel(Frame(lone), 16, 16, kBlackRgb);
    EXPECT_EQ(plainController.asked, 0);
    EXPECT_EQ(plainController.updates, 1);
}

TEST_F(EffectControllerTest, ACentredControllerIsPlacedOnceByItsKeepIdFlag)
{
    const float middleX = CurrentPictureWidth() / 2.0f;
    const float middleY = CurrentPictureHeight() / 2.0f;
    ASSERT_GT(middleX, 0.0f);
    for (const std::uint8_t keepId : {std::uint8_t(0), std::uint8_t(1)}) {
        SCOPED_TRACE(int(keepId));
        DS_ExplosionConstructor description;
        description.centre.StoreValue({100.0f, 50.0f, 3.0f});
        description.keepId = keepId;
        std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
        const auto& clone = static_cast<DS_ExplosionConstructor&>(static_cast<DS_FXObj&>(*object).EffectController());
        const math::Vec3 expected = keepId == 0 ? math::Vec3{middleX, middleY, 3.0f} : math::Vec3{100.0f, 50.0f, 3.0f};
        EXPECT_EQ(clone.centre.value, expected);
        EXPECT_EQ(clone.keepId, 1);
        EXPECT_EQ(description.centre.value, (math::Vec3{100.0f, 50.0f, 3.0f})) << "the stored description stays";
    }
}

// ---- stored sections ---------------------------------------------------------------

std::unique_ptr<DS_ExplosionConstructor> ReadExplosion(std::span<const std::uint8_t> bytes)
{
    MemoryArchive archive(bytes);
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the record reads in step";
    auto* explosion = dynamic_cast<DS_ExplosionConstructor*>(item.get());
    if (!explosion)
        return nullptr;
    item.release();
    return std::unique_ptr<DS_ExplosionConstructor>(explosion);
}

TEST_F(EffectControllerTest, AnExplosionReadsAndWritesItsSections)
{
    DocumentWriter w;
    WriteExplosion(w, SampleExplosionFields());
    auto read = ReadExplosion(w.Bytes());
    ASSERT_NE(read, nullptr);

    RecordingArchive recording;
    read->Save(recording.Writer());
    auto again = ReadExplosion(recording.writer.Bytes());
    ASSERT_NE(again, nullptr);
    for (const DS_ExplosionConstructor* e : {read.get(), again.get()}) {
        EXPECT_FLOAT_EQ(e->noise1.Scaled(), 0.70f);
        EXPECT_FLOAT_EQ(e->noise2.Scaled(), 0.40f);
        EXPECT_FLOAT_EQ(e->noise3.Scaled(), 0.50f);
        EXPECT_EQ(e->direction.value, 45u);
        EXPECT_NEAR(e->direction.Direction().x, std::sqrt(0.5f), 1e-6f);
        EXPECT_EQ(e->driftSpeed.value, 80u);
        EXPECT_EQ(e->seed.value, 1234u);
        EXPECT_EQ(e->randomOffsets.value, 1);
        EXPECT_EQ(e->secondColour.value, 0x0000FFu);
        EXPECT_EQ(e->centre.value, (math::Vec3{10.0f, 20.0f, 0.0f}));
        EXPECT_EQ(e->height.value, 7u);
        EXPECT_EQ(e->width.value, 9u);
        EXPECT_EQ(e->effectLink.Path(), u"common_res.dll");
        EXPECT_EQ(e->effectLink.Id(), 300);
        EXPECT_EQ(e->spriteSize.value, 250u);
        EXPECT_EQ(e->spriteImage.Id(), 6);
    }
}

TEST_F(EffectControllerTest, AVersionOneCentreSectionHasNoSizeAndReadsInStep)
{
    ExplosionFields f = SampleExplosionFields();
    f.stat.version = 1;
    DocumentWriter w;
    WriteExplosion(w, f);
    auto read = ReadExplosion(w.Bytes());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->centre.value, (math::Vec3{10.0f, 20.0f, 0.0f}));
    EXPECT_EQ(read->height.value, 0u);
    EXPECT_EQ(read->width.value, 0u);
    EXPECT_EQ(read->effectLink.Id(), 300);
    EXPECT_EQ(read->spriteSize.value, 250u);
}

TEST_F(EffectControllerTest, LegacyTimingValuesBecomeARandomTimeline)
{
    ExplosionFields f = SampleExplosionFields();
    f.version = 1;
    f.legacyTiming = {100, 200, 300, 40, 50};
    DocumentWriter w;
    WriteExplosion(w, f);
    auto read = ReadExplosion(w.Bytes());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->timing.Selector(), KXI_SmartTiming::kRandom);
    auto* timeline = dynamic_cast<KXI_RandomTimeLine*>(read->timing.CurrentTimeline());
    ASSERT_NE(timeline, nullptr);
    EXPECT_EQ(read->timing.CachedTimeline(KXI_SmartTiming::kRandom), timeline);
    EXPECT_EQ(timeline->fadeIn.value, 10u);
    EXPECT_EQ(timeline->onLength.min.value, 20u);
    EXPECT_EQ(timeline->onLength.max.value, 20u);
    EXPECT_EQ(timeline->fadeOut.value, 30u);
    EXPECT_EQ(timeline->offLength.min.value, 9u);
    EXPECT_EQ(timeline->offLength.max.value, 9u);
    EXPECT_EQ(read->seed.value, 1234u) << "the fields after the legacy values read in step";
}

TEST_F(EffectControllerTest, AGlowSectionReadsBack)
{
    GlowFields f;
    f.glowColour = 0x0099FF;
    f.brightness = 60;
    f.fx.effect = {u"fx\\glow.fx", 23};
    f.fx.sprite.spriteCount = 4;
    DocumentWriter w;
    WriteGlowSection(w, f);
    TestGlowCtrl read;
    MemoryArchive archive(w.Bytes());
    read.Load(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(read.glowColour.value, 0x0099FFu);
    EXPECT_FLOAT_EQ(read.brightness.Scaled(), 0.6f);
    EXPECT_EQ(read.effectLink.Id(), 23);
    EXPECT_EQ(read.spriteCount.value, 4u);

    RecordingArchive recording;
    read.Save(recording.Writer());
    EXPECT_EQ(recording.writer.Bytes(), w.Bytes());
}

// ---- glow ---------------------------------------------------------------------------

TEST_F(EffectControllerTest, BlendColourAndTechnique)
{
    struct Case {
        COLORREF colour;
        std::uint32_t brightness;
        float level;
        std::int32_t blendMode;
        std::array<float, 4> expected;
        std::string_view technique;
    };
    const Case cases[] = {
        {0x0099FF, 100, 1.0f, 0, {1.0f, 0.6f, 0.0f, 1.0f}, "Blend_Normal"},
        {0x0099FF, 100, 0.5f, 1, {1.0f, 0.6f, 0.0f, 0.5f}, "Blend_Screen"},
        {0xFF0000, 50, 1.0f, 2, {0.0f, 0.0f, 1.0f, 0.5f}, "Blend_Normal"},
    };
    for (const Case& c : cases) {
        TestGlowCtrl glow;
        glow.glowColour.StoreValue(c.colour);
        glow.brightness.SetValue(c.brightness, nullptr);
        glow.blendMode.StoreValue(c.blendMode);
        HoldTimeline(glow, kTimingOn, c.level);
        const std::array<float, 4> colour = glow.BlendColour();
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(colour[i], c.expected[i]) << i;
        EXPECT_EQ(glow.BlendTechnique(), c.technique);
    }
}

struct GlowCase {
    const char* what;
    std::vector<math::Vec3> places; // one glowing object each
    bool core;
    float level;
    std::vector<std::pair<math::Vec3, std::uint32_t>> expected; // pixel, colour
};

TEST_F(EffectControllerTest, GlowingSpritesShowHaloAndCore)
{
    // Green glow of white glow pictures over the black picture; a red core
    // picture on top where asked. Canvas units are 16 pixels.
    const GlowCase cases[] = {
        {"halo", {{1, 1, 0}}, false, 1.0f, {{{16, 16, 0}, kGreenRgb}, {{48, 48, 0}, kBlackRgb}}},
        {"core on top", {{1, 1, 0}}, true, 1.0f, {{{16, 16, 0}, kRedRgb}, {{48, 16, 0}, kBlackRgb}}},
        {"timeline off", {{1, 1, 0}}, false, 0.0f, {{{16, 16, 0}, kBlackRgb}}},
        {"two objects keep both halos",
         {{1, 1, 0}, {3, 3, 0}},
         false,
         1.0f,
         {{{16, 16, 0}, kGreenRgb}, {{48, 48, 0}, kGreenRgb}, {{48, 16, 0}, kBlackRgb}}},
    };
    for (const GlowCase& c : cases) {
        SCOPED_TRACE(c.what);
        RenderObjectList objects;
        for (const math::Vec3& place : c.places) {
            TestGlowCtrl description;
            description.place = place;
            description.glowColour.StoreValue(0x00FF00);
            Link(description.effectLink, kGlowEffectLink);
            Link(description.secondImage, kWhiteLink);
            if (c.core)
                Link(description.spriteImage, kRedLink);
            HoldTimeline(description, c.level > 0.0f ? kTimingOn : kTimingOff, c.level);
            std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
            ASSERT_NE(dynamic_cast<DS_GlowingObj*>(object.get()), nullptr);
            EXPECT_EQ(object->NeedsRenderTarget(), 1);
            objects.push_back(DS_SafePtr<KXI_RenderObj>(object.release()));
        }
        const auto pixels = Frame(objects);
        for (const auto& [at, rgb] : c.expected)
            ExpectPixel(pixels, static_cast<std::uint32_t>(at.x), static_cast<std::uint32_t>(at.y), rgb, 24);
    }
}

// ---- explosion ----------------------------------------------------------------------

class ExplosionTest : public EffectControllerTest {
protected:
    // An explosion object with its pictures, drawing through the built-in
    // effect (its link holds bytes we cannot run).
    DS_FXObj& MakeObject(int state, float level)
    {
        DS_ExplosionConstructor description;
        Link(description.effectLink, kForeignEffectLink);
        Link(description.spriteImage, kRedLink);
        Link(description.secondImage, kWhiteLink);
        description.colour.StoreValue(0x0080FF);
        description.secondColour.StoreValue(0xFF0000);
        timeline = &HoldTimeline(description, state, level);
        made = description.CreateRenderObject();
        return dynamic_cast<DS_FXObj&>(*made);
    }
    DS_ExplosionConstructor& Of(DS_FXObj& object) { return static_cast<DS_ExplosionConstructor&>(object.EffectController()); }

    std::unique_ptr<KXI_RenderObj> made;
    FixedTimeline* timeline = nullptr;
};

TEST_F(ExplosionTest, TheTimelineDrivesSizeAlphaAndPhases)
{
    struct Case {
        const char* what;
        int state;
        float level;
        float half;
        std::uint32_t alphaByte;
        std::vector<float> phase1;
        std::vector<float> phase3;
    };
    // Sprite size 250: half 125 times the growth factor.
    const Case cases[] = {
        {"off", kTimingOff, 0.0f, 0.0f, 255, {0.0f}, {0.0f, 1.0f}},
        {"rising at 0.1", kTimingRising, 0.1f, 125.0f * 0.325f, 127, {1.8f}, {0.0f, 1.0f}},
        {"on", kTimingOn, 1.0f, 125.0f, 255, {0.0f}, {0.0f, 1.0f}},
        {"falling at 0.25", kTimingFalling, 0.25f, 125.0f, 255, {0.0f}, {0.75f, 0.25f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DS_FXObj& object = MakeObject(c.state, c.level);
        object.Update(0.1f);
        object.Render(*light);
        const SpriteParticle& sprite = *object.Sprites()[0];
        EXPECT_FLOAT_EQ(sprite.halfWidth, c.half);
        EXPECT_FLOAT_EQ(sprite.halfHeight, c.half);
        EXPECT_EQ(sprite.colour >> 24, c.alphaByte);
        EXPECT_EQ(sprite.position, Of(object).centre.value);
        if (c.state == kTimingOff) {
            EXPECT_EQ(Of(object).offsetCounter, 1);
        }

        gfx::Effect& effect = *Of(object).HeldEffect();
        EXPECT_EQ(effect.CurrentTechnique(), "Main");
        EXPECT_EQ(Floats(effect, "phase_1st"), c.phase1);
        const std::vector<float> phase3 = Floats(effect, "phase_3rd");
        ASSERT_EQ(phase3.size(), 2u);
        EXPECT_FLOAT_EQ(phase3[0], c.phase3[0]);
        EXPECT_FLOAT_EQ(phase3[1], c.phase3[1]);
        EXPECT_EQ(Floats(effect, "color1"), (std::vector<float>{1.0f, 128.0f / 255.0f, 0.0f}));
        EXPECT_EQ(Floats(effect, "color2"), (std::vector<float>{0.0f, 0.0f, 1.0f}));
        const std::vector<float> noise = Floats(effect, "noise_params");
        EXPECT_FLOAT_EQ(noise[0], 0.79f);
        EXPECT_FLOAT_EQ(noise[1], 0.15f);
        EXPECT_FLOAT_EQ(noise[2], 0.42f);
        EXPECT_EQ(effect.GetTexture("GradientTex"), Of(object).gradientTexture.Get());
        EXPECT_EQ(effect.GetTexture("NoiseTex"), Of(object).noiseTexture.Get());
        ASSERT_NE(effect.GetTexture("NoiseTex"), nullptr);
    }
}

TEST_F(ExplosionTest, NoiseDriftsWithTheClockAndStepsEachWholeSecond)
{
    DS_FXObj& object = MakeObject(kTimingOn, 1.0f);
    DS_ExplosionConstructor& e = Of(object);
    e.direction.SetValue(0, nullptr); // drifts along +x
    // Animation clock at twice real time (rate 100); the own clock runs at
    // 0.25 of the animation clock (speed 50).
    for (int frame = 1; frame <= 8; ++frame)
        object.Update(0.1f * static_cast<float>(frame));
    EXPECT_NEAR(e.animationClock, 1.6f, 1e-5f);
    EXPECT_NEAR(e.clockTotal, 0.4f, 1e-5f);
    object.Render(*light);
    const std::vector<float> shift = Floats(*e.HeldEffect(), "noise_shift");
    ASSERT_EQ(shift.size(), 4u);
    // One whole second passed: the offsets moved on once.
    EXPECT_EQ(e.offsetCounter, 3);
    EXPECT_NEAR(shift[0], e.currentOffset[0] - 0.4f, 1e-5f);
    EXPECT_NEAR(shift[1], e.currentOffset[1], 1e-5f);
    EXPECT_NEAR(shift[2], e.nextOffset[0] - 0.4f, 1e-5f);
    const std::vector<float> time = Floats(*e.HeldEffect(), "time");
    EXPECT_NEAR(time[0], 0.6f, 1e-5f);
    EXPECT_NEAR(time[1], 0.4f, 1e-5f);
}

TEST_F(ExplosionTest, TheSameSeedRepeatsTheOffsetsAndLeavesTheSharedSequenceAlone)
{
    DS_ExplosionConstructor e;
    e.seed.StoreValue(77);
    crt::srand(77);
    std::vector<std::array<float, 2>> expected;
    for (int k = 0; k < 4; ++k) {
        const float x = static_cast<float>(crt::rand()) / 32767.0f;
        expected.push_back({x, static_cast<float>(crt::rand()) / 32767.0f});
    }

    crt::srand(5);
    const int sharedFirst = crt::rand();
    crt::srand(5);
    for (int restart = 0; restart < 2; ++restart) {
        SCOPED_TRACE(restart);
        e.Restart();
        for (const auto& pair : expected) {
            e.NextNoiseOffsets();
            EXPECT_EQ(e.nextOffset, pair);
        }
    }
    EXPECT_EQ(crt::rand(), sharedFirst) << "the thread's sequence was not reseeded or drawn from";
}

TEST_F(ExplosionTest, ItDrawsAFireballAndNothingWithoutItsPictures)
{
    DS_FXObj& object = MakeObject(kTimingOn, 1.0f);
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(made.release())};
    auto pixels = Frame(objects);
    // Centred on the 4 x 4 picture; the ball is far larger than it.
    const std::uint32_t middle = At(pixels, 32, 32);
    EXPECT_GT((middle >> 16) & 0xFFu, 0x20u) << Hex(middle);

    Of(object).noiseTexture.Reset();
    pixels = Frame(objects, 0.1f);
    ExpectPixel(pixels, 32, 32, kBlackRgb);
}

} // namespace
} // namespace sprite_test
