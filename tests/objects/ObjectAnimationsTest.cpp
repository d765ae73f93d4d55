// The object animations: frame stepping forwards and backwards, the static
// animation's effect colour and what it draws without its effect or
// picture, the wandering copies (count changes, the random draws, quad
// sizes, the cap on huge counts, copies steering by their own settings), and
// the path walk (turning at both ends, long steps, degenerate paths, facing
// and mirrors), and the stored sections read back and saved again.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "objects/ObjectAnimations.h"
#include "objects/ObjectClasses.h"
#include "platform/crt/Random.h"
#include "render/SharedResource.h"
#include "tests/particles/generators/GeneratorRecordSupport.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"
#include "tests/render/QuadTestSupport.h"
#include "tests/support/ObjectAnimationWriter.h"

namespace {

using generator_test::RecordingRenderer;
using light_test::LayerVertices;

class ObjectAnimationTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        for (std::uint32_t i = 0; i < 3; ++i)
            frameTextures.push_back(quad_test::MakeTexture(*device, 1, 1, {0xFF000000u | (i + 1)}));
    }

    // Frames of 0.1 s each, `count` of them; the picture 8 x 4 pixels.
    SpriteFrameInfo Frames(std::size_t count) const
    {
        SpriteFrameInfo frames;
        frames.sourceWidth = 8;
        frames.sourceHeight = 4;
        for (std::size_t i = 0; i < count; ++i) {
            frames.frameTextures.push_back(frameTextures[i]);
            frames.frameDurations.push_back(0.1f);
        }
        return frames;
    }

    template <class T>
    static T& GeneratorOf(DS_ParticlesObj& object)
    {
        return static_cast<T&>(*object.Generator());
    }

    std::vector<gfx::Ref<gfx::Texture>> frameTextures;
};

// ---- the static animation ------------------------------------------------------------

TEST_F(ObjectAnimationTest, FramesRunForwardsOrBackwardsAtTheFrameClock)
{
    const struct {
        std::size_t frameCount;
        int reverse;
        std::vector<std::int32_t> shown; // after each step of 0.15 s
    } cases[] = {
        {1, 0, {0, 0, 0, 0}}, {1, 1, {0, 0, 0, 0}},    {2, 0, {1, 0, 1, 0}},
        {2, 1, {1, 0, 1, 0}}, {3, 0, {1, 2, 0, 1}},    {3, 1, {2, 1, 0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.frameCount) + " frames, reverse " + std::to_string(c.reverse));
        DS_StaticAnimation animation;
        animation.keepId = 1;
        animation.reverse.StoreValue(c.reverse);
        animation.frameSpeed.QuietSet(100); // 1.0
        auto object = std::make_unique<DS_ParticlesObj>(animation.Clone());
        auto& clone = GeneratorOf<DS_StaticAnimation>(*object);
        clone.frames = Frames(c.frameCount);
        std::vector<std::int32_t> shown;
        for (int step = 1; step <= 4; ++step) {
            clone.Step(0.15f * static_cast<float>(step), *object);
            shown.push_back(clone.frames.currentFrame);
        }
        EXPECT_EQ(shown, c.shown);
    }
}

TEST_F(ObjectAnimationTest, TheStaticAnimationColourCarriesLevelAndOpacity)
{
    DS_StaticAnimation animation;
    light_test::ScriptedTimeline& timeline = light_test::Script(animation, 1);
    timeline.Set(kTimingRising, 0.5f);
    animation.colour.colour.StoreValue(0x00336699); // COLORREF: red 0x99, blue 0x33
    animation.colour.opacity.QuietSet(0);           // transparency 0: opacity byte 255
    const math::Vec4 c = animation.EffectColour();
    EXPECT_FLOAT_EQ(c.x, 0x99 / 255.0f);
    EXPECT_FLOAT_EQ(c.y, 0x66 / 255.0f);
    EXPECT_FLOAT_EQ(c.z, 0x33 / 255.0f);
    EXPECT_FLOAT_EQ(c.w, 0.5f);
    EXPECT_EQ(animation.effectLink.Id(), kCommonResStaticAnimationEffect);
}

