#pragma once
// Writes the stored records of the 3D object items byte for byte as the
// objects layer reads them: the butterfly (versions 1 and 2) and the clock,
// each with its DS_3D_Obj_Ctrl level and view section, and the drifting
// array with its mesh and texture blobs. Also a small leaf mesh of our own
// as .X text, for documents that store their mesh.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "tests/support/DescriptionWriter.h"
#include "tests/support/DocumentWriter.h"

namespace mesh_object_writer {

struct MeshObjectFields {
    std::int32_t version = 1;
    std::uint32_t count = 1;
    std::uint32_t size = 100;
    description_writer::StoredLink image;
    description_writer::StoredLink mesh{u"common_res.dll", 69};
    description_writer::ViewFields view;
};

struct ButterflyFields {
    std::int32_t version = 2;
    description_writer::StoredLink bodyImage{u"common_res.dll", 6};
    description_writer::StoredLink bodyMesh{u"common_res.dll", 68};
    std::uint32_t firstPercent = 50;
    std::uint32_t secondPercent = 50;
    float wingScale = 1.0f; // version 2 and later
    MeshObjectFields object;
};

struct ClockFields {
    std::int32_t version = 1;
    // left, right, top, bottom, centre x, centre y
    std::array<std::int32_t, 6> rectangle{0, 0, 0, 0, 400, 300};
    description_writer::StoredLink hands{u"common_res.dll", 72};
    MeshObjectFields object;
};

struct DriftingArrayFields {
    std::int32_t version = 1;
    std::u16string name;
    std::uint32_t count = 0;
    ModuleResourceBlob mesh;
    ModuleResourceBlob texture;
    std::uint32_t size = 0;
    std::uint32_t speed = 50;
    std::uint32_t drift = 0;
    std::uint32_t driftChange = 0;
    std::uint32_t spin = 100;
    std::uint32_t angle = 0;
    description_writer::ConstructorFields base;
};

// The clock's defaults: size 400, plate 70 with face 71.
MeshObjectFields ClockObjectFields();

DocumentWriter& WriteMeshObjectLevel(DocumentWriter& w, const MeshObjectFields& fields);
DocumentWriter& WriteButterfly(DocumentWriter& w, const ButterflyFields& fields);
DocumentWriter& WriteClock(DocumentWriter& w, const ClockFields& fields);
DocumentWriter& WriteDriftingArray(DocumentWriter& w, const DriftingArrayFields& fields);

// A leaf of our own as a whole .X text file: a diamond blade in the x-y
// plane from its stem at the origin to its tip at (100, 0, 0), 50 units wide
// at x = 40 (its bounding sphere: centre (45, 0, 0), radius 55).
std::string LeafMeshFile();
std::vector<std::uint8_t> LeafMeshBytes();

} // namespace mesh_object_writer
