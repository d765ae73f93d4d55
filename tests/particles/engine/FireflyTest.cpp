// Fireflies: screen passes and render-target switches of the two blocks,
// the version 1 record's migration of the trail's look, and what a firefly
// with its trail draws through the picture scene (headless read-back).

#include <gtest/gtest.h>

#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/Firefly.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/render/RenderObjectTestSupport.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/WanderWriter.h"

namespace {

using wander_writer::FireflyFields;

constexpr char16_t kTrailPicture[] = u"pictures\\trail.bmp";
constexpr char16_t kFireflyPicture[] = u"pictures\\firefly.bmp";

std::unique_ptr<KXI_Firefly> ReadFirefly(const FireflyFields& fields)
{
    RegisterParticleEngineClasses();
    DocumentWriter w;
    wander_writer::WriteFirefly(w, fields);
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    return std::unique_ptr<KXI_Firefly>(dynamic_cast<KXI_Firefly*>(item.release()));
}

std::unique_ptr<KXI_ParticleSystemMech> StartRunning(KXI_ParticleSystemCtrl& description)
{
    std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
    auto* mech = dynamic_cast<KXI_ParticleSystemMech*>(object.get());
    EXPECT_NE(mech, nullptr);
    object.release();
    return std::unique_ptr<KXI_ParticleSystemMech>(mech);
}

TEST(FireflyTest, EachBlockGlowingOverTheScreenIsOnePass)
{
    struct Case {
        std::int32_t trailGlow;
        std::int32_t ownGlow;
        int passes;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{2, 0, 1}, Case{0, 2, 1}, Case{1, 2, 1}, Case{2, 2, 2}}) {
        SCOPED_TRACE(testing::Message() << "trail " << c.trailGlow << ", own " << c.ownGlow);
        KXI_Firefly description;
        description.trail.params.glowMode.value = c.trailGlow;
        description.params.glowMode.value = c.ownGlow;
        description.count.value = 3;
        const auto mech = StartRunning(description);
        ASSERT_EQ(mech->BatchCount(), 2u);
        EXPECT_EQ(mech->NeedsRenderTarget(), c.passes);

        render_object_test::RecordingRenderer renderer;
        int counter = c.passes;
        mech->RenderTo(renderer, counter);
        EXPECT_EQ(renderer.switches, c.passes);
        EXPECT_EQ(counter, 0);
    }
}

FireflyFields FireflyWithPictures(std::int32_t version, std::initializer_list<std::int64_t> ids)
{
    FireflyFields fields;
    fields.version = version;
    fields.trail.version = 1;
    fields.trail.particleSize = 6;
    particle_writer::BlockFields& own = fields.brown.controller.block;
    for (const std::int64_t id : ids)
        own.pictures.push_back({u"common_res.dll", id});
    own.colours = {0x00102030, 0x00405060, 0x00708090};
    own.colourMode = 2;
    own.transparency = 25;
    own.effect = {u"effects.dll", 77};
    return fields;
}

std::vector<std::int64_t> PictureIds(const ParticleSystemParams& block)
{
    std::vector<std::int64_t> ids;
    for (const DS_ImageFileLink& link : block.textureLink.value.pictures)
        ids.push_back(link.Id());
    return ids;
}

TEST(FireflyTest, VersionOneMovesTheTrailsLookOutOfTheOwnBlock)
{
    struct Case {
        std::initializer_list<std::int64_t> stored;
        std::vector<std::int64_t> trail;
        std::vector<std::int64_t> own;
    };
    const Case cases[] = {
        {{901, 902}, {901}, {902}},
        {{901, 902, 903}, {901}, {902}},
        {{901}, {901}, {901}}, // both draw the one picture
        {{}, {}, {}},          // neither draws
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.size());
        const auto firefly = ReadFirefly(FireflyWithPictures(1, c.stored));
        ASSERT_NE(firefly, nullptr);
        EXPECT_EQ(PictureIds(firefly->trail.params), c.trail);
        EXPECT_EQ(PictureIds(firefly->params), c.own);
        const ColorSequenceParams& colours = firefly->trail.params.colours;
        EXPECT_EQ(colours.colors.value, (std::vector<COLORREF>{0x00102030, 0x00405060, 0x00708090}));
        EXPECT_EQ(colours.colorMode.value, 2);
        EXPECT_EQ(colours.transparency.value, 25u);
        EXPECT_EQ(firefly->trail.params.effectLink.Id(), 77);
        EXPECT_EQ(firefly->trail.params.effectLink.Path(), u"effects.dll");
        EXPECT_EQ(firefly->trail.params.particleSize.value, 6u);
    }

    // Version 2 keeps both blocks as stored.
    FireflyFields current = FireflyWithPictures(2, {901, 902});
    current.trail.version = 4;
    current.trail.block.pictures = {{u"common_res.dll", 905}};
    const auto firefly = ReadFirefly(current);
    ASSERT_NE(firefly, nullptr);
    EXPECT_EQ(PictureIds(firefly->trail.params), std::vector<std::int64_t>{905});
    EXPECT_EQ(PictureIds(firefly->params), (std::vector<std::int64_t>{901, 902}));
    EXPECT_EQ(firefly->trail.params.colours.colors.value.size(), 2u);
}

