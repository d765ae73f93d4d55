// Particle routines and the particle's own step: each routine's effect on
// the fields it touches, the order in which the step runs them, and the
// pairwise interaction pass.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "objectmodel/ParamRecords.h"
#include "objectmodel/PathPoints.h"
#include "objectmodel/ShapeParams.h"
#include "objectmodel/SplinePath.h"
#include "particles/engine/InnerParticle.h"
#include "particles/engine/Oscillations.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/RoutineConditions.h"
#include "platform/crt/Random.h"

namespace {

using Make = std::function<InnerParticleRoutine*(InnerParticle&)>;
using Check = std::function<void(const InnerParticle&)>;

struct RoutineCase {
    std::string name;
    std::function<void(InnerParticle&)> prepare;
    Make make;
    std::vector<float> steps; // each step's dt, in order
    bool result;              // of the last step
    Check check;
};

ColorSequenceParams& Colours(std::int32_t mode, std::vector<COLORREF> list, std::int32_t randomPick = 0)
{
    static ColorSequenceParams params;
    params.colorMode.value = mode;
    params.randomPick.value = randomPick;
    params.colors.value = std::move(list);
    return params;
}

void SetLife(InnerParticle& p, float lifetime, float age)
{
    p.SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(lifetime)));
    p.values[InnerParticle::kAge] = age;
}

TEST(ParticleRoutinesTest, EachRoutineStep)
{
    const std::vector<RoutineCase> cases = {
        {"age equal to the lifetime survives", [](InnerParticle& p) { p.values[0] = 0.5f; },
         [](InnerParticle&) { return new IPR_ConstantAge(1.0f); }, {0.5f}, true,
         [](const InnerParticle& p) { EXPECT_FLOAT_EQ(p.Age(), 1.0f); }},
        {"lifetime 0 with dt 0 lives", nullptr, [](InnerParticle&) { return new IPR_ConstantAge(0.0f); }, {0.0f},
         true, nullptr},
        {"lifetime 0 with dt > 0 dies", nullptr, [](InnerParticle&) { return new IPR_ConstantAge(0.0f); },
         {0.001f}, false, nullptr},
        {"infinite distance never dies", nullptr,
         [](InnerParticle&) {
             static UINTSclaleTo<float> speed(1.0f, 0.0f, 1000);
             return new IPR_ConstDistance(std::numeric_limits<float>::infinity(), &speed);
         },
         {1.0f, 100.0f}, true, [](const InnerParticle& p) { EXPECT_FLOAT_EQ(p.Age(), 101000.0f); }},
        {"kinematic: position uses the old velocity",
         [](InnerParticle& p) {
             p.velocity = {2.0f, 0.0f, 0.0f};
             p.acceleration = {0.0f, 4.0f, 0.0f};
         },
         [](InnerParticle&) { return new IPR_Kinematic; }, {0.5f}, true,
         [](const InnerParticle& p) {
             EXPECT_FLOAT_EQ(p.position.x, 1.0f);
             EXPECT_FLOAT_EQ(p.position.y, 0.5f);
             EXPECT_FLOAT_EQ(p.velocity.y, 2.0f);
         }},
        {"ramp at its start gives from", [](InnerParticle& p) { p.values[0] = 1.0f; },
         [](InnerParticle&) { return new IPR_IncrementM(2.0f, 4.0f, 1.0f, 3.0f); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[6], 2.0f); }},
        {"ramp at its end gives to", [](InnerParticle& p) { p.values[0] = 3.0f; },
         [](InnerParticle&) { return new IPR_IncrementM(2.0f, 4.0f, 1.0f, 3.0f); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[6], 4.0f); }},
        {"ramp half way", [](InnerParticle& p) { p.values[0] = 2.0f; },
         [](InnerParticle&) { return new IPR_IncrementM(2.0f, 4.0f, 1.0f, 3.0f); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[6], 3.0f); }},
        {"harmonic is applied at construction", [](InnerParticle& p) { p.values[0] = 0.0f; },
         [](InnerParticle& p) { return new IPR_Harmonic(p, 2, 0.5f, 0.0f, 0.5f, 5.0f); }, {}, true,
         [](const InnerParticle& p) { EXPECT_FLOAT_EQ(p.multipliers[2], 1.0f); }},
        {"harmonic half a turn on", [](InnerParticle& p) { p.values[0] = 1.0f; },
         [](InnerParticle& p) { return new IPR_Harmonic(p, 1, 0.5f, 0.0f, 0.5f, 3.1415927f); }, {}, true,
         [](const InnerParticle& p) { EXPECT_NEAR(p.multipliers[1], 0.0f, 1e-6f); }},
        {"colour mode 0 takes the first", nullptr,
         [](InnerParticle&) { return new IPR_Color(&Colours(0, {0x112233, 0x445566})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 0x112233u); }},
        {"colour mode 1 blends with top byte 0", [](InnerParticle& p) { SetLife(p, 2.0f, 1.0f); },
         [](InnerParticle&) { return new IPR_Color(&Colours(1, {0xFF000000, 0x00FF0064})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 0x007F0032u); }},
        {"colour mode 1 with one colour repeats it", [](InnerParticle& p) { SetLife(p, 2.0f, 1.0f); },
         [](InnerParticle&) { return new IPR_Color(&Colours(1, {0x00808080})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 0x00808080u); }},
        {"colour mode 2 picks half to even (1.5 -> 2)", [](InnerParticle& p) { SetLife(p, 2.0f, 1.0f); },
         [](InnerParticle&) { return new IPR_Color(&Colours(2, {1, 2, 3, 4})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 3u); }},
        {"colour mode 2 picks half to even (0.5 -> 0)", [](InnerParticle& p) { SetLife(p, 2.0f, 1.0f); },
         [](InnerParticle&) { return new IPR_Color(&Colours(2, {1, 2})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 1u); }},
        {"colour f > 1 keeps to the last", [](InnerParticle& p) { SetLife(p, 1.0f, 5.0f); },
         [](InnerParticle&) { return new IPR_Color(&Colours(2, {1, 2, 3})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 3u); }},
        {"colour from an empty list is white", [](InnerParticle& p) { SetLife(p, 1.0f, 0.5f); },
         [](InnerParticle&) { return new IPR_Color(&Colours(2, {})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 0x00FFFFFFu); }},
        {"colour with lifetime 0 takes f = 0", [](InnerParticle& p) { SetLife(p, 0.0f, 0.5f); },
         [](InnerParticle&) { return new IPR_Color(&Colours(2, {7, 8, 9})); }, {0.0f}, true,
         [](const InnerParticle& p) { EXPECT_EQ(p.colour, 7u); }},
    };
    for (const RoutineCase& c : cases) {
        SCOPED_TRACE(c.name);
        InnerParticle particle;
        if (c.prepare)
            c.prepare(particle);
        ParticleRoutineHandle routine(c.make(particle));
        bool result = true;
        for (const float dt : c.steps)
            result = routine->Step(dt, particle);
        EXPECT_EQ(result, c.result);
        if (c.check)
            c.check(particle);
    }
}

