// Reading and writing the stored records of the 3D object items.

#include "tests/objects/MeshObjectTestSupport.h"
#include "tests/support/RecordingArchive.h"

namespace mesh_object_test {
namespace {

using namespace mesh_object_writer;

// Reads `bytes` as a T, writes it back, and reads what was written: the two
// objects a test checks alike.
template <class T>
std::vector<std::unique_ptr<T>> ReadAndRewrite(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::unique_ptr<T>> out;
    out.push_back(MeshObjectTest::ReadRecord<T>(bytes));
    if (!out.back())
        return {};
    RecordingArchive recording;
    out.back()->Save(recording.Writer());
    out.push_back(MeshObjectTest::ReadRecord<T>(recording.writer.Bytes()));
    if (!out.back())
        return {};
    return out;
}

ButterflyFields SampleButterfly(std::int32_t version)
{
    ButterflyFields f;
    f.version = version;
    f.bodyImage = {u"pictures\\body.png", 1234};
    f.bodyMesh = {u"common_res.dll", 68};
    f.firstPercent = 30;
    f.secondPercent = 70;
    f.wingScale = 1.75f;
    f.object.count = 3;
    f.object.size = 80;
    f.object.image = {u"pictures\\wings.png", 99};
    f.object.view.fractions = {0.1f, 0.9f, 0.2f, 0.8f};
    f.object.view.animationRate = 75;
    f.object.view.base.name = u"Butterflies";
    return f;
}

TEST_F(MeshObjectTest, ButterflyRecordsOfBothVersionsReadAndWriteBack)
{
    struct Case {
        std::int32_t version;
        float wingScale;
    };
    // Version 1 stores no wing scale: it stays 1.0.
    for (const Case& c : {Case{1, 1.0f}, Case{2, 1.75f}}) {
        SCOPED_TRACE(c.version);
        DocumentWriter w;
        WriteButterfly(w, SampleButterfly(c.version));
        const auto read = ReadAndRewrite<DS_ButterflyConstructor>(w.Bytes());
        ASSERT_EQ(read.size(), 2u);
        for (const auto& b : read) {
            EXPECT_FLOAT_EQ(b->wingScale, c.wingScale);
            EXPECT_EQ(b->bodyImageLink.Key(), (LinkKey{u"pictures\\body.png", 1234}));
            EXPECT_EQ(b->bodyMeshLink.Key(), (LinkKey{u"common_res.dll", 68}));
            EXPECT_EQ(b->firstPercent.value, 30u);
            EXPECT_EQ(b->secondPercent.value, 70u);
            EXPECT_FLOAT_EQ(b->firstPercent.Scaled(), 30.0f) << "the scaled copy follows a changed value";
            EXPECT_EQ(b->count.value, 3u);
            EXPECT_EQ(b->size.value, 80u);
            EXPECT_EQ(b->imageLink.Key(), (LinkKey{u"pictures\\wings.png", 99}));
            EXPECT_EQ(b->meshLink.Key(), (LinkKey{u"common_res.dll", 69}));
            EXPECT_FLOAT_EQ(b->leftFraction, 0.1f);
            EXPECT_FLOAT_EQ(b->bottomFraction, 0.8f);
            EXPECT_EQ(b->animationRate.value, 75u);
            EXPECT_EQ(b->name, u"Butterflies");
        }
    }
}

TEST_F(MeshObjectTest, DefaultItemsNameOurSharedResources)
{
    const DS_ButterflyConstructor butterfly;
    EXPECT_EQ(butterfly.size.value, 100u);
    EXPECT_EQ(butterfly.count.value, 1u);
    EXPECT_EQ(butterfly.meshLink.Key(), (LinkKey{u"common_res.dll", 69}));
    EXPECT_EQ(butterfly.imageLink.Key(), LinkKey{}) << "the wing picture is the document's";
    EXPECT_EQ(butterfly.bodyMeshLink.Key(), (LinkKey{u"common_res.dll", 68}));
    EXPECT_EQ(butterfly.bodyImageLink.Key(), (LinkKey{u"common_res.dll", 6}));

    const DS_ClockConstructor clock;
    EXPECT_EQ(clock.size.value, 400u);
    EXPECT_EQ(clock.meshLink.Key(), (LinkKey{u"common_res.dll", 70}));
    EXPECT_EQ(clock.imageLink.Key(), (LinkKey{u"common_res.dll", 71}));
    EXPECT_EQ(clock.handsImageLink.Key(), (LinkKey{u"common_res.dll", 72}));
    EXPECT_EQ(clock.clockRectangle.centreX.value, 400);
    EXPECT_EQ(clock.clockRectangle.centreY.value, 300);
    EXPECT_TRUE(clock.HasRectangle());
    EXPECT_FALSE(butterfly.HasRectangle());
}

TEST_F(MeshObjectTest, ClockRecordReadsItsRectangleAndHandsAndWritesBack)
{
    ClockFields f;
    f.rectangle = {100, 300, 50, 250, 200, 150};
    f.hands = {u"pictures\\hands.png", 5};
    f.object = ClockObjectFields();
    f.object.size = 200;
    f.object.view.base.name = u"Clock";
    DocumentWriter w;
    WriteClock(w, f);
    const auto read = ReadAndRewrite<DS_ClockConstructor>(w.Bytes());
    ASSERT_EQ(read.size(), 2u);
    for (const auto& clock : read) {
        const MediaRectangle& r = clock->clockRectangle;
        EXPECT_EQ(r.left.value, 100);
        EXPECT_EQ(r.right.value, 300);
        EXPECT_EQ(r.top.value, 50);
        EXPECT_EQ(r.bottom.value, 250);
        EXPECT_EQ(r.centreX.value, 200);
        EXPECT_EQ(r.centreY.value, 150);
        EXPECT_EQ(clock->handsImageLink.Key(), (LinkKey{u"pictures\\hands.png", 5}));
        EXPECT_EQ(clock->size.value, 200u);
        EXPECT_EQ(clock->imageLink.Key(), (LinkKey{u"common_res.dll", 71}));
        EXPECT_EQ(clock->name, u"Clock");
    }

    QuadVertices quad;
    read.front()->GetViewQuad(quad);
    EXPECT_EQ(quad.vertices[0].x, 100.0f);
    EXPECT_EQ(quad.vertices[0].y, 250.0f);
    EXPECT_EQ(quad.vertices[3].x, 300.0f);
    EXPECT_EQ(quad.vertices[3].y, 50.0f);
}

TEST_F(MeshObjectTest, DriftingArrayRecordReadsBothNamesBlobsAndValuesAndWritesBack)
{
    DriftingArrayFields f;
    f.name = u"first name";
    f.base.name = u"Leaves";
    f.count = 40;
    f.mesh = ModuleResourceBlob(u"leaf.x");
    f.mesh.SetBytes(LeafMeshBytes());
    f.texture = ModuleResourceBlob(7, u"common_res.dll");
    f.size = 64;
    f.speed = 30;
    f.drift = 20;
    f.driftChange = 10;
    f.spin = 90;
    f.angle = 270;
    DocumentWriter w;
    WriteDriftingArray(w, f);
    const auto read = ReadAndRewrite<DS_3D_in_2D_array_Constructor>(w.Bytes());
    ASSERT_EQ(read.size(), 2u);
    for (const auto& array : read) {
        EXPECT_EQ(array->name, u"Leaves") << "the name of the base section is the one kept";
        EXPECT_EQ(array->count.value, 40u);
        EXPECT_EQ(array->mesh.Name(), u"leaf.x");
        EXPECT_EQ(array->mesh.Size(), static_cast<std::int32_t>(LeafMeshBytes().size()));
        EXPECT_EQ(array->texture.ResourceId(), 7);
        EXPECT_EQ(array->texture.ModuleFile(), u"common_res.dll");
        const StreamAnimParams& p = array->params;
        EXPECT_EQ(p.size.value, 64u);
        EXPECT_EQ(p.speed.value, 30u);
        EXPECT_EQ(p.drift.value, 20u);
        EXPECT_EQ(p.driftChange.value, 10u);
        EXPECT_EQ(p.spin.value, 90u);
        EXPECT_EQ(p.direction.angle, 270u);
        EXPECT_NEAR(p.direction.direction.y, 1.0f, 1e-6f) << "the vectors are recomputed from the angle";
    }
}

TEST_F(MeshObjectTest, TruncatedRecordsAreRefused)
{
    std::vector<std::vector<std::uint8_t>> records;
    {
        DocumentWriter w;
        WriteButterfly(w, SampleButterfly(2));
        records.push_back(w.Bytes());
    }
    {
        DocumentWriter w;
        WriteClock(w, {});
        records.push_back(w.Bytes());
    }
    {
        DocumentWriter w;
        DriftingArrayFields f;
        f.mesh.SetBytes(LeafMeshBytes());
        WriteDriftingArray(w, f);
        records.push_back(w.Bytes());
    }
    for (std::vector<std::uint8_t> bytes : records) {
        bytes.resize(bytes.size() - 3);
        MemoryArchive archive(bytes);
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace
} // namespace mesh_object_test
