// Tree leaves and trace leaves without a device: what a leaf's births carry,
// its texture clock, trails behind parent particles, and stored trees read,
// saved back and refused.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/engine/EmitShapes.h"
#include "particles/engine/TreeLeaves.h"
#include "particles/engine/TreeRoot.h"
#include "tests/particles/engine/ItemRoundTrip.h"
#include "tests/particles/engine/TreeTestSupport.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/TreeWriter.h"

namespace {

TreeParticleHandle ParticleAt(float x, float y)
{
    TreeParticleHandle p = MakeSafePtr<TreeParticle>();
    p->Position() = {x, y, 0.0f};
    return p;
}

// ---- leaves -----------------------------------------------------------------------

TEST(TreeLeafTest, BirthsTakeTheLeafsColours)
{
    KXI_PSTree_Leaf leaf{NewGeometry<KXI_PSGeometry_Point>()};
    leaf.colours.colors.value = {0x00336699};
    const TreeParticleHandle parent = ParticleAt(3.0f, 4.0f);
    leaf.SpawnFrom(parent);
    ASSERT_EQ(leaf.geometry->particles.size(), 1u);
    TreeParticle& child = *leaf.geometry->particles.front();
    EXPECT_EQ(child.Parent(), parent.get());
    child.Step(0.1f);
    // COLORREF 0x00BBGGRR on the 0..255 scale.
    EXPECT_EQ(child.Color(), (math::Vec3{0x99, 0x66, 0x33}));
}

TEST(TreeLeafTest, TextureClockClampsWhileParticlesTakeTheWholeStep)
{
    KXI_PSTree_Leaf leaf{NewGeometry<KXI_PSGeometry_Point>()};
    leaf.speed.SetValue(100, nullptr);
    leaf.SpawnFrom(ParticleAt(0.0f, 0.0f));
    SpriteFrameInfo frames;
    frames.frameTextures.resize(3);
    frames.frameDurations = {0.1f, 0.1f, 0.1f};
    leaf.animatedTextures = {frames};
    leaf.reverse.value = 1;

    EXPECT_EQ(leaf.Update(1.0f, {}), 1);
    EXPECT_FLOAT_EQ(leaf.TextureTime(), 0.2f);
    EXPECT_FLOAT_EQ(leaf.RawTextureTime(), 1.0f);
    EXPECT_FLOAT_EQ(leaf.geometry->particles.front()->values[TreeParticle::kAge], 1.0f);
    // Backward from frame 0 is the last frame.
    EXPECT_EQ(leaf.animatedTextures.front().currentFrame, 2);

    // The speed scales the clamped step: 50 % of 0.2 s.
    leaf.speed.SetValue(50, nullptr);
    leaf.Update(0.5f, {});
    EXPECT_FLOAT_EQ(leaf.TextureTime(), 0.3f);
}

TEST(TreeLeafTest, EmitShapeUnderALeafNeverEmits)
{
    KXI_PSGeomEmit_Point* shape = nullptr;
    KXI_PSTree_Leaf leaf{NewGeometry(&shape)};
    shape->count.value = 50;
    shape->period.value = 0.1f;
    const TreeParticleList parents{ParticleAt(0.0f, 0.0f)};
    leaf.SpawnFrom(parents.front());
    for (int i = 0; i < 10; ++i)
        leaf.Update(0.1f, parents);
    EXPECT_TRUE(shape->particles.empty());
}

TEST(TreeLeafTest, GlowModesAndBlendTechniques)
{
    KXI_PSTree_Leaf leaf;
    struct Row {
        std::int32_t glowMode, blend;
        int passes;
        const char* technique;
    };
    for (const Row& row : {Row{0, 0, 0, "BlendNormal"}, Row{1, 1, 0, "BlendSum"}, Row{2, 0, 1, "BlendNormal"},
                           Row{7, 5, 0, "BlendNormal"}, Row{-2, 1, 0, "BlendSum"}}) {
        leaf.glowMode.value = row.glowMode;
        leaf.blend.value = row.blend;
        EXPECT_EQ(leaf.CountScreenPasses(), row.passes) << row.glowMode;
        EXPECT_STREQ(leaf.BlendTechnique(), row.technique) << row.blend;
    }
}

// ---- trace leaves ---------------------------------------------------------------

struct TraceFixture : ::testing::Test {
    TraceFixture()
    {
        trace.lifetime.value = 1.0f;
        trace.size.value = 10;
    }
    KXI_PSGeometry_Point* geometry = nullptr;
    KXI_PSTree_Trace trace{NewGeometry(&geometry)};
};

TEST_F(TraceFixture, CloseMovesShiftTheNewestPointAndAStillParentKeepsTwo)
{
    const TreeParticleHandle parent = ParticleAt(0.0f, 0.0f);
    const TreeParticleList parents{parent};
    for (int i = 0; i < 5; ++i)
        trace.Update(0.01f, parents);
    ASSERT_EQ(trace.Trails().size(), 1u);
    EXPECT_EQ(trace.Trails()[0].points.size(), 2u);

    // 4 px from the second newest: the newest moves there.
    parent->Position() = {4.0f, 0.0f, 0.0f};
    parent->Velocity() = {2.0f, 0.0f, 0.0f};
    trace.Update(0.01f, parents);
    const TreeParticleList& points = trace.Trails()[0].points;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1]->Position(), (math::Vec3{4.0f, 0.0f, 0.0f}));
    EXPECT_EQ(points[1]->Direction(), (math::Vec3{1.0f, 0.0f, 0.0f}));
    EXPECT_FLOAT_EQ(points[1]->spriteCell.x, 4.0f);

    // 6 px: a new point holding its segment's length.
    parent->Position() = {6.0f, 0.0f, 0.0f};
    trace.Update(0.01f, parents);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[2]->spriteCell.x, 6.0f);
    EXPECT_EQ(trace.PointCount(), 3u);
    EXPECT_EQ(trace.SegmentCount(), 2u);
}

