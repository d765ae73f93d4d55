// Tree presets: both stored versions, the refusal of a list longer than the
// document, the kinds a preset and its render object answer, and that a
// preset plays as the root it holds.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/TreePreset.h"
#include "particles/engine/TreeRendering.h"
#include "platform/crt/Random.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/TreePresetWriter.h"
#include "tests/support/TreeWriter.h"

namespace {

// A writer-made root: a stem on a point emit shape that fires four
// particles a second upwards at 20 px/s.
std::vector<std::uint8_t> RootBytes()
{
    tree_writer::StoredRoot root;
    root.offset[0] = 10.0f;
    root.offset[1] = 20.0f;
    root.storedInteger = 77;
    root.base.name = u"Preset tree";
    tree_writer::StoredPointShape shape;
    shape.launchCentre = 90;
    shape.emitter.count = 4;
    shape.emitter.lifetime = 10.0f;
    shape.emitter.speed[0] = 20;
    DocumentWriter w;
    tree_writer::WriteRoot(w, root, {[&](DocumentWriter& out) {
                               tree_writer::WriteStem(
                                   out, u"fountain", [&](DocumentWriter& g) { tree_writer::WritePointShape(g, shape); },
                                   {});
                           }});
    return w.Bytes();
}

std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive out;
    item.Save(out.Writer());
    return out.writer.Bytes();
}

// The preset record of `preset` around the writer-made root.
std::vector<std::uint8_t> PresetBytes(const tree_writer::StoredPreset& preset)
{
    DocumentWriter w;
    tree_writer::WritePreset(w, preset, [](DocumentWriter& out) { out.Raw(RootBytes()); });
    return w.Bytes();
}

std::unique_ptr<DS_IOF_Item> ReadMain(const std::vector<std::uint8_t>& bytes)
{
    RegisterParticleEngineClasses();
    MemoryArchive archive(bytes);
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    return item;
}

// The scene object the bytes hold, read through the main registry; every
// byte must be read.
std::unique_ptr<KXI_PtclSysPreset> ReadPreset(const std::vector<std::uint8_t>& bytes)
{
    std::unique_ptr<DS_IOF_Item> item = ReadMain(bytes);
    return std::unique_ptr<KXI_PtclSysPreset>(dynamic_cast<KXI_PtclSysPreset*>(item.release()));
}

TEST(TreePresetTest, BothStoredVersionsReadTheRootAfterThePresetValues)
{
    struct Case {
        tree_writer::StoredPreset preset;
        std::vector<std::uint32_t> list;
    };
    const Case cases[] = {
        {{2, 42, {7, 8, 0xFFFFFFFFu}}, {7, 8, 0xFFFFFFFFu}},
        {{2, 3, {}}, {}},
        // Version 1 stores no list: the root section follows the value.
        {{1, 5, {}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preset.version);
        const std::vector<std::uint8_t> bytes = PresetBytes(c.preset);
        std::unique_ptr<KXI_PtclSysPreset> preset = ReadPreset(bytes);
        ASSERT_TRUE(preset);
        EXPECT_EQ(preset->presetValue, c.preset.value);
        EXPECT_EQ(preset->presetList, c.list);
        EXPECT_EQ(preset->name, u"Preset tree");
        EXPECT_EQ(preset->offset.value, (math::Vec3{10.0f, 20.0f, 0.0f}));
        EXPECT_EQ(preset->storedInteger, 77);
        ASSERT_EQ(preset->children.value.size(), 1u);
        EXPECT_EQ(preset->children.value[0]->name, u"fountain");
        EXPECT_EQ(preset->children.value[0]->parent, static_cast<KXI_PSTree_Node_Parent*>(preset.get()));
        EXPECT_FLOAT_EQ(preset->speed.Scaled(), 1.0f);

        // It saves as version 2, which reads back to the same bytes.
        tree_writer::StoredPreset current = c.preset;
        current.version = 2;
        EXPECT_EQ(Saved(*preset), PresetBytes(current));
    }
}

std::string RefusalOf(const std::vector<std::uint8_t>& bytes)
{
    RegisterParticleEngineClasses();
    MemoryArchive archive(bytes);
    try {
        ReadSceneObject(archive.Reader());
    } catch (const DS_Error& e) {
        return e.what();
    }
    return "read";
}

TEST(TreePresetTest, AListLongerThanTheDocumentIsRefusedBeforeItIsMade)
{
    const std::vector<std::uint8_t> root = RootBytes();
    DocumentWriter huge;
    huge.WideString(u"KXI_PtclSysPreset").Int(2).Dword(1).Int(0x7FFFFFFF).Raw(root);
    EXPECT_NE(RefusalOf(huge.Bytes()), "read");
    DocumentWriter negative;
    negative.WideString(u"KXI_PtclSysPreset").Int(2).Dword(1).Int(-1).Raw(root);
    EXPECT_NE(RefusalOf(negative.Bytes()), "read");

    // A preset cut short inside its root.
    std::vector<std::uint8_t> cut = PresetBytes({2, 1, {4}});
    cut.resize(cut.size() - 6);
    EXPECT_NE(RefusalOf(cut), "read");
}

TEST(TreePresetTest, ThePresetIsASceneObjectAndItsRenderObjectAParticleSystem)
{
    std::unique_ptr<KXI_PtclSysPreset> preset = ReadPreset(PresetBytes({2, 9, {1}}));
    ASSERT_TRUE(preset);
    EXPECT_EQ(preset->GetKind(), 3);

    std::unique_ptr<KXI_RenderObj> object = preset->CreateRenderObject();
    auto* mesh = dynamic_cast<KXI_PtclSys_Mesh*>(object.get());
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->GetKind(), 8);
    // The running clone is a plain root copied from the preset's root part.
    EXPECT_EQ(dynamic_cast<KXI_PtclSysPreset*>(&mesh->Root()), nullptr);
}

// The particles of the first stem of `root` after `frames` frames of 0.1 s.
std::vector<math::Vec3> PlayedPositions(KXI_PSTree_Root& root, int frames)
{
    crt::srand(11);
    std::unique_ptr<KXI_RenderObj> object = root.CreateRenderObject();
    auto* mesh = dynamic_cast<KXI_PtclSys_Mesh*>(object.get());
    EXPECT_TRUE(mesh);
    if (!mesh)
        return {};
    for (int i = 1; i <= frames; ++i)
        mesh->Animate(0.1f * static_cast<float>(i));
    std::vector<math::Vec3> positions;
    for (const TreeParticleHandle& p : mesh->Root().children.value[0]->geometry->particles)
        positions.push_back(p->WorldPosition());
    EXPECT_EQ(mesh->BatchCount(), 0u); // a stem alone draws nothing
    return positions;
}

TEST(TreePresetTest, APresetPlaysAsTheRootItHolds)
{
    std::unique_ptr<KXI_PtclSysPreset> preset = ReadPreset(PresetBytes({2, 9, {1, 2}}));
    ASSERT_TRUE(preset);
    std::unique_ptr<DS_IOF_Item> item = ReadMain(RootBytes());
    auto* reread = dynamic_cast<KXI_PSTree_Root*>(item.get());
    ASSERT_TRUE(reread);

    const std::vector<math::Vec3> expected = PlayedPositions(*reread, 12);
    ASSERT_GE(expected.size(), 4u);
    EXPECT_LT(expected.front().y, 15.0f); // they fly up from the offset
    EXPECT_EQ(PlayedPositions(*preset, 12), expected);
}

} // namespace
