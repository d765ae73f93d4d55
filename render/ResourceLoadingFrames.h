#pragma once
// Animated pictures: the encoded frames a document carries for a link
// (FrameData), and how the decoded frames that sprites and particle systems
// draw (SpriteFrameInfo.h) are made from them (CreateFrameTextures).
// SpriteFrameInfo::Init, which reads a texture set, is defined here, beside
// the texture sets of the resource manager.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/crt/WideString.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "render/SpriteFrameInfo.h"

// One encoded frame: a whole picture file. Copies share the bytes.
struct FrameData {
    std::int32_t size = 0;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    float frameTime = 0.0f;
    kxi_string name; // never stored in documents

    std::span<const std::uint8_t> Bytes() const
    {
        if (!bytes)
            return {};
        return std::span<const std::uint8_t>(*bytes);
    }
    void SetBytes(std::vector<std::uint8_t> data);

    // The whole file at `path` becomes the frame's bytes (at most
    // kMaxResourceFileBytes); a file that cannot be read leaves it empty.
    void ReadFile(const kxi_string& path);
};

// The D3DX filter values the callers pass.
inline constexpr std::uint32_t kFrameFilterNone = 1;
inline constexpr std::uint32_t kFrameFilterDefault = 0xFFFFFFFFu;

// Makes one texture per frame (the format DXT1 for a GIF's frames, the
// picture's own otherwise; `filter` as given) and the frame times. The
// sizes and scales follow the decoded pictures: with filter none the picture
// keeps its size in the top-left part of a larger texture and the scales
// tell how much of it it covers; with any other filter it is stretched over
// the whole texture and both scales are 1. Without frames, or when the first
// frame cannot be made, `list` is left without textures and with its
// constructor's sizes.
void CreateFrameTextures(SpriteFrameInfo& list, std::span<const FrameData> frames, bool gif, std::uint32_t filter);
