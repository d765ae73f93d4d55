// The fan of radial rays: its geometry (directions, lengths, widths, the
// seeded pattern that stays from frame to frame), its rotation clock, what
// the timeline does to it, its colours, the shared random sequence it
// restores, and the counts, lengths and texture indices that must not
// break it.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>

#include "particles/generators/RadialRays.h"
#include "platform/crt/Random.h"
#include "render/Timing.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using generator_test::RecordingRenderer;

constexpr float kPi = 3.14159265f;

// A timeline that stays at one level.
class FixedLevelTimeline : public KXI_Timing {
public:
    explicit FixedLevelTimeline(float level) : m_level(level) {}
    float GetValue() const override { return m_level; }

private:
    float m_level;
};

// One ray read back from the layer: its root, its tip, its full width.
struct Ray {
    math::Vec3 root, tip;
    float width = 0.0f;
    std::uint32_t colour = 0;
};

class RadialRaysTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        rays.position.StoreValue({100.0f, 50.0f, 0.0f});
        rays.length.StoreValue(40);
        rays.width.StoreValue(6);
        rays.count.StoreValue(4);
        rays.timingFloor.QuietSet(25);
    }

    std::unique_ptr<DS_ParticlesObj> MakeObject() { return std::make_unique<DS_ParticlesObj>(rays.Clone()); }

    static DS_RadialRays& Clone(DS_ParticlesObj& object) { return static_cast<DS_RadialRays&>(*object.Generator()); }

    static std::vector<Ray> ReadRays(DS_ParticlesObj& object)
    {
        const auto vertices = quad_test::BufferRecords<QuadBatchVertex>(object.Layer(0)->vertices.Buffer());
        std::vector<Ray> out;
        for (std::int32_t i = 0; i < object.QuadCount(0) && std::size_t(4 * i + 3) < vertices.size(); ++i) {
            const QuadBatchVertex* q = &vertices[std::size_t(4 * i)];
            Ray ray;
            ray.root = {(q[0].x + q[1].x) / 2, (q[0].y + q[1].y) / 2, q[0].z};
            ray.tip = {(q[2].x + q[3].x) / 2, (q[2].y + q[3].y) / 2, q[2].z};
            ray.width = std::hypot(q[0].x - q[1].x, q[0].y - q[1].y);
            ray.colour = q[0].colour;
            out.push_back(ray);
        }
        return out;
    }

    static float Length(const Ray& ray) { return std::hypot(ray.tip.x - ray.root.x, ray.tip.y - ray.root.y); }
    static float Angle(const Ray& ray) { return std::atan2(ray.tip.y - ray.root.y, ray.tip.x - ray.root.x); }

    DS_RadialRays rays;
};

TEST_F(RadialRaysTest, AnEvenFanPointsAlongTheAxesFromThePosition)
{
    auto object = MakeObject();
    const std::vector<Ray> fan = ReadRays(*object);
    ASSERT_EQ(fan.size(), 4u);
    const float directions[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(fan[i].root.x, 100.0f, 1e-4f);
        EXPECT_NEAR(fan[i].root.y, 50.0f, 1e-4f);
        EXPECT_NEAR(fan[i].tip.x, 100.0f + 40.0f * directions[i][0], 1e-3f);
        EXPECT_NEAR(fan[i].tip.y, 50.0f + 40.0f * directions[i][1], 1e-3f);
        EXPECT_NEAR(fan[i].width, 6.0f, 1e-4f);
    }
    // Texture corners run from root to tip along u, kept off the edges.
    const auto vertices = quad_test::BufferRecords<QuadBatchVertex>(object->Layer(0)->vertices.Buffer());
    EXPECT_FLOAT_EQ(vertices[0].u, 0.01f);
    EXPECT_FLOAT_EQ(vertices[0].v, 0.99f);
    EXPECT_FLOAT_EQ(vertices[3].u, 0.99f);
    EXPECT_FLOAT_EQ(vertices[3].v, 0.01f);
}

TEST_F(RadialRaysTest, TheSeededPatternStaysFromFrameToFrame)
{
    rays.random.StoreValue(1);
    rays.variation.QuietSet(60);
    rays.count.StoreValue(9);
    rays.seed.StoreValue(11);
    auto object = MakeObject();
    const std::vector<Ray> first = ReadRays(*object);
    crt::rand(); // others drawing between frames change nothing
    Clone(*object).BuildRays(*object);
    const std::vector<Ray> second = ReadRays(*object);
    ASSERT_EQ(first.size(), 9u);
    bool varies = false;
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].tip, second[i].tip);
        EXPECT_GE(Length(first[i]), 40.0f * 0.4f - 1e-3f);
        EXPECT_LE(Length(first[i]), 40.0f + 1e-3f);
        varies = varies || std::abs(Length(first[i]) - Length(first[0])) > 0.5f;
    }
    EXPECT_TRUE(varies);

    Clone(*object).seed.StoreValue(12);
    Clone(*object).BuildRays(*object);
    EXPECT_NE(ReadRays(*object)[1].tip, first[1].tip);

    // Variation 0: the even fan even with random on.
    Clone(*object).variation.QuietSet(0);
    Clone(*object).BuildRays(*object);
    const std::vector<Ray> even = ReadRays(*object);
    for (std::size_t i = 0; i < even.size(); ++i) {
        EXPECT_NEAR(Length(even[i]), 40.0f, 1e-3f);
        EXPECT_NEAR(std::remainder(Angle(even[i]) - 2.0f * kPi * float(i) / 9.0f, 2.0f * kPi), 0.0f, 1e-4f);
    }
}

