#pragma once
// Uncompressed 32-bit TGA pictures made in memory: the small picture with an
// alpha channel that the tests store in documents (text pictures are
// transparent around their letters).

#include <cstdint>
#include <functional>
#include <vector>

namespace docres_test {

// A width x height picture; `argb` gives 0xAARRGGBB for each pixel, (0, 0)
// the top-left one.
inline std::vector<std::uint8_t> TgaPicture(std::uint32_t width, std::uint32_t height,
                                            const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& argb)
{
    std::vector<std::uint8_t> bytes(18, 0);
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<std::uint8_t>(width & 0xFF);
    bytes[13] = static_cast<std::uint8_t>(width >> 8);
    bytes[14] = static_cast<std::uint8_t>(height & 0xFF);
    bytes[15] = static_cast<std::uint8_t>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28; // 8 alpha bits, top row first
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t pixel = argb(x, y);
            for (int shift : {0, 8, 16, 24})
                bytes.push_back(static_cast<std::uint8_t>(pixel >> shift));
        }
    }
    return bytes;
}

} // namespace docres_test
