#pragma once
// The loaders beneath the document resource manager: where resource bytes
// come from (the program itself, resource modules, files) and how they become
// device resources (textures, meshes, effects).
//
// Sources. A resource is named by a module path and a 16-bit id. An empty
// path names the program's own resources; a non-empty path names a resource
// module (win::LoadResourceModule: found by file name, read only as data,
// cached by file name for the life of the process). A module that cannot be
// loaded is a failure of its own: nothing here falls back to the program's
// resources under the same id.
//
// Device. Loads create their resources on the process's resource device
// (SetResourceDevice), which the program installs when it creates its device.
// Without one nothing can be made: every loader then answers "nothing",
// exactly as it does for bytes it cannot read. No loader reports an error.
//
// This layer also installs the object model's resource finders
// (objectmodel/ResourceSource.h) over platform/win at static initialisation,
// so that documents and ModuleResourceBlob::LoadFromModule reach the same
// program resources and modules.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "platform/crt/WideString.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "platform/gfx/TextureLoader.h"
#include "platform/math/Vector.h"
#include "platform/win/ResourceModule.h"

namespace gfx {
class Device;
}

// ---------------------------------------------------------------- the device

// The device that resource loads create their resources on, or null.
gfx::Device* GetResourceDevice();
void SetResourceDevice(gfx::Device* device);

// Makes `device` the resource device for the scope's lifetime.
class ResourceDeviceScope {
public:
    explicit ResourceDeviceScope(gfx::Device* device) : m_previous(GetResourceDevice()) { SetResourceDevice(device); }
    ~ResourceDeviceScope() { SetResourceDevice(m_previous); }
    ResourceDeviceScope(const ResourceDeviceScope&) = delete;
    ResourceDeviceScope& operator=(const ResourceDeviceScope&) = delete;

private:
    gfx::Device* m_previous;
};

// ---------------------------------------------------------------- sources

// A loaded module; null stands for the program itself where a caller allows
// that (ResourceCache::FindModule).
using ResourceModuleHandle = const win::ResourceModule*;

// The module named by `path` (its file name decides), loaded as data and
// kept for the life of the process; null when it cannot be loaded (not
// remembered: the next call tries again). An empty path loads nothing.
ResourceModuleHandle LoadModuleCached(const kxi_string& path);

// The bytes of resource (type, id) in `module`, or in the program's own
// resources when `module` is null. They live as long as the process.
std::optional<std::span<const std::uint8_t>> FindResourceBytes(ResourceModuleHandle module,
                                                               const win::ResourceType& type, std::uint16_t id);

// The same by a link's path: an empty path is the program itself; a path
// whose module cannot be loaded has no resources at all.
std::optional<std::span<const std::uint8_t>> FindLinkedResource(const kxi_string& path,
                                                                 const win::ResourceType& type, std::uint16_t id);

// A link's path as a file-system path (UTF-8).
std::filesystem::path ToFileSystemPath(const kxi_string& path);

// Largest file a loader reads whole into memory.
inline constexpr std::uintmax_t kMaxResourceFileBytes = 256u << 20;

// ---------------------------------------------------------------- textures

// A texture with the size of the picture it was made from and that
// picture's height-to-width ratio. Empty (no texture, zero size) when
// nothing could be made.
struct TextureRef {
    gfx::Ref<gfx::Texture> texture;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    float ratio = 0.0f; // height / width; 0 without a picture

    bool HasTexture() const { return texture != nullptr; }
};

// The parameters every picture of a link is loaded with: size rounded up to
// powers of two, one level, the picture's own format, managed pool, the
// picture stretched over the texture (triangle filter), no mip filter.
gfx::TextureLoadOptions StandardTextureOptions();

// A texture from picture bytes with `options`; `info` receives the picture's
// own size. Null when there is no device or the bytes are no picture.
gfx::Ref<gfx::Texture> CreateTextureFromBytes(std::span<const std::uint8_t> bytes,
                                              const gfx::TextureLoadOptions& options, gfx::ImageInfo* info);

// Texture loaders with the standard parameters.
TextureRef LoadTextureFromMemory(std::span<const std::uint8_t> bytes);
TextureRef LoadTextureFromFile(const kxi_string& path);
// The "DDS" resource `id` of `module` (null: the program itself).
TextureRef LoadModuleTexture(ResourceModuleHandle module, std::uint16_t id);
// The program's own "DDS" resource with a full mip chain and no filtering.
gfx::Ref<gfx::Texture> LoadBuiltinTexture(std::uint16_t id);

// ---------------------------------------------------------------- meshes

// A mesh ready to draw: vertices of `stride` bytes each, XYZ | NORMAL | TEX1
// at their start, 16-bit triangle indices, and the bounding sphere. Copies
// share the buffers. Empty (no buffers, counts 0) when nothing was loaded.
struct LoadedMesh {
    gfx::Ref<gfx::VertexBuffer> vertexBuffer;
    gfx::Ref<gfx::IndexBuffer> indexBuffer;
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    float radius = 0.0f;
    math::Vec3 center;

    bool HasVertices() const { return vertexCount > 0; }
};

// Bytes of one mesh vertex as the .X loader delivers it (XYZ | NORMAL | TEX1).
inline constexpr std::uint32_t kLoadedMeshSourceStride = 32;

// Builds `out` from .X data (text, binary or compressed): normals computed
// from the faces, the bounding sphere, and buffers of `stride` bytes per
// vertex. Each vertex copies at most its 32 source bytes; a larger stride is
// zero-filled past them. `out` is emptied first and stays empty (false) when
// the data is refused, `stride` is 0 or there is no device.
bool LoadMeshFromMemory(std::span<const std::uint8_t> bytes, std::uint32_t stride, LoadedMesh& out);
bool LoadMeshFromFile(const kxi_string& path, std::uint32_t stride, LoadedMesh& out);
// The "DDS" resource `id` of `module` (null: the program itself).
bool LoadModuleMesh(ResourceModuleHandle module, std::uint16_t id, std::uint32_t stride, LoadedMesh& out);

// ---------------------------------------------------------------- effects

// An effect from the bytes of an effect file, which may include the
// program's preludes (BuiltinEffectIncludes). Null when there is no device
// or the bytes are not an effect this platform runs.
gfx::Ref<gfx::Effect> CreateEffectFromBytes(std::span<const std::uint8_t> bytes);
