#include "tools/demoscene/PngPicture.h"

extern "C" {
#include <stb/stb_image_write.h>
}

std::vector<std::uint8_t> PixelsOf(std::uint32_t width, std::uint32_t height,
                                   const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& pixel)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t(width) * height * 3);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t colour = pixel(x, y);
            rgb.push_back(std::uint8_t(colour >> 16));
            rgb.push_back(std::uint8_t(colour >> 8));
            rgb.push_back(std::uint8_t(colour));
        }
    return rgb;
}

std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> png;
    if (channels < 1 || channels > 4 || pixels.size() != std::size_t(width) * height * std::size_t(channels))
        return png;
    stbi_write_png_compression_level = 9;
    const auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(context);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size);
    };
    if (!stbi_write_png_to_func(append, &png, int(width), int(height), channels, pixels.data(),
                                int(width) * channels))
        png.clear();
    return png;
}
