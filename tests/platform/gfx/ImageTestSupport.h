#pragma once
// Picture fixtures for the loader tests: files encoded in memory with
// stb_image_write, and a GIF written by hand.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"

extern "C" {
#include <stb/stb_image_write.h>
}

namespace gfx::testing {

enum class PictureKind { Png, Bmp, Tga, Jpg };

// width x height pixels of 0xAARRGGBB, encoded as a picture file.
inline std::vector<std::uint8_t> EncodePicture(PictureKind kind, const std::vector<std::uint32_t>& argb, int width,
                                               int height, int channels = 4) {
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t p : argb) {
        const std::uint8_t all[4] = {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p), std::uint8_t(p >> 24)};
        rgba.insert(rgba.end(), all, all + channels);
    }
    std::vector<std::uint8_t> out;
    auto sink = [](void* context, void* data, int size) {
        auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
        bytes->insert(bytes->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    };
    switch (kind) {
    case PictureKind::Png: stbi_write_png_to_func(sink, &out, width, height, channels, rgba.data(), width * channels); break;
    case PictureKind::Bmp: stbi_write_bmp_to_func(sink, &out, width, height, channels, rgba.data()); break;
    case PictureKind::Tga: stbi_write_tga_to_func(sink, &out, width, height, channels, rgba.data()); break;
    case PictureKind::Jpg: stbi_write_jpg_to_func(sink, &out, width, height, channels, rgba.data(), 95); break;
    }
    return out;
}

// A picture whose left half is one colour and right half another.
inline std::vector<std::uint32_t> TwoHalves(int width, int height, std::uint32_t left, std::uint32_t right) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[std::size_t(y) * width + x] = x < width / 2 ? left : right;
    return pixels;
}

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

inline int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

}  // namespace gfx::testing
