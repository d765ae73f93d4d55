#pragma once
// The frames of an animated GIF, each composed onto the full picture as the
// file's disposal rules say, with its delay. The file's structure is walked
// first to count the frames, so that a small file cannot make us allocate
// more than kMaxGifFrameBytes of frames.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Image.h"

namespace gfx {

inline constexpr std::size_t kMaxGifFrameBytes = 256u << 20;

struct GifFrame {
    Image image;                  // A8R8G8B8, the picture's full size
    std::uint32_t delayMs = 0;    // as stored (hundredths of a second) x 10
};

struct GifLayout {
    std::uint32_t width = 0, height = 0, frameCount = 0;
};

// Walks the blocks of a GIF file; nothing when it is no GIF or its blocks
// leave the file before the first frame.
std::optional<GifLayout> ScanGif(std::span<const std::uint8_t> bytes);

std::optional<std::vector<GifFrame>> DecodeGifFrames(std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace gfx
