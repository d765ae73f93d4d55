#pragma once
// 24-bit BMP pictures made in memory: test pictures and the demo scene's.

#include <cstdint>
#include <functional>
#include <vector>

namespace bmp_fixture {

// A 24-bit BMP of width x height whose pixel (x, y) is colour(x, y) as
// 0xRRGGBB (top row first, as the loader delivers it).
inline std::vector<std::uint8_t> BmpPicture(std::uint32_t width, std::uint32_t height,
                                            const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& colour)
{
    const std::uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * height;
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(std::uint8_t(value >> (8 * i)));
    };
    out.push_back('B');
    out.push_back('M');
    put(54 + pixelBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(width, 4);
    put(height, 4); // positive: rows stored bottom-up
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (std::uint32_t row = 0; row < height; ++row) {
        const std::uint32_t y = height - 1 - row;
        for (std::uint32_t x = 0; x < width; ++x)
            put(colour(x, y), 3); // B, G, R
        for (std::uint32_t pad = width * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

} // namespace bmp_fixture
