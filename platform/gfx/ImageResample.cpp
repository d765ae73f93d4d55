#include "platform/gfx/ImageResample.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <cstring>


namespace gfx {
namespace {

Image CopyCorner(const Image& image, std::uint32_t width, std::uint32_t height) {
    Image out(width, height, image.PixelFormat());
    if (out.Empty()) return out;
    const std::size_t rowBytes = std::min(width, image.Width()) * std::size_t{4};
    for (std::uint32_t y = 0; y < std::min(height, image.Height()); ++y)
        std::memcpy(out.Row(y), image.Row(y), rowBytes);
    return out;
}

Image Nearest(const Image& image, std::uint32_t width, std::uint32_t height) {
    Image out(width, height, image.PixelFormat());
    if (out.Empty()) return out;
    for (std::uint32_t y = 0; y < height; ++y) {
        const auto sy = static_cast<std::uint32_t>((std::uint64_t{y} * 2 + 1) * image.Height() / (std::uint64_t{height} * 2));
        for (std::uint32_t x = 0; x < width; ++x) {
            const auto sx = static_cast<std::uint32_t>((std::uint64_t{x} * 2 + 1) * image.Width() / (std::uint64_t{width} * 2));
            out.SetPixel(x, y, image.Pixel(sx, sy));
        }
    }
    return out;
}

// The source pixels one target pixel reads along an axis, with weights that
// sum to 1. Tent: weight falls linearly to 0 at `radius` source pixels from
// the target pixel's centre (radius 1 when enlarging, the scale when
// shrinking). Box: each source pixel weighs by how much of it the target
// pixel covers.
struct Taps {
    std::uint32_t first = 0;
    std::vector<float> weights;
};

std::vector<Taps> AxisTaps(std::uint32_t source, std::uint32_t target, bool box) {
    const double scale = double(source) / target;
    const double radius = box ? std::max(0.5, scale / 2) : std::max(1.0, scale);
    std::vector<Taps> taps(target);
    for (std::uint32_t o = 0; o < target; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        const auto lo = static_cast<std::int64_t>(std::ceil(centre - radius - (box ? 0.5 : 0.0)));
        const auto hi = static_cast<std::int64_t>(std::floor(centre + radius + (box ? 0.5 : 0.0)));
        std::vector<std::pair<std::int64_t, double>> raw;
        double sum = 0;
        for (std::int64_t s = lo; s <= hi; ++s) {
            const double w = box ? std::max(0.0, std::min(s + 0.5, centre + radius) - std::max(s - 0.5, centre - radius))
                                 : std::max(0.0, 1.0 - std::abs(s - centre) / radius);
            if (w <= 0) continue;
            raw.emplace_back(std::clamp<std::int64_t>(s, 0, source - 1), w);
            sum += w;
        }
        // Edge pixels repeat: merge taps that clamp to the same pixel.
        Taps& t = taps[o];
        t.first = static_cast<std::uint32_t>(raw.front().first);
        t.weights.assign(static_cast<std::size_t>(raw.back().first - raw.front().first + 1), 0.0f);
        for (const auto& [index, w] : raw) t.weights[static_cast<std::size_t>(index - raw.front().first)] += float(w / sum);
    }
    return taps;
}

Image Filtered(const Image& image, std::uint32_t width, std::uint32_t height, bool box) {
    Image out(width, height, image.PixelFormat());
    if (out.Empty()) return out;
    const auto columns = AxisTaps(image.Width(), width, box);
    const auto rows = AxisTaps(image.Height(), height, box);
    // Horizontal pass into floats (4 channels, byte order), then vertical.
    std::vector<float> across(std::size_t(image.Height()) * width * 4);
    for (std::uint32_t y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.Row(y);
        float* dest = &across[std::size_t(y) * width * 4];
        for (std::uint32_t x = 0; x < width; ++x, dest += 4) {
            const Taps& t = columns[x];
            float sum[4] = {};
            for (std::size_t k = 0; k < t.weights.size(); ++k) {
                const std::uint8_t* p = row + (t.first + k) * 4;
                for (int c = 0; c < 4; ++c) sum[c] += p[c] * t.weights[k];
            }
            std::copy(sum, sum + 4, dest);
        }
    }
    std::vector<float> sum(std::size_t(width) * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        const Taps& t = rows[y];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (std::size_t k = 0; k < t.weights.size(); ++k) {
            const float* source = &across[(t.first + k) * std::size_t(width) * 4];
            const float w = t.weights[k];
            for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += source[i] * w;
        }
        std::uint8_t* dest = out.Row(y);
        for (std::size_t i = 0; i < sum.size(); ++i) dest[i] = static_cast<std::uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
    }
    return out;
}

// Each target pixel is the mean of the 2x2 (or 2x1, 1x2) pixels it covers.
Image HalfBox(const Image& image, std::uint32_t width, std::uint32_t height) {
    Image out(width, height, image.PixelFormat());
    if (out.Empty()) return out;
    const std::uint32_t stepX = image.Width() > 1 ? 2 : 1, stepY = image.Height() > 1 ? 2 : 1;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint32_t sum[4] = {};
            for (std::uint32_t dy = 0; dy < stepY; ++dy)
                for (std::uint32_t dx = 0; dx < stepX; ++dx) {
                    const std::uint32_t p = image.Pixel(std::min(x * stepX + dx, image.Width() - 1),
                                                        std::min(y * stepY + dy, image.Height() - 1));
                    for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
                }
            const std::uint32_t count = stepX * stepY;
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) pixel |= ((sum[c] + count / 2) / count) << (8 * c);
            out.SetPixel(x, y, pixel);
        }
    }
    return out;
}

}  // namespace

std::optional<ImageFilter> FilterFromD3dx(std::uint32_t value, ImageFilter fallback) {
    if (value == kD3dxDefault) return fallback;
    const std::uint32_t type = value & 0xFF;
    if (type < static_cast<std::uint32_t>(ImageFilter::None) || type > static_cast<std::uint32_t>(ImageFilter::Box))
        return std::nullopt;
    return static_cast<ImageFilter>(type);
}

Image ResampleImage(const Image& image, std::uint32_t width, std::uint32_t height, ImageFilter filter) {
    if (image.Empty()) return {};
    if (filter == ImageFilter::None) return CopyCorner(image, width, height);
    if (width == image.Width() && height == image.Height()) return image;
    switch (filter) {
    case ImageFilter::Point: return Nearest(image, width, height);
    case ImageFilter::Box: return Filtered(image, width, height, true);
    default: return Filtered(image, width, height, false);
    }
}

Image NextMipLevel(const Image& image, ImageFilter filter) {
    const std::uint32_t width = std::max(1u, image.Width() / 2), height = std::max(1u, image.Height() / 2);
    if (filter == ImageFilter::None || filter == ImageFilter::Point) return Nearest(image, width, height);
    return HalfBox(image, width, height);
}

}  // namespace gfx
