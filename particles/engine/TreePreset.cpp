#include "particles/engine/TreePreset.h"

void KXI_PtclSysPreset::ReadBody(ArchiveReader ar, std::int32_t version)
{
    presetValue = ar.ReadDword();
    if (version >= kListVersion)
        ReadCountedVector(ar, presetList, kInt32Bytes, [](ArchiveReader r) { return r.ReadDword(); });
    ar.ReadSectionHeader();
    ReadRootFields(ar);
}

void KXI_PtclSysPreset::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteLong(kWrittenVersion);
    ar->WriteDword(presetValue);
    ar->WriteLong(static_cast<std::int32_t>(presetList.size()));
    for (std::uint32_t value : presetList)
        ar->WriteDword(value);
    KXI_PSTree_Root::Save(ar);
}

int KXI_PtclSysPreset::GetKind() const
{
    return DS_ABObj_Constructor::GetKind();
}
