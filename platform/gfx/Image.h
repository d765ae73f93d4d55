#pragma once
// A picture in memory: width, height, pixel format and rows stored top row
// first, `Pitch()` bytes apart (a row of 4x4 blocks for DXT formats). The
// loaders decode files into images, size and filter them as the texture
// loader asks, and the device uploads them; nothing here needs a GL context.
//
// Conversions between formats pass through 0xAARRGGBB pixels. Signed formats
// (V8U8, V16U16) are read into and written from biased colours: a component
// c of -1..1 is the colour value (c + 1) / 2, so a normal map computed into
// A8R8G8B8 converts into the du/dv map V8U8 that bump mapping reads.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/gfx/Formats.h"

namespace gfx {

// Largest width or height of a picture or texture we make. Larger sizes are
// refused rather than allocated.
inline constexpr std::uint32_t kMaxImageDimension = 8192;

// A picture's size as a file's header states it.
struct PictureSize {
    std::uint32_t width = 0, height = 0;
    // Bytes of the picture decoded to 32-bit pixels.
    std::uint64_t DecodedBytes() const { return std::uint64_t(width) * height * 4; }
};

class Image {
public:
    Image() = default;
    // A zero-filled image. Empty when the format cannot be a texture or a side
    // is 0 or above kMaxImageDimension.
    Image(std::uint32_t width, std::uint32_t height, Format format);

    bool Empty() const { return bytes_.empty(); }
    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    Format PixelFormat() const { return format_; }
    std::size_t Pitch() const { return pitch_; }
    std::uint32_t Rows() const { return rows_; }  // rows of pixels, or of 4x4 blocks

    std::uint8_t* Row(std::uint32_t row) { return bytes_.data() + row * pitch_; }
    const std::uint8_t* Row(std::uint32_t row) const { return bytes_.data() + row * pitch_; }
    std::span<std::uint8_t> Bytes() { return bytes_; }
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

    // Pixel access for A8R8G8B8 and X8R8G8B8 images (0xAARRGGBB).
    std::uint32_t Pixel(std::uint32_t x, std::uint32_t y) const;
    void SetPixel(std::uint32_t x, std::uint32_t y, std::uint32_t argb);

private:
    std::uint32_t width_ = 0, height_ = 0, rows_ = 0;
    Format format_ = Format::Unknown;
    std::size_t pitch_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// The pixels of an image as 0xAARRGGBB, row by row (X8R8G8B8 reads alpha as
// 0xFF, A8 as black with its alpha). Empty for an empty image.
std::vector<std::uint32_t> ToArgb(const Image& image);

// An image of the given format from 0xAARRGGBB pixels (width x height of
// them); empty when the format cannot be a texture.
Image FromArgb(std::span<const std::uint32_t> argb, std::uint32_t width, std::uint32_t height, Format format);

// The image in another format; the same image when the format is the same.
Image ConvertImage(const Image& image, Format format);

}  // namespace gfx
