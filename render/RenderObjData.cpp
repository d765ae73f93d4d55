#include "render/RenderObjData.h"

#include "render/RenderObject.h"

void KXI_RenderObjData::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteGuid(ar, guid);
    timing.Save(ar);
}

void KXI_RenderObjData::Load(ArchiveReader ar)
{
    // No version of this section differs from another.
    ar.ReadSectionHeader();
    ReadGuid(ar, &guid);
    timing.Read(ar);
}

bool KXI_RenderObjData::ApplyToObject(KXI_RenderObjData&)
{
    return false;
}

void KXI_RenderObjData::Restart() {}

std::unique_ptr<KXI_RenderObj> KXI_RenderObjData::CreateExtraRenderObject()
{
    return nullptr;
}
