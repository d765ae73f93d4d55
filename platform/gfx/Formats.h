#pragma once
// Pixel formats, memory pools, usages and the small records that describe
// surfaces and locks. Values are Direct3D 9's documented numbers.
// Pixel memory layouts (little-endian, as the scene code writes them):
//   A8R8G8B8 / X8R8G8B8: one uint32 0xAARRGGBB per pixel (bytes B, G, R, A);
//   A8: one byte; V8U8: signed bytes U then V; V16U16: signed shorts U then V;
//   DXT1/3/5: 4x4 blocks of 8/16/16 bytes, a "row" is a row of blocks.
// Rows are stored top row first.

#include <cstddef>
#include <cstdint>

namespace gfx {

constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d)
{
    return std::uint32_t(std::uint8_t(a)) | (std::uint32_t(std::uint8_t(b)) << 8) |
           (std::uint32_t(std::uint8_t(c)) << 16) | (std::uint32_t(std::uint8_t(d)) << 24);
}

enum class Format : std::uint32_t {
    Unknown = 0,
    A8R8G8B8 = 21,
    X8R8G8B8 = 22,
    A8 = 28,
    V8U8 = 60,
    V16U16 = 64,
    D24S8 = 75,
    Index16 = 101,
    DXT1 = MakeFourCC('D', 'X', 'T', '1'),
    DXT3 = MakeFourCC('D', 'X', 'T', '3'),
    DXT5 = MakeFourCC('D', 'X', 'T', '5'),
};

enum class Pool : std::uint32_t { Default = 0, Managed = 1, SystemMem = 2, Scratch = 3 };

namespace Usage {
inline constexpr std::uint32_t RenderTarget = 0x1, DepthStencil = 0x2, WriteOnly = 0x8, Dynamic = 0x200;
}

namespace Lock {
inline constexpr std::uint32_t Discard = 0x2000, NoOverwrite = 0x1000, ReadOnly = 0x10;
}

namespace ClearFlags {
inline constexpr std::uint32_t Target = 1, ZBuffer = 2, Stencil = 4;
}

enum class ResourceType : std::uint32_t { Surface = 1, Texture = 3 };

// A rectangle in pixels: left and top inside, right and bottom outside.
struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct LockedRect {
    std::int32_t pitch = 0; // bytes from one row (of blocks) to the next
    void* bits = nullptr;
};

struct SurfaceDesc {
    Format format = Format::Unknown;
    ResourceType type = ResourceType::Surface;
    std::uint32_t usage = 0;
    Pool pool = Pool::Default;
    std::uint32_t width = 0, height = 0;
};

// Facts about a texture format: how its memory is laid out.
struct FormatLayout {
    std::uint32_t blockWidth = 1;  // 4 for block-compressed formats, else 1
    std::uint32_t blockBytes = 0;  // bytes per pixel or per 4x4 block
};

// The layout of a format that textures may have; blockBytes is 0 for any other.
FormatLayout LayoutOf(Format format);
bool IsTextureFormat(Format format);
bool IsBlockCompressed(Format format);
// Bytes of one row (of blocks) of a level `width` pixels wide.
std::size_t RowPitch(Format format, std::uint32_t width);
// Rows (of blocks) of a level `height` pixels high.
std::uint32_t RowCount(Format format, std::uint32_t height);
// Size in pixels of mip level `level` of a texture whose level 0 is `size`.
std::uint32_t LevelSize(std::uint32_t size, std::uint32_t level);
// Number of levels of a full mip chain down to 1x1.
std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height);

} // namespace gfx
