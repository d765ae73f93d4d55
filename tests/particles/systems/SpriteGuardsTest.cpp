// Sprite pipeline paths that only show with real resources or several
// sprites: pictures loaded through the resource manager in each texture
// mode, the frame strip of a many-sprite array, explosions drawing their
// offsets from the shared sequence, glow controllers missing their glow
// picture or their effect, and the projection through the thread's render
// context.

#include <array>
#include <cmath>

#include "particles/systems/Explosion.h"
#include "particles/systems/GlowController.h"
#include "platform/crt/Random.h"
#include "render/BuiltinEffects.h"
#include "render/ScreenInfo.h"
#include "render/ViewProjection.h"
#include "render/ViewState.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"

namespace sprite_test {
namespace {

const LinkKey kFramesLink{u"pictures\\frames.bmp", 31}; // two stored pictures with frame times
const LinkKey kGifLink{u"C:\\anim\\flock.GIF", 32};      // two 100 x 50 frames: 0.1 s and 0.2 s
const LinkKey kGlowEffectLink{u"fx\\glow.fx", 33};
const LinkKey kNoEffectLink{u"fx\\missing.fx", 34};

// Glowing sprites of half size 0.5 at (1, 1) canvas units; counts updates.
class CountingGlowCtrl : public DS_GlowEffectCtrl {
public:
    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override { return std::make_unique<CountingGlowCtrl>(*this); }
    void UpdateSprite(SpriteParticle& sprite) override
    {
        ++updates;
        sprite.position = {1.0f, 1.0f, 0.0f};
        sprite.halfWidth = sprite.halfHeight = 0.5f;
    }
    int updates = 0;
};

class SpriteGuardsTest : public SpriteSceneTest {
protected:
    void SetUp() override
    {
        SpriteSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        DocResManagerRecord record;
        for (const std::uint32_t rgb : {kRedRgb, 0xFFFFFFu}) {
            ModuleResourceBlob picture(u"frames.bmp");
            picture.SetBytes(docres_test::SolidBmp(4, 4, rgb));
            record.textureSetRecords[kFramesLink].push_back(picture);
        }
        record.textureSetValues[kFramesLink] = {FrameTimeValue(0.25f), FrameTimeValue(0.5f)};
        record.frames[kGifLink] = {{docres_test::SolidGif(100, 50, 0xFF0000), 0.1f},
                                   {docres_test::SolidGif(100, 50, 0x00FF00), 0.2f}};
        const auto glow = FindBuiltinEffectSource("generator-blend");
        ModuleResourceBlob effect(u"glow.fx");
        effect.SetBytes(std::vector<std::uint8_t>(glow.begin(), glow.end()));
        record.storedResources[kGlowEffectLink] = {effect};
        StorePictures(record);
    }