TEST(FireflyTest, SavesWhatTheWriterWrites)
{
    FireflyFields fields = FireflyWithPictures(2, {901});
    fields.trail.version = 4;
    fields.trail.lifetime = 70;
    fields.brown.count = 9;
    fields.brown.area = wander_writer::BoxCorners(0.0f, 0.0f, 64.0f, 32.0f);
    const auto firefly = ReadFirefly(fields);
    ASSERT_NE(firefly, nullptr);
    RecordingArchive saved;
    firefly->Save(saved.Writer());
    DocumentWriter expected;
    wander_writer::WriteFirefly(expected, fields);
    EXPECT_EQ(saved.writer.Bytes(), expected.Bytes());
    // A copy takes the trail along.
    const auto clone = firefly->Clone();
    const auto* copy = dynamic_cast<const KXI_Firefly*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->trail.lifetime.value, 70u);
    EXPECT_EQ(copy->count.value, 9u);
}

// ---- drawing ----------------------------------------------------------------------

class FireflyRenderTest : public picture_scene_test::PictureSceneTest {
protected:
    void StorePictures()
    {
        DocResManagerRecord record;
        record.frames[{kTrailPicture, 1}] = {StoredFrame{docres_test::SolidBmp(4, 4, 0xFF0000), 0.0f}};
        record.frames[{kFireflyPicture, 2}] = {StoredFrame{docres_test::SolidBmp(4, 4, 0xFFFFFF), 0.0f}};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    // One green firefly standing at canvas (16, 8), 2 units wide, with a
    // still trail 8 units wide in the red trail picture around it.
    static FireflyFields StandingFirefly(std::int32_t glowMode)
    {
        FireflyFields fields;
        particle_writer::BlockFields& trail = fields.trail.block;
        trail.pictures = {{kTrailPicture, 1}};
        trail.particleSize = 8;
        trail.flags = 0x2;
        trail.glowMode = glowMode;
        fields.trail.lifetime = 1000;
        fields.trail.velocityFactor = 50;
        fields.brown.count = 1;
        fields.brown.area = wander_writer::BoxCorners(16.0f, 8.0f, 16.0f, 8.0f);
        particle_writer::BlockFields& own = fields.brown.controller.block;
        own.pictures = {{kFireflyPicture, 2}};
        own.particleSize = 2;
        own.colours = {0x0000FF00, 0x00000000};
        own.flags = 0x2;
        own.glowMode = glowMode;
        return fields;
    }
};

TEST_F(FireflyRenderTest, TrailUnderTheFireflyInItsOwnPicture)
{
    using namespace picture_scene_test;
    for (const std::int32_t glow : {0, 2}) {
        SCOPED_TRACE(glow);
        StorePictures();
        auto light = MakeStripesLight(PicturePosition::kStretch);
        const auto description = ReadFirefly(StandingFirefly(glow));
        ASSERT_NE(description, nullptr);
        auto mech = StartRunning(*description);
        mech->Animate(0.0f);
        mech->Animate(0.1f);
        const auto& firefly = dynamic_cast<const KXI_Firefly&>(mech->Controller());
        EXPECT_EQ(firefly.trail.particles.Size(), 2u);
        EXPECT_EQ(mech->QuadCount(KXI_Firefly::kTrailBatch), 2);
        EXPECT_EQ(mech->QuadCount(KXI_Firefly::kFireflyBatch), 1);

        const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(mech.release())};
        EXPECT_EQ(light->CountRenderTargetPasses(objects), glow == 2 ? 2 : 0);
        light->RenderFrame(objects, false);
        const auto pixels = BackBufferPixels();
        // A canvas unit is 2 x 4 pixels. A particle at rest is drawn one unit
        // along its direction (0, 1) and one along its perpendicular (-1, 0):
        // the firefly at (15, 9), its trail, born there, at (14, 10).
        struct Probe {
            std::uint32_t x, y, rgb;
        };
        for (const Probe& p : {Probe{30, 36, kGreenRgb}, Probe{34, 36, kRedRgb}, Probe{22, 28, kRedRgb},
                               Probe{35, 52, kRedRgb}, Probe{40, 36, kGrey}, Probe{56, 20, kStripes[3]},
                               Probe{4, 4, kStripes[0]}})
            EXPECT_TRUE(ShowsRgb(At(pixels, p.x, p.y), p.rgb)) << p.x << ", " << p.y << ": " << Hex(At(pixels, p.x, p.y));
    }
}

} // namespace
