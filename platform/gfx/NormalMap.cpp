#include "platform/gfx/NormalMap.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gfx/ImageResample.h"

namespace gfx {
namespace {

float Height(std::uint32_t argb, std::uint32_t channel) {
    const float r = ((argb >> 16) & 0xFF) / 255.0f, g = ((argb >> 8) & 0xFF) / 255.0f, b = (argb & 0xFF) / 255.0f;
    switch (channel) {
    case Channel::Red: return r;
    case Channel::Green: return g;
    case Channel::Blue: return b;
    case Channel::Alpha: return (argb >> 24) / 255.0f;
    default: return 0.2125f * r + 0.7154f * g + 0.0721f * b;  // luminance
    }
}

bool IsChannel(std::uint32_t channel) {
    constexpr std::array kChannels{Channel::Red, Channel::Green, Channel::Blue, Channel::Alpha, Channel::Luminance};
    for (std::uint32_t c : kChannels)
        if (c == channel) return true;
    return false;
}

bool IsNormalFormat(Format format) {
    return format == Format::V8U8 || format == Format::V16U16 || format == Format::A8R8G8B8 || format == Format::X8R8G8B8;
}

// Index of the neighbour of i (step -1 or +1) along an axis of `size`.
std::uint32_t Neighbour(std::int64_t i, std::uint32_t size, bool mirror) {
    const std::int64_t n = size;
    if (i >= 0 && i < n) return static_cast<std::uint32_t>(i);
    if (!mirror) return static_cast<std::uint32_t>((i + n) % n);
    return static_cast<std::uint32_t>(i < 0 ? std::min<std::int64_t>(-i, n - 1) : std::max<std::int64_t>(2 * n - 2 - i, 0));
}

struct Normal {
    float x, y, z;
};

// Signed formats take the normal's x and y at full precision, colour formats
// the biased x, y, z.
Image EncodeNormals(const std::vector<Normal>& normals, std::uint32_t width, std::uint32_t height, Format format) {
    Image image(width, height, format);
    if (image.Empty()) return image;
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = image.Row(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            const Normal& n = normals[y * width + x];
            if (format == Format::V8U8) {
                row[x * 2] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::lround(n.x * 127.0f)));
                row[x * 2 + 1] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::lround(n.y * 127.0f)));
            } else if (format == Format::V16U16) {
                const std::int16_t uv[2] = {static_cast<std::int16_t>(std::lround(n.x * 32767.0f)),
                                            static_cast<std::int16_t>(std::lround(n.y * 32767.0f))};
                std::memcpy(row + x * 4, uv, 4);
            } else {
                std::uint32_t argb = 0xFF000000u;
                const float components[3] = {n.x, n.y, n.z};
                for (int c = 0; c < 3; ++c)
                    argb |= static_cast<std::uint32_t>(std::lround((components[c] + 1.0f) * 0.5f * 255.0f)) << (16 - 8 * c);
                image.SetPixel(x, y, argb);
            }
        }
    }
    return image;
}

}  // namespace

bool ComputeNormalMap(Image& destination, const Image& source, std::uint32_t flags, std::uint32_t channel,
                      float amplitude) {
    if (destination.Empty() || source.Empty() || !IsChannel(channel) || !IsNormalFormat(destination.PixelFormat()))
        return false;
    const std::uint32_t width = destination.Width(), height = destination.Height();
    Image sized = ConvertImage(source, Format::A8R8G8B8);
    if (sized.Width() != width || sized.Height() != height) sized = ResampleImage(sized, width, height, ImageFilter::Triangle);
    if (sized.Empty()) return false;

    std::vector<float> heights(std::size_t{width} * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) heights[y * width + x] = Height(sized.Pixel(x, y), channel);

    const bool mirrorU = flags & NormalMapFlags::MirrorU, mirrorV = flags & NormalMapFlags::MirrorV;
    const float sign = (flags & NormalMapFlags::InvertSign) ? -1.0f : 1.0f;
    std::vector<Normal> normals(heights.size());
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t up = Neighbour(std::int64_t{y} - 1, height, mirrorV), down = Neighbour(std::int64_t{y} + 1, height, mirrorV);
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t left = Neighbour(std::int64_t{x} - 1, width, mirrorU), right = Neighbour(std::int64_t{x} + 1, width, mirrorU);
            const float du = (heights[y * width + right] - heights[y * width + left]) * 0.5f * amplitude * sign;
            const float dv = (heights[down * width + x] - heights[up * width + x]) * 0.5f * amplitude * sign;
            const float length = std::sqrt(du * du + dv * dv + 1.0f);
            normals[y * width + x] = {-du / length, -dv / length, 1.0f / length};
        }
    }
    Image result = EncodeNormals(normals, width, height, destination.PixelFormat());
    if (result.Empty()) return false;
    destination = std::move(result);
    return true;
}

}  // namespace gfx