TEST(ParticleRoutinesTest, IncrementMovesTowardItsAmountOnly)
{
    InnerParticle p;
    IPR_Increment down(-0.5f, 1.0f, 0.0f);
    const std::vector<std::pair<float, float>> agesAndValues = {
        {0.25f, 0.875f}, {0.25f, 0.875f}, {0.75f, 0.625f}, {10.0f, 0.5f}, {20.0f, 0.5f}};
    for (const auto& [age, expected] : agesAndValues) {
        p.values[InnerParticle::kAge] = age;
        EXPECT_TRUE(down.Step(0.0f, p));
        EXPECT_FLOAT_EQ(p.values[InnerParticle::kOpacityValue], expected) << age;
    }
}

TEST(ParticleRoutinesTest, ForcesAddUpInListOrderAndMoveTheParticle)
{
    InnerParticle p;
    p.velocity = {10.0f, 0.0f, 0.0f};
    p.AddRoutine(ParticleRoutineHandle(new IPR_Wind(0.0f, 5.0f, 0.0f, 2.0f)), false);
    p.AddRoutine(ParticleRoutineHandle(new IPR_AirResist(0.5f)), false);
    p.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    ASSERT_TRUE(p.Step(1.0f));
    // force = (0 - 10, 5, 0) x 2 - 0.5 x (10, 0, 0) = (-25, 10, 0)
    EXPECT_FLOAT_EQ(p.force.x, -25.0f);
    EXPECT_FLOAT_EQ(p.force.y, 10.0f);
    EXPECT_FLOAT_EQ(p.velocity.x, -15.0f);
    EXPECT_FLOAT_EQ(p.position.x, 10.0f - 12.5f);
    EXPECT_FLOAT_EQ(p.direction.x, -15.0f / std::sqrt(325.0f));
    EXPECT_FLOAT_EQ(p.perpendicular.y, p.direction.x);
}

