// The glowing discharge: the jagged line it builds between its points, the
// morph between two lines, the segment pictures and their flicker, its
// stored record, and a discharge drawn headless through the glow pipeline
// from a writer-made document.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "objects/GlowingDischarge.h"
#include "objects/ObjectClasses.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Random.h"
#include "render/SharedResource.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"
#include "tests/support/DischargeWriter.h"

namespace {

using namespace sprite_test;

math::Vec3 EndOf(const DischargeKeyPoint& key)
{
    return {key.position.x + key.direction.x * key.length * 0.5f,
            key.position.y + key.direction.y * key.length * 0.5f,
            key.position.z + key.direction.z * key.length * 0.5f};
}

bool Finite(const DischargeKeyPoint& key)
{
    for (float value : {key.position.x, key.position.y, key.direction.x, key.direction.y, key.normal.x,
                        key.normal.y, key.length})
        if (!std::isfinite(value))
            return false;
    return true;
}

TEST(DischargeShapeTest, ShapesBetweenTheTwoPoints)
{
    struct Case {
        const char* what;
        std::uint32_t count;
        std::uint32_t jitter;
        math::Vec3 start, end;
        bool straight; // every segment on the line, all equally long
    };
    const Case cases[] = {
        {"one segment", 1, 50, {10, 20, 0}, {70, 100, 0}, true},
        {"no jitter", 4, 0, {0, 0, 0}, {80, 0, 0}, true},
        {"jitter", 6, 80, {0, 0, 0}, {300, 40, 0}, false},
        {"start = end", 5, 50, {30, 30, 0}, {30, 30, 0}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        crt::srand(7);
        DS_DischargeFXConstructor discharge;
        discharge.spriteCount.StoreValue(c.count);
        discharge.jitter.SetValue(c.jitter, nullptr);
        discharge.start.StoreValue(c.start);
        discharge.end.StoreValue(c.end);
        std::vector<DischargeKeyPoint> shape(c.count);
        discharge.BuildShape(shape);

        const float dx = c.end.x - c.start.x, dy = c.end.y - c.start.y;
        const float distance = std::hypot(dx, dy);
        math::Vec3 from = c.start;
        for (const DischargeKeyPoint& key : shape) {
            ASSERT_TRUE(Finite(key));
            const math::Vec3 to = EndOf(key);
            EXPECT_NEAR(std::hypot(to.x - from.x, to.y - from.y), key.length, 1e-3f) << "segments join";
            if (c.straight) {
                EXPECT_NEAR(key.length, distance / static_cast<float>(c.count), 1e-3f);
                EXPECT_NEAR((to.x - c.start.x) * dy - (to.y - c.start.y) * dx, 0.0f, 1e-2f) << "on the line";
            }
            from = to;
        }
        EXPECT_NEAR(from.x, c.end.x, 1e-3f) << "the last segment ends at the end point";
        EXPECT_NEAR(from.y, c.end.y, 1e-3f);
        if (distance == 0.0f) {
            EXPECT_EQ(shape.front().length, 0.0f) << "nothing to see";
        }
    }
}

TEST(DischargeShapeTest, ALoweredCountRebuildsShapesThatStillEndAtTheEnd)
{
    DS_DischargeFXConstructor discharge;
    discharge.start.StoreValue({0, 0, 0});
    discharge.end.StoreValue({120, 60, 0});
    discharge.spriteCount.StoreValue(8);
    SpriteParticle sprite;
    discharge.InitSprite(sprite);
    ASSERT_EQ(discharge.newShape.size(), 8u);
    discharge.spriteCount.StoreValue(3);
    discharge.PrepareFrame();
    ASSERT_EQ(discharge.oldShape.size(), 3u);
    ASSERT_EQ(discharge.newShape.size(), 3u);
    for (const auto* shape : {&discharge.oldShape, &discharge.newShape}) {
        const math::Vec3 last = EndOf(shape->back());
        EXPECT_NEAR(last.x, 120.0f, 1e-3f);
        EXPECT_NEAR(last.y, 60.0f, 1e-3f);
    }
}

TEST(DischargeMorphTest, SegmentsMorphUntilTheNextLine)
{
    DS_DischargeFXConstructor discharge; // morph speed 5
    discharge.start.StoreValue({0, 0, 0});
    discharge.end.StoreValue({100, 0, 0});
    discharge.spriteCount.StoreValue(3);
    SpriteParticle init;
    discharge.InitSprite(init);
    const std::vector<DischargeKeyPoint> before = discharge.newShape;

    discharge.animationClock = 0.5f;
    discharge.PrepareFrame(); // a new line: old = the line before
    EXPECT_EQ(discharge.lastRebuild, 0.5f);
    EXPECT_EQ(discharge.oldShape[1].position.y, before[1].position.y);

    // Clock values exact in binary, so that 0.1 s is not crossed by rounding.
    for (const float since : {0.0f, 0.0625f, 0.09375f}) {
        SCOPED_TRACE(since);
        discharge.animationClock = 0.5f + since;
        discharge.PrepareFrame();
        EXPECT_EQ(discharge.lastRebuild, 0.5f) << "no new line until more than 0.1 s";
        discharge.segmentCounter = 0;
        SpriteParticle first, second;
        discharge.UpdateSprite(first);
        discharge.UpdateSprite(second);
        const float t = since * 5.0f;
        const float expected = discharge.oldShape[1].position.y +
                               (discharge.newShape[1].position.y - discharge.oldShape[1].position.y) * t;
        EXPECT_NEAR(second.position.y, expected, 1e-3f);
        EXPECT_NEAR(second.halfWidth, discharge.LerpKeyPoint(t, 1).length * 0.5f, 1e-4f);
        EXPECT_EQ(second.halfHeight, 25.0f); // sprite size 50
    }
    // t runs to 0.5 at 0.1 s and is not held there.
    const DischargeKeyPoint half = discharge.LerpKeyPoint(0.5f, 1);
    EXPECT_NEAR(half.position.y, (discharge.oldShape[1].position.y + discharge.newShape[1].position.y) / 2, 1e-4f);
    const DischargeKeyPoint beyond = discharge.LerpKeyPoint(2.0f, 1);
    EXPECT_NEAR(beyond.length, 2 * discharge.newShape[1].length - discharge.oldShape[1].length, 1e-3f);
    discharge.animationClock = 0.625f;
    discharge.PrepareFrame();
    EXPECT_EQ(discharge.lastRebuild, 0.625f);
}

TEST(DischargeSpriteTest, EndCapsOnlyAtTheChainsEnds)
{
    struct Case {
        std::uint32_t count;
        std::vector<std::array<float, 2>> u;
    };
    const Case cases[] = {
        {1, {{0.0f, 1.0f}}},
        {3, {{0.0f, 0.805f}, {0.195f, 0.805f}, {0.195f, 1.0f}}},
    };
    for (const Case& c : cases) {
        DS_DischargeFXConstructor discharge;
        discharge.end.StoreValue({50, 0, 0});
        discharge.spriteCount.StoreValue(c.count);
        discharge.PrepareFrame();
        for (const auto& expected : c.u) {
            SpriteParticle sprite;
            discharge.UpdateSprite(sprite);
            EXPECT_FLOAT_EQ(sprite.texU0, expected[0]);
            EXPECT_FLOAT_EQ(sprite.texU1, expected[1]);
        }
    }
}

TEST(DischargeSpriteTest, FlickerFollowsTheSharedSequence)
{
    DS_DischargeFXConstructor discharge; // flicker interval 0: every frame
    discharge.end.StoreValue({50, 0, 0});
    discharge.spriteCount.StoreValue(1);
    discharge.PrepareFrame();
    crt::srand(1234);
    std::vector<int> draws;
    for (int i = 0; i < 16; ++i)
        draws.push_back(crt::rand());
    crt::srand(1234);
    SpriteParticle sprite;
    for (int frame = 0; frame < 8; ++frame) {
        SCOPED_TRACE(frame);
        discharge.lastObjectTime = 0.5f * static_cast<float>(frame + 1);
        discharge.segmentCounter = 0;
        discharge.UpdateSprite(sprite);
        const int first = draws[static_cast<std::size_t>(2 * frame)];
        const int second = draws[static_cast<std::size_t>(2 * frame + 1)];
        std::array<float, 2> v = first % 2 == 0 ? std::array{0.5f, 1.0f} : std::array{0.0f, 0.5f};
        if (second % 2 == 1)
            std::swap(v[0], v[1]);
        EXPECT_EQ(sprite.texV0, v[0]);
        EXPECT_EQ(sprite.texV1, v[1]);
        EXPECT_EQ(sprite.timer, discharge.lastObjectTime);
    }
    // Within the interval nothing is drawn.
    discharge.flickerInterval.SetValue(0, nullptr); // 0.1 s
    const int next = crt::rand();
    crt::srand(1234);
    for (int i = 0; i < 16; ++i)
        crt::rand();
    discharge.lastObjectTime += 0.05f;
    discharge.segmentCounter = 0;
    discharge.UpdateSprite(sprite);
    EXPECT_EQ(crt::rand(), next);
}

// ---- record and pictures --------------------------------------------------------------

class DischargeSceneTest : public SpriteSceneTest {
protected:
    void SetUp() override
    {
        SpriteSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        docres_test::TestModuleFolder(); // the shared module the default links name
        RegisterObjectClasses();
        DocResManagerRecord record;
        ModuleResourceBlob ground(kGroundLink.path);
        ground.SetBytes(docres_test::SolidBmp(64, 64, kGroundRgb));
        record.textureSetRecords[kGroundLink] = {ground};
        StorePictures(record);
        light = MakeLight(kGroundLink, PicturePosition::kStretch);
    }
    void TearDown() override
    {
        objects.clear();
        light.reset();
        SpriteSceneTest::TearDown();
    }

    std::unique_ptr<DS_DischargeFXConstructor> Read(const discharge_writer::DischargeFields& fields)
    {
        DocumentWriter w;
        discharge_writer::WriteDischarge(w, fields);
        MemoryArchive archive(w.Bytes());
        std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
        EXPECT_EQ(archive.Remaining(), 0u);
        auto* discharge = dynamic_cast<DS_DischargeFXConstructor*>(item.get());
        if (!discharge)
            return nullptr;
        item.release();
        return std::unique_ptr<DS_DischargeFXConstructor>(discharge);
    }

    std::vector<std::uint32_t> Frame(float time)
    {
        for (const auto& object : objects)
            object->Update(time);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    // A straight red-glowing white discharge across the middle of the
    // 64 x 64 ground, 12 pixels thick.
    static discharge_writer::DischargeFields Across(std::int32_t blendMode)
    {
        discharge_writer::DischargeFields f;
        f.start = {8.0f, 32.0f, 0.0f};
        f.end = {56.0f, 32.0f, 0.0f};
        f.jitter = 0;
        f.glow.glowColour = 0x0000FF; // red
        f.glow.fx.effect = {u"common_res.dll", kCommonResDischargeEffect};
        description_writer::SpriteFields& sprite = f.glow.fx.sprite;
        sprite.spriteCount = 4;
        sprite.spriteSize = 12;
        sprite.colour = 0xFFFFFF;
        sprite.blendMode = blendMode;
        sprite.secondImage = {std::u16string(kWhiteLink.path), kWhiteLink.id};
        return f;
    }

    static inline const LinkKey kGroundLink{u"pictures\\ground.bmp", 40};
    static constexpr std::uint32_t kGroundRgb = 0x202020;
    std::unique_ptr<DS_2D_Light> light;
    RenderObjectList objects;
};

TEST_F(DischargeSceneTest, RecordReadsAndTheTextureChoiceSelectsThePicture)
{
    struct Case {
        std::int32_t choice;
        std::int64_t picture;
    };
    for (const Case& c : {Case{0, kCommonResDischargePicture2}, Case{1, kCommonResDischargePicture1},
                          Case{7, kCommonResDischargePicture1}}) {
        SCOPED_TRACE(c.choice);
        discharge_writer::DischargeFields f = Across(1);
        f.textureChoice = c.choice;
        f.jitter = 30;
        f.flickerInterval = 40;
        f.morphSpeed = 20;
        const auto discharge = Read(f);
        ASSERT_NE(discharge, nullptr);
        EXPECT_EQ(discharge->end.value, (math::Vec3{56.0f, 32.0f, 0.0f}));
        EXPECT_FLOAT_EQ(discharge->jitter.Scaled(), 0.3f);
        EXPECT_FLOAT_EQ(discharge->flickerInterval.Scaled(), 0.06f);
        EXPECT_FLOAT_EQ(discharge->morphSpeed.Scaled(), 2.0f);
        EXPECT_EQ(discharge->glowColour.value, 0x0000FFu);
        discharge->FetchEffect();
        EXPECT_EQ(discharge->spriteImage.Id(), c.picture);
        EXPECT_EQ(discharge->spriteImage.Path(), u"common_res.dll");
        EXPECT_NE(discharge->coreTexture, nullptr) << "the module holds the picture";
        EXPECT_EQ(discharge->start.value, (math::Vec3{8.0f, 32.0f, 0.0f})) << "stored points stay";
    }
}

TEST_F(DischargeSceneTest, GlowAroundTheChainWithTheCoreOverItAndNothingDarker)
{
    for (const std::int32_t blend : {1, 0}) {
        SCOPED_TRACE(blend);
        objects.clear();
        auto description = Read(Across(blend));
        ASSERT_NE(description, nullptr);
        objects.push_back(DS_SafePtr<KXI_RenderObj>(description->CreateRenderObject().release()));
        EXPECT_EQ(objects.front()->NeedsRenderTarget(), 1);
        const auto pixels = Frame(0.05f);

        // Along the middle column: the white core somewhere on the chain
        // (the glow alone has no green); glow red near the quad's edges.
        int brightest = 0;
        for (std::uint32_t y = 27; y <= 37; ++y)
            brightest = std::max(brightest, quad_test::Channel(At(pixels, 32, y), 8));
        EXPECT_GT(brightest, 0x80) << "the core over the glow";
        const std::uint32_t edge = At(pixels, 32, 27);
        EXPECT_GT(quad_test::Channel(edge, 16), quad_test::Channel(edge, 8) + 0x60) << Hex(edge) << ": the red glow";
        ExpectPixel(pixels, 32, 8, kGroundRgb);
        if (blend == 1) {
            for (std::uint32_t pixel : pixels)
                for (int shift : {0, 8, 16})
                    ASSERT_GE(quad_test::Channel(pixel, shift) + 1, 0x20) << Hex(pixel) << ": a screen never darkens";
        }
    }
}

} // namespace
