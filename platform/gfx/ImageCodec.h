#pragma once
// Decodes picture files from memory: PNG, JPEG, BMP, TGA and GIF through
// stb_image, DDS through our own reader. The result keeps the file's own
// size and format (the "image information" callers ask for); pictures other
// than DDS decode to A8R8G8B8 when they have alpha and X8R8G8B8 otherwise.
// Pictures larger than kMaxImageDimension on a side are refused before they
// are decoded.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"

namespace gfx {

// The kind of file a picture came from; the first values are D3DX's.
enum class ImageFileFormat : std::uint32_t { Bmp = 0, Jpg = 1, Tga = 2, Png = 3, Dds = 4, Gif = 100 };

struct ImageInfo {
    std::uint32_t width = 0, height = 0, depth = 1, mipLevels = 1;
    Format format = Format::Unknown;
    ImageFileFormat fileFormat = ImageFileFormat::Bmp;
};

struct DecodedImage {
    ImageInfo info;
    std::vector<Image> levels;  // a DDS file may bring its mip levels; others one
};

// The file's kind from its first bytes; nothing when no known signature
// matches (TGA has none and is tried last).
std::optional<ImageFileFormat> DetectImageFileFormat(std::span<const std::uint8_t> bytes);

// The picture's width and height as its header states them, read without
// decoding anything; nothing when the header is not one we read.
std::optional<PictureSize> ReadPictureSize(std::span<const std::uint8_t> bytes);

// Decodes the picture (the first frame of a GIF); nothing, with the reason in
// error, for a damaged or unsupported file.
std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes, std::string& error);

// 8-bit RGBA pixels (as stb_image gives them) to an A8R8G8B8 or X8R8G8B8 image.
Image ImageFromRgba(const std::uint8_t* rgba, std::uint32_t width, std::uint32_t height, Format format);

}  // namespace gfx
