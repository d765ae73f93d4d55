#include "platform/gfx/TextureLoader.h"

#include <algorithm>

namespace gfx {
namespace {

std::uint32_t ResolveSize(std::uint32_t asked, std::uint32_t picture) {
    if (asked == 0 || asked == kD3dxDefault) return std::min(NextPowerOfTwo(picture), kMaxImageDimension);
    if (asked == kD3dxDefaultNonPow2 || asked == kD3dxFromFile) return picture;
    return std::min(asked, kMaxImageDimension);
}

std::uint32_t ResolveLevels(std::uint32_t asked, std::uint32_t fileLevels, std::uint32_t width, std::uint32_t height) {
    const std::uint32_t full = FullMipCount(width, height);
    if (asked == 0 || asked == kD3dxDefault) return full;
    if (asked == kD3dxFromFile) return std::clamp(fileLevels, 1u, full);
    return std::min(asked, full);
}

// The file's own levels serve when nothing about them has to change.
bool FileLevelsFit(const DecodedImage& picture, std::uint32_t width, std::uint32_t height, Format format) {
    const Image& top = picture.levels[0];
    return top.Width() == width && top.Height() == height && top.PixelFormat() == format;
}

Image AsArgb(const Image& image) {
    if (image.PixelFormat() == Format::A8R8G8B8 || image.PixelFormat() == Format::X8R8G8B8) return image;
    return ConvertImage(image, Format::A8R8G8B8);
}

}  // namespace

std::uint32_t NextPowerOfTwo(std::uint32_t n) {
    if (n == 0) return 0;
    --n;
    for (std::uint32_t shift = 1; shift < 32; shift <<= 1) n |= n >> shift;
    return n + 1;
}

std::optional<TextureImage> PrepareTextureImage(std::span<const std::uint8_t> bytes, const TextureLoadOptions& options,
                                                std::string& error) {
    const auto picture = DecodeImage(bytes, error);
    if (!picture) return std::nullopt;
    return PrepareTextureImage(*picture, options, error);
}

std::optional<TextureImage> PrepareTextureImage(const DecodedImage& picture, const TextureLoadOptions& options,
                                                std::string& error) {
    const auto filter = FilterFromD3dx(options.filter, ImageFilter::Triangle);
    const auto mipFilter = FilterFromD3dx(options.mipFilter, ImageFilter::Box);
    if (!filter || !mipFilter) {
        error = "unknown filter";
        return std::nullopt;
    }
    const Format format = options.format == Format::Unknown ? picture.info.format : options.format;
    if (!IsTextureFormat(format)) {
        error = "texture format " + std::to_string(static_cast<std::uint32_t>(format)) + " is not supported";
        return std::nullopt;
    }
    if (picture.levels.empty() || picture.levels[0].Empty()) {
        error = "no picture";
        return std::nullopt;
    }
    const std::uint32_t width = ResolveSize(options.width, picture.info.width);
    const std::uint32_t height = ResolveSize(options.height, picture.info.height);
    const std::uint32_t levelCount = ResolveLevels(options.mipLevels, picture.info.mipLevels, width, height);

    TextureImage texture{picture.info, {}};
    Image argb;  // the level last made, as 0xAARRGGBB, for the next one
    if (FileLevelsFit(picture, width, height, format)) {
        const std::size_t kept = std::min<std::size_t>(levelCount, picture.levels.size());
        texture.levels.assign(picture.levels.begin(), picture.levels.begin() + static_cast<std::ptrdiff_t>(kept));
        if (kept < levelCount) argb = AsArgb(texture.levels.back());
    } else {
        const Image& top = picture.levels[0];
        const bool isArgb = top.PixelFormat() == Format::A8R8G8B8 || top.PixelFormat() == Format::X8R8G8B8;
        argb = ResampleImage(isArgb ? top : AsArgb(top), width, height, *filter);
        // A single level of the picture's own format needs no second copy.
        if (levelCount == 1 && argb.PixelFormat() == format)
            texture.levels.push_back(std::move(argb));
        else
            texture.levels.push_back(ConvertImage(argb, format));
    }
    while (texture.levels.size() < levelCount) {
        argb = NextMipLevel(argb, *mipFilter);
        texture.levels.push_back(ConvertImage(argb, format));
    }
    if (std::any_of(texture.levels.begin(), texture.levels.end(), [](const Image& level) { return level.Empty(); })) {
        error = "texture could not be made";
        return std::nullopt;
    }
    return texture;
}

}  // namespace gfx