TEST_F(TraceFixture, TrailOfADeadParentStaysUntilItsPointsExpire)
{
    const TreeParticleHandle parent = ParticleAt(0.0f, 0.0f);
    trace.Update(0.0f, {parent});
    parent->flags |= TreeParticle::kDeadFlag;
    trace.Update(0.5f, {});
    ASSERT_EQ(trace.Trails().size(), 1u);
    EXPECT_EQ(trace.Trails()[0].points.size(), 1u);
    trace.Update(0.5f, {}); // age 1.0: still alive
    EXPECT_EQ(trace.Trails().size(), 1u);
    trace.Update(0.25f, {});
    EXPECT_TRUE(trace.Trails().empty());
    EXPECT_EQ(trace.PointCount(), 0u);

    // A live parent's empty trail stays.
    const TreeParticleHandle alive = ParticleAt(0.0f, 0.0f);
    trace.Update(0.0f, {alive});
    trace.Update(2.0f, {});
    ASSERT_EQ(trace.Trails().size(), 1u);
    EXPECT_TRUE(trace.Trails()[0].points.empty());
}

TEST_F(TraceFixture, TrailsKeepTheOrderTheirParentsWereFirstSeen)
{
    std::vector<TreeParticleHandle> parents;
    for (int i = 0; i < 6; ++i)
        parents.push_back(ParticleAt(float(i), 0.0f));
    for (const int i : {4, 1, 5, 0, 3, 2})
        trace.SpawnFrom(parents[std::size_t(i)]);
    trace.Update(0.1f, {parents[2], parents[3], parents[0]});
    // One trail goes: the first seen but dead and expired.
    parents[4]->flags |= TreeParticle::kDeadFlag;
    trace.Update(2.0f, {});
    std::vector<float> order;
    for (const KXI_PSTree_Trace::Trail& trail : trace.Trails())
        order.push_back(trail.parent->Position().x);
    EXPECT_EQ(order, (std::vector<float>{1, 5, 0, 3, 2}));
    // Lookup still finds each trail after the removal.
    EXPECT_EQ(&trace.TrailOf(parents[3]), &trace.Trails()[3]);
}