TEST(ParticleRoutinesTest, NoiseWithFrequencyZeroMultipliesByOneValue)
{
    crt::srand(7);
    InnerParticle p;
    IPR_Perlin noise(p, InnerParticle::kSizeMultiplier, 0.8f, 1.0f, 0.0f);
    const float first = p.multipliers[InnerParticle::kSizeMultiplier];
    for (int i = 0; i < 5; ++i) {
        p.multipliers[InnerParticle::kSizeMultiplier] = 1.0f;
        noise.Step(0.3f, p);
        EXPECT_FLOAT_EQ(p.multipliers[InnerParticle::kSizeMultiplier], first);
    }
}

TEST(ParticleRoutinesTest, CrossQuadHoldsOutsideTheRectangle)
{
    MediaQuad quad;
    quad.SetRectangle(100.0f, 50.0f, {50.0f, 25.0f, 0.0f}); // x 0..100, y 0..50
    PRC_CrossQuad outside(quad);
    struct Point {
        float x, y;
        bool holds;
    };
    for (const Point& at : {Point{50, 25, false}, Point{-1, 25, true}, Point{101, 25, true}, Point{50, -1, true},
                            Point{50, 51, true}, Point{0, 25, false}, Point{100, 50, false}}) {
        InnerParticle p({at.x, at.y, 0.0f});
        EXPECT_EQ(outside.Test(0.0f, p), at.holds) << at.x << ", " << at.y;
    }
    PRC_OR none;
    EXPECT_FALSE(none.Test(0.0f, InnerParticle{}));
}

TEST(ParticleRoutinesTest, InteractionKillsOnTheStepItLeavesTheQuad)
{
    MediaQuad quad;
    quad.SetRectangle(10.0f, 10.0f, {5.0f, 5.0f, 0.0f});
    InnerParticle p({9.0f, 5.0f, 0.0f});
    p.velocity = {2.0f, 0.0f, 0.0f};
    p.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    auto* interaction = new IPR_InteractionRoutine;
    interaction->SetCondition(new PRC_CrossQuad(quad));
    interaction->SetAction(new PRA_Die);
    p.AddRoutine(ParticleRoutineHandle(interaction), false);
    EXPECT_TRUE(p.Step(0.5f));  // x = 10: on the edge
    EXPECT_FALSE(p.Step(0.5f)); // x = 11: outside
}

// ---- the particle's step ----------------------------------------------------------

struct Recorder : InnerParticleRoutine {
    Recorder(std::vector<int>& log, int id, bool result) : log(log), id(id), result(result) {}
    bool Step(float, InnerParticle& p) override
    {
        log.push_back(id);
        p.multipliers[0] = 5.0f;
        return result;
    }
    std::vector<int>& log;
    int id;
    bool result;
};

TEST(InnerParticleTest, StepOrderAndFailures)
{
    std::vector<int> log;
    // A failing main routine leaves multipliers, accumulator and direction.
    InnerParticle dead;
    dead.multipliers[3] = 7.0f;
    dead.force = {1.0f, 2.0f, 3.0f};
    dead.direction = {0.5f, 0.5f, 0.0f};
    dead.velocity = {3.0f, 0.0f, 0.0f};
    dead.SetMainRoutine(ParticleRoutineHandle(new Recorder(log, 0, false)));
    dead.AddRoutine(ParticleRoutineHandle(new Recorder(log, 1, true)), false);
    EXPECT_FALSE(dead.Step(0.1f));
    EXPECT_EQ(log, std::vector<int>{0});
    EXPECT_EQ(dead.multipliers[3], 7.0f);
    EXPECT_EQ(dead.force.y, 2.0f);
    EXPECT_EQ(dead.direction.x, 0.5f);

    // A failing listed routine stops the later ones; the direction follows.
    log.clear();
    InnerParticle stopped;
    stopped.velocity = {0.0f, -4.0f, 0.0f};
    stopped.AddRoutine(ParticleRoutineHandle(new Recorder(log, 1, true)), false);
    stopped.AddRoutine(ParticleRoutineHandle(new Recorder(log, 2, false)), false);
    stopped.AddRoutine(ParticleRoutineHandle(new Recorder(log, 3, true)), false);
    EXPECT_FALSE(stopped.Step(0.1f));
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    EXPECT_EQ(stopped.direction.y, -1.0f);
    EXPECT_EQ(stopped.perpendicular.x, 1.0f);

    // At rest, with no routines, the direction is (0, 1, 0) and it lives.
    InnerParticle idle;
    EXPECT_TRUE(idle.Step(1.0f));
    EXPECT_EQ(idle.direction.y, 1.0f);
}

