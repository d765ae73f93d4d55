#include "platform/gfx/DdsReader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace gfx {
namespace {

constexpr std::uint32_t kMagic = MakeFourCC('D', 'D', 'S', ' ');
constexpr std::size_t kHeaderSize = 124;
constexpr std::size_t kPixelFormatAt = 4 + 72;  // in the file, after the magic

// Header flags and pixel-format flags.
constexpr std::uint32_t kFlagMipMapCount = 0x20000;
constexpr std::uint32_t kFlagDepth = 0x800000;
constexpr std::uint32_t kPfAlphaPixels = 0x1, kPfAlpha = 0x2, kPfFourCC = 0x4, kPfRgb = 0x40, kPfBumpDuDv = 0x80000;
constexpr std::uint32_t kCaps2CubeMap = 0x200, kCaps2Volume = 0x200000;
constexpr std::uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCapsMipMap = 0x400000;

struct PixelFormatFields {
    std::uint32_t flags, fourCC, bitCount, rMask, gMask, bMask, aMask;
};

// Uncompressed layouts recognised by their bit masks.
struct MaskedFormat {
    std::uint32_t flagsAnyOf, bitCount, rMask, gMask, bMask, aMask;
    Format format;
};

constexpr std::array kMaskedFormats{
    MaskedFormat{kPfRgb, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, Format::A8R8G8B8},
    MaskedFormat{kPfRgb, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00000000, Format::X8R8G8B8},
    MaskedFormat{kPfAlpha | kPfAlphaPixels, 8, 0, 0, 0, 0xFF, Format::A8},
    MaskedFormat{kPfBumpDuDv, 16, 0x00FF, 0xFF00, 0, 0, Format::V8U8},
    MaskedFormat{kPfBumpDuDv, 32, 0x0000FFFF, 0xFFFF0000, 0, 0, Format::V16U16},
};

// Formats stored by their own number in the FourCC field.
constexpr std::array kFourCCFormats{Format::A8R8G8B8, Format::X8R8G8B8, Format::A8, Format::V8U8,
                                    Format::V16U16,   Format::DXT1,     Format::DXT3, Format::DXT5};

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

std::optional<Format> FormatOf(const PixelFormatFields& pf) {
    if (pf.flags & kPfFourCC) {
        for (Format format : kFourCCFormats)
            if (static_cast<std::uint32_t>(format) == pf.fourCC) return format;
        return std::nullopt;
    }
    for (const MaskedFormat& m : kMaskedFormats) {
        const std::uint32_t aMask = (pf.flags & (kPfAlphaPixels | kPfAlpha)) ? pf.aMask : 0;
        if ((pf.flags & m.flagsAnyOf) && pf.bitCount == m.bitCount && pf.rMask == m.rMask && pf.gMask == m.gMask &&
            pf.bMask == m.bMask && aMask == m.aMask)
            return m.format;
    }
    return std::nullopt;
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) { std::memcpy(out.data() + at, &value, 4); }

}  // namespace

bool IsDds(std::span<const std::uint8_t> bytes) { return bytes.size() >= 4 && U32(bytes, 0) == kMagic; }

namespace {

bool HasDdsHeader(std::span<const std::uint8_t> bytes) {
    return IsDds(bytes) && bytes.size() >= 4 + kHeaderSize && U32(bytes, 4) == kHeaderSize && U32(bytes, kPixelFormatAt) == 32;
}

}  // namespace

std::optional<PictureSize> ReadDdsSize(std::span<const std::uint8_t> bytes) {
    if (!HasDdsHeader(bytes)) return std::nullopt;
    return PictureSize{U32(bytes, 16), U32(bytes, 12)};
}

