#pragma once
// DXT1, DXT3 and DXT5 blocks: 4x4 pixels in 8 (DXT1) or 16 bytes. Pixels are
// 0xAARRGGBB, row by row. Decoding follows the formats' definition (565
// end colours widened by repeating their top bits, thirds and halves rounded
// down; DXT1 blocks whose first colour is not above the second have three
// colours and transparent black). Encoding of colour goes through stb_dxt;
// a DXT1 block with pixels of alpha below 128 is written in the
// three-colour form so that those pixels stay transparent.

#include <cstdint>

#include "platform/gfx/Formats.h"

namespace gfx {

void DecodeDxtBlock(Format format, const std::uint8_t* block, std::uint32_t pixels[16]);
void EncodeDxtBlock(Format format, const std::uint32_t pixels[16], std::uint8_t* block);

}  // namespace gfx
