#pragma once
// Writes the stored records of tree presets and party balloons byte for
// byte as the engine reads them. Each wraps a record the tree writer makes
// (WriteRoot, WriteLeaf): the preset a root, the balloon a leaf section.

#include <cstdint>
#include <vector>

#include "tests/support/DocumentWriter.h"
#include "tests/support/TreeWriter.h"

namespace tree_writer {

struct StoredPreset {
    std::int32_t version = 2;
    std::uint32_t value = 0;
    // Written only for versions above 1.
    std::vector<std::uint32_t> list;
};

struct StoredBalloon {
    std::uint32_t firstLightMapOpacity = 0;  // percent
    std::uint32_t secondLightMapOpacity = 0; // percent
};

// "KXI_PtclSysPreset", its version, the preset value, the list (from
// version 2), then the root section that `writeRoot` writes (its
// "KXI_PSTree_Root" header included).
void WritePreset(DocumentWriter& w, const StoredPreset& preset, const WriteItem& writeRoot);

// "KXI_PartyBalloon", version 1, the two light-map opacities, then the leaf
// section that `writeLeaf` writes (its "KXI_PSTree_Leaf" header included).
void WriteBalloon(DocumentWriter& w, const StoredBalloon& balloon, const WriteItem& writeLeaf);

} // namespace tree_writer