TEST_F(ObjectAnimationTest, TheStaticAnimationDrawsOnlyWithEffectAndPicture)
{
    DS_StaticAnimation animation;
    animation.keepId = 1;
    animation.blendMode.StoreValue(DS_TexParticleGenerator::kBlendScreen);
    auto object = std::make_unique<DS_ParticlesObj>(animation.Clone());
    auto& clone = GeneratorOf<DS_StaticAnimation>(*object);
    EXPECT_FALSE(clone.NeedsBackground()) << "it never reads the picture drawn so far";
    for (const bool withEffect : {false, true})
        for (const std::size_t frameCount : {0u, 2u}) {
            SCOPED_TRACE(std::to_string(withEffect) + " " + std::to_string(frameCount));
            clone.effect = withEffect ? manager->GetBuiltinEffect(DS_StaticAnimation::kBuiltinEffect)
                                      : gfx::Ref<gfx::Effect>();
            clone.frames = Frames(frameCount);
            RecordingRenderer renderer(*device);
            clone.Render(renderer, *object);
            if (withEffect && frameCount > 0)
                EXPECT_EQ(renderer.Whats(), std::vector<std::string>{"layer Blend_Normal"});
            else
                EXPECT_TRUE(renderer.events.empty());
        }
}

// ---- the wandering copies --------------------------------------------------------------

class BrownAnimationTest : public ObjectAnimationTest {
protected:
    void SetUp() override
    {
        ObjectAnimationTest::SetUp();
        brown.keepId = 1;
        brown.region.SetRectangle(100.0f, 50.0f, {60.0f, 45.0f, 0.0f}); // x 10..110, y 20..70
        brown.size.QuietSet(50);                                         // 0.5
        brown.motionScale.QuietSet(25);                                  // 1.0
        object = std::make_unique<DS_ParticlesObj>(brown.Clone());
        clone().frames = Frames(2);
    }

    DS_BrownAnimation& clone() { return GeneratorOf<DS_BrownAnimation>(*object); }

    std::vector<math::Vec3> Positions()
    {
        std::vector<math::Vec3> out;
        for (const GenParticle& copy : clone().emitters)
            out.push_back(copy.position);
        return out;
    }

    DS_BrownAnimation brown;
    std::unique_ptr<DS_ParticlesObj> object;
};

TEST_F(BrownAnimationTest, NewCopiesDrawYBeforeXAndALowerCountKeepsTheFirst)
{
    crt::srand(7);
    crt::RandomSequence pinned(7);
    const float y = static_cast<float>(pinned.Next()) / 32767.0f * 50.0f + 20.0f;
    const float x = static_cast<float>(pinned.Next()) / 32767.0f * 100.0f + 10.0f;

    clone().count.StoreValue(10);
    clone().SyncCount();
    const std::vector<math::Vec3> ten = Positions();
    ASSERT_EQ(ten.size(), 10u);
    EXPECT_EQ(ten[0], (math::Vec3{x, y, 0.0f}));

    clone().count.StoreValue(4);
    clone().Step(0.0f, *object); // no time passes: nothing moves
    const std::vector<math::Vec3> four = Positions();
    EXPECT_EQ(four, std::vector<math::Vec3>(ten.begin(), ten.begin() + 4));
    EXPECT_EQ(object->QuadCount(0), 4);
}

TEST_F(BrownAnimationTest, CopyQuadsArePictureSizeTimesSize)
{
    clone().count.StoreValue(1);
    clone().Step(0.0f, *object);
    const math::Vec3 centre = clone().emitters.front().position;
    const auto vertices = LayerVertices(*object, 0);
    ASSERT_EQ(vertices.size(), 4u);
    float left = vertices[0].x, right = vertices[0].x, top = vertices[0].y, bottom = vertices[0].y;
    for (const QuadBatchVertex& v : vertices) {
        left = std::min(left, v.x);
        right = std::max(right, v.x);
        top = std::min(top, v.y);
        bottom = std::max(bottom, v.y);
    }
    EXPECT_NEAR(right - left, 4.0f, 1e-4f); // 8 x 0.5
    EXPECT_NEAR(bottom - top, 2.0f, 1e-4f); // 4 x 0.5
    EXPECT_NEAR((left + right) / 2.0f, centre.x, 1e-4f);
    EXPECT_NEAR((top + bottom) / 2.0f, centre.y, 1e-4f);
}

TEST_F(BrownAnimationTest, AHugeStoredCountMakesAsManyCopiesAsALayerDraws)
{
    clone().count.StoreValue(4000000000u);
    clone().Step(0.0f, *object);
    EXPECT_EQ(clone().emitters.size(), kMaxGenParticles);
    EXPECT_EQ(object->QuadCount(0), static_cast<std::int32_t>(kMaxGenParticles));
}

