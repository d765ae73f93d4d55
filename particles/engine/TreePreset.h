#pragma once
// KXI_PtclSysPreset: a particle tree stored as a preset. It is a tree root
// with two values of its own (a preset value and a list of 32-bit values)
// that are kept for the document and used for nothing else; it plays
// exactly as the root it holds. Its render object is made around a clone
// of that root (a plain KXI_PSTree_Root), so while the description answers
// the kind of a plain scene object (3), its render object answers the
// particle-system kind (8).
//
// Stored record "KXI_PtclSysPreset" (written as version 2): uint32 preset
// value; from version 2 on the list (int32 count, checked against the bytes
// left, then count uint32 values); then the root's section
// ("KXI_PSTree_Root", version, the root's fields).

#include <cstdint>
#include <string_view>
#include <vector>

#include "particles/engine/TreeRoot.h"

class KXI_PtclSysPreset : public KXI_PSTree_Root {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PtclSysPreset";
    static constexpr std::int32_t kWrittenVersion = 2;
    // The first version that stores the list.
    static constexpr std::int32_t kListVersion = 2;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // A plain scene object's kind: the preset is not itself the tree that
    // plays.
    int GetKind() const override;

    std::uint32_t presetValue = 0;
    std::vector<std::uint32_t> presetList;
};
