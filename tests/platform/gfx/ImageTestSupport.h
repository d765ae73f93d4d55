#pragma once
// Picture fixtures for the loader tests: files encoded in memory with
// stb_image_write, and GIFs written by hand (tests/support/GifFixture.h).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"
#include "tests/support/GifFixture.h"

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

inline int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

}  // namespace gfx::testing
