#include "tests/support/MeshObjectSampleDocuments.h"

#include <algorithm>

#include "tests/support/BmpFixture.h"
#include "tests/support/PictureSceneWriter.h"

namespace mesh_object_samples {

using namespace mesh_object_writer;

namespace {

description_writer::StoredLink Stored(const LinkKey& key)
{
    return {key.path, key.id};
}

std::vector<std::uint8_t> Solid(std::uint32_t width, std::uint32_t height, std::uint32_t rgb)
{
    return bmp_fixture::BmpPicture(width, height, [rgb](std::uint32_t, std::uint32_t) { return rgb; });
}

void StorePicture(DocResManagerRecord& record, const LinkKey& link, std::vector<std::uint8_t> bytes)
{
    ModuleResourceBlob stored(link.path);
    stored.SetBytes(std::move(bytes));
    record.textureSetRecords[link] = {stored};
}

std::vector<std::uint8_t> Document(const MeshSceneContent& content, const DriftingArrayFields& leaves)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(0.5f).Float(0.5f).Float(60.0f).Int(0).WideString(u"Meadow");
    picture_scene_writer::LightFields light;
    light.backgroundPath = std::u16string(kBackgroundLink.path);
    light.backgroundId = kBackgroundLink.id;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(std::size_t(content.clock) + std::size_t(content.butterflies) + std::size_t(content.leaves));
    if (content.clock)
        WriteClock(w, SampleClock());
    if (content.butterflies)
        WriteButterfly(w, SampleButterflies());
    if (content.leaves)
        WriteDriftingArray(w, leaves);
    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    StorePicture(record, kBackgroundLink, Solid(kPictureWidth, kPictureHeight, kBackgroundRgb));
    StorePicture(record, kFaceLink, Solid(8, 8, kFaceRgb));
    StorePicture(record, kHandsLink, Solid(8, 8, kHandsRgb));
    StorePicture(record, kWingLink, Solid(8, 8, kWingRgb));
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

ClockFields SampleClock()
{
    ClockFields clock;
    clock.rectangle = {0, 0, 0, 0, std::int32_t(kPictureWidth / 2), std::int32_t(kPictureHeight / 2)};
    clock.hands = Stored(kHandsLink);
    clock.object = ClockObjectFields();
    clock.object.image = Stored(kFaceLink);
    clock.object.view.base.name = u"Clock";
    return clock;
}

ButterflyFields SampleButterflies()
{
    ButterflyFields butterflies;
    butterflies.wingScale = 1.2f;
    butterflies.object.count = 2;
    butterflies.object.image = Stored(kWingLink);
    butterflies.object.view.base.name = u"Butterflies";
    return butterflies;
}

DriftingArrayFields SampleLeaves()
{
    DriftingArrayFields leaves;
    leaves.name = u"Leaves";
    leaves.base.name = u"Leaves";
    leaves.count = 1;
    leaves.mesh = ModuleResourceBlob(u"leaf.x");
    leaves.mesh.SetBytes(LeafMeshBytes());
    leaves.texture = ModuleResourceBlob(u"leaf.bmp");
    leaves.texture.SetBytes(Solid(8, 8, kLeafRgb));
    leaves.size = 100;
    leaves.speed = 0;
    leaves.spin = 0;
    return leaves;
}

std::vector<std::uint8_t> MeshObjectsDocument(const MeshSceneContent& content)
{
    return Document(content, SampleLeaves());
}

std::vector<SampleDocument> MeshObjectSampleDocuments()
{
    DriftingArrayFields truncated = SampleLeaves();
    std::vector<std::uint8_t> damaged = Document({false, false, true}, truncated);
    // The mesh blob's size field follows the class name, version, name,
    // count, the blob's id and module name: claim far more than remains.
    DocumentWriter prefix;
    prefix.Section(u"DS_3D_in_2D_array_Constructor", 1).WideString(truncated.name).Dword(truncated.count);
    prefix.Int(truncated.mesh.ResourceId()).WideString(truncated.mesh.ModuleFile());
    const std::vector<std::uint8_t>& head = prefix.Bytes();
    for (std::size_t at = 0; at + head.size() + 4 <= damaged.size(); ++at) {
        if (std::equal(head.begin(), head.end(), damaged.begin() + std::ptrdiff_t(at))) {
            const std::size_t size = at + head.size();
            damaged[size + 3] = 0x7F;
            break;
        }
    }
    return {
        {"mesh-objects.vsd", MeshObjectsDocument(), true},
        {"mesh-objects-truncated-leaf.vsd", damaged, false},
    };
}

} // namespace mesh_object_samples
