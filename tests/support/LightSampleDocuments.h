#pragma once
// Writer-made documents with the light variants, for the inspector's test
// and the fuzzer's seed corpus: one slide per light and stored version (the
// glass ball, the lake with a du/dv bump map kept under its GUID, the water
// ring) over a small stored picture, and the same document cut short.

#include <cstdint>
#include <vector>

#include "tests/support/SampleDocuments.h"

// The bytes of a DDS file holding one V8U8 level of width x height whose
// texel (x, y) is `dudv(x, y)` (du in the low byte).
template <class DuDv>
std::vector<std::uint8_t> V8U8Dds(std::uint32_t width, std::uint32_t height, DuDv&& dudv);

std::vector<SampleDocument> LightSampleDocuments();

// ---- implementation

template <class DuDv>
std::vector<std::uint8_t> V8U8Dds(std::uint32_t width, std::uint32_t height, DuDv&& dudv)
{
    std::vector<std::uint8_t> out(128, 0);
    const auto put = [&out](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            out[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    };
    put(0, 0x20534444u); // "DDS "
    put(4, 124);
    put(8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x8); // caps, height, width, pixel format, pitch
    put(12, height);
    put(16, width);
    put(20, width * 2);
    put(76, 32);
    put(80, 0x80000); // du/dv
    put(88, 16);
    put(92, 0x00FF);
    put(96, 0xFF00);
    put(108, 0x1000); // texture
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint16_t texel = dudv(x, y);
            out.push_back(std::uint8_t(texel));
            out.push_back(std::uint8_t(texel >> 8));
        }
    return out;
}
