#include "tools/demoscene/TextPicture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wcast-qual"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#pragma GCC diagnostic ignored "-Wshadow"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuseless-cast" // a warning only gcc has
#endif
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>
#pragma GCC diagnostic pop

TextPicture SetText(const std::string& fontPath, std::string_view text, float pixelHeight, std::uint32_t margin)
{
    std::ifstream file(fontPath, std::ios::binary);
    const std::vector<unsigned char> font((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    stbtt_fontinfo info;
    if (font.empty() || !stbtt_InitFont(&info, font.data(), stbtt_GetFontOffsetForIndex(font.data(), 0)))
        return {};
    const float scale = stbtt_ScaleForPixelHeight(&info, pixelHeight);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    const int baseline = static_cast<int>(std::lround(static_cast<float>(ascent) * scale));
    const int lineHeight = static_cast<int>(std::lround(static_cast<float>(ascent - descent) * scale));

    // The pen's advance over the text gives the width.
    float pen = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&info, text[i], &advance, &bearing);
        pen += static_cast<float>(advance) * scale;
        if (i + 1 < text.size())
            pen += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(&info, text[i], text[i + 1]));
    }
    TextPicture picture;
    picture.width = static_cast<std::uint32_t>(std::ceil(pen)) + 2 * margin;
    picture.height = static_cast<std::uint32_t>(lineHeight) + 2 * margin;
    picture.coverage.assign(std::size_t(picture.width) * picture.height, 0);

    pen = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBox(&info, text[i], scale, scale, &x0, &y0, &x1, &y1);
        const int glyphWidth = x1 - x0, glyphHeight = y1 - y0;
        if (glyphWidth > 0 && glyphHeight > 0) {
            std::vector<unsigned char> glyph(std::size_t(glyphWidth) * std::size_t(glyphHeight));
            stbtt_MakeCodepointBitmap(&info, glyph.data(), glyphWidth, glyphHeight, glyphWidth, scale, scale, text[i]);
            const int left = static_cast<int>(margin) + static_cast<int>(std::lround(pen)) + x0;
            const int top = static_cast<int>(margin) + baseline + y0;
            for (int y = 0; y < glyphHeight; ++y)
                for (int x = 0; x < glyphWidth; ++x) {
                    const int px = left + x, py = top + y;
                    if (px < 0 || py < 0 || px >= int(picture.width) || py >= int(picture.height))
                        continue;
                    std::uint8_t& cell = picture.coverage[std::size_t(py) * picture.width + std::size_t(px)];
                    cell = std::max(cell, glyph[std::size_t(y) * std::size_t(glyphWidth) + std::size_t(x)]);
                }
        }
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&info, text[i], &advance, &bearing);
        pen += static_cast<float>(advance) * scale;
        if (i + 1 < text.size())
            pen += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(&info, text[i], text[i + 1]));
    }
    return picture;
}
