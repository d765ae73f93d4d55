#include "render/ResourceCache.h"

#include <algorithm>

ResourceCache* g_CurrentResourceCache = nullptr;

namespace {

std::uint16_t ResourceId(const ModuleResourceBlob& record)
{
    return static_cast<std::uint16_t>(record.ResourceId());
}

} // namespace

TextureRef ResourceCache::GetTexture(const ModuleResourceBlob& record)
{
    if (!record.Name().empty()) {
        if (!record.IsEmpty())
            return TextureFromMemory(record.Bytes());
        return TextureFromFile(record.Name());
    }
    const auto module = FindModule(record.ModuleFile());
    if (module)
        return ModuleTexture(*module, record);
    return UnloadedModuleTexture(record);
}

TextureRef ResourceCache::ModuleTexture(ResourceModuleHandle module, const ModuleResourceBlob& record)
{
    TextureRef& entry = m_moduleTextures[{reinterpret_cast<std::uintptr_t>(module), record.ResourceId()}];
    if (entry.HasTexture())
        return entry;
    entry = LoadModuleTexture(module, ResourceId(record));
    if (!entry.HasTexture())
        entry = LoadTextureFromMemory(record.Bytes());
    return entry;
}

TextureRef ResourceCache::UnloadedModuleTexture(const ModuleResourceBlob& record)
{
    TextureRef& entry = m_unloadedModuleTextures[{record.ModuleFile(), record.ResourceId()}];
    if (!entry.HasTexture())
        entry = LoadTextureFromMemory(record.Bytes());
    return entry;
}

LoadedMesh ResourceCache::GetMesh(const ModuleResourceBlob& record, std::uint32_t stride)
{
    LoadedMesh mesh;
    // A record that names no module carries its mesh itself (or names its file).
    if (record.ModuleFile().empty()) {
        if (!record.IsEmpty())
            LoadMeshFromMemory(record.Bytes(), stride, mesh);
        else
            LoadMeshFromFile(record.Name(), stride, mesh);
        return mesh;
    }

    const MeshKey key{record.ModuleFile(), record.ResourceId(), stride};
    if (const auto cached = m_meshes.find(key); cached != m_meshes.end())
        return cached->second;

    const auto module = FindModule(record.ModuleFile());
    if (!module) {
        LoadMeshFromMemory(record.Bytes(), stride, mesh);
        return mesh;
    }
    if (LoadModuleMesh(*module, ResourceId(record), stride, mesh))
        m_meshes.emplace(key, mesh);
    else if (!record.IsEmpty())
        // Stored bytes stand in for a mesh the module does not hold.
        LoadMeshFromMemory(record.Bytes(), stride, mesh);
    return mesh;
}

gfx::Ref<gfx::Texture> ResourceCache::GetBuiltinTexture()
{
    gfx::Ref<gfx::Texture>& entry = m_builtinTextures[kBuiltinTextureId];
    if (!entry)
        entry = LoadBuiltinTexture(kBuiltinTextureId);
    return entry;
}

std::optional<ResourceModuleHandle> ResourceCache::FindModule(const kxi_string& name)
{
    if (const auto found = m_modules.find(name); found != m_modules.end())
        return found->second;
    if (name.empty()) {
        m_modules.emplace(name, nullptr);
        return nullptr;
    }
    const ResourceModuleHandle module = LoadModuleCached(name);
    if (!module)
        return std::nullopt;
    m_modules.emplace(name, module);
    return module;
}

TextureRef ResourceCache::TextureFromFile(const kxi_string& path)
{
    TextureRef& entry = m_fileTextures[path];
    if (!entry.HasTexture())
        entry = LoadTextureFromFile(path);
    return entry;
}

TextureRef ResourceCache::TextureFromMemory(std::span<const std::uint8_t> bytes)
{
    return LoadTextureFromMemory(bytes);
}

std::size_t ResourceCache::TextureCount() const
{
    const auto holding = [](const auto& map) {
        return static_cast<std::size_t>(
            std::count_if(map.begin(), map.end(), [](const auto& entry) { return entry.second.HasTexture(); }));
    };
    const auto builtin = static_cast<std::size_t>(std::count_if(
        m_builtinTextures.begin(), m_builtinTextures.end(), [](const auto& entry) { return entry.second != nullptr; }));
    return builtin + holding(m_fileTextures) + holding(m_moduleTextures) + holding(m_unloadedModuleTextures);
}