std::optional<DdsImage> ReadDds(std::span<const std::uint8_t> bytes, std::string& error) {
    if (!HasDdsHeader(bytes)) {
        error = "not a DDS file";
        return std::nullopt;
    }
    const std::uint32_t flags = U32(bytes, 8), height = U32(bytes, 12), width = U32(bytes, 16);
    const std::uint32_t caps2 = U32(bytes, 4 + 108);
    if ((caps2 & (kCaps2CubeMap | kCaps2Volume)) || ((flags & kFlagDepth) && U32(bytes, 24) > 1)) {
        error = "DDS cube maps and volumes are not supported";
        return std::nullopt;
    }
    if (width == 0 || height == 0 || width > kMaxImageDimension || height > kMaxImageDimension) {
        error = "DDS size " + std::to_string(width) + "x" + std::to_string(height) + " is not supported";
        return std::nullopt;
    }
    const PixelFormatFields pf{U32(bytes, kPixelFormatAt + 4),  U32(bytes, kPixelFormatAt + 8),
                               U32(bytes, kPixelFormatAt + 12), U32(bytes, kPixelFormatAt + 16),
                               U32(bytes, kPixelFormatAt + 20), U32(bytes, kPixelFormatAt + 24),
                               U32(bytes, kPixelFormatAt + 28)};
    const auto format = FormatOf(pf);
    if (!format) {
        error = "DDS pixel format is not supported";
        return std::nullopt;
    }
    std::uint32_t levelCount = (flags & kFlagMipMapCount) ? U32(bytes, 28) : 1;
    levelCount = std::clamp(levelCount, 1u, FullMipCount(width, height));

    DdsImage dds;
    dds.format = *format;
    std::size_t at = 4 + kHeaderSize;
    for (std::uint32_t level = 0; level < levelCount; ++level) {
        const std::uint32_t w = LevelSize(width, level), h = LevelSize(height, level);
        const std::size_t size = RowPitch(*format, w) * RowCount(*format, h);
        if (size > bytes.size() - at) {
            if (level > 0) break;  // keep the levels that are whole
            error = "DDS file is truncated";
            return std::nullopt;
        }
        Image image(w, h, *format);
        std::memcpy(image.Bytes().data(), bytes.data() + at, size);
        dds.levels.push_back(std::move(image));
        at += size;
    }
    return dds;
}

std::vector<std::uint8_t> WriteDds(const std::vector<Image>& levels) {
    if (levels.empty() || levels[0].Empty()) return {};
    const Image& top = levels[0];
    std::vector<std::uint8_t> out(4 + kHeaderSize, 0);
    PutU32(out, 0, kMagic);
    PutU32(out, 4, kHeaderSize);
    PutU32(out, 8, 0x1 | 0x2 | 0x4 | 0x1000 | kFlagMipMapCount);
    PutU32(out, 12, top.Height());
    PutU32(out, 16, top.Width());
    PutU32(out, 28, static_cast<std::uint32_t>(levels.size()));
    PutU32(out, kPixelFormatAt, 32);
    const Format format = top.PixelFormat();
    if (IsBlockCompressed(format)) {
        PutU32(out, kPixelFormatAt + 4, kPfFourCC);
        PutU32(out, kPixelFormatAt + 8, static_cast<std::uint32_t>(format));
    } else {
        for (const MaskedFormat& m : kMaskedFormats) {
            if (m.format != format) continue;
            PutU32(out, kPixelFormatAt + 4, m.flagsAnyOf | (m.aMask ? kPfAlphaPixels : 0));
            PutU32(out, kPixelFormatAt + 12, m.bitCount);
            PutU32(out, kPixelFormatAt + 16, m.rMask);
            PutU32(out, kPixelFormatAt + 20, m.gMask);
            PutU32(out, kPixelFormatAt + 24, m.bMask);
            PutU32(out, kPixelFormatAt + 28, m.aMask);
            break;
        }
    }
    PutU32(out, 4 + 104, kCapsTexture | (levels.size() > 1 ? kCapsComplex | kCapsMipMap : 0));
    for (const Image& level : levels) out.insert(out.end(), level.Bytes().begin(), level.Bytes().end());
    return out;
}

}  // namespace gfx
