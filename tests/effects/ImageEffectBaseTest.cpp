// The image-effect base without a device: the clock, the waveform, the
// bounding rectangle and key, and the direction, centre and line bases.

#include <cmath>

#include "effects/EffectBases.h"
#include "effects/WaterMoveFX.h"
#include "render/DocResManager.h"
#include "render/RenderContext.h"
#include "tests/effects/ImageEffectTestSupport.h"

namespace image_effect_test {
namespace {

// A direction-based effect with nothing of its own: the bases under test.
class TestDirectionEffect : public DS_DirectionBased {
public:
    void Apply(DS_ABRender&) override {}
    std::unique_ptr<DS_FX_Constructor> Clone() const override
    {
        return std::make_unique<TestDirectionEffect>(*this);
    }
};

class TestLineEffect : public DS_LineBased {
public:
    void Apply(DS_ABRender&) override {}
    std::unique_ptr<DS_FX_Constructor> Clone() const override { return std::make_unique<TestLineEffect>(*this); }
};

TEST(ImageEffectClockTest, UpdateClampsTheStepAndRestartReturnsToPhaseZero)
{
    TestDirectionEffect fx; // speed factor 1.0
    fx.Update(0.1f);
    EXPECT_FLOAT_EQ(fx.Phase(), 0.1f);
    // Time going back: no step, the new time becomes the last time.
    fx.Update(0.05f);
    EXPECT_FLOAT_EQ(fx.Phase(), 0.1f);
    fx.Update(0.15f);
    EXPECT_FLOAT_EQ(fx.Phase(), 0.2f);
    // A long gap counts as 0.2 s, clamped before the speed.
    fx.speed.SetValue(3, nullptr);
    fx.Update(10.0f);
    EXPECT_FLOAT_EQ(fx.Phase(), 0.2f + 0.6f);

    // After a restart the first update at local time 5 adds 0.2 x speed.
    fx.speed.SetValue(1, nullptr);
    fx.Restart();
    EXPECT_EQ(fx.Phase(), 0.0f);
    EXPECT_EQ(fx.speed.Last(), 0.0f);
    fx.Update(5.0f);
    EXPECT_FLOAT_EQ(fx.Phase(), 0.2f);
}

TEST(ImageEffectClockTest, TheCloneCarriesTheClockAndTheKey)
{
    TestDirectionEffect fx;
    fx.Update(0.1f);
    fx.key.name = u"key";
    const auto clone = fx.Clone();
    EXPECT_FLOAT_EQ(clone->Phase(), 0.1f);
    EXPECT_EQ(clone->key.guid, fx.key.guid);
    EXPECT_EQ(clone->key.name, u"key");
}

TEST(ImageEffectWaveformTest, KindsGiveTriangleSineNoiseOrZero)
{
    TestDirectionEffect fx;
    const auto at = [&](float phase, std::uint32_t offset, int kind) {
        fx.Restart();
        fx.phaseOffset.SetValue(offset, nullptr);
        // Steps of at most 0.2 reach the phase exactly enough.
        for (float t = 0.2f; t < phase; t += 0.2f)
            fx.Update(t);
        fx.Update(phase);
        return fx.Waveform(kind);
    };
    struct Case {
        float phase;
        std::uint32_t offset;
        int kind;
        float expected;
    };
    const Case cases[] = {
        {0.0f, 0, 2, -1.0f},       {3.1415927f, 0, 2, 1.0f}, {1.5707964f, 0, 2, 0.0f},
        {0.0f, 25, 3, 1.0f},       {0.0f, 0, 3, 0.0f},       {0.0f, 0, 0, 0.0f},
        {1.0f, 0, 1, 0.0f},        {1.0f, 0, 5, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " phase " << c.phase << " offset " << c.offset);
        EXPECT_NEAR(at(c.phase, c.offset, c.kind), c.expected, 1e-4f);
    }
    // Noise stays within -1..1 and moves.
    const float a = at(0.4f, 0, 4), b = at(1.0f, 0, 4);
    EXPECT_LE(std::fabs(a), 1.0f);
    EXPECT_NE(a, b);
}

TEST(ImageEffectBaseTest, BoundingRectSpansCornersZeroAndThree)
{
    TestDirectionEffect fx;
    fx.region.corners[0].value = {10.0f, 20.0f, 0.0f};
    fx.region.corners[3].value = {110.0f, 220.0f, 0.0f};
    BoundingRectList list;
    EXPECT_FALSE(fx.AddBoundingRect(list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (BoundingRect{10.0f, 20.0f, 100.0f, 200.0f}));
}

TEST(ImageEffectBaseTest, RenewingTheKeyDrawsANewIdentityAndLetsTheMaskGo)
{
    TestDirectionEffect fx;
    const crt::Guid before = fx.key.guid;
    fx.key.name = u"old";
    fx.key.flag = 0;
    fx.RenewResourceKey();
    EXPECT_NE(fx.key.guid, before);
    EXPECT_TRUE(fx.key.name.empty());
    EXPECT_EQ(fx.key.flag, 1);
    EXPECT_EQ(fx.mask, nullptr);
    EXPECT_FALSE(fx.IsNonBrush());
}

TEST(ImageEffectBaseTest, DirectionFollowsTheAngleCounterClockwiseOnThePicture)
{
    struct Case {
        std::uint32_t angle;
        float x, y;
    };
    const Case cases[] = {{0, 1.0f, 0.0f}, {90, 0.0f, -1.0f}, {180, -1.0f, 0.0f}, {450, 0.0f, -1.0f}};
    TestDirectionEffect fx;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        fx.angle.SetValue(c.angle, nullptr);
        EXPECT_NEAR(fx.direction.x, c.x, 1e-5f);
        EXPECT_NEAR(fx.direction.y, c.y, 1e-5f);
        // The runtime clone recomputes it from a directly stored angle.
        const auto clone = fx.Clone();
        EXPECT_NEAR(static_cast<DS_DirectionBased&>(*clone).direction.y, c.y, 1e-5f);
    }
}

// The centre moves to the picture's middle only while the keep-id flag is
// 0; the lines run through it in picture uv.
TEST(ImageEffectBaseTest, CentringByKeepIdAndTheLinesThroughTheCentre)
{
    DS_DocResManager manager;
    CurrentDocResManagerScope current(&manager);
    manager.ScreenInfoRecord().pictureWidth = 200;
    manager.ScreenInfoRecord().pictureHeight = 100;
    RenderContext context;
    context.pictureWidth = 200.0f;
    context.pictureHeight = 100.0f;
    CurrentRenderContextScope contextScope(&context);

    TestLineEffect stored;
    stored.centre.value = {30.0f, 40.0f, 0.0f};
    stored.keepId = 1;
    stored.Attach(stored.GetTextureHolder());
    EXPECT_EQ(stored.centre.value.x, 30.0f);
    EXPECT_EQ(stored.centre.value.y, 40.0f);

    TestLineEffect fresh;
    fresh.centre.value = {30.0f, 40.0f, 0.0f};
    fresh.keepId = 0;
    fresh.Attach(fresh.GetTextureHolder());
    EXPECT_EQ(fresh.centre.value.x, 100.0f);
    EXPECT_EQ(fresh.centre.value.y, 50.0f);
    EXPECT_EQ(fresh.keepId, 1);
    const std::array<float, 3> ln{0.0f, 1.0f, -0.5f}, lt{1.0f, 0.0f, -0.5f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(fresh.ln[i], ln[i], 1e-4f) << i;
        EXPECT_NEAR(fresh.lt[i], lt[i], 1e-4f) << i;
    }

    // A picture of size 0 leaves the lines as they were.
    context.pictureWidth = 0.0f;
    fresh.UpdateLines();
    EXPECT_NEAR(fresh.ln[2], -0.5f, 1e-4f);
    EXPECT_FALSE(std::isnan(fresh.lt[0]));
}

} // namespace
} // namespace image_effect_test
