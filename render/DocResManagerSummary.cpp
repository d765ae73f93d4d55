#include "render/DocResManagerSummary.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "render/DocResManager.h"

std::optional<DocResManagerSummary> SummarizeDocResManager(const DS_DocResManagerBase* base)
{
    const auto* manager = dynamic_cast<const DS_DocResManager*>(base);
    if (!manager)
        return std::nullopt;
    const auto& sets = manager->TextureSets();
    DocResManagerSummary summary;
    summary.version = manager->StoredVersion();
    summary.textureSets = sets.size();
    summary.textureSetValues = manager->TextureSetValues().size();
    summary.storedResources = manager->StoredResources().size();
    summary.guidTextures = manager->GuidTextures().size();
    summary.animatedPictures = manager->FrameDataMap().size();
    summary.resourceRecords = manager->ResourceRecordMap().size();
    summary.loadedTextures = static_cast<std::size_t>(
        std::count_if(sets.begin(), sets.end(), [](const auto& entry) { return entry.second.HasTexture(); }));
    summary.meshes = manager->Meshes().size();
    summary.effects = manager->Effects().size();
    summary.sharedRenderTargets = manager->SharedRenderTargetCount();
    summary.losableObjects = manager->Losables().Size();
    return summary;
}

std::string DocResManagerSummaryJson(const DocResManagerSummary& summary)
{
    const std::array<std::pair<const char*, std::size_t>, 11> counts{{
        {"textureSets", summary.textureSets},
        {"textureSetValues", summary.textureSetValues},
        {"storedResources", summary.storedResources},
        {"guidTextures", summary.guidTextures},
        {"animatedPictures", summary.animatedPictures},
        {"resourceRecords", summary.resourceRecords},
        {"loadedTextures", summary.loadedTextures},
        {"meshes", summary.meshes},
        {"effects", summary.effects},
        {"sharedRenderTargets", summary.sharedRenderTargets},
        {"losableObjects", summary.losableObjects},
    }};
    std::ostringstream out;
    out << "{\"version\": " << summary.version;
    for (const auto& [name, count] : counts)
        out << ", \"" << name << "\": " << count;
    out << "}";
    return out.str();
}
