#include "objectmodel/ResourceBlob.h"

#include "objectmodel/ResourceSource.h"

bool ModuleResourceBlob::LoadFromModule()
{
    // An empty name would mean the program itself: never a module's stand-in.
    if (m_moduleFile.empty())
        return false;
    const auto id = static_cast<std::uint16_t>(m_resourceId);
    for (const ResourceType& type : {kResourceTypeDDS, kResourceTypeRcData}) {
        auto bytes = FindModuleResource(m_moduleFile, type, id);
        if (!bytes)
            continue;
        SetBytes(std::move(*bytes));
        return true;
    }
    return false;
}

void ReadModuleBlobList(ArchiveReader ar, std::list<ModuleResourceBlob>* blobs)
{
    ReadCountedVector(ar, *blobs, kMinModuleBlobBytes, [](ArchiveReader r) {
        ModuleResourceBlob blob;
        r->ReadModuleBlob(&blob);
        return blob;
    });
}
