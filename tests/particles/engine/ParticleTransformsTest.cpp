// Tree particles and their transforms: each transform's effect on the
// particle fields it touches, the particle step around the chain, and the
// stored forms of the force and spin blocks.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "objectmodel/ParamRecords.h"
#include "particles/engine/Oscillations.h"
#include "particles/engine/ParticleTransforms.h"
#include "particles/engine/TreeParticle.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/RecordingArchive.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A swarm box the wandering transform reads.
struct FixedSwarm final : SwarmMotionSource {
    SwarmMotion motion;
    SwarmMotion Motion() const override { return motion; }
};

struct FixedStream final : PerspectiveFlowSource {
    PerspectiveFlowInputs inputs;
    PerspectiveFlowInputs FlowInputs() const override { return inputs; }
};

// Parameter blocks the table rows point into; each row sets what it reads.
struct Blocks {
    OscillationParams oscillation;
    VibrationParams vibration;
    KXI_JitterParam jitter;
    PercentParamGroup envelope;
    StandardForceParams forces;
    SpinParams spin;
    ColorSequenceParams colors;
    FixedSwarm swarm;
    FixedStream stream;
};

struct TransformCase {
    std::string name;
    std::function<void(Blocks&, TreeParticle&)> prepare;
    std::function<KXI_PtclTransform*(Blocks&)> make;
    std::vector<float> steps; // dt of each Apply, in order
    bool result;              // of the last Apply
    std::function<void(const Blocks&, const TreeParticle&)> check;
};

void SetEnvelope(PercentParamGroup& envelope, std::uint32_t riseEnd, std::uint32_t fallStart, std::uint32_t startLevel,
                 std::uint32_t endLevel, std::uint32_t full)
{
    envelope.percents[1].QuietSet(riseEnd);
    envelope.percents[2].QuietSet(fallStart);
    envelope.percents[4].QuietSet(startLevel);
    envelope.percents[5].QuietSet(endLevel);
    envelope.percents[6].QuietSet(full);
}

void SetColors(ColorSequenceParams& colors, std::int32_t mode, std::vector<COLORREF> list, std::int32_t randomPick = 0)
{
    colors.colorMode.value = mode;
    colors.randomPick.value = randomPick;
    colors.colors.value = std::move(list);
}

void ExpectColor(const TreeParticle& p, float r, float g, float b)
{
    EXPECT_FLOAT_EQ(p.vectors[TreeParticle::kColor].x, r);
    EXPECT_FLOAT_EQ(p.vectors[TreeParticle::kColor].y, g);
    EXPECT_FLOAT_EQ(p.vectors[TreeParticle::kColor].z, b);
}

math::Matrix RotationZ(float angle)
{
    math::Matrix m;
    math::MatrixRotationZ(&m, angle);
    return m;
}

void ExpectMatrixNear(const math::Matrix& a, const math::Matrix& b)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a(r, c), b(r, c), 1e-5f) << "at " << r << "," << c;
}

