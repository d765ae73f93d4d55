// The controllers of the butterfly and the clock, against matrices and
// values computed by hand.

#include "objects/MeshMatrices.h"
#include "tests/objects/MeshObjectTestSupport.h"

namespace mesh_object_test {
namespace {

using mesh_matrices::Scaling;
using mesh_matrices::Translation;
using mesh_matrices::TurnX;
using mesh_matrices::TurnY;

class ButterflyFlightTest : public MeshObjectTest {
protected:
    void SetUp() override
    {
        MeshObjectTest::SetUp();
        owner.size.SetValue(50, nullptr);
        flight = std::make_unique<AC_Butterfly>(owner);
        wingA = flight->TakeWingA();
        wingB = flight->TakeWingB();
        flight->position = {400.0f, 300.0f, 0.0f};
        node.local = Translation(1.0f, 2.0f, 3.0f);
    }

    void Step(float step, int times = 1)
    {
        owner.animationStep = step;
        for (int i = 0; i < times; ++i)
            flight->Apply(node);
    }

    DS_ButterflyConstructor owner;
    std::unique_ptr<AC_Butterfly> flight;
    std::unique_ptr<AC_ButterflyWing> wingA;
    std::unique_ptr<AC_ButterflyWing> wingB;
    TransformNode node;
};

TEST_F(MeshObjectTest, ButterflyStartsAtARandomPointOfTheViewAndARandomHeading)
{
    DS_ButterflyConstructor owner;
    owner.leftFraction = 0.5f;
    owner.topFraction = 0.25f;
    crt::srand(5);
    crt::RandomSequence replay(5);
    const float rx = static_cast<float>(replay.Next()) / 32767.0f;
    const float ry = static_cast<float>(replay.Next()) / 32767.0f;
    const float rh = static_cast<float>(replay.Next()) / 32767.0f;
    const AC_Butterfly flight(owner);
    EXPECT_FLOAT_EQ(flight.position.x, 400.0f + rx * 400.0f);
    EXPECT_FLOAT_EQ(flight.position.y, 150.0f + ry * 450.0f);
    EXPECT_FLOAT_EQ(flight.heading.current, rh * 360.0f);
    EXPECT_FLOAT_EQ(flight.heading.target, rh * 360.0f);
    EXPECT_EQ(crt::rand(), replay.Next()) << "exactly three draws";
}

TEST_F(ButterflyFlightTest, WithStepZeroItStaysPutButRebuildsItsWorldMatrix)
{
    flight->heading = {30.0f, 30.0f, 350.0f};
    for (int frame = 0; frame < 2; ++frame) {
        node.world = Scaling(123.0f);
        Step(0.0f);
        // size 50: scale 0.5 (in float); no bob, bank 0; forward 50 pitches
        // by (1 - 0.5) x 15 degrees.
        const math::Matrix expected =
            Scaling(0.5f) * TurnX(10.0f) * TurnX(7.5f) * TurnY(30.0f) * node.local * Translation(400.0f, 300.0f, 0.0f);
        ExpectMatrixNear(node.world, expected);
    }
    EXPECT_EQ(flight->position, (math::Vec3{400.0f, 300.0f, 0.0f}));
    EXPECT_EQ(flight->flapAngle, 0.0f);
    ExpectMatrixNear(wingA->wingMatrix, math::Matrix{});
    ExpectMatrixNear(wingB->wingMatrix, Scaling(-1.0f, 1.0f, 1.0f));
}

TEST_F(ButterflyFlightTest, LeavingTheViewSidewaysTurnsItBackAndSpeedsItUp)
{
    struct Case {
        float x;
        float heading;
        float target;
        float rate;
    };
    const Case cases[] = {
        {-10.0f, -90.0f, 0.0f, 350.0f},    // off the left edge: towards +x
        {810.0f, 0.0f, -180.0f, -350.0f},  // off the right edge: towards -x
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        flight->position = {c.x, 300.0f, 0.0f};
        flight->heading = {c.heading, c.heading, 10.0f};
        flight->forward = {50.0f, 50.0f, -20.0f};
        Step(0.1f);
        EXPECT_EQ(flight->heading.target, c.target);
        EXPECT_EQ(flight->heading.rate, c.rate);
        EXPECT_EQ(flight->forward.target, 300.0f);
        EXPECT_EQ(flight->forward.rate, 20.0f) << "signed towards the new target";
        Step(0.1f);
        EXPECT_FLOAT_EQ(flight->heading.current, c.heading + 0.1f * c.rate);
        EXPECT_FLOAT_EQ(flight->forward.current, 52.0f);
    }
}

TEST_F(ButterflyFlightTest, LeavingTheTopSwitchesToGlidingAndClimbsDown)
{
    flight->position = {400.0f, -10.0f, 0.0f};
    Step(0.01f);
    EXPECT_EQ(flight->mode, 1);
    EXPECT_EQ(flight->climb.target, 100.0f);
    EXPECT_EQ(flight->climb.rate, 250.0f);
    EXPECT_EQ(flight->upperFlapBound, 0.0f) << "the wings beat only below the level";
    EXPECT_EQ(flight->appliedMode, 0) << "until the wings are low enough";

    flight->flapAngle = -30.0f;
    flight->flapRate = 100.0f;
    Step(0.0f);
    EXPECT_EQ(flight->appliedMode, 1);
    EXPECT_FLOAT_EQ(flight->flapRate, -1.0f);

    flight->position = {400.0f, 610.0f, 0.0f};
    flight->forward = {10.0f, 10.0f, 350.0f};
    Step(0.0f);
    EXPECT_EQ(flight->mode, 0);
    EXPECT_EQ(flight->climb.target, -190.0f);
    EXPECT_EQ(flight->climb.rate, -250.0f);
    EXPECT_EQ(flight->upperFlapBound, 55.0f);
    EXPECT_EQ(flight->flapRate, 160.0f) << "slow flight restarts the beat at 160";

    // Faster than 20: the beat restarts at r x (forward / 3 + 110) - 160.
    flight->position = {400.0f, -10.0f, 0.0f};
    flight->flapAngle = -30.0f;
    Step(0.0f);
    ASSERT_EQ(flight->appliedMode, 1);
    flight->forward = {90.0f, 90.0f, 350.0f};
    flight->position = {400.0f, 610.0f, 0.0f};
    crt::srand(9);
    crt::RandomSequence replay(9);
    const float r = static_cast<float>(replay.Next()) / 32767.0f;
    Step(0.0f);
    EXPECT_FLOAT_EQ(flight->flapRate, r * (90.0f / 3.0f + 110.0f) - 160.0f);
}

TEST_F(ButterflyFlightTest, TurningBanksItUntilTheBankIsReachedThenLevelsIt)
{
    struct Case {
        float target;
        float bank;
    };
    for (const Case& c : {Case{30.0f, 25.0f}, Case{-30.0f, -25.0f}}) {
        SCOPED_TRACE(c.target);
        flight->heading = {0.0f, c.target, 350.0f};
        flight->bank = {0.0f, 0.0f, 50.0f};
        Step(0.1f, 5);
        EXPECT_EQ(flight->bank.current, c.bank);
        EXPECT_EQ(flight->bank.target, c.bank);
        Step(0.1f);
        EXPECT_EQ(flight->bank.target, 0.0f) << "sent back once reached exactly";
        EXPECT_FLOAT_EQ(flight->bank.current, c.bank * 0.8f);
    }
}

TEST_F(ButterflyFlightTest, WingsFallAt1120AndRiseAt700DegreesPerSecond)
{
    struct Case {
        float start;
        float rate;
        float perSecond;
    };
    const Case cases[] = {{56.0f, 100.0f, -1120.0f}, {-56.0f, -160.0f, 700.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        flight->flapAngle = c.start;
        flight->flapRate = c.rate;
        Step(0.001f);
        const float turned = flight->flapAngle;
        Step(0.001f);
        EXPECT_NEAR(flight->flapAngle - turned, c.perSecond * 0.001f, 1e-3f);
        EXPECT_EQ(wingA->cullCounterClockwise, flight->flapAngle > 0.0f);
        EXPECT_EQ(wingB->cullCounterClockwise, flight->flapAngle < 0.0f);
    }
}

TEST_F(MeshObjectTest, ClockHandsFollowTheLocalTime)
{
    struct Case {
        crt::LocalTimeOfDay time;
        bool readable;
        float hour;
        float minute;
    };
    const Case cases[] = {
        {{12, 30, 30}, true, 15.0f, 183.0f},
        {{15, 0, 0}, true, 90.0f, 0.0f},
        {{23, 45, 0}, true, 352.5f, 270.0f},
        {{9, 9, 9}, false, 0.0f, 0.0f}, // unreadable: 12:00
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time.hours);
        const FixedClockTime fixed(c.time, c.readable);
        const ClockTimeSourceScope scope(fixed);
        for (const auto& [hourHand, angle] : {std::pair{true, c.hour}, std::pair{false, c.minute}}) {
            AC_ClockArrow arrow(hourHand);
            TransformNode hand;
            hand.local = Translation(0.0f, 0.0f, 10.0f);
            arrow.Apply(hand);
            ExpectMatrixNear(hand.world, hand.local * TurnY(angle));
        }
    }
}

TEST_F(MeshObjectTest, ClockFacePlacesItsEdgesAroundTheCentreAtHalfTheSize)
{
    DS_ClockConstructor clock;
    clock.clockRectangle.centreX.StoreValue(401);
    clock.clockRectangle.centreY.StoreValue(300);
    clock.size.StoreValue(401);
    AC_Static face(clock);
    const MediaRectangle& r = clock.clockRectangle;
    // Integer half of 401: 200.
    EXPECT_EQ(r.left.value, 201);
    EXPECT_EQ(r.right.value, 601);
    EXPECT_EQ(r.top.value, 100);
    EXPECT_EQ(r.bottom.value, 500);

    clock.clockRectangle.centreX.StoreValue(100);
    clock.clockRectangle.NotifyObservers(nullptr);
    EXPECT_EQ(r.left.value, -100);
    EXPECT_EQ(r.right.value, 300);
    clock.size.SetValue(10, nullptr);
    EXPECT_EQ(r.left.value, 95);
    EXPECT_EQ(r.bottom.value, 305);

    TransformNode root;
    root.local = TurnX(90.0f);
    face.Apply(root);
    ExpectMatrixNear(root.world, Scaling(10.0f) * root.local * Translation(100.0f, 300.0f, 0.0f));
}

} // namespace
} // namespace mesh_object_test
