#include "platform/gfx/ImageCodec.h"

#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/gfx/DdsReader.h"

extern "C" {
#include <stb/stb_image.h>
}

namespace gfx {
namespace {

struct Signature {
    std::string_view magic;
    ImageFileFormat format;
};

constexpr std::array kSignatures{
    Signature{"\x89PNG\r\n\x1a\n", ImageFileFormat::Png}, Signature{"\xFF\xD8\xFF", ImageFileFormat::Jpg},
    Signature{"BM", ImageFileFormat::Bmp},                Signature{"GIF87a", ImageFileFormat::Gif},
    Signature{"GIF89a", ImageFileFormat::Gif},            Signature{"DDS ", ImageFileFormat::Dds},
};

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

std::optional<DecodedImage> DecodeDds(std::span<const std::uint8_t> bytes, std::string& error) {
    auto dds = ReadDds(bytes, error);
    if (!dds) return std::nullopt;
    DecodedImage decoded;
    decoded.info = {dds->levels[0].Width(), dds->levels[0].Height(), 1,
                    static_cast<std::uint32_t>(dds->levels.size()), dds->format, ImageFileFormat::Dds};
    decoded.levels = std::move(dds->levels);
    return decoded;
}

}  // namespace

std::optional<ImageFileFormat> DetectImageFileFormat(std::span<const std::uint8_t> bytes) {
    for (const Signature& s : kSignatures)
        if (bytes.size() >= s.magic.size() && std::memcmp(bytes.data(), s.magic.data(), s.magic.size()) == 0)
            return s.format;
    return std::nullopt;
}

Image ImageFromRgba(const std::uint8_t* rgba, std::uint32_t width, std::uint32_t height, Format format) {
    Image image(width, height, format);
    if (image.Empty()) return image;
    const std::uint8_t alphaForce = format == Format::X8R8G8B8 ? 0xFF : 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* source = rgba + static_cast<std::size_t>(y) * width * 4;
        std::uint8_t* dest = image.Row(y);
        // Bytes R G B A become B G R A (0xAARRGGBB in memory).
        for (std::uint32_t x = 0; x < width; ++x, source += 4, dest += 4) {
            dest[0] = source[2];
            dest[1] = source[1];
            dest[2] = source[0];
            dest[3] = source[3] | alphaForce;
        }
    }
    return image;
}

std::optional<PictureSize> ReadPictureSize(std::span<const std::uint8_t> bytes) {
    if (DetectImageFileFormat(bytes) == ImageFileFormat::Dds) return ReadDdsSize(bytes);
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels) ||
        width <= 0 || height <= 0)
        return std::nullopt;
    return PictureSize{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

std::optional<DecodedImage> DecodeImage(std::span<const std::uint8_t> bytes, std::string& error) {
    const auto detected = DetectImageFileFormat(bytes);
    if (detected == ImageFileFormat::Dds) return DecodeDds(bytes, error);
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        error = "no picture data";
        return std::nullopt;
    }
    const auto* data = bytes.data();
    const int length = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
        error = std::string("unreadable picture: ") + stbi_failure_reason();
        return std::nullopt;
    }
    if (width <= 0 || height <= 0 || width > static_cast<int>(kMaxImageDimension) ||
        height > static_cast<int>(kMaxImageDimension)) {
        error = "picture size " + std::to_string(width) + "x" + std::to_string(height) + " is not supported";
        return std::nullopt;
    }
    std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_from_memory(data, length, &width, &height, &channels, 4));
    if (!pixels) {
        error = std::string("damaged picture: ") + stbi_failure_reason();
        return std::nullopt;
    }
    const bool hasAlpha = channels == 2 || channels == 4;
    const Format format = hasAlpha ? Format::A8R8G8B8 : Format::X8R8G8B8;
    DecodedImage decoded;
    decoded.info = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 1, 1, format,
                    detected.value_or(ImageFileFormat::Tga)};
    decoded.levels.push_back(ImageFromRgba(pixels.get(), decoded.info.width, decoded.info.height, format));
    return decoded;
}

}  // namespace gfx