TEST_F(RadialRaysTest, TheSharedSequenceContinuesFromTheValueDrawnFirst)
{
    rays.random.StoreValue(1);
    auto object = MakeObject();
    crt::srand(5);
    const int r0 = crt::rand();
    crt::srand(unsigned(r0));
    const int expected = crt::rand();
    crt::srand(5);
    Clone(*object).BuildRays(*object);
    EXPECT_EQ(crt::rand(), expected);
}

TEST_F(RadialRaysTest, TheClockTurnsSwingsAndIgnoresGapsAndTimeGoingBack)
{
    rays.rotationSpeed.QuietSet(4);      // 0.08 rad/s
    rays.swingAmplitude.QuietSet(50);    // 1 rad
    struct Case {
        std::int32_t mode;
        float (*angle)(float total);
    };
    const Case cases[] = {
        {0, [](float total) { return total; }},
        {1, [](float total) { return -total; }},
        {2, [](float total) { return std::sin(total) * 1.0f; }},
        {7, [](float total) { return total; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        rays.rotationMode.StoreValue(c.mode);
        auto object = MakeObject();
        DS_RadialRays& clone = Clone(*object);
        object->Animate(0.1f);
        object->Animate(2.1f); // a gap of 2 s counts as 0.2 s
        const float total = 0.3f * 0.08f;
        EXPECT_NEAR(clone.Angle(), c.angle(total), 1e-6f);
        object->Animate(1.0f); // time goes back: the angle stays
        EXPECT_NEAR(clone.Angle(), c.angle(total), 1e-6f);
        clone.BuildRays(*object);
        EXPECT_NEAR(Angle(ReadRays(*object)[0]), c.angle(total), 1e-4f);
    }
}

TEST_F(RadialRaysTest, TheTimelineShrinksOrFadesTheRaysDownToTheFloor)
{
    struct Case {
        std::int32_t clockMode;
        float length, width;
        std::uint32_t alpha;
    };
    // Level 0 with floor 25: mode 0 draws 75 % of length and width, mode 1
    // full size at 75 % of the opacity byte rounded down, others unchanged.
    const Case cases[] = {{0, 30.0f, 4.5f, 255}, {1, 40.0f, 6.0f, 191}, {2, 40.0f, 6.0f, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clockMode);
        auto object = MakeObject();
        DS_RadialRays& clone = Clone(*object);
        clone.timing.clockMode.StoreValue(c.clockMode);
        clone.timing.SetTimeline(std::make_unique<FixedLevelTimeline>(0.0f));
        clone.BuildRays(*object);
        const Ray ray = ReadRays(*object)[0];
        EXPECT_NEAR(Length(ray), c.length, 1e-3f);
        EXPECT_NEAR(ray.width, c.width, 1e-3f);
        EXPECT_EQ(ray.colour >> 24, c.alpha);
    }
}

TEST_F(RadialRaysTest, TheColourWordsBytesMoveIntoTheVertexColour)
{
    rays.colour.colour.StoreValue(0x00332211); // red 0x11, green 0x22, blue 0x33
    rays.colour.opacity.SetValue(50, nullptr);  // byte 127
    auto object = MakeObject();
    EXPECT_EQ(ReadRays(*object)[0].colour, 0x7F112233u);
}

TEST_F(RadialRaysTest, CountsLengthsAndIndicesThatMustNotBreakTheFan)
{
    struct Case {
        std::uint32_t count;
        std::int32_t quads;
    };
    const Case cases[] = {{0, 0}, {std::numeric_limits<std::uint32_t>::max(), 0}, {100000, 16383}};
    for (const Case& c : cases) {
        rays.count.StoreValue(c.count);
        auto object = MakeObject();
        EXPECT_EQ(object->QuadCount(0), c.quads) << c.count;
    }
    // 100000 rays keep the step of 100000: the 16383 drawn cover only a
    // sixth of the turn.
    const std::vector<Ray> many = ReadRays(*MakeObject());
    EXPECT_NEAR(Angle(many.back()), 2.0f * kPi * 16382.0f / 100000.0f, 2e-3f);

    rays.count.StoreValue(3);
    rays.length.StoreValue(0);
    for (const Ray& ray : ReadRays(*MakeObject())) {
        EXPECT_TRUE(std::isfinite(ray.tip.x) && std::isfinite(ray.tip.y));
        EXPECT_EQ(ray.tip.x, 100.0f);
        EXPECT_EQ(ray.root.y, 50.0f);
    }
}

TEST_F(RadialRaysTest, ATextureIndexOutsideTheTexturesIsClamped)
{
    rays.textureIndex.StoreValue(5);
    auto object = MakeObject();
    DS_RadialRays& clone = Clone(*object);
    RecordingRenderer renderer(*device);
    object->Render(renderer); // no loaded texture: nothing is drawn
    EXPECT_TRUE(renderer.events.empty());

    std::deque<TextureSetEntry> entries(2);
    for (TextureSetEntry& entry : entries) {
        entry.textures = {quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu})};
        clone.loadedTextures.push_back(&entry);
    }
    object->Render(renderer);
    ASSERT_EQ(renderer.events.size(), 1u);
    EXPECT_EQ(renderer.events[0].stageTexture, entries[1].textures[0].Get());
}

} // namespace
