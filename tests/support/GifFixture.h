#pragma once
// GIF89a pictures written by hand for the picture-loading tests.

#include <algorithm>
#include <cstdint>
#include <vector>

namespace gfx::testing {

struct GifFrameSpec {
    std::vector<std::uint8_t> indices;  // one palette index per pixel
    std::uint16_t delayCentiseconds;
};

// A GIF89a of 4-colour frames. The LZW data sends a clear code before every
// pixel, which keeps the codes 3 bits wide and the writer trivial.
inline std::vector<std::uint8_t> WriteGif(std::uint16_t width, std::uint16_t height, const std::uint32_t palette[4],
                                          const std::vector<GifFrameSpec>& frames) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&](std::uint16_t v) { out.push_back(std::uint8_t(v)); out.push_back(std::uint8_t(v >> 8)); };
    word(width);
    word(height);
    out.insert(out.end(), {0x81, 0, 0});  // global table of 4 colours
    for (int i = 0; i < 4; ++i) out.insert(out.end(), {std::uint8_t(palette[i] >> 16), std::uint8_t(palette[i] >> 8), std::uint8_t(palette[i])});
    for (const GifFrameSpec& frame : frames) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0x04});  // graphic control: keep the frame
        word(frame.delayCentiseconds);
        out.insert(out.end(), {0, 0});
        out.push_back(0x2C);
        word(0); word(0); word(width); word(height);
        out.push_back(0);  // no local table, not interlaced
        out.push_back(2);  // LZW minimum code size
        std::vector<std::uint8_t> data;
        std::uint32_t bits = 0, count = 0;
        auto code = [&](std::uint32_t c) {
            bits |= c << count;
            count += 3;
            while (count >= 8) { data.push_back(std::uint8_t(bits)); bits >>= 8; count -= 8; }
        };
        for (std::uint8_t index : frame.indices) { code(4); code(index); }
        code(5);
        if (count > 0) data.push_back(std::uint8_t(bits));
        for (std::size_t at = 0; at < data.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            out.push_back(std::uint8_t(n));
            out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

} // namespace gfx::testing
