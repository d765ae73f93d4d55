#pragma once
// Plays a scene document without a window: a headless device of the given
// size stands for one monitor, the player steps the show from time 0 in
// frame periods, and the last frame's pixels are returned. The scene tool's
// "render" command and the tests use it; the frames are the player's own.

#include <cstdint>
#include <string>
#include <vector>

#include "player/WallpaperPlayer.h"

namespace player {

struct HeadlessRenderOptions {
    std::uint32_t width = 640;
    std::uint32_t height = 360;
    double seconds = 0.0;
    int picturePosition = 1;
    std::uint32_t framePeriodMs = 30;
};

struct HeadlessFrame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, top row first
};

// Renders the document that `source` opens. Returns false with `error` set
// when no device could be made or the document was refused.
bool RenderHeadless(const DocumentSource& source, const HeadlessRenderOptions& options, HeadlessFrame& frame,
                    std::string& error);

// Writes `frame` as an opaque PNG; false with `error` set on failure.
bool WriteFramePng(const HeadlessFrame& frame, const std::string& path, std::string& error);

} // namespace player
