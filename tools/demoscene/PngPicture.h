#pragma once
// Pictures of the demo scene are stored in the document as PNG: the
// smallest form the picture loaders read, which keeps the embedded scene
// small at full-HD sizes.

#include <cstdint>
#include <functional>
#include <vector>

// 8-bit RGB rows, top row first, of a picture given pixel by pixel
// (0x00RRGGBB).
std::vector<std::uint8_t> PixelsOf(std::uint32_t width, std::uint32_t height,
                                   const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& pixel);

// A PNG file image of `pixels` (8-bit rows of `channels` bytes a pixel: 3
// for RGB, 4 for RGBA; top row first), at the best compression; empty when
// it cannot be encoded.
std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                    const std::vector<std::uint8_t>& pixels);

// A picture given as a coverage (0..1) and a colour (0x00RRGGBB) per point of
// the unit square, as RGBA rows for EncodePng; each pixel averages 4 x 4
// samples, so edges are smooth.
struct Painted {
    double coverage;
    std::uint32_t rgb;
};
using CoveragePainter = std::function<Painted(double u, double v)>;
std::vector<std::uint8_t> PaintRgba(std::uint32_t width, std::uint32_t height, const CoveragePainter& paint);
