// Tree nodes: how births ripple down through stems, how a stem's update
// hands its particles to its children and sums their batches, and how
// stored trees are read and refused.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "objectmodel/DocumentError.h"
#include "particles/engine/EmitShapes.h"
#include "particles/engine/TreeNodes.h"
#include "tests/particles/engine/ItemRoundTrip.h"
#include "tests/particles/engine/TreeTestSupport.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/TreeWriter.h"

namespace {

// A node that records what reaches it and asks for one batch.
struct RecordingNode final : KXI_PSTree_Node {
    explicit RecordingNode(std::vector<std::string>& log, std::string tag)
        : KXI_PSTree_Node(NewGeometry<KXI_PSGeometry_Point>()), m_log(&log), m_tag(std::move(tag))
    {
    }
    void SpawnFrom(const TreeParticleHandle& parent) override
    {
        m_log->push_back(m_tag + " born of " + std::to_string(static_cast<int>(parent->Position().x)));
    }
    int Update(float, const TreeParticleList& parents) override
    {
        m_log->push_back(m_tag + " update with " + std::to_string(parents.size()));
        return 1;
    }
    void BuildQuads(KXI_PtclSys_Mesh&, int& batchIndex) override { ++batchIndex; }
    void Render(KXI_PtclSys_Mesh&, int& batchIndex, gfx::Effect*, DS_ABRender&, int&) override { ++batchIndex; }

private:
    std::vector<std::string>* m_log;
    std::string m_tag;
};

TEST(TreeNodesTest, StemPassesItsBirthsToItsChildrenInOrder)
{
    KXI_PSGeometry_Swarm* swarm = nullptr;
    KXI_PSTree_Stem stem{NewGeometry(&swarm)};
    swarm->count.value = 2;
    std::vector<std::string> log;
    stem.children.Append(TreeNodeHandle(new RecordingNode(log, "a")));
    stem.children.Append(TreeNodeHandle(new RecordingNode(log, "b")));
    // Swarm particles sit on the offset: tell them apart by it.
    swarm->offset.value = {7.0f, 0.0f, 0.0f};

    stem.SpawnFrom(MakeSafePtr<TreeParticle>());
    EXPECT_EQ(log, (std::vector<std::string>{"a born of 7", "b born of 7", "a born of 7", "b born of 7"}));
    EXPECT_EQ(swarm->particles.size(), 2u);
}

TEST(TreeNodesTest, StemUpdateEmitsStepsAndSumsItsChildrensBatches)
{
    KXI_PSGeomEmit_Point* shape = nullptr;
    KXI_PSTree_Stem stem{NewGeometry(&shape)};
    shape->count.value = 4;
    shape->period.value = 1.0f;
    std::vector<std::string> log;
    stem.children.Append(TreeNodeHandle(new RecordingNode(log, "a")));
    stem.children.Append(TreeNodeHandle(new RecordingNode(log, "b")));

    TreeParticleList parents{MakeSafePtr<TreeParticle>()};
    EXPECT_EQ(stem.Update(0.3f, parents), 2);
    // One emitted (the tick at 0.25), handed to both children, then both update.
    EXPECT_EQ(log, (std::vector<std::string>{"a born of 0", "b born of 0", "a update with 1", "b update with 1"}));

    // A stem that emits nothing still lets every child count its batch.
    log.clear();
    shape->count.value = 0;
    shape->particles.clear();
    EXPECT_EQ(stem.Update(0.3f, parents), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"a update with 0", "b update with 0"}));
}

// A chain of `levels` stems, each on a point geometry.
TreeNodeHandle StemChain(int levels)
{
    TreeNodeHandle top;
    for (int i = 0; i < levels; ++i) {
        TreeNodeHandle stem(new KXI_PSTree_Stem(NewGeometry<KXI_PSGeometry_Point>()));
        if (top)
            stem->children.Append(top);
        top = stem;
    }
    return top;
}

TEST(TreeNodesTest, StoredStemsRoundTripWithTheirChildren)
{
    KXI_PSTree_Stem stem{NewGeometry<KXI_PSGeometry_Swarm>()};
    stem.name = u"top";
    stem.children.Append(StemChain(2));
    stem.children.Append(TreeNodeHandle(new KXI_PSTree_Stem(NewGeometry<KXI_PSGeometry_Trace>())));

    std::unique_ptr<KXI_PSTree_Stem> read = ItemRoundTrip<KXI_PSTree_Stem>(stem);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, u"top");
    EXPECT_TRUE(dynamic_cast<KXI_PSGeometry_Swarm*>(read->geometry.get()));
    ASSERT_EQ(read->children.value.size(), 2u);
    for (const TreeNodeHandle& child : read->children.value)
        EXPECT_EQ(child->parent, static_cast<KXI_PSTree_Node_Parent*>(read.get()));
    EXPECT_EQ(read->children.value[0]->children.value.size(), 1u);
    EXPECT_TRUE(dynamic_cast<KXI_PSGeometry_Trace*>(read->children.value[1]->geometry.get()));

    // 64 levels are read.
    ASSERT_TRUE(ItemRoundTrip<KXI_PSTree_Stem>(*StemChain(kMaxTreeDepth)));
}

// The bytes of `item` as saved.
std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive out;
    item.Save(out.Writer());
    return out.writer.Bytes();
}

std::string RefusalOf(const std::vector<std::uint8_t>& bytes)
{
    RegisterParticleEngineClasses();
    MemoryArchive archive(bytes);
    try {
        ReadPSTreeNodePointer(archive.Reader());
    } catch (const DS_Error& e) {
        return e.what();
    }
    return "read";
}

