#pragma once
// ResourceCache: textures and meshes loaded for stored resource records,
// kept for the life of the cache so that every request for the same record
// gets the same texture or mesh.
//
// A record (ModuleResourceBlob) names a file (it has a name; its bytes, when
// it has any, are that file's contents) or a module resource (no name: its
// module file name and resource id; an empty module name is the program
// itself). Texture entries are cached:
//   by file path                   files loaded from disk;
//   by (module, resource id)       module resources; when the module has no
//                                  such picture, the record's own bytes;
//   by (module name, resource id)  records whose module cannot be loaded:
//                                  the record's own bytes;
//   by resource id                 the program's own built-in texture.
// Meshes are cached by (module name, resource id, stride): records of two
// modules never share a mesh. A record without a module uses its own bytes
// (or the file its name gives) and is not cached. Entries that hold nothing
// are tried again on the next request; nothing is ever evicted.
//
// g_CurrentResourceCache is the process's current cache, the one that
// objects loading outside a resource manager use. Every DS_DocResManager
// makes its own cache current when it is made and clears the pointer when it
// is destroyed while its cache is still the current one, so the pointer
// never designates a freed cache (it may be null: check it).

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <tuple>

#include "objectmodel/ResourceBlob.h"
#include "render/ResourceLoading.h"

class ResourceCache {
public:
    ResourceCache() = default;
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    // The texture of a record (a new reference to the cached one, with the
    // picture's size), or an empty entry when nothing could be made.
    TextureRef GetTexture(const ModuleResourceBlob& record);

    // The mesh of a record; `stride` is the caller's vertex size.
    LoadedMesh GetMesh(const ModuleResourceBlob& record, std::uint32_t stride);

    // The program's own built-in texture ("DDS" 2, full mip chain), or null.
    gfx::Ref<gfx::Texture> GetBuiltinTexture();

    // The module of a module file name: the program itself (a null handle)
    // for an empty name, else the loaded module; nothing when it cannot be
    // loaded (not remembered).
    std::optional<ResourceModuleHandle> FindModule(const kxi_string& name);

    // A file's texture, cached under its path.
    TextureRef TextureFromFile(const kxi_string& path);
    // A texture from picture bytes; not cached.
    TextureRef TextureFromMemory(std::span<const std::uint8_t> bytes);

    // How many entries hold a texture or a mesh (for inspection).
    std::size_t TextureCount() const;
    std::size_t MeshCount() const { return m_meshes.size(); }

private:
    using ModuleKey = std::pair<std::uintptr_t, std::int32_t>;
    using NamedKey = std::pair<kxi_string, std::int32_t>;
    using MeshKey = std::tuple<kxi_string, std::int32_t, std::uint32_t>;

    TextureRef ModuleTexture(ResourceModuleHandle module, const ModuleResourceBlob& record);
    TextureRef UnloadedModuleTexture(const ModuleResourceBlob& record);

    std::map<std::int32_t, gfx::Ref<gfx::Texture>> m_builtinTextures;
    std::map<kxi_string, TextureRef> m_fileTextures;
    std::map<ModuleKey, TextureRef> m_moduleTextures;
    std::map<NamedKey, TextureRef> m_unloadedModuleTextures;
    std::map<MeshKey, LoadedMesh> m_meshes;
    std::map<kxi_string, ResourceModuleHandle> m_modules;
};

// The process's current cache, or null.
extern ResourceCache* g_CurrentResourceCache;

// The id the built-in texture has among the program's resources.
inline constexpr std::uint16_t kBuiltinTextureId = 2;
