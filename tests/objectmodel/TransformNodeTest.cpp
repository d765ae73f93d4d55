// Transform nodes: world = (animation or local) x parent, down the children.

#include <gtest/gtest.h>

#include <memory>

#include "objectmodel/TransformNode.h"
#include "platform/math/MathFunctions.h"

namespace {

math::Matrix Translation(float x, float y, float z)
{
    math::Matrix m;
    math::MatrixTranslation(&m, x, y, z);
    return m;
}

math::Matrix Scaling(float s)
{
    math::Matrix m;
    math::MatrixScaling(&m, s, s, s);
    return m;
}

math::Matrix RotationZ(float radians)
{
    math::Matrix m;
    math::MatrixRotationZ(&m, radians);
    return m;
}

// Copies local into world and turns it, as the object animations do; counts
// calls and reports its destruction.
class SpinAnimation : public DS_AnimationBase {
public:
    SpinAnimation(int& applied, bool& destroyed) : m_applied(applied), m_destroyed(destroyed) {}
    ~SpinAnimation() override { m_destroyed = true; }
    void Apply(TransformNode& node) override
    {
        ++m_applied;
        node.world = node.local * RotationZ(0.5f);
    }

private:
    int& m_applied;
    bool& m_destroyed;
};

TEST(TransformNode, StartsWithIdentitiesAndTheDefaultFlag)
{
    TransformNode node;
    EXPECT_EQ(node.world, math::Matrix{});
    EXPECT_EQ(node.local, math::Matrix{});
    EXPECT_EQ(node.boundingRadius, 0.0f);
    EXPECT_TRUE(node.cullCounterClockwise);
    EXPECT_EQ(node.Animation(), nullptr);
    EXPECT_TRUE(node.Children().empty());
}

TEST(TransformNode, WorldIsLocalTimesParentDownTheTree)
{
    TransformNode root, child, grandchild, sibling;
    root.local = Translation(1, 2, 3);
    child.local = Scaling(2) * RotationZ(0.3f);
    grandchild.local = Translation(-4, 0, 1);
    sibling.local = RotationZ(-1.0f);
    root.AddChild(&child);
    root.AddChild(&sibling);
    child.AddChild(&grandchild);

    const math::Matrix top = Scaling(0.5f) * Translation(10, 0, 0);
    root.UpdateWorld(&top);
    EXPECT_EQ(root.world, root.local * top);
    EXPECT_EQ(child.world, child.local * root.world);
    EXPECT_EQ(sibling.world, sibling.local * root.world);
    EXPECT_EQ(grandchild.world, grandchild.local * child.world);

    // Without a parent the root's world is its local matrix.
    root.UpdateWorld(nullptr);
    EXPECT_EQ(root.world, root.local);
    EXPECT_EQ(child.world, child.local * root.local);
    EXPECT_EQ(grandchild.world, grandchild.local * child.world);
}

TEST(TransformNode, AnimationComputesTheWorldInPlaceOfLocal)
{
    int applied = 0;
    bool destroyed = false;
    {
        TransformNode root, child;
        root.local = Translation(0, 5, 0);
        child.local = Translation(1, 0, 0);
        child.SetAnimation(std::make_unique<SpinAnimation>(applied, destroyed));
        root.AddChild(&child);

        root.UpdateWorld(nullptr);
        EXPECT_EQ(applied, 1);
        EXPECT_EQ(child.world, child.local * RotationZ(0.5f) * root.world);

        // A copy never takes the controller (one owner deletes it).
        TransformNode copy(child);
        EXPECT_EQ(copy.Animation(), nullptr);
        EXPECT_EQ(copy.local, child.local);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

} // namespace
