#include "tools/demoscene/PngPicture.h"

#include <cmath>

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

std::vector<std::uint8_t> PaintRgba(std::uint32_t width, std::uint32_t height, const CoveragePainter& paint)
{
    constexpr int kGrid = 4;
    std::vector<std::uint8_t> pixels;
    pixels.reserve(std::size_t(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0}, cover = 0;
            for (int i = 0; i < kGrid * kGrid; ++i) {
                const double u = (x + (i % kGrid + 0.5) / kGrid) / width;
                const double v = (y + (i / kGrid + 0.5) / kGrid) / height;
                const Painted p = paint(u, v);
                cover += p.coverage;
                sum[0] += p.coverage * ((p.rgb >> 16) & 0xFF);
                sum[1] += p.coverage * ((p.rgb >> 8) & 0xFF);
                sum[2] += p.coverage * (p.rgb & 0xFF);
            }
            for (const double channel : sum)
                pixels.push_back(std::uint8_t(cover > 0 ? std::lround(channel / cover) : 0));
            pixels.push_back(std::uint8_t(std::lround(255.0 * cover / (kGrid * kGrid))));
        }
    return pixels;
}