TEST_F(TraceFixture, PointsOfAllTrailsStayWithinOneBatch)
{
    for (std::size_t i = 0; i < KXI_PSTree_Trace::kMaxPoints + 20; ++i)
        trace.SpawnFrom(ParticleAt(float(i), 0.0f));
    EXPECT_EQ(trace.PointCount(), KXI_PSTree_Trace::kMaxPoints);
}

TEST_F(TraceFixture, TracePointStartsFromItsParent)
{
    // The geometry's opacity envelope falls from the start: 0.5 at the
    // parent's life fraction 0.5. The trace's own envelope is full at birth.
    geometry->opacityEnvelope.percents[2].SetValue(0, nullptr);
    geometry->opacityEnvelope.percents[6].SetValue(100, nullptr);
    trace.opacityEnvelope.percents[6].SetValue(100, nullptr);
    TreeParticleHandle root = ParticleAt(10.0f, 20.0f);
    TreeParticle parent{root};
    parent.Position() = {1.0f, 2.0f, 0.0f};
    parent.Velocity() = {0.0f, -3.0f, 0.0f};
    parent.values[TreeParticle::kLifeFraction] = 0.5f;
    const TreeParticleHandle point = trace.CreateTracePoint(7.0f, parent);
    EXPECT_EQ(point->Parent(), nullptr);
    EXPECT_EQ(point->Position(), (math::Vec3{11.0f, 22.0f, 0.0f}));
    EXPECT_EQ(point->Direction(), (math::Vec3{0.0f, -1.0f, 0.0f}));
    EXPECT_EQ(point->spriteCell.x, 7.0f);
    EXPECT_EQ(point->chain.size(), 6u);
    point->Step(0.0f);
    EXPECT_FLOAT_EQ(point->multipliers[TreeParticle::kOpacity], 0.5f);
}

// ---- stored trees -----------------------------------------------------------------

tree_writer::WriteItem PointGeometry(const std::u16string& name = u"")
{
    return [name](DocumentWriter& w) {
        tree_writer::StoredGeometry geometry;
        geometry.name = name;
        tree_writer::WritePointGeometry(w, geometry);
    };
}

// Root, stem on a point emit shape with gravity, under it a point leaf
// drawing sparks and a trace leaf.
std::vector<std::uint8_t> FountainBytes()
{
    tree_writer::StoredPointShape shape;
    shape.launchSpread = 30;
    shape.forces = {2, 40, 5};
    shape.emitter.count = 20;
    shape.emitter.speed[0] = 150;

    tree_writer::StoredLeaf sparks;
    sparks.pictures = {{u"spark.png", 3}};
    sparks.columns = 2;
    sparks.rows = 0;
    sparks.speed = 100;
    sparks.reverse = 1;
    sparks.flipV = 1;
    sparks.size = 12;
    sparks.colours = {0x0000FFFF, 0x000000FF};
    sparks.colourMode = 1;
    sparks.transparency = 20;
    sparks.blend = 1;
    sparks.glowMode = 2;
    sparks.glowStrength = 30;
    sparks.glowColour = 0x00FF8000;
    sparks.glowBrightness = 150;
    sparks.glowPasses = 3;

    tree_writer::StoredTrace ribbons;
    ribbons.lifetime = 0.75f;
    ribbons.opacityEnvelope[5] = 60;
    ribbons.leaf.size = 6;
    ribbons.leaf.effect = {u"blur.fx", 9};

    tree_writer::StoredRoot root;
    root.offset[0] = 320.0f;
    root.offset[1] = 400.0f;
    root.storedInteger = 17;
    root.base.name = u"fountain";

    DocumentWriter w;
    tree_writer::WriteRoot(
        w, root,
        {[&](DocumentWriter& out) {
            tree_writer::WriteStem(out, u"stem", [&](DocumentWriter& g) { tree_writer::WritePointShape(g, shape); },
                                   {[&](DocumentWriter& l) { tree_writer::WriteLeaf(l, sparks, u"sparks", PointGeometry()); },
                                    [&](DocumentWriter& l) {
                                        tree_writer::WriteTrace(l, ribbons, u"ribbons", PointGeometry(u"g"));
                                    }});
        }});
    return w.Bytes();
}