const std::vector<TransformCase>& TransformCases()
{
    static const std::vector<TransformCase> cases = {
        {"MaxAgeLivesThroughExactlyOne", nullptr, [](Blocks&) { return new PtclTr_MaxAge(2.0f); },
         {0.5f, 0.5f, 0.5f, 0.5f}, true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.values[TreeParticle::kLifeFraction], 1.0f); }},
        {"MaxAgeDiesOnTheNextStep", nullptr, [](Blocks&) { return new PtclTr_MaxAge(2.0f); },
         {0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, false, nullptr},
        {"OscilatorKindNoneLeavesItsMultiplier",
         [](Blocks& b, TreeParticle& p) {
             b.oscillation.kind.value = OscillationParams::kNone;
             p.multipliers[TreeParticle::kSize] = 0.7f;
         },
         [](Blocks& b) { return new PtclTr_Oscilator(1.0f, TreeParticle::kSize, b.oscillation); }, {0.1f, 0.3f}, true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kSize], 0.7f); }},
        {"OscilatorHarmonicWithAmplitudeZeroLeavesItsMultiplier",
         [](Blocks& b, TreeParticle& p) {
             b.oscillation.kind.value = OscillationParams::kHarmonic;
             b.oscillation.amplitude.QuietSet(0);
             p.multipliers[TreeParticle::kOpacity] = 0.7f;
         },
         [](Blocks& b) { return new PtclTr_Oscilator(1.0f, TreeParticle::kOpacity, b.oscillation); }, {0.1f, 0.3f},
         true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kOpacity], 0.7f); }},
        {"OscilatorHarmonicStaysBetweenOneMinusTwiceTheAmplitudeAndOne",
         [](Blocks& b, TreeParticle&) {
             b.oscillation.kind.value = OscillationParams::kHarmonic;
             b.oscillation.amplitude.QuietSet(60); // 0.3
         },
         [](Blocks& b) { return new PtclTr_Oscilator(1.0f, TreeParticle::kSize, b.oscillation); }, {0.37f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_GE(p.multipliers[TreeParticle::kSize], 0.4f - 1e-5f);
             EXPECT_LE(p.multipliers[TreeParticle::kSize], 1.0f + 1e-5f);
         }},
        {"VibratorKindNoneZeroesWhateverTheAmplitude",
         [](Blocks& b, TreeParticle& p) {
             b.vibration.kind.value = OscillationParams::kNone;
             b.vibration.amplitude.QuietSet(80);
             p.multipliers[TreeParticle::kAlongDirection] = 5.0f;
         },
         [](Blocks& b) { return new PtclTr_Vibrator(0.0f, TreeParticle::kAlongDirection, b.vibration); }, {0.2f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_EQ(p.multipliers[TreeParticle::kAlongDirection], 0.0f);
         }},
        {"JitterUpdaterWithoutJitterGivesTheValue",
         [](Blocks& b, TreeParticle&) {
             b.jitter.QuietSet(40);
             b.jitter.jitter.QuietSet(0); // J = 1
         },
         [](Blocks& b) { return new PtclTr_JitterUpdater(TreeParticle::kSize, b.jitter, 0.25f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.values[TreeParticle::kSize], 40.0f); }},
        {"JitterUpdaterWithFullJitterGivesTheValueTimesTheDraw",
         [](Blocks& b, TreeParticle&) {
             b.jitter.QuietSet(40);
             b.jitter.jitter.QuietSet(100); // J = 0
         },
         [](Blocks& b) { return new PtclTr_JitterUpdater(TreeParticle::kSize, b.jitter, 0.25f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.values[TreeParticle::kSize], 10.0f); }},
        {"AgeTransformWithoutRiseOrFallGivesFull",
         [](Blocks& b, TreeParticle& p) {
             SetEnvelope(b.envelope, 0, 100, 0, 0, 80);
             p.values[TreeParticle::kLifeFraction] = 1.0f;
         },
         [](Blocks& b) { return new PtclTr_AgeTransform(TreeParticle::kOpacity, b.envelope); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kOpacity], 0.8f); }},
        {"AgeTransformRisesFromTheStartLevel",
         [](Blocks& b, TreeParticle& p) {
             SetEnvelope(b.envelope, 40, 60, 50, 0, 100);
             p.values[TreeParticle::kLifeFraction] = 0.2f; // halfway up: 0.75
         },
         [](Blocks& b) { return new PtclTr_AgeTransform(TreeParticle::kOpacity, b.envelope); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kOpacity], 0.75f); }},
        {"AgeTransformPastTheEndWithFallAtTheEndStaysFinite",
         [](Blocks& b, TreeParticle& p) {
             SetEnvelope(b.envelope, 0, 100, 0, 20, 100);
             p.values[TreeParticle::kLifeFraction] = 1.25f;
         },
         [](Blocks& b) { return new PtclTr_AgeTransform(TreeParticle::kOpacity, b.envelope); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kOpacity], 1.0f); }},
        {"StandardForcesModeZeroAddsOnlyTheDrag",
         [](Blocks& b, TreeParticle& p) {
             b.forces.gravityMode.value = 0;
             b.forces.gravity.QuietSet(10);
             b.forces.airResistance.QuietSet(50); // k = -0.5
             p.Velocity() = {4.0f, -2.0f, 0.0f};
         },
         [](Blocks& b) { return new PtclTr_StandardForces(b.forces); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_EQ(p.vectors[TreeParticle::kForce], (math::Vec3{-2.0f, 1.0f, 0.0f}));
         }},
        {"StandardForcesModeOnePullsTowardPlusY",
         [](Blocks& b, TreeParticle&) {
             b.forces.gravityMode.value = 1;
             b.forces.gravity.QuietSet(10);
         },
         [](Blocks& b) { return new PtclTr_StandardForces(b.forces); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_EQ(p.vectors[TreeParticle::kForce], (math::Vec3{0.0f, 50.0f, 0.0f}));
         }},
        {"StandardForcesModeThreeActsAsModeTwo",
         [](Blocks& b, TreeParticle& p) {
             b.forces.gravityMode.value = 3;
             b.forces.gravity.QuietSet(10);
             b.forces.airResistance.QuietSet(50);
             p.Velocity() = {0.0f, 4.0f, 0.0f};
         },
         [](Blocks& b) { return new PtclTr_StandardForces(b.forces); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_EQ(p.vectors[TreeParticle::kForce], (math::Vec3{0.0f, -52.0f, 0.0f}));
         }},
        {"KinematicUsesTheVelocityBeforeItsUpdate",
         [](Blocks&, TreeParticle& p) {
             p.Velocity() = {10.0f, 0.0f, 0.0f};
             p.Force() = {0.0f, 4.0f, 0.0f};
         },
         [](Blocks&) { return new PtclTr_Kinematic; }, {0.5f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_EQ(p.vectors[TreeParticle::kPosition], (math::Vec3{5.0f, 0.5f, 0.0f}));
             EXPECT_EQ(p.vectors[TreeParticle::kVelocity], (math::Vec3{10.0f, 2.0f, 0.0f}));
         }},
        {"SpinModeFixedKeepsTheStartAngle",
         [](Blocks& b, TreeParticle&) {
             b.spin.rotationMode.value = SpinParams::kFixed;
             b.spin.startAngle.QuietSet(30);
             b.spin.startAngle.jitter.QuietSet(10);
         },
         // Angle draw 0.5: 30 + 10 x 0.5 = 35 degrees, turned clockwise.
         [](Blocks& b) { return new PtclTr_StandardSpin(b.spin, 0.5f, 0.5f, 1); }, {0.5f, 0.5f, 0.5f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectMatrixNear(p.orientation, RotationZ(-35.0f * 0.017453292f)); }},
        {"SpinModeSpinningGrowsByTheJitteredSpeed",
         [](Blocks& b, TreeParticle&) {
             b.spin.rotationMode.value = SpinParams::kSpinning;
             b.spin.directionMode.value = 0;
             b.spin.spinSpeed.Rescale(0.05f, 0.0f);
             b.spin.spinSpeed.QuietSet(40);     // 2 rad/s
             b.spin.spinSpeed.jitter.QuietSet(50); // J = 0.5
         },
         // r = 0.5: (0.5 x 0.5 + 0.5) x 2 = 1.5 rad/s; three steps of 0.5 s.
         [](Blocks& b) { return new PtclTr_StandardSpin(b.spin, 0.0f, 0.5f, -1); }, {0.5f, 0.5f, 0.5f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectMatrixNear(p.orientation, RotationZ(2.25f)); }},
        {"SpinModeAlignedFollowsTheDirection",
         [](Blocks& b, TreeParticle& p) {
             b.spin.rotationMode.value = SpinParams::kAligned;
             p.Direction() = {0.0f, 1.0f, 0.0f};
         },
         [](Blocks& b) { return new PtclTr_StandardSpin(b.spin, 0.0f, 0.0f, 1); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) {
             // (1, 0, 0) is turned onto the direction.
             const math::Vec3 x{1.0f, 0.0f, 0.0f};
             math::Vec3 turned;
             math::Vec3TransformNormal(&turned, x, p.orientation);
             EXPECT_NEAR(turned.x, 0.0f, 1e-5f);
             EXPECT_NEAR(turned.y, 1.0f, 1e-5f);
         }},
        {"PerspectiveFlowWithoutPerspective",
         [](Blocks& b, TreeParticle& p) {
             b.stream.inputs.perspective = false;
             b.stream.inputs.speed = 100.0f;
             b.stream.inputs.speedJitter = 0.5f;
             p.Direction() = {0.6f, 0.8f, 0.0f};
         },
         [](Blocks& b) { return new PtclTr_PerspectiveFlow(b.stream, 0.5f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_FLOAT_EQ(p.vectors[TreeParticle::kVelocity].x, 45.0f);
             EXPECT_FLOAT_EQ(p.vectors[TreeParticle::kVelocity].y, 60.0f);
             EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kSize], 1.0f);
         }},
        {"PerspectiveFlowWithCoincidentPointsHasNoPerspective",
         [](Blocks& b, TreeParticle& p) {
             b.stream.inputs.perspective = true;
             b.stream.inputs.start = b.stream.inputs.end = {10.0f, 10.0f, 0.0f};
             b.stream.inputs.startDirection = {1.0f, 0.0f, 0.0f};
             b.stream.inputs.endDirection = {0.0f, 1.0f, 0.0f};
             b.stream.inputs.speed = 10.0f;
             b.stream.inputs.speedJitter = 1.0f;
             p.Position() = {50.0f, 70.0f, 0.0f};
             p.Direction() = {1.0f, 0.0f, 0.0f};
         },
         [](Blocks& b) { return new PtclTr_PerspectiveFlow(b.stream, 0.3f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) {
             EXPECT_EQ(p.vectors[TreeParticle::kVelocity], (math::Vec3{10.0f, 0.0f, 0.0f}));
             EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kSize], 1.0f);
         }},
        {"ColorModeTwoAtTheEndOfLifeTakesTheLastColour",
         [](Blocks& b, TreeParticle& p) {
             SetColors(b.colors, 2, {0x0000FF, 0x00FF00, 0xFF0000});
             p.values[TreeParticle::kLifeFraction] = 1.0f;
         },
         [](Blocks& b) { return new PtclTr_Color(b.colors, 0.0f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectColor(p, 0.0f, 0.0f, 255.0f); }},
        {"ColorModeTwoPicksByTruncation",
         [](Blocks& b, TreeParticle& p) {
             SetColors(b.colors, 2, {0x0000FF, 0x00FF00, 0xFF0000});
             p.values[TreeParticle::kLifeFraction] = 0.5f; // 1.5 -> 1
         },
         [](Blocks& b) { return new PtclTr_Color(b.colors, 0.0f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectColor(p, 0.0f, 255.0f, 0.0f); }},
        {"ColorModeTwoRandomPickOfExactlyOne",
         [](Blocks& b, TreeParticle&) { SetColors(b.colors, 2, {0x0000FF, 0x00FF00}, 1); },
         [](Blocks& b) { return new PtclTr_Color(b.colors, 1.0f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectColor(p, 0.0f, 255.0f, 0.0f); }},
        {"ColorModeOneBlendsTheFirstTwo",
         [](Blocks& b, TreeParticle& p) {
             SetColors(b.colors, 1, {0x000000C8, 0x00643200});
             p.values[TreeParticle::kLifeFraction] = 0.25f;
         },
         [](Blocks& b) { return new PtclTr_Color(b.colors, 0.0f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectColor(p, 150.0f, 12.5f, 25.0f); }},
        {"ColorModeOneWithOneColourHoldsIt",
         [](Blocks& b, TreeParticle& p) {
             SetColors(b.colors, 1, {0x00102030});
             p.values[TreeParticle::kLifeFraction] = 0.5f;
         },
         [](Blocks& b) { return new PtclTr_Color(b.colors, 0.0f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectColor(p, 48.0f, 32.0f, 16.0f); }},
        {"ColorWithAnEmptyListIsWhite",
         [](Blocks& b, TreeParticle& p) {
             SetColors(b.colors, 2, {});
             p.values[TreeParticle::kLifeFraction] = kNaN;
         },
         [](Blocks& b) { return new PtclTr_Color(b.colors, 0.0f); }, {0.1f}, true,
         [](const Blocks&, const TreeParticle& p) { ExpectColor(p, 255.0f, 255.0f, 255.0f); }},
    };
    return cases;
}

class TransformTable : public testing::TestWithParam<TransformCase> {};

TEST_P(TransformTable, Apply)
{
    const TransformCase& c = GetParam();
    Blocks blocks;
    TreeParticle particle;
    if (c.prepare)
        c.prepare(blocks, particle);
    std::unique_ptr<KXI_PtclTransform> transform(c.make(blocks));
    bool result = true;
    for (float dt : c.steps)
        result = transform->Apply(dt, particle);
    EXPECT_EQ(result, c.result);
    if (c.check)
        c.check(blocks, particle);
}

INSTANTIATE_TEST_SUITE_P(Transforms, TransformTable, testing::ValuesIn(TransformCases()),
                         [](const testing::TestParamInfo<TransformCase>& info) { return info.param.name; });

TEST(TreeParticleTest, StepResetsAgesAndStopsAtTheFirstEnd)
{
    TreeParticle p;
    p.multipliers = {5, 5, 5, 5, 5, 5};
    p.orientation(0, 1) = 3.0f;
    p.Force() = {1.0f, 1.0f, 1.0f};
    p.AddTransform(PtclTransformHandle(new PtclTr_MaxAge(0.5f)));
    p.AddTransform(PtclTransformHandle(new PtclTr_PrmMultiplicator(TreeParticle::kSize, 3.0f)));

    EXPECT_TRUE(p.Step(0.25f));
    EXPECT_EQ(p.multipliers, (std::array<float, 6>{1, 3, 1, 0, 0, 1}));
    EXPECT_EQ(p.orientation, math::Matrix{});
    EXPECT_EQ(p.Force(), math::Vec3{});
    EXPECT_FLOAT_EQ(p.values[TreeParticle::kAge], 0.25f);

    EXPECT_TRUE(p.Step(0.25f));
    // The chain stops at the transform that ends the particle.
    EXPECT_FALSE(p.Step(0.25f));
    EXPECT_TRUE(p.IsDead());
    EXPECT_EQ(p.multipliers[TreeParticle::kSize], 1.0f);
}

TEST(TreeParticleTest, ChildOfADeadParentDiesWithoutRunningItsTransforms)
{
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    TreeParticle child(parent);
    child.AddTransform(PtclTransformHandle(new PtclTr_PrmMultiplicator(TreeParticle::kSize, 3.0f)));
    EXPECT_TRUE(child.Step(0.1f));
    EXPECT_EQ(child.multipliers[TreeParticle::kSize], 3.0f);

    parent->flags |= TreeParticle::kDeadFlag;
    EXPECT_FALSE(child.Step(0.1f));
    EXPECT_TRUE(child.IsDead());
    EXPECT_EQ(child.multipliers[TreeParticle::kSize], 1.0f);
}

TEST(TreeParticleTest, WorldPositionAndScaledParamDownAThreeLevelChain)
{
    TreeParticleHandle root = MakeSafePtr<TreeParticle>();
    root->Position() = {100.0f, 200.0f, 0.0f};
    root->values[TreeParticle::kSize] = 2.0f;
    root->multipliers[TreeParticle::kSize] = 0.5f;
    root->multipliers[TreeParticle::kAlongDirection] = 10.0f; // direction (0, 1): +10 y

    TreeParticleHandle middle = MakeSafePtr<TreeParticle>(root);
    middle->Position() = {5.0f, 0.0f, 1.0f};
    middle->values[TreeParticle::kSize] = 3.0f;
    middle->values[TreeParticle::kOpacity] = 0.5f;

    TreeParticle leaf(middle);
    leaf.Position() = {1.0f, 1.0f, 0.0f};
    leaf.Direction() = {1.0f, 0.0f, 0.0f};
    leaf.multipliers[TreeParticle::kAcrossDirection] = 4.0f; // perpendicular (0, 1): +4 y
    leaf.values[TreeParticle::kSize] = 4.0f;
    leaf.multipliers[TreeParticle::kOpacity] = 0.5f;

    EXPECT_EQ(leaf.WorldPosition(), (math::Vec3{106.0f, 215.0f, 1.0f}));
    EXPECT_FLOAT_EQ(leaf.ScaledParam(TreeParticle::kSize), 4.0f * 3.0f * 1.0f);
    EXPECT_FLOAT_EQ(leaf.ScaledParam(TreeParticle::kOpacity), 0.5f * 0.5f);
}

TEST(ParticleTransformTest, InheritedAgeAndDirectionComeFromTheParent)
{
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->values[TreeParticle::kLifeFraction] = 0.4f;
    parent->Direction() = {0.6f, 0.8f, 0.0f};
    TreeParticle child(parent);
    child.AddTransform(PtclTransformHandle(new PtclTr_InheritAge));
    child.AddTransform(PtclTransformHandle(new PtclTr_InheritVectorPrm(TreeParticle::kDirection)));
    ASSERT_TRUE(child.Step(0.1f));
    EXPECT_FLOAT_EQ(child.values[TreeParticle::kLifeFraction], 0.4f);
    EXPECT_EQ(child.Direction(), (math::Vec3{0.6f, 0.8f, 0.0f}));
}

TEST(ParticleTransformTest, SpinFollowsTheParentsOrientation)
{
    SpinParams spin;
    spin.startAngle.QuietSet(90); // a quarter turn clockwise
    TreeParticleHandle parent = MakeSafePtr<TreeParticle>();
    parent->orientation = RotationZ(0.5f);
    TreeParticle child(parent);
    PtclTr_StandardSpin transform(spin, 0.0f, 0.0f, 1);
    ASSERT_TRUE(transform.Apply(0.1f, child));
    ExpectMatrixNear(child.orientation, RotationZ(-90.0f * 0.017453292f) * RotationZ(0.5f));
}

TEST(ParticleTransformTest, BrownianStartingOutsideItsBoxIsSteeredHome)
{
    crt::srand(7);
    FixedSwarm swarm;
    swarm.motion = {math::Vec3{0.0f, 0.0f, 0.0f}, 100.0f, 100.0f, 1.0f, 0.5f, 1.0f};
    PtclTr_Brownian brownian(swarm);
    TreeParticle p;
    p.Position() = {300.0f, 0.0f, 0.0f};
    const math::Vec3 before = brownian.OwnVelocity();
    ASSERT_TRUE(brownian.Apply(0.1f, p));
    EXPECT_FALSE(brownian.Inside());
    // Accelerating toward (-100, 0, 0) in 0.5 s.
    EXPECT_NEAR(brownian.Acceleration().x, (-100.0f - before.x) / 0.5f, 1e-3f);
    EXPECT_NEAR(brownian.Acceleration().y, (0.0f - before.y) / 0.5f, 1e-3f);
    // The particle's velocity is the own velocity before the step's update.
    EXPECT_EQ(p.Velocity(), before);

    // Heading home, still outside: no new steering while it accelerates.
    const math::Vec3 steering = brownian.Acceleration();
    ASSERT_TRUE(brownian.Apply(0.1f, p));
    EXPECT_EQ(brownian.Acceleration(), steering);
}

TEST(ParticleTransformTest, BrownianWithoutAccelerationTimeTakesItsVelocityAtOnce)
{
    crt::srand(3);
    FixedSwarm swarm;
    swarm.motion = {math::Vec3{}, 10.0f, 10.0f, 0.0f, 0.0f, 1.0f};
    PtclTr_Brownian brownian(swarm);
    TreeParticle p;
    p.Position() = {0.0f, 50.0f, 0.0f};
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(brownian.Apply(0.2f, p));
    EXPECT_TRUE(std::isfinite(p.Position().x) && std::isfinite(p.Position().y));
    EXPECT_NEAR(brownian.OwnVelocity().y, -100.0f, 1e-3f);
}

TEST(ParticleTransformTest, PerspectiveFlowScalesByItsFactor)
{
    // A horizontal stream from (0, 0) to (100, 0); the particle 50 px below
    // it. T1 = cot(45 deg) = 1, T2 = cot(135 deg) = -1: a = 1 - 50 / 100 x 2.
    FixedStream stream;
    PerspectiveFlowInputs& in = stream.inputs;
    in.perspective = true;
    in.start = {0.0f, 0.0f, 0.0f};
    in.end = {100.0f, 0.0f, 0.0f};
    const float h = std::sqrt(0.5f);
    in.startDirection = {h, h, 0.0f};
    in.endDirection = {-h, h, 0.0f};
    in.speed = 10.0f;
    in.speedJitter = 1.0f;
    TreeParticle p;
    p.Position() = {30.0f, 50.0f, 0.0f};
    p.Direction() = {1.0f, 0.0f, 0.0f};
    PtclTr_PerspectiveFlow flow(stream, 0.0f);
    ASSERT_TRUE(flow.Apply(0.1f, p));
    EXPECT_NEAR(p.multipliers[TreeParticle::kSize], 0.0f, 1e-5f);

    p.Position() = {30.0f, 25.0f, 0.0f};
    p.ResetMultipliers();
    ASSERT_TRUE(flow.Apply(0.1f, p));
    EXPECT_NEAR(p.multipliers[TreeParticle::kSize], 0.5f, 1e-5f);
    EXPECT_NEAR(p.Velocity().x, 5.0f, 1e-4f);

    // A direction with a zero denominator: no perspective.
    in.startDirection = {0.0f, 0.0f, 1.0f};
    p.ResetMultipliers();
    ASSERT_TRUE(flow.Apply(0.1f, p));
    EXPECT_FLOAT_EQ(p.multipliers[TreeParticle::kSize], 1.0f);
}

TEST(TransformBlocksTest, StoredFormsRoundTrip)
{
    DocumentWriter w;
    w.Int(1).Int(2).Dword(30).Dword(40);                       // forces
    w.Int(1).Int(1).Dword(60).Dword(25).Int(2).Dword(45).Dword(15); // spin
    MemoryArchive archive(w.Bytes());
    StandardForceParams forces;
    SpinParams spin;
    ReadStandardForceParams(archive.Reader(), forces);
    ReadSpinParams(archive.Reader(), spin);
    EXPECT_EQ(archive.Remaining(), 0u);

    EXPECT_EQ(forces.gravityMode.value, 2);
    EXPECT_FLOAT_EQ(forces.gravity.Scaled(), 150.0f);
    EXPECT_FLOAT_EQ(forces.airResistance.Scaled(), -0.4f);
    EXPECT_EQ(spin.directionMode.value, 1);
    EXPECT_EQ(spin.spinSpeed.value, 60u);
    EXPECT_FLOAT_EQ(spin.spinSpeed.jitter.Scaled(), 0.75f);
    EXPECT_EQ(spin.rotationMode.value, 2);
    EXPECT_FLOAT_EQ(spin.startAngle.Scaled(), 45.0f);
    EXPECT_FLOAT_EQ(spin.startAngle.jitter.Scaled(), 15.0f); // a spread in degrees

    RecordingArchive out;
    WriteStandardForceParams(out.Writer(), forces);
    WriteSpinParams(out.Writer(), spin);
    EXPECT_EQ(out.writer.Bytes(), w.Bytes());
}

TEST(TransformBlocksTest, DefaultsMatchANewBlock)
{
    SpinParams spin;
    EXPECT_EQ(spin.spinSpeed.value, 50u);
    EXPECT_FLOAT_EQ(spin.spinSpeed.Scaled(), 50.0f);
    EXPECT_FLOAT_EQ(spin.spinSpeed.jitter.Scaled(), 1.0f);
    StandardForceParams forces;
    EXPECT_EQ(forces.gravityMode.value, 0);
    EXPECT_FLOAT_EQ(forces.gravity.Scaled(), 0.0f);
}

} // namespace
