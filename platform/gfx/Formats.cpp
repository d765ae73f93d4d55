#include "platform/gfx/Formats.h"

#include <algorithm>
#include <array>

namespace gfx {
namespace {

struct FormatEntry {
    Format format;
    FormatLayout layout;
};

constexpr std::array kTextureFormats{
    FormatEntry{Format::A8R8G8B8, {1, 4}}, FormatEntry{Format::X8R8G8B8, {1, 4}},
    FormatEntry{Format::A8, {1, 1}},       FormatEntry{Format::V8U8, {1, 2}},
    FormatEntry{Format::V16U16, {1, 4}},   FormatEntry{Format::DXT1, {4, 8}},
    FormatEntry{Format::DXT3, {4, 16}},    FormatEntry{Format::DXT5, {4, 16}},
};

} // namespace

FormatLayout LayoutOf(Format format)
{
    for (const FormatEntry& entry : kTextureFormats)
        if (entry.format == format)
            return entry.layout;
    return {};
}

bool IsTextureFormat(Format format) { return LayoutOf(format).blockBytes != 0; }

bool IsBlockCompressed(Format format) { return LayoutOf(format).blockWidth == 4; }

std::size_t RowPitch(Format format, std::uint32_t width)
{
    const FormatLayout layout = LayoutOf(format);
    const std::size_t blocks = (std::size_t(width) + layout.blockWidth - 1) / layout.blockWidth;
    return blocks * layout.blockBytes;
}

std::uint32_t RowCount(Format format, std::uint32_t height)
{
    const std::uint32_t block = LayoutOf(format).blockWidth;
    return (height + block - 1) / block;
}

std::uint32_t LevelSize(std::uint32_t size, std::uint32_t level)
{
    if (level >= 32)
        return 1;
    return std::max(1u, size >> level);
}

std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height)
{
    std::uint32_t largest = std::max(width, height);
    std::uint32_t levels = 1;
    while (largest > 1) {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

} // namespace gfx
