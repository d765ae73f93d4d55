#pragma once
// Reads DDS files: 2D textures of A8R8G8B8, X8R8G8B8, A8, V8U8, V16U16 or
// DXT1/3/5 with their mip levels. Cube maps, volumes and other layouts are
// refused with a message. Every size in the header is checked against the
// bytes that follow before anything is allocated.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"

namespace gfx {

bool IsDds(std::span<const std::uint8_t> bytes);

struct DdsImage {
    Format format = Format::Unknown;
    std::vector<Image> levels;  // level 0 first
};

std::optional<DdsImage> ReadDds(std::span<const std::uint8_t> bytes, std::string& error);

// Width and height of level 0 from the header alone; nothing when the bytes
// hold no DDS header.
std::optional<PictureSize> ReadDdsSize(std::span<const std::uint8_t> bytes);

// The bytes of a DDS file holding the levels (all of one format, each half
// the size of the one before). Tests and tools make fixtures with it.
std::vector<std::uint8_t> WriteDds(const std::vector<Image>& levels);

}  // namespace gfx
