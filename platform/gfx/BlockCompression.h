#pragma once
// Decoding of the block-compressed texture formats DXT1, DXT3 and DXT5 into
// A8R8G8B8 pixels (bytes B, G, R, A), as the sampler would read them.

#include <cstddef>
#include <cstdint>

#include "platform/gfx/Formats.h"

namespace gfx {

// Decodes a level of `width` x `height` pixels whose blocks start at `blocks`
// (rows of blocks RowPitch(format, width) bytes apart) into `pixels`, which
// holds width x height x 4 bytes, top row first. Returns false for a format
// that is not block-compressed.
bool DecodeBlockCompressed(Format format, const std::uint8_t* blocks, std::uint32_t width, std::uint32_t height,
                           std::uint8_t* pixels);

} // namespace gfx
