#include "platform/gfx/TextureLoaderDevice.h"

#include "platform/crt/FileBytes.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/gfx/NormalMap.h"

namespace gfx {
namespace {

constexpr std::uint32_t kDefaultTextureSize = 256;

void SetError(std::string* error, const std::string& message) {
    if (error) *error = message;
}

std::optional<std::vector<std::uint8_t>> ReadFile(const std::filesystem::path& path, std::string& error) {
    // The largest picture file we accept: a raw 8192 x 8192 picture and its mips.
    constexpr std::uintmax_t kMaxPictureFileBytes = 384u << 20;
    return crt::ReadFileBytes(path, kMaxPictureFileBytes, error);
}

}  // namespace

Image ReadSurfaceImage(Surface* surface) {
    if (!surface || !surface->Container()) return {};
    Texture& texture = *surface->Container();
    const std::uint32_t width = surface->Width(), height = surface->Height();
    if (texture.IsRenderTarget()) {
        Device* device = surface->GetDevice();
        std::vector<std::uint32_t> pixels;
        if (!device || FAILED(device->ReadPixels(surface, &pixels))) return {};
        return FromArgb(pixels, width, height, texture.GetFormat());
    }
    LockedRect locked;
    if (FAILED(surface->LockRect(&locked, nullptr, Lock::ReadOnly))) return {};
    Image image(width, height, texture.GetFormat());
    for (std::uint32_t row = 0; row < image.Rows() && locked.pitch > 0; ++row)
        std::memcpy(image.Row(row), static_cast<const std::uint8_t*>(locked.bits) + std::size_t(row) * locked.pitch, image.Pitch());
    surface->UnlockRect();
    return image;
}

HRESULT WriteSurfaceImage(Surface* surface, const Image& image) {
    if (!surface || !surface->Container() || image.Empty() || image.Width() != surface->Width() ||
        image.Height() != surface->Height() || image.PixelFormat() != surface->Container()->GetFormat())
        return kInvalidCall;
    LockedRect locked;
    if (const HRESULT hr = surface->LockRect(&locked, nullptr, 0); FAILED(hr)) return hr;
    for (std::uint32_t row = 0; row < image.Rows(); ++row)
        std::memcpy(static_cast<std::uint8_t*>(locked.bits) + std::size_t(row) * locked.pitch, image.Row(row), image.Pitch());
    return surface->UnlockRect();
}

HRESULT CreateTextureFromImage(Device& device, const TextureImage& image, std::uint32_t usage, Pool pool, Texture** out) {
    if (!out || image.levels.empty()) return kInvalidCall;
    *out = nullptr;
    const Image& top = image.levels[0];
    Texture* created = nullptr;
    if (const HRESULT hr = device.CreateTexture(top.Width(), top.Height(), static_cast<std::uint32_t>(image.levels.size()),
                                                usage, top.PixelFormat(), pool, &created);
        FAILED(hr))
        return hr;
    auto texture = Ref<Texture>::Adopt(created);
    for (std::uint32_t level = 0; level < image.levels.size(); ++level) {
        const HRESULT hr = WriteSurfaceImage(texture->SurfaceLevel(level).Get(), image.levels[level]);
        if (FAILED(hr)) return hr;
    }
    *out = texture.Detach();
    return kOk;
}

HRESULT CreateTextureFromFileInMemoryEx(Device& device, std::span<const std::uint8_t> bytes,
                                        const TextureLoadOptions& options, std::uint32_t usage, Pool pool,
                                        ImageInfo* info, Texture** out, std::string* error) {
    if (!out) return kInvalidCall;
    *out = nullptr;
    std::string reason;
    const auto image = PrepareTextureImage(bytes, options, reason);
    if (!image) {
        SetError(error, reason);
        return kInvalidCall;
    }
    const HRESULT hr = CreateTextureFromImage(device, *image, usage, pool, out);
    if (FAILED(hr)) SetError(error, "the device refused the texture");
    if (SUCCEEDED(hr) && info) *info = image->info;
    return hr;
}

HRESULT CreateTextureFromFileEx(Device& device, const std::filesystem::path& path, const TextureLoadOptions& options,
                                std::uint32_t usage, Pool pool, ImageInfo* info, Texture** out, std::string* error) {
    if (out) *out = nullptr;
    std::string reason;
    const auto bytes = ReadFile(path, reason);
    if (!bytes) {
        SetError(error, reason);
        return kNotFound;
    }
    return CreateTextureFromFileInMemoryEx(device, *bytes, options, usage, pool, info, out, error);
}

HRESULT CreateTexture(Device& device, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                      std::uint32_t usage, Format format, Pool pool, Texture** out) {
    auto size = [](std::uint32_t asked) {
        if (asked == 0 || asked == kD3dxDefault) return kDefaultTextureSize;
        return std::min(asked, kMaxImageDimension);
    };
    const std::uint32_t w = size(width), h = size(height);
    const std::uint32_t full = FullMipCount(w, h);
    const std::uint32_t count = (levels == 0 || levels == kD3dxDefault) ? full : std::min(levels, full);
    return device.CreateTexture(w, h, count, usage, format == Format::Unknown ? Format::A8R8G8B8 : format, pool, out);
}

HRESULT LoadSurfaceFromSurface(Surface* destination, Surface* source, std::uint32_t filter) {
    const auto imageFilter = FilterFromD3dx(filter, ImageFilter::Triangle);
    if (!destination || !destination->Container() || !imageFilter) return kInvalidCall;
    const Image picture = ReadSurfaceImage(source);
    if (picture.Empty()) return kInvalidCall;
    const Image sized = ResampleImage(ConvertImage(picture, Format::A8R8G8B8), destination->Width(),
                                      destination->Height(), *imageFilter);
    const Image converted = ConvertImage(sized, destination->Container()->GetFormat());
    if (converted.Empty()) return kInvalidCall;
    return WriteSurfaceImage(destination, converted);
}

HRESULT ComputeNormalMap(Texture* destination, Texture* source, std::uint32_t flags, std::uint32_t channel,
                         float amplitude) {
    if (!destination || !source) return kInvalidCall;
    const Image height = ReadSurfaceImage(source->SurfaceLevel(0).Get());
    if (height.Empty()) return kInvalidCall;
    for (std::uint32_t level = 0; level < destination->GetLevelCount(); ++level) {
        Ref<Surface> surface = destination->SurfaceLevel(level);
        Image normals(surface->Width(), surface->Height(), destination->GetFormat());
        if (!ComputeNormalMap(normals, height, flags, channel, amplitude)) return kInvalidCall;
        if (const HRESULT hr = WriteSurfaceImage(surface.Get(), normals); FAILED(hr)) return hr;
    }
    return kOk;
}

}  // namespace gfx
