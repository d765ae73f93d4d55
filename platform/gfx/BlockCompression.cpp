#include "platform/gfx/BlockCompression.h"

#include "platform/gfx/DdsBlockCodec.h"

namespace gfx {

bool DecodeBlockCompressed(Format format, const std::uint8_t* blocks, std::uint32_t width, std::uint32_t height,
                           std::uint8_t* pixels)
{
    if (!IsBlockCompressed(format))
        return false;
    const std::size_t pitch = RowPitch(format, width);
    const std::uint32_t blockBytes = LayoutOf(format).blockBytes;
    std::uint32_t decoded[16];
    for (std::uint32_t by = 0; by < RowCount(format, height); ++by) {
        for (std::uint32_t bx = 0; bx * 4 < width; ++bx) {
            DecodeDxtBlock(format, blocks + by * pitch + bx * blockBytes, decoded);
            for (std::uint32_t y = 0; y < 4 && by * 4 + y < height; ++y) {
                for (std::uint32_t x = 0; x < 4 && bx * 4 + x < width; ++x) {
                    const std::uint32_t argb = decoded[y * 4 + x];
                    std::uint8_t* dst = pixels + (std::size_t(by * 4 + y) * width + bx * 4 + x) * 4;
                    dst[0] = std::uint8_t(argb);
                    dst[1] = std::uint8_t(argb >> 8);
                    dst[2] = std::uint8_t(argb >> 16);
                    dst[3] = std::uint8_t(argb >> 24);
                }
            }
        }
    }
    return true;
}

} // namespace gfx