TEST(InnerParticleTest, RunNowColoursBeforeTheFirstFrame)
{
    InnerParticle p;
    EXPECT_EQ(p.colour, 0u); // every particle starts with colour 0
    p.AddRoutine(ParticleRoutineHandle(new IPR_Color(&Colours(0, {0x123456}))), true);
    EXPECT_EQ(p.colour, 0x123456u);
    InnerParticle later;
    later.AddRoutine(ParticleRoutineHandle(new IPR_Color(&Colours(0, {0x123456}))), false);
    EXPECT_EQ(later.colour, 0u);
}

struct PairLog : RoutineAction {
    bool Apply(InnerParticle& a, ParticleHandle& b) override
    {
        pairs.emplace_back(a.position.x, b->position.x);
        return true;
    }
    std::vector<std::pair<float, float>> pairs;
};

TEST(InnerParticleListTest, InteractWalksTheSortedSweep)
{
    PairLog log;
    g_PairInteraction = &log;
    InnerParticleList list;
    // Size value 1 and scale 2: extent 1. Identified by x.
    list.Create({0.0f, 10.0f, 0.0f});
    list.Interact(2.0f);
    EXPECT_TRUE(log.pairs.empty()); // a single particle makes no call

    list.Create({1.0f, 0.0f, 0.0f});  // top -1
    list.Create({2.0f, 2.0f, 0.0f});  // top 1: touches x=1 (edge 1 = 1)
    list.Create({50.0f, 2.5f, 0.0f}); // apart in x
    list.Create({0.5f, 12.0f, 0.0f}); // touches x=0 (top 11 = 11)
    list.Interact(2.0f);
    g_PairInteraction = nullptr;
    const std::vector<std::pair<float, float>> expected = {{1.0f, 2.0f}, {0.0f, 0.5f}};
    EXPECT_EQ(log.pairs, expected);
    std::vector<float> order;
    for (const ParticleHandle& p : list.Particles())
        order.push_back(p->position.x);
    EXPECT_EQ(order, (std::vector<float>{1.0f, 2.0f, 50.0f, 0.0f, 0.5f}));
}

TEST(InnerParticleListTest, UpdateDropsTheDeadAndTheListStopsAtItsCap)
{
    InnerParticleList list;
    for (int i = 0; i < 3; ++i)
        list.Create({}).get()->SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(0.1f * i)));
    list.Update(0.15f);
    EXPECT_EQ(list.Size(), 1u);

    InnerParticleList full;
    for (int i = 0; i < InnerParticleList::kMaxParticles + 5; ++i)
        full.Create({});
    EXPECT_EQ(full.Size(), static_cast<std::size_t>(InnerParticleList::kMaxParticles));
    EXPECT_EQ(full.Room(), 0);
}

TEST(OscillationTest, KindsAttachTheirRoutines)
{
    crt::srand(3);
    OscillationParams none;
    InnerParticle untouched;
    none.AttachOscillation(InnerParticle::kSizeMultiplier, untouched);
    EXPECT_TRUE(untouched.Routines().empty());
    EXPECT_EQ(untouched.multipliers[InnerParticle::kSizeMultiplier], 1.0f);

    // a = 1: the harmonic swings the multiplier over -1..1 around 0.
    OscillationParams full;
    full.kind.value = OscillationParams::kHarmonic;
    full.amplitude.SetValue(200, nullptr);
    float low = 2.0f, high = -2.0f;
    for (int i = 0; i < 400; ++i) {
        InnerParticle p;
        full.AttachOscillation(InnerParticle::kOpacityMultiplier, p);
        ASSERT_EQ(p.Routines().size(), 1u);
        low = std::min(low, p.multipliers[InnerParticle::kOpacityMultiplier]);
        high = std::max(high, p.multipliers[InnerParticle::kOpacityMultiplier]);
    }
    EXPECT_LT(low, -0.95f);
    EXPECT_GT(high, 0.95f);

    VibrationParams vibration;
    vibration.kind.value = OscillationParams::kNoise;
    InnerParticle shaken;
    vibration.AttachVibration(InnerParticle::kAlongOffset, shaken);
    ASSERT_EQ(shaken.Routines().size(), 1u);
    const auto* noise = dynamic_cast<const IPR_Perlin*>(shaken.Routines()[0].get());
    ASSERT_NE(noise, nullptr);
    EXPECT_FLOAT_EQ(noise->offset, 0.0f);
    EXPECT_DOUBLE_EQ(noise->noise->amplitude, 4.0 * 50.0 * 0.5);
}

} // namespace

