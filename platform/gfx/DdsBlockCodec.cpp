#include "platform/gfx/DdsBlockCodec.h"

#include <algorithm>
#include <array>
#include <cstring>

extern "C" {
#include <stb/stb_dxt.h>
}

namespace gfx {
namespace {

struct Rgb {
    std::uint32_t r, g, b;
};

Rgb From565(std::uint16_t c) {
    const std::uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

std::uint16_t To565(std::uint32_t argb) {
    const std::uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return static_cast<std::uint16_t>(((r * 31 + 127) / 255) << 11 | ((g * 63 + 127) / 255) << 5 | ((b * 31 + 127) / 255));
}

std::uint32_t Argb(std::uint32_t a, Rgb c) { return a << 24 | c.r << 16 | c.g << 8 | c.b; }

Rgb Mix(Rgb a, Rgb b, std::uint32_t wa, std::uint32_t wb, std::uint32_t total) {
    return {(a.r * wa + b.r * wb) / total, (a.g * wa + b.g * wb) / total, (a.b * wa + b.b * wb) / total};
}

std::uint16_t LoadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// The colour part: pixels get colour and alpha 0xFF (or 0 for the
// transparent entry of a three-colour DXT1 block).
void DecodeColour(const std::uint8_t* block, bool allowThreeColour, std::uint32_t pixels[16]) {
    const std::uint16_t c0 = LoadU16(block), c1 = LoadU16(block + 2);
    const Rgb e0 = From565(c0), e1 = From565(c1);
    std::array<std::uint32_t, 4> palette;
    palette[0] = Argb(0xFF, e0);
    palette[1] = Argb(0xFF, e1);
    if (c0 > c1 || !allowThreeColour) {
        palette[2] = Argb(0xFF, Mix(e0, e1, 2, 1, 3));
        palette[3] = Argb(0xFF, Mix(e0, e1, 1, 2, 3));
    } else {
        palette[2] = Argb(0xFF, Mix(e0, e1, 1, 1, 2));
        palette[3] = 0;
    }
    for (int i = 0; i < 16; ++i) pixels[i] = palette[(block[4 + i / 4] >> (2 * (i % 4))) & 3];
}

void SetAlpha(std::uint32_t& pixel, std::uint32_t alpha) { pixel = (pixel & 0x00FFFFFFu) | alpha << 24; }

void DecodeExplicitAlpha(const std::uint8_t* block, std::uint32_t pixels[16]) {
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t nibble = (block[i / 2] >> (4 * (i % 2))) & 0xF;
        SetAlpha(pixels[i], nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const std::uint8_t* block, std::uint32_t pixels[16]) {
    const std::uint32_t a0 = block[0], a1 = block[1];
    std::array<std::uint32_t, 8> alpha{a0, a1};
    if (a0 > a1) {
        for (std::uint32_t i = 1; i < 7; ++i) alpha[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (std::uint32_t i = 1; i < 5; ++i) alpha[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        alpha[6] = 0;
        alpha[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) SetAlpha(pixels[i], alpha[(bits >> (3 * i)) & 7]);
}

void ToRgba(const std::uint32_t pixels[16], std::uint8_t rgba[64]) {
    for (int i = 0; i < 16; ++i) {
        rgba[i * 4 + 0] = static_cast<std::uint8_t>(pixels[i] >> 16);
        rgba[i * 4 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        rgba[i * 4 + 2] = static_cast<std::uint8_t>(pixels[i]);
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(pixels[i] >> 24);
    }
}

std::uint32_t Distance(std::uint32_t a, std::uint32_t b) {
    std::uint32_t sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        sum += static_cast<std::uint32_t>(d * d);
    }
    return sum;
}

// A DXT1 block in its three-colour form: the two most distant opaque pixels
// are the ends, their midpoint the third colour, index 3 transparent.
void EncodeThreeColourBlock(const std::uint32_t pixels[16], std::uint8_t* block) {
    std::uint32_t lo = 0, hi = 0, best = 0;
    bool anyOpaque = false;
    for (int i = 0; i < 16; ++i) {
        if ((pixels[i] >> 24) < 128) continue;
        if (!anyOpaque) lo = hi = pixels[i];
        anyOpaque = true;
        for (int j = i + 1; j < 16; ++j) {
            if ((pixels[j] >> 24) < 128) continue;
            if (const std::uint32_t d = Distance(pixels[i], pixels[j]); d > best) {
                best = d;
                lo = pixels[i];
                hi = pixels[j];
            }
        }
    }
    std::uint16_t c0 = To565(lo), c1 = To565(hi);
    if (c0 > c1) std::swap(c0, c1);  // c0 <= c1 selects the three-colour form
    std::memcpy(block, &c0, 2);
    std::memcpy(block + 2, &c1, 2);
    const Rgb e0 = From565(c0), e1 = From565(c1);
    const std::uint32_t palette[3] = {Argb(0xFF, e0), Argb(0xFF, e1), Argb(0xFF, Mix(e0, e1, 1, 1, 2))};
    std::memset(block + 4, 0, 4);
    for (int i = 0; i < 16; ++i) {
        std::uint32_t index = 3;
        if ((pixels[i] >> 24) >= 128) {
            index = 0;
            for (std::uint32_t k = 1; k < 3; ++k)
                if (Distance(pixels[i], palette[k]) < Distance(pixels[i], palette[index])) index = k;
        }
        block[4 + i / 4] |= static_cast<std::uint8_t>(index << (2 * (i % 4)));
    }
}

bool HasTransparentPixel(const std::uint32_t pixels[16]) {
    return std::any_of(pixels, pixels + 16, [](std::uint32_t p) { return (p >> 24) < 128; });
}

void EncodeExplicitAlpha(const std::uint32_t pixels[16], std::uint8_t* block) {
    std::memset(block, 0, 8);
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t nibble = ((pixels[i] >> 24) * 15 + 127) / 255;
        block[i / 2] |= static_cast<std::uint8_t>(nibble << (4 * (i % 2)));
    }
}

}  // namespace

void DecodeDxtBlock(Format format, const std::uint8_t* block, std::uint32_t pixels[16]) {
    switch (format) {
    case Format::DXT1: DecodeColour(block, true, pixels); break;
    case Format::DXT3:
        DecodeColour(block + 8, false, pixels);
        DecodeExplicitAlpha(block, pixels);
        break;
    case Format::DXT5:
        DecodeColour(block + 8, false, pixels);
        DecodeInterpolatedAlpha(block, pixels);
        break;
    default: std::fill(pixels, pixels + 16, 0u); break;
    }
}

void EncodeDxtBlock(Format format, const std::uint32_t pixels[16], std::uint8_t* block) {
    std::uint8_t rgba[64];
    ToRgba(pixels, rgba);
    switch (format) {
    case Format::DXT1:
        if (HasTransparentPixel(pixels))
            EncodeThreeColourBlock(pixels, block);
        else
            stb_compress_dxt_block(block, rgba, 0, STB_DXT_HIGHQUAL);
        break;
    case Format::DXT3:
        EncodeExplicitAlpha(pixels, block);
        stb_compress_dxt_block(block + 8, rgba, 0, STB_DXT_HIGHQUAL);
        break;
    case Format::DXT5: stb_compress_dxt_block(block, rgba, 1, STB_DXT_HIGHQUAL); break;
    default: break;
    }
}

}  // namespace gfx