TEST(TreeNodesTest, MalformedTreesAreRefused)
{
    // 65 levels.
    EXPECT_EQ(RefusalOf(Saved(*StemChain(kMaxTreeDepth + 1))), "particle tree too deep");

    // A class nobody registered where a node is expected.
    DocumentWriter unknown;
    unknown.WideString(u"KXI_PSTree_Shrub").Int(1);
    EXPECT_NE(RefusalOf(unknown.Bytes()).find("KXI_PSTree_Shrub"), std::string::npos);

    // A geometry where a node is expected.
    const std::string geometry = RefusalOf(Saved(KXI_PSGeometry_Point()));
    EXPECT_NE(geometry.find("KXI_PSGeometry_Point"), std::string::npos) << geometry;

    // A node where the geometry is expected: a stem without a geometry.
    DocumentWriter noGeometry;
    noGeometry.WideString(u"KXI_PSTree_Stem").Int(1).WideString(u"KXI_PSTree_Node").Int(1).WideString(u"");
    const std::vector<std::uint8_t> inner = Saved(*StemChain(1));
    noGeometry.Raw(inner);
    noGeometry.Int(0);
    const std::string node = RefusalOf(noGeometry.Bytes());
    EXPECT_NE(node.find("KXI_PSTree_Stem"), std::string::npos) << node;
    EXPECT_NE(node.find("geometry"), std::string::npos) << node;

    // A child count larger than the bytes left.
    DocumentWriter hugeCount;
    hugeCount.WideString(u"KXI_PSTree_Stem").Int(1).WideString(u"KXI_PSTree_Node").Int(1).WideString(u"");
    hugeCount.Raw(Saved(KXI_PSGeometry_Point()));
    hugeCount.Int(1000000);
    EXPECT_NE(RefusalOf(hugeCount.Bytes()), "read");
}

} // namespace

namespace {

TEST(TreeNodesTest, WriterMadeStemWithAPointShapeReads)
{
    tree_writer::StoredPointShape shape;
    shape.launchCentre = 90;
    shape.launchSpread = 40;
    shape.distance = 8;
    shape.forces = {2, 30, 10};
    shape.emitter.lifetime = 1.5f;
    shape.emitter.count = 12;
    shape.emitter.period = 0.5f;
    shape.emitter.delay = 0.25f;
    shape.emitter.speed[0] = 120;
    shape.emitter.speed[1] = 25;
    shape.emitter.attached = 1;
    shape.emitter.geometry.name = u"fountain";
    shape.emitter.geometry.offset[1] = -4.0f;
    shape.emitter.geometry.opacityEnvelope[6] = 100;
    shape.emitter.geometry.spin.rotationMode = SpinParams::kSpinning;
    shape.emitter.geometry.spin.speed = 40;
    DocumentWriter w;
    tree_writer::WriteStem(w, u"stem", [&](DocumentWriter& out) { tree_writer::WritePointShape(out, shape); },
                           {[](DocumentWriter& out) {
                               tree_writer::WriteStem(out, u"inner", [](DocumentWriter& g) {
                                   g.WideString(u"KXI_PSGeometry_Point").Int(1);
                                   tree_writer::WriteGeometrySection(g, {});
                               }, {});
                           }});

    RegisterParticleEngineClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<KXI_PSTree_Node> node = ReadPSTreeNodePointer(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    ASSERT_TRUE(dynamic_cast<KXI_PSTree_Stem*>(node.get()));
    EXPECT_EQ(node->name, u"stem");
    auto* point = dynamic_cast<KXI_PSGeomEmit_Point*>(node->geometry.get());
    ASSERT_TRUE(point);
    EXPECT_EQ(point->launch.value, 90u);
    EXPECT_EQ(point->launch.spread.value, 40u);
    EXPECT_EQ(point->distance.value, 8u);
    EXPECT_EQ(point->forces.gravityMode.value, 2);
    EXPECT_FLOAT_EQ(point->forces.gravity.Scaled(), 150.0f);
    EXPECT_FLOAT_EQ(point->forces.airResistance.Scaled(), -0.1f);
    EXPECT_EQ(point->lifetime.value, 1.5f);
    EXPECT_EQ(point->count.value, 12u);
    EXPECT_EQ(point->period.value, 0.5f);
    EXPECT_EQ(point->delay.value, 0.25f);
    EXPECT_FLOAT_EQ(point->speed.Scaled(), 120.0f);
    EXPECT_FLOAT_EQ(point->speed.jitter.Scaled(), 0.75f);
    EXPECT_EQ(point->attached.value, 1);
    EXPECT_EQ(point->name, u"fountain");
    EXPECT_EQ(point->offset.value, (math::Vec3{0.0f, -4.0f, 0.0f}));
    EXPECT_FLOAT_EQ(point->opacityEnvelope.percents[6].Scaled(), 1.0f);
    EXPECT_EQ(point->spin.rotationMode.value, SpinParams::kSpinning);
    EXPECT_FLOAT_EQ(point->spin.spinSpeed.Scaled(), 2.0f);
    ASSERT_EQ(node->children.value.size(), 1u);
    EXPECT_EQ(node->children.value[0]->name, u"inner");
    EXPECT_TRUE(dynamic_cast<KXI_PSGeometry_Point*>(node->children.value[0]->geometry.get()));

    // What the engine writes is what the writer wrote.
    RecordingArchive saved;
    node->Save(saved.Writer());
    EXPECT_EQ(saved.writer.Bytes(), w.Bytes());
}

} // namespace
