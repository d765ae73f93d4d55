#pragma once
// Texture loading as D3DX's "create texture from file (in memory) Ex" does it,
// on the CPU: the picture is decoded, sized and filtered into the levels of
// the texture to make, and the picture's own size is kept as its image
// information (so callers compute the part of the texture it covers as
// picture size / texture size).
//
// Sizes: D3DX_DEFAULT (or 0) rounds the picture's width and height each up to
// a power of two; D3DX_DEFAULT_NONPOW2 and D3DX_FROM_FILE keep them; any other
// value is the size asked for. Mip levels: 0 or D3DX_DEFAULT make a full
// chain, D3DX_FROM_FILE as many as the file has, n at most n. Format Unknown
// keeps the picture's; DXT formats are encoded. Filter NONE keeps the
// picture in the top-left corner of a larger texture; TRIANGLE (the default)
// stretches it over the whole texture. Mip levels are made with the mip
// filter (BOX by default) from the level above.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/ImageResample.h"

namespace gfx {

inline constexpr std::uint32_t kD3dxDefaultNonPow2 = 0xFFFFFFFEu;
inline constexpr std::uint32_t kD3dxFromFile = 0xFFFFFFFDu;
inline constexpr std::uint32_t kD3dxFilterNone = 1;
inline constexpr std::uint32_t kD3dxFilterTriangle = 4;

struct TextureLoadOptions {
    std::uint32_t width = kD3dxDefault;
    std::uint32_t height = kD3dxDefault;
    std::uint32_t mipLevels = kD3dxDefault;
    Format format = Format::Unknown;
    std::uint32_t filter = kD3dxDefault;     // TRIANGLE
    std::uint32_t mipFilter = kD3dxDefault;  // BOX
};

struct TextureImage {
    ImageInfo info;             // the picture as the file holds it
    std::vector<Image> levels;  // the texture's levels, level 0 first
};

// The smallest power of two not below n (0 for 0).
std::uint32_t NextPowerOfTwo(std::uint32_t n);

// Nothing, with the reason in error, when the picture cannot be decoded or
// an option is one D3DX refuses.
std::optional<TextureImage> PrepareTextureImage(std::span<const std::uint8_t> bytes, const TextureLoadOptions& options,
                                                std::string& error);

// The same from an already decoded picture.
std::optional<TextureImage> PrepareTextureImage(const DecodedImage& picture, const TextureLoadOptions& options,
                                                std::string& error);

}  // namespace gfx
