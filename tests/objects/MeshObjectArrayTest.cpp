// The runtime object of the butterfly and the clock: its trees, the items'
// node lists and the animation clock.

#include "tests/objects/MeshObjectTestSupport.h"

namespace mesh_object_test {
namespace {

template <class Item>
std::unique_ptr<DS_3DObjArray> MakeArray(std::uint32_t count, std::uint32_t rate = 50)
{
    Item item;
    item.count.StoreValue(count);
    item.animationRate.StoreValue(rate);
    auto made = item.CreateRenderObject();
    auto* array = dynamic_cast<DS_3DObjArray*>(made.get());
    if (!array)
        return nullptr;
    made.release();
    return std::unique_ptr<DS_3DObjArray>(array);
}

std::vector<TransformNode*> Roots(const DS_3DObjArray& array)
{
    std::vector<TransformNode*> roots;
    for (const MeshObjectTree& tree : array.Trees())
        roots.push_back(tree.root.get());
    return roots;
}

std::vector<TransformNode*> Nodes(const MeshItem& item)
{
    return {item.nodes.begin(), item.nodes.end()};
}

TEST_F(MeshObjectTest, CountZeroBuildsNoTreeAndLeavesBothItemsEmpty)
{
    std::unique_ptr<DS_3DObjArray> arrays[] = {MakeArray<DS_ButterflyConstructor>(0), MakeArray<DS_ClockConstructor>(0)};
    for (const auto& array : arrays) {
        ASSERT_NE(array, nullptr);
        EXPECT_TRUE(array->Trees().empty());
        ASSERT_EQ(array->Items().size(), 2u);
        EXPECT_TRUE(array->Items()[0].nodes.empty());
        EXPECT_TRUE(array->Items()[1].nodes.empty());
        array->Animate(1.0f);
    }
}

TEST_F(MeshObjectTest, ItemsDrawEveryRootAndEveryChildBlockNewestFirst)
{
    auto array = MakeArray<DS_ButterflyConstructor>(2);
    ASSERT_NE(array, nullptr);
    const std::vector<TransformNode*> roots = Roots(*array);
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(Nodes(array->Items()[0]), roots);
    const auto& first = roots[0]->Children();
    const auto& second = roots[1]->Children();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(Nodes(array->Items()[1]), (std::vector<TransformNode*>{second[0], second[1], first[0], first[1]}));
    EXPECT_FALSE(array->Items()[0].IsTransparent());
    EXPECT_TRUE(array->Items()[1].IsTransparent());
}

TEST_F(MeshObjectTest, LoweringTheCountRemovesTheOldestTrees)
{
    auto array = MakeArray<DS_ClockConstructor>(3);
    ASSERT_NE(array, nullptr);
    const std::vector<TransformNode*> before = Roots(*array);
    ASSERT_EQ(before.size(), 3u);
    array->Description3D().count.SetValue(1, nullptr);
    ASSERT_EQ(Roots(*array), (std::vector<TransformNode*>{before[2]}));
    const auto& hands = before[2]->Children();
    ASSERT_EQ(hands.size(), 2u);
    // The hour hand first, so that the minute hand draws over it.
    EXPECT_EQ(Nodes(array->Items()[1]), (std::vector<TransformNode*>{hands[0], hands[1]}));
    EXPECT_EQ(Nodes(array->Items()[0]), (std::vector<TransformNode*>{before[2]}));
    auto* hour = dynamic_cast<AC_ClockArrow*>(hands[0]->Animation());
    ASSERT_NE(hour, nullptr);
    EXPECT_TRUE(hour->IsHourHand());

    array->Description3D().count.SetValue(2, nullptr);
    EXPECT_EQ(Roots(*array).front(), before[2]) << "new trees go to the back";
}

TEST_F(MeshObjectTest, AHugeStoredCountBuildsTheLargestNumberOfTrees)
{
    auto array = MakeArray<DS_ClockConstructor>(4000000000u);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->Trees().size(), kMaxMeshObjects);
    EXPECT_EQ(array->Items()[1].nodes.size(), 2 * std::size_t(kMaxMeshObjects));
}

TEST_F(MeshObjectTest, TheAnimationClockCountsAJumpBackForwardAndCapsIt)
{
    auto array = MakeArray<DS_ButterflyConstructor>(1, 80);
    ASSERT_NE(array, nullptr);
    DS_3D_Obj_Ctrl& description = array->Description3D();
    array->Animate(10.0f);
    const float total = description.animationClock;
    array->Animate(5.0f);
    EXPECT_FLOAT_EQ(description.animationStep, 0.2f * 80.0f * 0.02f);
    EXPECT_FLOAT_EQ(description.animationClock, total + 0.2f * 80.0f * 0.02f);
    EXPECT_EQ(description.lastAnimationTime, 5.0f);
}

TEST_F(MeshObjectTest, TheRateScalesEveryControllerButTheClockHands)
{
    struct Flight {
        float flap;
        float x;
    };
    auto fly = [](std::uint32_t rate) {
        auto array = MakeArray<DS_ButterflyConstructor>(1, rate);
        auto* flight = dynamic_cast<AC_Butterfly*>(array->Trees().front().root->Animation());
        flight->position = {400.0f, 300.0f, 0.0f};
        flight->heading = {0.0f, 0.0f, 350.0f};
        array->Animate(0.05f);
        return Flight{flight->flapAngle, flight->position.x - 400.0f};
    };
    const Flight normal = fly(50);
    const Flight doubled = fly(100);
    const Flight frozen = fly(0);
    EXPECT_FLOAT_EQ(normal.flap, 0.05f * 7.0f * 100.0f);
    EXPECT_FLOAT_EQ(doubled.flap, 2.0f * normal.flap);
    EXPECT_FLOAT_EQ(doubled.x, 2.0f * normal.x);
    EXPECT_EQ(frozen.flap, 0.0f);
    EXPECT_EQ(frozen.x, 0.0f);

    const FixedClockTime threeOClock({3, 0, 0});
    const ClockTimeSourceScope scope(threeOClock);
    auto clock = MakeArray<DS_ClockConstructor>(1, 0);
    clock->Animate(0.05f);
    const TransformNode& hour = *clock->Trees().front().root->Children()[0];
    // The hour hand's tip (local +z) points to +x on the screen at 3:00.
    math::Vec3 tip;
    math::Vec3TransformCoord(&tip, math::Vec3{0.0f, 0.0f, 50.0f}, hour.world);
    EXPECT_GT(tip.x, 400.0f + 50.0f);
    EXPECT_NEAR(tip.y, 300.0f, 0.5f);
}

TEST_F(MeshObjectTest, AClockOfThreeDrawsThreeFacesAtTheSamePlace)
{
    auto clock = MakeArray<DS_ClockConstructor>(3);
    ASSERT_NE(clock, nullptr);
    clock->Animate(0.1f);
    const std::vector<TransformNode*> roots = Roots(*clock);
    ASSERT_EQ(roots.size(), 3u);
    for (const TransformNode* root : roots)
        ExpectMatrixNear(root->world, roots[0]->world);
    // Plate corner (50, 0, 50) at size 400: the rectangle's top-right corner.
    math::Vec3 corner;
    math::Vec3TransformCoord(&corner, math::Vec3{50.0f, 0.0f, 50.0f}, roots[0]->world);
    EXPECT_NEAR(corner.x, 600.0f, 1e-3f);
    EXPECT_NEAR(corner.y, 100.0f, 1e-3f);
}

TEST_F(MeshObjectTest, HitTestAsksTheDescription)
{
    auto butterfly = MakeArray<DS_ButterflyConstructor>(1);
    EXPECT_FALSE(butterfly->HitTest(400, 300));
}

} // namespace
} // namespace mesh_object_test
