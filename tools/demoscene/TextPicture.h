#pragma once
// Text set into a picture at build time with stb_truetype, from a TrueType
// font file read from disk.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TextPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // 0..255 coverage per pixel, top row first.
    std::vector<std::uint8_t> coverage;
};

// `text` (ASCII) at `pixelHeight` with `margin` empty pixels around it;
// empty when the font file cannot be read.
TextPicture SetText(const std::string& fontPath, std::string_view text, float pixelHeight, std::uint32_t margin);
