// The drifting array: the stream step, the tumbling controller and the
// copies of the runtime object.

#include "platform/math/MathFunctions.h"
#include "tests/objects/MeshObjectTestSupport.h"

namespace mesh_object_test {
namespace {

class DriftingTest : public MeshObjectTest {
protected:
    void SetUp() override
    {
        MeshObjectTest::SetUp();
        g_SceneTime3D = 0.0f;
        params.size.StoreValue(40);
        params.speed.StoreValue(50);
    }

    // One stream step of `seconds` for `anim`.
    template <class Anim>
    void Step(Anim& anim, TransformNode& node, float seconds)
    {
        g_SceneTime3D += seconds;
        anim.Apply(node);
    }

    StreamAnimParams params;
};

TEST_F(DriftingTest, TheAngleGivesTheStreamDirection)
{
    struct Case {
        std::uint32_t angle;
        float dx;
        float dy;
    };
    // Angles grow counter-clockwise on a screen whose y points down.
    const Case cases[] = {{0, 1.0f, 0.0f}, {90, 0.0f, -1.0f}, {180, -1.0f, 0.0f}, {270, 0.0f, 1.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        params.direction.SetAngle(c.angle);
        g_SceneTime3D = 0.0f;
        DS_SreamAnim anim(params);
        anim.translation.m[3][0] = 400.0f;
        anim.translation.m[3][1] = 300.0f;
        TransformNode node;
        Step(anim, node, 0.1f);
        const float distance = 50.0f * anim.speedFactor * 0.1f * 50.0f;
        EXPECT_NEAR(anim.X() - 400.0f, c.dx * distance, 1e-3f);
        EXPECT_NEAR(anim.Y() - 300.0f, c.dy * distance, 1e-3f);
        EXPECT_EQ(node.world.m[3][0], anim.X());
    }
}

TEST_F(DriftingTest, ACopyThatLeavesReentersAtTheOppositeEdgeWithoutMoving)
{
    struct Case {
        std::uint32_t angle;
        float x, y;
        bool randomX; // which coordinate is drawn at random
        float fixed;  // the other one
    };
    // size 40: h = 20.
    const Case cases[] = {
        {270, 100.0f, 621.0f, true, -20.0f},  // down, past the bottom: top
        {90, 100.0f, -21.0f, true, 620.0f},   // up, past the top: bottom
        {0, 821.0f, 100.0f, false, -20.0f},   // right, past the right: left
        {180, -21.0f, 100.0f, false, 820.0f}, // left, past the left: right
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        params.direction.SetAngle(c.angle);
        DS_SreamAnim anim(params);
        anim.translation.m[3][0] = c.x;
        anim.translation.m[3][1] = c.y;
        crt::srand(77);
        crt::RandomSequence replay(77);
        const float r = static_cast<float>(replay.Next()) / 32767.0f;
        TransformNode node;
        Step(anim, node, 0.1f);
        if (c.randomX) {
            EXPECT_FLOAT_EQ(anim.X(), r * 800.0f);
            EXPECT_FLOAT_EQ(anim.Y(), c.fixed);
        } else {
            EXPECT_FLOAT_EQ(anim.X(), c.fixed);
            EXPECT_FLOAT_EQ(anim.Y(), r * 600.0f);
        }
    }
}

TEST_F(DriftingTest, DriftChangeZeroNeverChangesTheDrift)
{
    params.drift.StoreValue(100);
    struct Case {
        std::uint32_t change;
        bool changes;
    };
    for (const Case& c : {Case{0, false}, Case{1000, true}}) {
        SCOPED_TRACE(c.change);
        params.driftChange.StoreValue(c.change);
        DS_SreamAnim anim(params);
        const float first = anim.driftFactor;
        TransformNode node;
        bool changed = false;
        for (int i = 0; i < 200; ++i) {
            Step(anim, node, 0.1f);
            changed = changed || anim.driftFactor != first;
        }
        EXPECT_EQ(changed, c.changes);
    }
}

TEST_F(DriftingTest, ALeafIsScaledToTheSizeAndKeepsItsTurnWithoutSpinAndDrift)
{
    params.spin.StoreValue(0);
    DS_LeafFallAnim leaf(params);
    TransformNode node;
    node.boundingRadius = 10.0f;
    Step(leaf, node, 0.1f);
    const math::Matrix first = node.world;
    Step(leaf, node, 0.1f);
    // The turn (upper 3 x 3) stays; only the position moves.
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 3; ++col)
            EXPECT_NEAR(node.world.m[r][col], first.m[r][col], 1e-5f);
    EXPECT_NE(node.world.m[3][0], first.m[3][0]);
    // size 40 over radius 10: every axis is scaled by 2.
    math::Vec3 axis;
    math::Vec3TransformNormal(&axis, math::Vec3{1.0f, 0.0f, 0.0f}, node.world);
    EXPECT_NEAR(math::Vec3Length(axis), 2.0f, 1e-4f);
}

TEST_F(DriftingTest, SizeZeroAndAnEmptyMeshShowNothingWithFiniteMatrices)
{
    struct Case {
        std::uint32_t size;
        float radius;
    };
    for (const Case& c : {Case{0, 10.0f}, Case{40, 0.0f}}) {
        SCOPED_TRACE(c.size);
        params.size.StoreValue(c.size);
        params.drift.StoreValue(50);
        DS_LeafFallAnim leaf(params);
        TransformNode node;
        node.boundingRadius = c.radius;
        Step(leaf, node, 0.1f);
        EXPECT_TRUE(IsFinite(node.world));
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 3; ++col)
                EXPECT_EQ(node.world.m[r][col], 0.0f);
    }
}

TEST_F(DriftingTest, SwingingTurnsAreOnInAboutHalfOfTheCopies)
{
    crt::srand(1);
    int fourth = 0;
    int fifth = 0;
    constexpr int kCopies = 1000;
    for (int i = 0; i < kCopies; ++i) {
        const DS_LeafFallAnim leaf(params);
        for (int t = 0; t < 3; ++t) {
            EXPECT_GE(std::fabs(leaf.turns[t].rate), 7.0f);
            EXPECT_LE(std::fabs(leaf.turns[t].rate), 10.0f);
        }
        fourth += leaf.turns[3].rate != 0.0f;
        fifth += leaf.turns[4].rate != 0.0f;
        EXPECT_EQ(leaf.turns[4].angle, leaf.turns[4].rate);
    }
    EXPECT_NEAR(fourth, kCopies / 2, 60);
    EXPECT_NEAR(fifth, kCopies / 2, 60);
}

TEST_F(DriftingTest, TheArrayMakesOneCopyPerCountUpToTheLimit)
{
    struct Case {
        std::uint32_t count;
        std::size_t copies;
    };
    for (const Case& c : {Case{0, 0}, Case{5, 5}, Case{4000000000u, kMaxDriftingCopies}}) {
        SCOPED_TRACE(c.count);
        DS_3D_in_2D_array_Constructor description;
        description.count.StoreValue(c.count);
        auto made = description.CreateRenderObject();
        auto* array = dynamic_cast<DS_3D_in_2D_array*>(made.get());
        ASSERT_NE(array, nullptr);
        EXPECT_EQ(array->CopyCount(), c.copies);
        EXPECT_EQ(array->Batch().header.Children().size(), c.copies);
        EXPECT_EQ(array->Description().runtime, array);
        array->Animate(0.5f);
        EXPECT_EQ(g_SceneTime3D, 0.5f);
    }
}

TEST_F(DriftingTest, LoweringTheCountRemovesTheFirstCopies)
{
    DS_3D_in_2D_array_Constructor description;
    description.count.StoreValue(3);
    auto made = description.CreateRenderObject();
    auto* array = dynamic_cast<DS_3D_in_2D_array*>(made.get());
    ASSERT_NE(array, nullptr);
    const std::vector<TransformNode*> before = array->Batch().header.Children();
    array->Description().count.StoreValue(1);
    array->SyncObjects();
    EXPECT_EQ(array->Batch().header.Children(), (std::vector<TransformNode*>{before[2]}));
}

} // namespace
} // namespace mesh_object_test