namespace {

// A straight path along x: samples at x = 0, 10, 20 (cumulative 10, 20, 0).
SharedPathSamples StraightSamples(int count)
{
    auto samples = MakeSafePtr<PathSampleList>();
    for (int i = 0; i < count; ++i) {
        PathSample s;
        s.x = 10.0f * static_cast<float>(i);
        s.dx = 1.0f;
        s.length = i + 1 < count ? 10.0f : 0.0f;
        s.cumulative = i + 1 < count ? 10.0f * static_cast<float>(i + 1) : 0.0f;
        samples->push_back(s);
    }
    return samples;
}

TEST(PathRoutinesTest, PointsOnASharedPath)
{
    MediaParamTB<std::uint32_t> width(4u);
    const SharedPathSamples samples = StraightSamples(3);
    auto cursor = MakeSafePtr<PathCursor>(samples);

    struct Case {
        float age;
        bool alive;
        float x;
        int segment;
    };
    for (const Case& c : {Case{5.0f, true, 5.0f, 0}, Case{15.0f, true, 15.0f, 1}, Case{-1.0f, false, 0.0f, 0},
                          Case{25.0f, false, 0.0f, 0}}) {
        InnerParticle p;
        p.values[InnerParticle::kAge] = c.age;
        IPR_PathPoint point(cursor, &width);
        EXPECT_EQ(point.Step(0.0f, p), c.alive) << c.age;
        if (c.alive) {
            EXPECT_FLOAT_EQ(p.position.x, c.x);
            EXPECT_EQ(p.pathPointIndex, c.segment);
        }
    }

    // The indexed point clamps its index; the sideways factor shifts it.
    InnerParticle indexed;
    indexed.pathPointIndex = 99;
    indexed.values[InnerParticle::kSidewaysFactor] = 0.5f;
    IPR_IndexedPathPoint last(samples, &width);
    EXPECT_TRUE(last.Step(0.0f, indexed));
    EXPECT_FLOAT_EQ(indexed.position.x, 20.0f);
    EXPECT_FLOAT_EQ(std::fabs(indexed.position.y), 2.0f);

    // A path of fewer than two samples ends every path routine.
    InnerParticle lonely;
    EXPECT_FALSE(IPR_IndexedPathPoint(StraightSamples(1), &width).Step(0.0f, lonely));
    EXPECT_FALSE(IPR_PathPoint(MakeSafePtr<PathCursor>(StraightSamples(1)), &width).Step(0.0f, lonely));
}

} // namespace

namespace {

TEST(PathRoutinesTest, TrackerRidesItsPathAtItsSpeedAndEndsPastIt)
{
    SplinePath path;
    path.AddPoint(DX_SmartPnt(math::Vec3{0.0f, 0.0f, 0.0f}), nullptr);
    path.AddPoint(DX_SmartPnt(math::Vec3{100.0f, 0.0f, 0.0f}), nullptr);
    path.RebuildCurve();
    ASSERT_GT(path.length, 99.0f);
    UINTSclaleTo<float> speed(1.0f, 0.0f, 50);
    IPR_PathTracker tracker(path, &speed, nullptr, 1.0f); // jitter 1: factor 1
    EXPECT_FLOAT_EQ(tracker.speedFactor, 1.0f);
    EXPECT_NEAR(tracker.GetLifetime(), path.length, 1e-3f);

    InnerParticle p;
    EXPECT_TRUE(tracker.Step(1.0f, p));
    EXPECT_FLOAT_EQ(p.Age(), 50.0f);
    EXPECT_NEAR(p.position.x, 50.0f, 0.5f);
    EXPECT_FALSE(tracker.Step(2.0f, p)); // past the end

    IPR_ConstPath byLength(&path, &speed);
    InnerParticle q;
    EXPECT_TRUE(byLength.Step(1.9f, q));
    EXPECT_FALSE(byLength.Step(0.2f, q));

    SplinePath empty;
    IPR_PathTracker nowhere(empty, &speed, nullptr, 0.0f);
    EXPECT_EQ(nowhere.GetLifetime(), 0.0f);
    InnerParticle r;
    EXPECT_FALSE(nowhere.Step(0.1f, r));
}

} // namespace
