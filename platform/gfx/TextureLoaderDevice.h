#pragma once
// The D3DX-shaped texture helpers on a device: textures from picture files
// (in memory or on disk) with the sizing, filtering and image information of
// TextureLoader.h, textures of a given size and format, copies between
// texture levels with format conversion and resizing, and normal maps.
// Failures return an error code and no texture, as D3DX does; the reason is
// given in `error` when the caller asks for it.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "platform/gfx/Device.h"
#include "platform/gfx/TextureLoader.h"

namespace gfx {

// D3DXCreateTextureFromFileInMemoryEx: `info` (may be null) receives the
// picture's own size and format.
HRESULT CreateTextureFromFileInMemoryEx(Device& device, std::span<const std::uint8_t> bytes,
                                        const TextureLoadOptions& options, std::uint32_t usage, Pool pool,
                                        ImageInfo* info, Texture** out, std::string* error = nullptr);

// D3DXCreateTextureFromFileExW.
HRESULT CreateTextureFromFileEx(Device& device, const std::filesystem::path& path, const TextureLoadOptions& options,
                                std::uint32_t usage, Pool pool, ImageInfo* info, Texture** out,
                                std::string* error = nullptr);

// A texture with the levels of a prepared picture.
HRESULT CreateTextureFromImage(Device& device, const TextureImage& image, std::uint32_t usage, Pool pool,
                               Texture** out);

// D3DXCreateTexture: sizes of 0 become 256, sizes are kept within the
// device's largest texture, levels 0 (or D3DX_DEFAULT) make the full chain,
// format Unknown is A8R8G8B8.
HRESULT CreateTexture(Device& device, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                      std::uint32_t usage, Format format, Pool pool, Texture** out);

// D3DXLoadSurfaceFromSurface over whole levels: the source level (of any
// texture, render targets included) converted into the destination level's
// format and sized to it with the D3DX filter value.
HRESULT LoadSurfaceFromSurface(Surface* destination, Surface* source, std::uint32_t filter);

// D3DXComputeNormalMap: fills every level of `destination` from level 0 of
// `source` (NormalMap.h).
HRESULT ComputeNormalMap(Texture* destination, Texture* source, std::uint32_t flags, std::uint32_t channel,
                         float amplitude);

// The pixels of a texture level (render targets included) as an image of the
// level's format; empty when it cannot be read.
Image ReadSurfaceImage(Surface* surface);

// Writes an image (of the level's size and format) into a lockable level.
HRESULT WriteSurfaceImage(Surface* surface, const Image& image);

}  // namespace gfx
