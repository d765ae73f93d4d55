#include "render/ResourceLoading.h"

#include <algorithm>
#include <cstring>
#include "platform/crt/FileBytes.h"
#include <limits>
#include <string>
#include <vector>

#include "objectmodel/ResourceSource.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Mesh.h"
#include "platform/gfx/TextureLoaderDevice.h"
#include "platform/win/ProgramResources.h"
#include "render/BuiltinEffects.h"

namespace {

// Set by the program when it creates its device; read by every load.
gfx::Device* g_resourceDevice = nullptr;

win::ResourceType ToWinResourceType(const ResourceType& type)
{
    if (type.name.empty())
        return win::ResourceType(type.number);
    return win::ResourceType(std::string_view(crt::ToUtf8(type.name)));
}

// The object model's view of the program's resources and of modules.
std::optional<std::span<const std::uint8_t>> FindProgramResourceForDocuments(const ResourceType& type,
                                                                             std::uint16_t id)
{
    return win::FindProgramResource(ToWinResourceType(type), id);
}

std::optional<std::vector<std::uint8_t>> FindModuleResourceForDocuments(std::u16string_view moduleFile,
                                                                        const ResourceType& type, std::uint16_t id)
{
    const win::ResourceModule* module = win::LoadResourceModule(crt::ToUtf8(moduleFile));
    if (!module)
        return std::nullopt;
    const auto bytes = module->Find(ToWinResourceType(type), id);
    if (!bytes)
        return std::nullopt;
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

const bool g_findersInstalled = (InstallProgramResourceFinder(&FindProgramResourceForDocuments),
                                 InstallModuleResourceFinder(&FindModuleResourceForDocuments), true);

TextureRef MakeTextureRef(gfx::Ref<gfx::Texture> texture, const gfx::ImageInfo& info)
{
    TextureRef ref;
    if (!texture)
        return ref;
    ref.texture = std::move(texture);
    ref.width = info.width;
    ref.height = info.height;
    ref.ratio = info.width ? static_cast<float>(info.height) / static_cast<float>(info.width) : 0.0f;
    return ref;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path)
{
    std::string error;
    return crt::ReadFileBytes(path, kMaxResourceFileBytes, error);
}

// A managed, write-only buffer of `size` bytes holding `source` followed by
// zeros; null when the device refuses it.
template <class Buffer, class Create>
gfx::Ref<Buffer> FilledBuffer(std::uint32_t size, Create create, const auto& fill)
{
    Buffer* raw = nullptr;
    if (create(size, &raw) != gfx::kOk || !raw)
        return nullptr;
    auto buffer = gfx::Ref<Buffer>::Adopt(raw);
    void* data = nullptr;
    if (buffer->Lock(0, 0, &data, 0) != gfx::kOk || !data)
        return nullptr;
    fill(static_cast<std::uint8_t*>(data));
    buffer->Unlock();
    return buffer;
}

bool BuildLoadedMesh(const gfx::MeshData& mesh, std::uint32_t stride, LoadedMesh& out)
{
    gfx::Device* device = GetResourceDevice();
    const std::uint64_t vertexBytes = std::uint64_t(mesh.vertices.size()) * stride;
    const std::uint64_t indexBytes = std::uint64_t(mesh.FaceCount()) * 6;
    if (!device || mesh.vertices.empty() || indexBytes == 0 ||
        vertexBytes > std::numeric_limits<std::uint32_t>::max())
        return false;

    auto indices = FilledBuffer<gfx::IndexBuffer>(
        static_cast<std::uint32_t>(indexBytes),
        [&](std::uint32_t size, gfx::IndexBuffer** raw) {
            return device->CreateIndexBuffer(size, gfx::Usage::WriteOnly, gfx::Format::Index16, gfx::Pool::Managed,
                                             raw);
        },
        [&](std::uint8_t* data) { std::memcpy(data, mesh.indices.data(), mesh.FaceCount() * 6); });
    // Each vertex takes at most its own 32 bytes, so a stride above the
    // source's never reads past the loaded vertices.
    const std::uint32_t copied = std::min(stride, kLoadedMeshSourceStride);
    auto vertices = FilledBuffer<gfx::VertexBuffer>(
        static_cast<std::uint32_t>(vertexBytes),
        [&](std::uint32_t size, gfx::VertexBuffer** raw) {
            return device->CreateVertexBuffer(size, gfx::Usage::WriteOnly, 0, gfx::Pool::Managed, raw);
        },
        [&](std::uint8_t* data) {
            std::memset(data, 0, static_cast<std::size_t>(vertexBytes));
            for (std::size_t i = 0; i < mesh.vertices.size(); ++i)
                std::memcpy(data + i * stride, &mesh.vertices[i], copied);
        });
    if (!indices || !vertices)
        return false;

    out.indexBuffer = std::move(indices);
    out.vertexBuffer = std::move(vertices);
    out.vertexCount = static_cast<std::int32_t>(mesh.vertices.size());
    out.faceCount = static_cast<std::int32_t>(mesh.FaceCount());
    out.center = mesh.center;
    out.radius = mesh.radius;
    return true;
}

bool LoadMeshInto(const std::optional<gfx::MeshData>& mesh, std::uint32_t stride, LoadedMesh& out)
{
    out = LoadedMesh{};
    if (!mesh || stride == 0)
        return false;
    return BuildLoadedMesh(*mesh, stride, out);
}

} // namespace

// ---------------------------------------------------------------- the device

gfx::Device* GetResourceDevice()
{
    return g_resourceDevice;
}

void SetResourceDevice(gfx::Device* device)
{
    g_resourceDevice = device;
}

// ---------------------------------------------------------------- sources

ResourceModuleHandle LoadModuleCached(const kxi_string& path)
{
    if (path.empty())
        return nullptr;
    return win::LoadResourceModule(crt::ToUtf8(path));
}

std::optional<std::span<const std::uint8_t>> FindResourceBytes(ResourceModuleHandle module,
                                                               const win::ResourceType& type, std::uint16_t id)
{
    if (!module)
        return win::FindProgramResource(type, id);
    return module->Find(type, id);
}

std::optional<std::span<const std::uint8_t>> FindLinkedResource(const kxi_string& path,
                                                                 const win::ResourceType& type, std::uint16_t id)
{
    if (path.empty())
        return FindResourceBytes(nullptr, type, id);
    const ResourceModuleHandle module = LoadModuleCached(path);
    if (!module)
        return std::nullopt;
    return FindResourceBytes(module, type, id);
}

std::filesystem::path ToFileSystemPath(const kxi_string& path)
{
    const std::string utf8 = crt::ToUtf8(path);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// ---------------------------------------------------------------- textures

gfx::TextureLoadOptions StandardTextureOptions()
{
    gfx::TextureLoadOptions options;
    options.width = gfx::kD3dxDefault;
    options.height = gfx::kD3dxDefault;
    options.mipLevels = 1;
    options.format = gfx::Format::Unknown;
    options.filter = gfx::kD3dxFilterTriangle;
    options.mipFilter = gfx::kD3dxFilterNone;
    return options;
}

gfx::Ref<gfx::Texture> CreateTextureFromBytes(std::span<const std::uint8_t> bytes,
                                              const gfx::TextureLoadOptions& options, gfx::ImageInfo* info)
{
    gfx::Device* device = GetResourceDevice();
    if (!device || bytes.empty())
        return nullptr;
    gfx::Texture* texture = nullptr;
    if (gfx::CreateTextureFromFileInMemoryEx(*device, bytes, options, 0, gfx::Pool::Managed, info, &texture) !=
            gfx::kOk ||
        !texture)
        return nullptr;
    return gfx::Ref<gfx::Texture>::Adopt(texture);
}

TextureRef LoadTextureFromMemory(std::span<const std::uint8_t> bytes)
{
    gfx::ImageInfo info;
    auto texture = CreateTextureFromBytes(bytes, StandardTextureOptions(), &info);
    return MakeTextureRef(std::move(texture), info);
}

TextureRef LoadTextureFromFile(const kxi_string& path)
{
    if (path.empty())
        return {};
    const auto bytes = ReadWholeFile(ToFileSystemPath(path));
    if (!bytes)
        return {};
    return LoadTextureFromMemory(*bytes);
}

TextureRef LoadModuleTexture(ResourceModuleHandle module, std::uint16_t id)
{
    const auto bytes = FindResourceBytes(module, win::ResourceType("DDS"), id);
    if (!bytes)
        return {};
    return LoadTextureFromMemory(*bytes);
}

gfx::Ref<gfx::Texture> LoadBuiltinTexture(std::uint16_t id)
{
    const auto bytes = FindResourceBytes(nullptr, win::ResourceType("DDS"), id);
    if (!bytes)
        return nullptr;
    gfx::TextureLoadOptions options = StandardTextureOptions();
    options.mipLevels = gfx::kD3dxDefault;
    options.filter = gfx::kD3dxFilterNone;
    options.mipFilter = gfx::kD3dxDefault;
    return CreateTextureFromBytes(*bytes, options, nullptr);
}

// ---------------------------------------------------------------- meshes

bool LoadMeshFromMemory(std::span<const std::uint8_t> bytes, std::uint32_t stride, LoadedMesh& out)
{
    std::string error;
    return LoadMeshInto(gfx::LoadMeshFromX(bytes, error), stride, out);
}

bool LoadMeshFromFile(const kxi_string& path, std::uint32_t stride, LoadedMesh& out)
{
    const auto bytes = path.empty() ? std::nullopt : ReadWholeFile(ToFileSystemPath(path));
    if (!bytes) {
        out = LoadedMesh{};
        return false;
    }
    return LoadMeshFromMemory(*bytes, stride, out);
}

bool LoadModuleMesh(ResourceModuleHandle module, std::uint16_t id, std::uint32_t stride, LoadedMesh& out)
{
    const auto bytes = FindResourceBytes(module, win::ResourceType("DDS"), id);
    if (!bytes) {
        out = LoadedMesh{};
        return false;
    }
    return LoadMeshFromMemory(*bytes, stride, out);
}

// ---------------------------------------------------------------- effects

gfx::Ref<gfx::Effect> CreateEffectFromBytes(std::span<const std::uint8_t> bytes)
{
    gfx::Device* device = GetResourceDevice();
    if (!device || bytes.empty())
        return nullptr;
    gfx::Effect* effect = nullptr;
    std::string errors;
    if (gfx::Effect::Create(*device, bytes, &effect, &errors, BuiltinEffectIncludes()) != gfx::kOk || !effect)
        return nullptr;
    return gfx::Ref<gfx::Effect>::Adopt(effect);
}