TEST_F(BrownAnimationTest, ACopyOfTheObjectSteersItsCopiesByItsOwnSettings)
{
    clone().count.StoreValue(3);
    clone().SyncCount();
    const auto copy = clone().Clone();
    auto& copied = static_cast<DS_BrownAnimation&>(*copy);
    ASSERT_EQ(copied.emitters.size(), 3u);
    for (const GenParticle& particle : copied.emitters) {
        const auto* wander = dynamic_cast<const PBrownian*>(particle.processes.front().get());
        ASSERT_NE(wander, nullptr);
        EXPECT_EQ(wander->owner, &copied.wanderSettings);
    }
    EXPECT_EQ(copied.wanderSettings.rectangle, &copied.wanderRect);
    EXPECT_EQ(copied.wanderSettings.speedFactor, &copied.motionScale.Scaled());
    EXPECT_EQ(copied.wanderSettings.repickPeriod, &copied.repickPeriod.Scaled());
    EXPECT_EQ(copied.wanderSettings.steeringTime, &copied.steerTime.Scaled());
}

TEST_F(BrownAnimationTest, CopiesDrawTheCurrentFrameOrNothing)
{
    clone().count.StoreValue(2);
    clone().Step(0.0f, *object);
    clone().blendMode.StoreValue(DS_TexParticleGenerator::kBlendColorDodge);
    EXPECT_FALSE(clone().NeedsBackground());
    clone().Step(0.15f, *object); // frame 1
    {
        RecordingRenderer renderer(*device);
        clone().Render(renderer, *object);
        ASSERT_EQ(renderer.events.size(), 1u);
        EXPECT_EQ(renderer.events[0].technique, "straight");
        EXPECT_EQ(renderer.events[0].stageTexture, frameTextures[1].Get());
    }
    clone().frames = SpriteFrameInfo{};
    RecordingRenderer renderer(*device);
    clone().Render(renderer, *object);
    EXPECT_TRUE(renderer.events.empty());
}

// ---- the path walk -----------------------------------------------------------------------

class PathAnimationTest : public ObjectAnimationTest {
protected:
    std::unique_ptr<DS_ParticlesObj> MakeObject(const std::vector<math::Vec3>& points)
    {
        DS_PathAnimtion animation;
        animation.keepId = 1;
        animation.size.QuietSet(100); // 1.0
        for (const math::Vec3& point : points)
            animation.path.AddPoint(DX_SmartPnt(point), nullptr);
        auto object = std::make_unique<DS_ParticlesObj>(animation.Clone());
        GeneratorOf<DS_PathAnimtion>(*object).frames = Frames(1);
        return object;
    }
};

TEST_F(PathAnimationTest, ThePathIsWalkedBackAndForthAcrossSegments)
{
    // A (0, 0), B (10, 0), C (10, 10): steps of 5 and 15 pixels.
    auto object = MakeObject({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}});
    auto& path = GeneratorOf<DS_PathAnimtion>(*object);
    EXPECT_EQ(path.state.current, (math::Vec3{0, 0, 0}));
    const struct {
        float step;
        math::Vec3 at;
    } walk[] = {
        {5, {5, 0, 0}},  {5, {10, 0, 0}}, {5, {10, 5, 0}}, {5, {10, 10, 0}}, // A to C
        {5, {10, 5, 0}}, {5, {10, 0, 0}}, {5, {5, 0, 0}},  {5, {0, 0, 0}},   // back to A
        {15, {10, 5, 0}},                                                     // on past B
        {20, {5, 0, 0}},                                                      // C, then back past B
        {35, {10, 0, 0}},  // on to A, turns, to C, turns, back to B
        {45, {5, 0, 0}},   // a full way there and back, then 5 more towards A
    };
    for (const auto& w : walk) {
        path.WalkPath(w.step);
        EXPECT_NEAR(path.state.current.x, w.at.x, 1e-4f);
        EXPECT_NEAR(path.state.current.y, w.at.y, 1e-4f);
    }
}

TEST_F(PathAnimationTest, AHugeStepReturnsAtOnceAtTheRightPlace)
{
    // Length 30, a way there and back of 60: 10^9 leaves 40, i.e. 10 back
    // from the far end.
    auto object = MakeObject({{0, 0, 0}, {30, 0, 0}});
    auto& path = GeneratorOf<DS_PathAnimtion>(*object);
    path.WalkPath(1e9f);
    EXPECT_NEAR(path.state.current.x, 20.0f, 1e-3f);
    path.WalkPath(5.0f);
    EXPECT_NEAR(path.state.current.x, 15.0f, 1e-3f) << "it walks on backwards";
}