std::unique_ptr<DS_IOF_Item> ReadMain(const std::vector<std::uint8_t>& bytes, std::size_t* remaining = nullptr)
{
    RegisterParticleEngineClasses();
    MemoryArchive archive(bytes);
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    if (remaining)
        *remaining = archive.Remaining();
    return item;
}

TEST(StoredTreeTest, WriterMadeFountainReadsAndSavesBack)
{
    const std::vector<std::uint8_t> bytes = FountainBytes();
    std::size_t remaining = 1;
    std::unique_ptr<DS_IOF_Item> item = ReadMain(bytes, &remaining);
    EXPECT_EQ(remaining, 0u);
    auto* root = dynamic_cast<KXI_PSTree_Root*>(item.get());
    ASSERT_TRUE(root);
    EXPECT_EQ(root->name, u"fountain");
    EXPECT_EQ(root->effectLink.Id(), 185);
    EXPECT_EQ(root->offset.value, (math::Vec3{320.0f, 400.0f, 0.0f}));
    EXPECT_EQ(root->storedInteger, 17);
    EXPECT_FLOAT_EQ(root->speed.Scaled(), 1.0f);
    EXPECT_EQ(root->GetKind(), 8);
    ASSERT_EQ(root->children.value.size(), 1u);
    const TreeNodeHandle& stem = root->children.value[0];
    EXPECT_EQ(stem->parent, static_cast<KXI_PSTree_Node_Parent*>(root));
    EXPECT_TRUE(dynamic_cast<KXI_PSGeomEmit_Point*>(stem->geometry.get()));
    ASSERT_EQ(stem->children.value.size(), 2u);

    auto* sparks = dynamic_cast<KXI_PSTree_Leaf*>(stem->children.value[0].get());
    ASSERT_TRUE(sparks);
    EXPECT_FALSE(dynamic_cast<KXI_PSTree_Trace*>(sparks));
    EXPECT_EQ(sparks->name, u"sparks");
    EXPECT_EQ(sparks->parent, static_cast<KXI_PSTree_Node_Parent*>(stem.get()));
    EXPECT_EQ(sparks->effectLink.Id(), 202);
    ASSERT_EQ(sparks->textures.value.pictures.size(), 1u);
    EXPECT_EQ(sparks->textures.value.pictures[0].Path(), u"spark.png");
    EXPECT_EQ(sparks->textures.value.columns, 2u);
    EXPECT_FLOAT_EQ(sparks->speed.Scaled(), 1.0f);
    EXPECT_EQ(sparks->reverse.value, 1);
    EXPECT_EQ(sparks->flipV.value, 1);
    EXPECT_EQ(sparks->flipU.value, 0);
    EXPECT_EQ(sparks->size.value, 12u);
    EXPECT_EQ(sparks->colours.colors.value, (std::vector<COLORREF>{0x0000FFFF, 0x000000FF}));
    EXPECT_EQ(sparks->colours.colorMode.value, 1);
    EXPECT_EQ(sparks->AlphaByte(), 204.0f);
    EXPECT_EQ(sparks->blend.value, 1);
    EXPECT_EQ(sparks->CountScreenPasses(), 1);
    EXPECT_EQ(sparks->glowSurface.strength.value, 30u);
    EXPECT_EQ(sparks->glowColour.value, 0x00FF8000u);
    EXPECT_FLOAT_EQ(sparks->glowBrightness.Scaled(), 3.0f);
    EXPECT_EQ(sparks->glowPasses.value, 3);
    EXPECT_TRUE(dynamic_cast<KXI_PSGeometry_Point*>(sparks->geometry.get()));

    auto* ribbons = dynamic_cast<KXI_PSTree_Trace*>(stem->children.value[1].get());
    ASSERT_TRUE(ribbons);
    EXPECT_EQ(ribbons->lifetime.value, 0.75f);
    EXPECT_FLOAT_EQ(ribbons->opacityEnvelope.percents[5].Scaled(), 0.6f);
    EXPECT_EQ(ribbons->size.value, 6u);
    EXPECT_EQ(ribbons->effectLink.Path(), u"blur.fx");
    EXPECT_EQ(ribbons->geometry->name, u"g");
    EXPECT_EQ(root->CountScreenPasses(), 1);

    RecordingArchive saved;
    root->Save(saved.Writer());
    EXPECT_EQ(saved.writer.Bytes(), bytes);
}