    std::vector<std::uint32_t> Frame(DS_2D_Light& light, const RenderObjectList& objects, float time)
    {
        for (const auto& object : objects)
            object->Update(time);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light.RenderFrame(objects, false);
        return BackBufferPixels();
    }
};

TEST_F(SpriteGuardsTest, EachTextureModeLoadsItsPictureFramesAndExtents)
{
    struct Case {
        const char* what;
        std::int32_t mode;
        LinkKey link;
        std::vector<float> durations;
        float uExtent;
        float vExtent;
        float dueTime; // object clock at which the picture frame moves on (never for no durations)
        std::int32_t frameAtDue;
    };
    const Case cases[] = {
        {"texture set", 1, kFramesLink, {0.25f, 0.5f}, 1.0f, 1.0f, 0.25f, 1},
        {"animated picture", DS_BaseSpriteProp::kImageKindAnimated, kGifLink, {0.1f, 0.2f}, 0.78125f, 0.78125f, 0.1f,
         1},
        {"plain picture", 0, kFramesLink, {}, 1.0f, 1.0f, 5.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestSpriteCtrl description;
        description.imageKind = c.mode;
        Link(description.spriteImage, c.link);
        ProbeArray array(description.Clone());
        const SpriteFrameInfo& frames = array.PictureFrames();
        EXPECT_EQ(frames.frameTextures.size(), 2u);
        EXPECT_EQ(frames.frameDurations, c.durations);

        array.Animate(c.dueTime * 0.5f);
        EXPECT_EQ(frames.currentFrame, 0);
        array.Animate(c.dueTime);
        EXPECT_EQ(frames.currentFrame, c.frameAtDue);

        const auto v = ReadVertices(array);
        ASSERT_EQ(v.size(), 4u);
        EXPECT_FLOAT_EQ(v[0].u, 0.0f); // A: (0, v extent), D: (u extent, 0)
        EXPECT_FLOAT_EQ(v[0].v, c.vExtent);
        EXPECT_FLOAT_EQ(v[3].u, c.uExtent);
        EXPECT_FLOAT_EQ(v[3].v, 0.0f);
    }
}

TEST_F(SpriteGuardsTest, EverySpriteOfAnArrayShowsTheSameStripFrame)
{
    TestSpriteCtrl description;
    description.spriteCount.StoreValue(3);
    description.framesInOneImage = 1;
    description.frameCount = 4;
    description.frameRate = 2.0f;
    ProbeArray array(description.Clone());
    auto& ctrl = static_cast<TestSpriteCtrl&>(array.Controller());
    for (const auto& [clock, frame] : {std::pair{0.6f, 1u}, std::pair{1.2f, 2u}}) {
        SCOPED_TRACE(clock);
        ctrl.animationClock = clock;
        array.FillVertices(ctrl);
        const auto v = ReadVertices(array);
        ASSERT_EQ(v.size(), 12u);
        for (std::size_t sprite = 0; sprite < 3; ++sprite) {
            EXPECT_FLOAT_EQ(v[4 * sprite].u, 0.25f * static_cast<float>(frame)) << sprite;
            EXPECT_FLOAT_EQ(v[4 * sprite + 3].u, 0.25f * static_cast<float>(frame + 1)) << sprite;
        }
    }
}

TEST_F(SpriteGuardsTest, RandomOffsetsComeFromTheSharedSequenceWhateverTheSeed)
{
    crt::srand(9);
    std::vector<std::array<float, 2>> shared;
    for (int k = 0; k < 3; ++k) {
        const float x = static_cast<float>(crt::rand()) / 32767.0f;
        shared.push_back({x, static_cast<float>(crt::rand()) / 32767.0f});
    }

    DS_ExplosionConstructor e;
    e.seed.StoreValue(77);
    e.randomOffsets.StoreValue(1);
    crt::srand(9);
    e.Restart();
    for (const auto& pair : shared) {
        e.NextNoiseOffsets();
        EXPECT_EQ(e.nextOffset, pair);
    }
    // A restart does not bring the same offsets back.
    e.Restart();
    e.NextNoiseOffsets();
    EXPECT_NE(e.nextOffset, shared[0]);
}

TEST_F(SpriteGuardsTest, AGlowControllerWithoutItsGlowPictureOrEffect)
{
    struct Case {
        const char* what;
        LinkKey effect;
        bool glowPicture;
        bool core;
        int needsTarget;
        std::uint32_t atSprite; // the pixel under the sprite
    };
    // Over a white picture: a black glow colour darkens where a glow picture
    // is drawn; the red core picture lies on top.
    const Case cases[] = {
        {"glow picture and core", kGlowEffectLink, true, true, 1, kRedRgb},
        {"glow picture only", kGlowEffectLink, true, false, 1, kBlackRgb},
        {"no glow picture: the picture passes on, the core on top", kGlowEffectLink, false, true, 1, kRedRgb},
        {"no glow picture and no core: the picture passes on", kGlowEffectLink, false, false, 1, 0xFFFFFF},
        {"no effect: nothing drawn", kNoEffectLink, true, true, 0, 0xFFFFFF},
    };
    const auto light = MakeLight(kWhiteLink, PicturePosition::kStretch);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountingGlowCtrl description;
        description.glowColour.StoreValue(0x000000);
        Link(description.effectLink, c.effect);
        if (c.glowPicture)
            Link(description.secondImage, kWhiteLink);
        if (c.core)
            Link(description.spriteImage, kRedLink);
        HoldTimeline(description, kTimingOn, 1.0f);
        std::unique_ptr<KXI_RenderObj> made = description.CreateRenderObject();
        auto* object = dynamic_cast<DS_GlowingObj*>(made.get());
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->NeedsRenderTarget(), c.needsTarget);
        const RenderObjectList objects{DS_SafePtr<KXI_RenderObj>(made.release())};
        auto pixels = Frame(*light, objects, 0.1f);
        pixels = Frame(*light, objects, 0.2f);
        ExpectPixel(pixels, 16, 16, c.atSprite, 24);
        ExpectPixel(pixels, 48, 48, 0xFFFFFF, 24);
        const auto& ctrl = static_cast<const CountingGlowCtrl&>(object->GlowController());
        EXPECT_GE(ctrl.updates, 2) << "the sprites keep animating";
        EXPECT_FLOAT_EQ(object->Sprites()[0]->position.x, 1.0f);
    }
}

TEST_F(SpriteGuardsTest, ProjectionUsesTheThreadsViewUntilThereIsNone)
{
    ScreenInfo screen;
    screen.pictureWidth = 800;
    screen.pictureHeight = 600;
    screen.quad.SetRect(100.0f, 50.0f, 400.0f, 300.0f);
    ViewState& view = renderContext->GetViewState();
    view.zoom = 2.0f;
    view.zoomOffsetX = 3.0f;

    // x: 800 x (300 - 100) / 400 / 2 - 3 = 197; y: 600 x (200 - 50) / 300 / 2 = 150.
    EXPECT_EQ(ProjectToView(screen, 300.0f, 200.0f, 7.0f), (math::Vec3{197.0f, 150.0f, 7.0f}));

    const CurrentRenderContextScope none(nullptr);
    EXPECT_EQ(ProjectToView(screen, 300.0f, 200.0f, 7.0f), (math::Vec3{300.0f, 200.0f, 7.0f}));
}

} // namespace
} // namespace sprite_test