TEST_F(PathAnimationTest, DegeneratePathsStayAtTheFirstPointOrDrawNothing)
{
    const struct {
        const char* name;
        std::vector<math::Vec3> points;
        std::int32_t quads;
    } cases[] = {
        {"all points equal", {{4, 5, 0}, {4, 5, 0}, {4, 5, 0}}, 1},
        {"one point", {{4, 5, 0}}, 1},
        {"zero-length segment inside", {{4, 5, 0}, {4, 5, 0}, {14, 5, 0}}, 1},
        {"no point", {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto object = MakeObject(c.points);
        auto& path = GeneratorOf<DS_PathAnimtion>(*object);
        for (const float step : {0.0f, 3.0f, 100.0f})
            path.BuildPathQuad(*object, step);
        EXPECT_EQ(object->QuadCount(0), c.quads);
        EXPECT_TRUE(std::isfinite(path.state.current.x) && std::isfinite(path.state.current.y));
        if (c.quads > 0 && c.points.back() == c.points.front()) {
            EXPECT_EQ(path.state.current, c.points.front());
        }
    }
}

TEST_F(PathAnimationTest, FacingTurnsOrMirrorsThePicture)
{
    // Quads of 8 x 4 pixels; the first vertex is the bottom-left corner with
    // texture corner (0, 1) when nothing is turned over.
    const struct {
        const char* name;
        std::int32_t facing;
        std::vector<math::Vec3> points;
        float step;
        float u0, v0;
    } cases[] = {
        {"mode 2 moving +x", 2, {{0, 0, 0}, {100, 0, 0}}, 5, 0, 1},
        {"mode 2 moving -x", 2, {{100, 0, 0}, {0, 0, 0}}, 5, 1, 1},
        {"mode 3 moving +y", 3, {{0, 0, 0}, {0, 100, 0}}, 5, 0, 0},
        {"mode 3 moving -y", 3, {{0, 100, 0}, {0, 0, 0}}, 5, 0, 1},
        {"mode 0 moving -x", 0, {{100, 0, 0}, {0, 0, 0}}, 5, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto object = MakeObject(c.points);
        auto& path = GeneratorOf<DS_PathAnimtion>(*object);
        path.facing.StoreValue(c.facing);
        path.BuildPathQuad(*object, c.step);
        const auto vertices = LayerVertices(*object, 0);
        ASSERT_EQ(vertices.size(), 4u);
        EXPECT_EQ(vertices[0].u, c.u0);
        EXPECT_EQ(vertices[0].v, c.v0);
    }
}

TEST_F(PathAnimationTest, FacingMode1TurnsAlongTheMotionAndNotWhenStill)
{
    auto object = MakeObject({{0, 0, 0}, {0, 100, 0}});
    auto& path = GeneratorOf<DS_PathAnimtion>(*object);
    path.facing.StoreValue(DS_PathAnimtion::kFacingTurned);
    const auto extent = [&] {
        const auto vertices = LayerVertices(*object, 0);
        float width = 0, height = 0;
        for (const QuadBatchVertex& a : vertices)
            for (const QuadBatchVertex& b : vertices) {
                width = std::max(width, std::fabs(a.x - b.x));
                height = std::max(height, std::fabs(a.y - b.y));
            }
        return std::pair{width, height};
    };
    path.BuildPathQuad(*object, 0.0f);
    EXPECT_EQ(extent(), (std::pair{8.0f, 4.0f})) << "still: unturned";
    path.BuildPathQuad(*object, 10.0f);
    EXPECT_EQ(extent(), (std::pair{4.0f, 8.0f})) << "moving down: the width lies along y";
    EXPECT_EQ(path.state.current, (math::Vec3{0, 10, 0}));
}

} // namespace

// ---- stored sections -------------------------------------------------------------------

namespace {

using namespace generator_writer;

TexGeneratorFields AnimationTextured()
{
    TexGeneratorFields textured;
    textured.textures = {{u"walker.gif", 3}};
    textured.effect = {u"common_res.dll", 116};
    textured.colour = 0x2040FF;
    textured.opacity = 20;
    textured.blendMode = 1;
    textured.generator.base.name = u"Animated";
    return textured;
}

std::unique_ptr<DS_IOF_Item> ReadAnimation(const DocumentWriter& writer)
{
    RegisterObjectClasses();
    return generator_test::ReadRecord<DS_IOF_Item>(writer);
}

TEST(ObjectAnimationSectionTest, SectionsReadBackAndSaveTheSameBytes)
{
    StaticAnimationFields still;
    still.frameSpeed = 250, still.reverse = 1;
    still.rect.rect = RectCorners(10, 20, 64, 32);
    still.rect.base.textured = AnimationTextured();

    BrownAnimationFields brown;
    brown.count = 4000000000u, brown.size = 50, brown.motionScale = 50, brown.repickPeriod = 100;
    brown.steerTime = 49, brown.frameSpeed = 200;
    brown.region.region = RectangleQuad(100, 80, 120, 60);
    brown.region.textured = AnimationTextured();

    PathAnimationFields walker;
    walker.moveSpeed = 20, walker.size = 75, walker.facing = 2, walker.mirrorTopBottom = 1;
    walker.mirrorLeftRight = 0, walker.frameSpeed = 50;
    walker.path.points = {{10, 20, 0}, {200, 20, 5}, {100, 150, 0}};
    walker.path.textured = AnimationTextured();

    const struct {
        const char* name;
        std::function<void(DocumentWriter&)> write;
        std::function<void(const DS_IOF_Item&)> check;
    } cases[] = {
        {"static animation", [&](DocumentWriter& w) { WriteStaticAnimation(w, still); },
         [](const DS_IOF_Item& item) {
             const auto& a = dynamic_cast<const DS_StaticAnimation&>(item);
             EXPECT_FLOAT_EQ(a.frameSpeed.Scaled(), 2.5f);
             EXPECT_EQ(a.reverse.value, 1);
             EXPECT_EQ(a.rect.corners[3].value, (math::Vec3{74, 52, 0}));
             EXPECT_FALSE(a.NeedsBackground());
         }},
        {"brown animation", [&](DocumentWriter& w) { WriteBrownAnimation(w, brown); },
         [](const DS_IOF_Item& item) {
             const auto& a = dynamic_cast<const DS_BrownAnimation&>(item);
             EXPECT_EQ(a.count.value, 4000000000u);
             EXPECT_EQ(a.WantedCopies(), kMaxGenParticles);
             EXPECT_FLOAT_EQ(a.size.Scaled(), 0.5f);
             EXPECT_FLOAT_EQ(a.motionScale.Scaled(), 2.0f);
             EXPECT_FLOAT_EQ(a.repickPeriod.Scaled(), 8.25f);
             EXPECT_FLOAT_EQ(a.steerTime.Scaled(), 1.0f);
             EXPECT_FLOAT_EQ(a.frameSpeed.Scaled(), 2.0f);
             EXPECT_FALSE(a.NeedsBackground());
         }},
        {"path animation", [&](DocumentWriter& w) { WritePathAnimation(w, walker); },
         [](const DS_IOF_Item& item) {
             const auto& a = dynamic_cast<const DS_PathAnimtion&>(item);
             EXPECT_FLOAT_EQ(a.moveSpeed.Scaled(), 60.0f);
             EXPECT_FLOAT_EQ(a.size.Scaled(), 0.75f);
             EXPECT_EQ(a.facing.value, 2);
             EXPECT_EQ(a.mirrorTopBottom.value, 1);
             EXPECT_FLOAT_EQ(a.frameSpeed.Scaled(), 0.5f);
             ASSERT_EQ(a.path.points.size(), 3u);
             EXPECT_EQ(a.path.points[1]->value, (math::Vec3{200, 20, 5}));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentWriter writer;
        c.write(writer);
        const auto item = ReadAnimation(writer);
        ASSERT_NE(item, nullptr);
        c.check(*item);
        EXPECT_EQ(generator_test::Saved(*item), writer.Bytes());
        const auto clone = dynamic_cast<DS_ParticleGenerator&>(*item).Clone();
        EXPECT_EQ(generator_test::Saved(*clone), writer.Bytes());
    }
}

TEST(ObjectAnimationSectionTest, Version1SectionsKeepFrameSpeed1)
{
    BrownAnimationFields brown;
    brown.version = 1;
    brown.count = 3;
    PathAnimationFields walker;
    walker.version = 1;
    walker.path.points = {{1, 2, 3}};
    const struct {
        const char* name;
        std::function<void(DocumentWriter&)> write;
    } cases[] = {
        {"brown animation", [&](DocumentWriter& w) { WriteBrownAnimation(w, brown); }},
        {"path animation", [&](DocumentWriter& w) { WritePathAnimation(w, walker); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentWriter writer;
        c.write(writer);
        const auto item = ReadAnimation(writer);
        ASSERT_NE(item, nullptr);
        const MediaSpeedParam* frameSpeed = nullptr;
        if (const auto* b = dynamic_cast<const DS_BrownAnimation*>(item.get()))
            frameSpeed = &b->frameSpeed;
        if (const auto* p = dynamic_cast<const DS_PathAnimtion*>(item.get()))
            frameSpeed = &p->frameSpeed;
        ASSERT_NE(frameSpeed, nullptr);
        EXPECT_EQ(frameSpeed->value, 100u);
        EXPECT_FLOAT_EQ(frameSpeed->Scaled(), 1.0f);
    }
}

} // namespace