TEST(StoredTreeTest, DefaultLeafAndTraceRoundTrip)
{
    KXI_PSTree_Trace trace{NewGeometry<KXI_PSGeometry_Swarm>()};
    trace.name = u"t";
    trace.lifetime.value = 3.5f;
    trace.glowMode.value = 1;
    std::unique_ptr<KXI_PSTree_Trace> read = ItemRoundTrip<KXI_PSTree_Trace>(trace);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->lifetime.value, 3.5f);
    EXPECT_EQ(read->glowMode.value, 1);
    EXPECT_EQ(read->effectLink.Id(), 202);
    EXPECT_EQ(read->name, u"t");

    KXI_PSTree_Leaf leaf{NewGeometry<KXI_PSGeometry_Point>()};
    leaf.children.Append(TreeNodeHandle(new KXI_PSTree_Leaf(NewGeometry<KXI_PSGeometry_Point>())));
    std::unique_ptr<KXI_PSTree_Leaf> readLeaf = ItemRoundTrip<KXI_PSTree_Leaf>(leaf);
    ASSERT_TRUE(readLeaf);
    EXPECT_EQ(readLeaf->children.value.size(), 1u);
}

std::string RootRefusal(const std::vector<std::uint8_t>& bytes)
{
    try {
        ReadMain(bytes);
    } catch (const DS_Error& e) {
        return e.what();
    }
    return "read";
}

TEST(StoredTreeTest, MalformedTreesUnderARootAreRefused)
{
    const auto rootWith = [](const std::vector<tree_writer::WriteItem>& children) {
        DocumentWriter w;
        tree_writer::WriteRoot(w, {}, children);
        return w.Bytes();
    };
    // A chain of `levels` nodes ending in a leaf.
    const std::function<void(DocumentWriter&, int)> chain = [&](DocumentWriter& w, int levels) {
        if (levels == 1) {
            tree_writer::WriteLeaf(w, {}, u"", PointGeometry());
            return;
        }
        tree_writer::WriteStem(w, u"", PointGeometry(), {[&, levels](DocumentWriter& c) { chain(c, levels - 1); }});
    };
    EXPECT_EQ(RootRefusal(rootWith({[&](DocumentWriter& w) { chain(w, kMaxTreeDepth); }})), "read");
    EXPECT_EQ(RootRefusal(rootWith({[&](DocumentWriter& w) { chain(w, kMaxTreeDepth + 1); }})),
              "particle tree too deep");

    struct Row {
        const char* what;
        tree_writer::WriteItem child;
        const char* named;
    };
    const Row rows[] = {
        {"unregistered class", [](DocumentWriter& w) { w.WideString(u"KXI_PSTree_Twig").Int(1); }, "KXI_PSTree_Twig"},
        {"geometry for a node", PointGeometry(), "KXI_PSGeometry_Point"},
        {"node for a geometry",
         [](DocumentWriter& w) {
             tree_writer::WriteLeaf(w, {}, u"", [](DocumentWriter& g) { tree_writer::WriteLeaf(g, {}, u"", PointGeometry()); });
         },
         "KXI_PSTree_Leaf"},
        {"trace leaf without its leaf section",
         [](DocumentWriter& w) {
             w.WideString(u"KXI_PSTree_Trace").Int(1).Float(1.0f);
         },
         ""},
    };
    for (const Row& row : rows) {
        const std::string refusal = RootRefusal(rootWith({row.child}));
        EXPECT_NE(refusal, "read") << row.what;
        EXPECT_NE(refusal.find(row.named), std::string::npos) << row.what << ": " << refusal;
    }

    // A child count beyond the bytes left.
    DocumentWriter huge;
    huge.WideString(u"KXI_PSTree_Root").Int(1).WideString(u"").Int64(0).Float(0).Float(0).Float(0).Int(0);
    huge.Int(50000000);
    EXPECT_NE(RootRefusal(huge.Bytes()), "read");
}

} // namespace
