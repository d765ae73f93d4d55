#include "platform/gfx/Image.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/BlockCompression.h"
#include "platform/gfx/DdsBlockCodec.h"

namespace gfx {
namespace {

std::uint32_t LoadU32(const std::uint8_t* p) {
    std::uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

void StoreU32(std::uint8_t* p, std::uint32_t value) { std::memcpy(p, &value, 4); }

// Signed component -1..1 <-> biased 8-bit colour value.
std::uint32_t BiasedFromSigned(float value) {
    const float clamped = std::clamp(value, -1.0f, 1.0f);
    return static_cast<std::uint32_t>(std::lround((clamped + 1.0f) * 0.5f * 255.0f));
}

float SignedFromBiased(std::uint32_t colour) { return static_cast<float>(colour) / 255.0f * 2.0f - 1.0f; }

template <typename T>
T SignedComponent(float value, float scale) {
    return static_cast<T>(std::lround(std::clamp(value, -1.0f, 1.0f) * scale));
}

void EncodeBlocks(std::span<const std::uint32_t> argb, Image& image) {
    std::uint32_t block[16];
    const std::uint32_t width = image.Width(), height = image.Height();
    for (std::uint32_t by = 0; by < image.Rows(); ++by) {
        std::uint8_t* row = image.Row(by);
        for (std::uint32_t bx = 0; bx * 4 < width; ++bx) {
            // Pixels past the edge repeat the last row and column.
            for (std::uint32_t y = 0; y < 4; ++y)
                for (std::uint32_t x = 0; x < 4; ++x)
                    block[y * 4 + x] = argb[std::min(by * 4 + y, height - 1) * width + std::min(bx * 4 + x, width - 1)];
            EncodeDxtBlock(image.PixelFormat(), block, row + bx * LayoutOf(image.PixelFormat()).blockBytes);
        }
    }
}

std::uint32_t DecodePixel(Format format, const std::uint8_t* p) {
    switch (format) {
    case Format::A8R8G8B8: return LoadU32(p);
    case Format::X8R8G8B8: return LoadU32(p) | 0xFF000000u;
    case Format::A8: return static_cast<std::uint32_t>(p[0]) << 24;
    case Format::V8U8: {
        const float u = std::max(-1.0f, static_cast<std::int8_t>(p[0]) / 127.0f);
        const float v = std::max(-1.0f, static_cast<std::int8_t>(p[1]) / 127.0f);
        return 0xFF000000u | BiasedFromSigned(u) << 16 | BiasedFromSigned(v) << 8 | 0xFF;
    }
    case Format::V16U16: {
        std::int16_t uv[2];
        std::memcpy(uv, p, 4);
        const float u = std::max(-1.0f, uv[0] / 32767.0f), v = std::max(-1.0f, uv[1] / 32767.0f);
        return 0xFF000000u | BiasedFromSigned(u) << 16 | BiasedFromSigned(v) << 8 | 0xFF;
    }
    default: return 0;
    }
}

void EncodePixel(Format format, std::uint32_t argb, std::uint8_t* p) {
    const float u = SignedFromBiased((argb >> 16) & 0xFF), v = SignedFromBiased((argb >> 8) & 0xFF);
    switch (format) {
    case Format::A8R8G8B8: StoreU32(p, argb); break;
    case Format::X8R8G8B8: StoreU32(p, argb | 0xFF000000u); break;
    case Format::A8: p[0] = static_cast<std::uint8_t>(argb >> 24); break;
    case Format::V8U8:
        p[0] = static_cast<std::uint8_t>(SignedComponent<std::int8_t>(u, 127.0f));
        p[1] = static_cast<std::uint8_t>(SignedComponent<std::int8_t>(v, 127.0f));
        break;
    case Format::V16U16: {
        const std::int16_t uv[2] = {SignedComponent<std::int16_t>(u, 32767.0f), SignedComponent<std::int16_t>(v, 32767.0f)};
        std::memcpy(p, uv, 4);
        break;
    }
    default: break;
    }
}

// A8R8G8B8 and X8R8G8B8 rows are already 0xAARRGGBB: copy them whole.
bool IsArgb(Format format) { return format == Format::A8R8G8B8 || format == Format::X8R8G8B8; }

void CopyArgbRows(const Image& from, Image& to) {
    const std::uint32_t alpha = to.PixelFormat() == Format::X8R8G8B8 || from.PixelFormat() == Format::X8R8G8B8 ? 0xFF000000u : 0;
    for (std::uint32_t y = 0; y < from.Height(); ++y) {
        std::memcpy(to.Row(y), from.Row(y), from.Pitch());
        if (alpha)
            for (std::uint32_t x = 0; x < from.Width(); ++x) to.Row(y)[x * 4 + 3] = 0xFF;
    }
}

}  // namespace

Image::Image(std::uint32_t width, std::uint32_t height, Format format) {
    if (!IsTextureFormat(format) || width == 0 || height == 0 || width > kMaxImageDimension ||
        height > kMaxImageDimension)
        return;
    width_ = width;
    height_ = height;
    format_ = format;
    pitch_ = RowPitch(format, width);
    rows_ = RowCount(format, height);
    bytes_.assign(pitch_ * rows_, 0);
}

std::uint32_t Image::Pixel(std::uint32_t x, std::uint32_t y) const { return LoadU32(Row(y) + x * 4); }

void Image::SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t argb) { StoreU32(Row(y) + x * 4, argb); }

std::vector<std::uint32_t> ToArgb(const Image& image) {
    if (image.Empty()) return {};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(image.Width()) * image.Height());
    if (IsArgb(image.PixelFormat())) {
        const bool opaque = image.PixelFormat() == Format::X8R8G8B8;
        for (std::uint32_t y = 0; y < image.Height(); ++y) {
            std::memcpy(&out[std::size_t(y) * image.Width()], image.Row(y), image.Pitch());
            if (opaque)
                for (std::uint32_t x = 0; x < image.Width(); ++x) out[std::size_t(y) * image.Width() + x] |= 0xFF000000u;
        }
        return out;
    }
    if (IsBlockCompressed(image.PixelFormat())) {
        // Rows are RowPitch() apart, so the level is one run of blocks; the
        // decoder writes bytes B, G, R, A, which is 0xAARRGGBB in memory.
        DecodeBlockCompressed(image.PixelFormat(), image.Row(0), image.Width(), image.Height(),
                              reinterpret_cast<std::uint8_t*>(out.data()));
        return out;
    }
    const std::uint32_t bytesPerPixel = LayoutOf(image.PixelFormat()).blockBytes;
    for (std::uint32_t y = 0; y < image.Height(); ++y)
        for (std::uint32_t x = 0; x < image.Width(); ++x)
            out[y * image.Width() + x] = DecodePixel(image.PixelFormat(), image.Row(y) + x * bytesPerPixel);
    return out;
}

Image FromArgb(std::span<const std::uint32_t> argb, std::uint32_t width, std::uint32_t height, Format format) {
    Image image(width, height, format);
    if (image.Empty() || argb.size() < static_cast<std::size_t>(width) * height) return {};
    if (IsBlockCompressed(format)) {
        EncodeBlocks(argb, image);
        return image;
    }
    const std::uint32_t bytesPerPixel = LayoutOf(format).blockBytes;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            EncodePixel(format, argb[y * width + x], image.Row(y) + x * bytesPerPixel);
    return image;
}

Image ConvertImage(const Image& image, Format format) {
    if (image.PixelFormat() == format) return image;
    if (IsArgb(image.PixelFormat()) && IsArgb(format)) {
        Image out(image.Width(), image.Height(), format);
        if (!out.Empty()) CopyArgbRows(image, out);
        return out;
    }
    return FromArgb(ToArgb(image), image.Width(), image.Height(), format);
}

}  // namespace gfx
