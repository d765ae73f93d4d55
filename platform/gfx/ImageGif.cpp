#include "platform/gfx/ImageGif.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/gfx/ImageCodec.h"

extern "C" {
#include <stb/stb_image.h>
}

namespace gfx {
namespace {

constexpr std::uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;

class GifCursor {
public:
    explicit GifCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Skip(std::size_t count) {
        if (count > bytes_.size() - at_) return false;
        at_ += count;
        return true;
    }
    std::optional<std::uint8_t> Byte() {
        if (at_ >= bytes_.size()) return std::nullopt;
        return bytes_[at_++];
    }
    std::optional<std::uint16_t> Word() {
        if (bytes_.size() - at_ < 2) return std::nullopt;
        const auto value = static_cast<std::uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    // Data sub-blocks: a size byte and that many bytes, until a size of 0.
    bool SkipSubBlocks() {
        for (;;) {
            const auto size = Byte();
            if (!size) return false;
            if (*size == 0) return true;
            if (!Skip(*size)) return false;
        }
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

std::size_t ColourTableBytes(std::uint8_t flags) { return (flags & 0x80) ? 3u * (2u << (flags & 7)) : 0; }

bool SkipImage(GifCursor& cursor) {
    if (!cursor.Skip(8)) return false;  // left, top, width, height
    const auto flags = cursor.Byte();
    return flags && cursor.Skip(ColourTableBytes(*flags)) && cursor.Skip(1) && cursor.SkipSubBlocks();
}

struct StbFree {
    void operator()(void* p) const { stbi_image_free(p); }
};

}  // namespace

std::optional<GifLayout> ScanGif(std::span<const std::uint8_t> bytes) {
    if (DetectImageFileFormat(bytes) != ImageFileFormat::Gif) return std::nullopt;
    GifCursor cursor(bytes);
    cursor.Skip(6);
    const auto width = cursor.Word(), height = cursor.Word();
    const auto flags = cursor.Byte();
    if (!width || !height || !flags || !cursor.Skip(2) || !cursor.Skip(ColourTableBytes(*flags))) return std::nullopt;

    GifLayout layout{*width, *height, 0};
    // A file cut short after some frames still shows those frames.
    for (auto block = cursor.Byte(); block && *block != kTrailer; block = cursor.Byte()) {
        const bool whole = *block == kImage       ? SkipImage(cursor)
                           : *block == kExtension ? cursor.Skip(1) && cursor.SkipSubBlocks()
                                                  : false;
        if (*block == kImage) ++layout.frameCount;
        if (!whole) break;
    }
    if (layout.frameCount == 0) return std::nullopt;
    return layout;
}

std::optional<std::vector<GifFrame>> DecodeGifFrames(std::span<const std::uint8_t> bytes, std::string& error) {
    const auto layout = ScanGif(bytes);
    if (!layout || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        error = "not a GIF picture";
        return std::nullopt;
    }
    if (layout->width == 0 || layout->height == 0 || layout->width > kMaxImageDimension ||
        layout->height > kMaxImageDimension ||
        std::size_t{layout->width} * layout->height * 4 * layout->frameCount > kMaxGifFrameBytes) {
        error = "GIF picture too large";
        return std::nullopt;
    }
    int* delays = nullptr;
    int width = 0, height = 0, frames = 0, channels = 0;
    std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_gif_from_memory(
        bytes.data(), static_cast<int>(bytes.size()), &delays, &width, &height, &frames, &channels, 4));
    std::unique_ptr<int, StbFree> delayHolder(delays);
    if (!pixels || width <= 0 || height <= 0 || frames <= 0 || static_cast<std::uint32_t>(frames) > layout->frameCount ||
        width > static_cast<int>(kMaxImageDimension) || height > static_cast<int>(kMaxImageDimension)) {
        error = std::string("damaged GIF picture: ") + (pixels ? "bad frames" : stbi_failure_reason());
        return std::nullopt;
    }
    std::vector<GifFrame> result;
    const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 4;
    for (int i = 0; i < frames; ++i) {
        GifFrame frame;
        frame.image = ImageFromRgba(pixels.get() + frameBytes * i, static_cast<std::uint32_t>(width),
                                    static_cast<std::uint32_t>(height), Format::A8R8G8B8);
        frame.delayMs = delays ? static_cast<std::uint32_t>(std::max(delays[i], 0)) : 0;
        result.push_back(std::move(frame));
    }
    return result;
}

}  // namespace gfx
