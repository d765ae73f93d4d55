#pragma once
// Sizing a picture for a texture, with the D3DX filter values callers pass:
// NONE keeps the pixels as they are in the top-left corner (the rest of a
// larger texture is transparent black, a smaller one crops), POINT takes the
// nearest pixel, LINEAR and TRIANGLE blend neighbours (a tent filter), BOX
// averages the pixels each target pixel covers. Channels are filtered each on
// its own, as D3DX does (no premultiplied alpha).

#include <cstdint>
#include <optional>

#include "platform/gfx/Image.h"

namespace gfx {

enum class ImageFilter : std::uint32_t { None = 1, Point = 2, Linear = 3, Triangle = 4, Box = 5 };

// D3DX_DEFAULT as a filter or size argument.
inline constexpr std::uint32_t kD3dxDefault = 0xFFFFFFFFu;

// The filter a D3DX filter value asks for: its low byte (the flags above it,
// mirroring and dithering, do not change the result here); D3DX_DEFAULT is
// `fallback`. Nothing for a value D3DX refuses.
std::optional<ImageFilter> FilterFromD3dx(std::uint32_t value, ImageFilter fallback);

// A8R8G8B8 (or X8R8G8B8) image sized to width x height; the same format out.
Image ResampleImage(const Image& image, std::uint32_t width, std::uint32_t height, ImageFilter filter);

// The next smaller mip level (each side halved, at least 1).
Image NextMipLevel(const Image& image, ImageFilter filter);

}  // namespace gfx
