// The loaders by link of DS_DocResManager (DocResManager.h).

#include <algorithm>

#include "render/BuiltinEffects.h"
#include "render/DocResManager.h"

namespace {

std::uint16_t ResourceIdOf(const DS_FileLink3& link)
{
    return static_cast<std::uint16_t>(link.Id());
}

// The record that names the link's module resource: its id and its path as
// the module file name.
ModuleResourceBlob ModuleRecordOf(const DS_FileLink3& link)
{
    return ModuleResourceBlob(static_cast<std::int32_t>(link.Id()), link.Path());
}

// The contents of a texture-set resource: int32 count and that many int32
// values, then int32 count and that many module blobs. Nothing when the
// bytes do not hold that.
struct TextureSetResource {
    std::vector<std::uint32_t> values;
    std::vector<ModuleResourceBlob> records;
};

std::optional<TextureSetResource> ParseTextureSetResource(std::span<const std::uint8_t> bytes)
{
    try {
        ResourceBuffer buffer;
        buffer.SetMemory(bytes);
        DS_IOF_R<ResourceBuffer> archive(buffer);
        const ArchiveReader ar(archive);
        TextureSetResource resource;
        std::vector<std::int32_t> values;
        ReadIntVector(ar, &values);
        resource.values.assign(values.begin(), values.end());
        ReadCountedVector(ar, resource.records, kMinModuleBlobBytes, [](ArchiveReader r) {
            ModuleResourceBlob blob;
            r->ReadModuleBlob(&blob);
            return blob;
        });
        return resource;
    } catch (const DS_Error&) {
        return std::nullopt;
    }
}

template <class Get>
std::vector<TextureSetEntry*> ForEachLink(const std::vector<DS_ImageFileLink>& links, Get get)
{
    std::vector<TextureSetEntry*> entries;
    entries.reserve(links.size());
    for (const DS_ImageFileLink& link : links)
        entries.push_back(&get(link));
    return entries;
}

} // namespace

TextureSetEntry& DS_DocResManager::GetTexture(const DS_FileLink3& link)
{
    const LinkKey key = link.Key();
    TextureSetEntry& entry = m_textureSets[key];
    if (entry.HasTexture())
        return entry;
    if (!link.Path().empty() && link.IsNotModuleLink()) {
        // A plain file shows only what the document stored for it.
        m_resourceRecords.try_emplace(key);
        return entry;
    }
    const ModuleResourceBlob record = ModuleRecordOf(link);
    ResourceRecords& records = m_resourceRecords[key];
    if (records.empty())
        records.push_back(record);
    entry.textures.clear();
    entry.AddTexture(m_cache->GetTexture(record));
    return entry;
}

std::vector<TextureSetEntry*> DS_DocResManager::GetTextures(const std::vector<DS_ImageFileLink>& links)
{
    return ForEachLink(links, [this](const DS_FileLink3& link) -> TextureSetEntry& { return GetTexture(link); });
}

TextureSetEntry& DS_DocResManager::GetTextureSet(const DS_FileLink3& link)
{
    const LinkKey key = link.Key();
    TextureSetEntry& entry = m_textureSets[key];
    if (entry.HasTexture())
        return entry;
    const auto bytes = FindLinkedResource(link.Path(), win::ResourceType("DDS"), ResourceIdOf(link));
    if (!bytes || bytes->empty())
        return entry;
    auto resource = ParseTextureSetResource(*bytes);
    if (!resource)
        return entry;

    entry.values = std::move(resource->values);
    ResourceRecords& records = m_resourceRecords[key];
    records = std::move(resource->records);
    entry.textures.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        entry.SetTexture(i, m_cache->GetTexture(records[i]));
    return entry;
}

std::vector<TextureSetEntry*> DS_DocResManager::GetTextureSets(const std::vector<DS_ImageFileLink>& links)
{
    return ForEachLink(links, [this](const DS_FileLink3& link) -> TextureSetEntry& { return GetTextureSet(link); });
}

SpriteFrameInfo& DS_DocResManager::GetAnimatedTexture(const DS_FileLink3& link, std::uint32_t filter)
{
    const LinkKey key = link.Key();
    SpriteFrameInfo& list = m_frameLists[key];
    if (list.HasTexture())
        return list;
    std::vector<FrameData>& frames = m_frameData[key];
    if (frames.empty())
        LoadFrameSource(link, frames);
    CreateFrameTextures(list, frames, link.GetExtension() == u".gif", filter);
    return list;
}

bool DS_DocResManager::LoadFrameSource(const DS_FileLink3& link, std::vector<FrameData>& frames)
{
    const kxi_string extension = link.GetExtension();
    // The frames of a GIF come only from documents.
    if (extension == u".gif")
        return true;
    FrameData frame;
    frame.name = link.GetFileName();
    if (extension != u".dll") {
        frame.ReadFile(link.Path());
    } else if (const auto bytes = FindLinkedResource(link.Path(), win::ResourceType("DDS"), ResourceIdOf(link))) {
        frame.SetBytes(std::vector<std::uint8_t>(bytes->begin(), bytes->end()));
    }
    // A source that gave nothing is asked again next time.
    if (frame.size > 0)
        frames = {std::move(frame)};
    return true;
}

const ModuleResourceBlob* DS_DocResManager::GetResourceData(const DS_FileLink3& link)
{
    ResourceRecords& records = m_resourceRecords[link.Key()];
    if (records.empty() && link.GetExtension() == u".dll") {
        ModuleResourceBlob record = ModuleRecordOf(link);
        if (record.LoadFromModule())
            records.push_back(std::move(record));
    }
    return records.empty() ? nullptr : &records.front();
}

const LoadedMesh& DS_DocResManager::GetMesh(const DS_FileLink3& link, std::uint32_t stride)
{
    const LinkKey key = link.Key();
    LoadedMesh& entry = m_meshes[key];
    if (entry.HasVertices())
        return entry;
    ResourceRecords& records = m_resourceRecords[key];
    if (records.empty()) {
        ModuleResourceBlob record = ModuleRecordOf(link);
        if (record.LoadFromModule())
            records.push_back(std::move(record));
    }
    // The bytes the document stored come before the module's.
    if (!records.empty())
        LoadMeshFromMemory(records.front().Bytes(), stride, entry);
    return entry;
}

gfx::Ref<gfx::Effect> DS_DocResManager::GetEffect(const DS_FileLink3& link)
{
    const LinkKey key = link.Key();
    gfx::Ref<gfx::Effect>& slot = m_effects[key];
    if (slot)
        return slot;
    ResourceRecords& records = m_resourceRecords[key];
    if (records.empty())
        records.push_back(ModuleRecordOf(link));
    // The module's effect comes before the bytes the document stored; a
    // module that cannot be loaded leaves the stored bytes.
    if (const ResourceModuleHandle module = LoadModuleCached(link.Path())) {
        const auto bytes = module->Find(win::ResourceType(win::RT_RCDATA), ResourceIdOf(link));
        if (bytes && !bytes->empty())
            records.back().SetBytes(std::vector<std::uint8_t>(bytes->begin(), bytes->end()));
    }
    slot = CreateEffectFromBytes(records.back().Bytes());
    return slot;
}

gfx::Ref<gfx::Effect> DS_DocResManager::GetBuiltinEffect(std::string_view name)
{
    auto found = m_builtinEffects.find(name);
    if (found == m_builtinEffects.end())
        found = m_builtinEffects.emplace(std::string(name), nullptr).first;
    if (!found->second)
        found->second = CreateEffectFromBytes(FindBuiltinEffectSource(name));
    return found->second;
}
