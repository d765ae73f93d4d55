#pragma once
// Writer-made documents with 3D objects, for the render tests, the
// inspector's test and the fuzzer's seed corpus: "mesh-objects.vsd" (one
// slide over a stored 800 x 600 picture with a clock, two butterflies and
// drifting leaves, every picture and the leaf mesh stored in the document)
// and "mesh-objects-truncated-leaf.vsd" (a drifting array whose mesh blob
// claims more bytes than the document holds, refused).

#include <cstdint>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "tests/support/MeshObjectWriter.h"
#include "tests/support/SampleDocuments.h"

namespace mesh_object_samples {

inline constexpr std::uint32_t kPictureWidth = 800, kPictureHeight = 600;
inline constexpr std::uint32_t kBackgroundRgb = 0x303030;
inline constexpr std::uint32_t kFaceRgb = 0xC02020;
inline constexpr std::uint32_t kHandsRgb = 0x2020C0;
inline constexpr std::uint32_t kWingRgb = 0xE0E020;
inline constexpr std::uint32_t kLeafRgb = 0x20C020;
inline const LinkKey kBackgroundLink{u"pictures\\meadow.bmp", 51};
inline const LinkKey kFaceLink{u"pictures\\face.bmp", 52};
inline const LinkKey kHandsLink{u"pictures\\hands.bmp", 53};
inline const LinkKey kWingLink{u"pictures\\wing.bmp", 54};

// Which objects the slide holds, in drawing order: clock, butterflies, leaves.
struct MeshSceneContent {
    bool clock = true;
    bool butterflies = true;
    bool leaves = true;
};

// The clock: centred on the picture, size 400, face and hands stored.
mesh_object_writer::ClockFields SampleClock();
// Two butterflies of size 100 whose wing picture the document stores.
mesh_object_writer::ButterflyFields SampleButterflies();
// One leaf of size 100 that neither moves nor turns, mesh and picture stored.
mesh_object_writer::DriftingArrayFields SampleLeaves();

std::vector<std::uint8_t> MeshObjectsDocument(const MeshSceneContent& content = {});

std::vector<SampleDocument> MeshObjectSampleDocuments();

} // namespace mesh_object_samples
