#pragma once
// Normal maps from height maps, as D3DXComputeNormalMap makes them: the
// height is one channel of the source (0..1), its slope is the central
// difference over a 3x3 neighbourhood (denominator 2) times the amplitude,
// and the normal (-dh/du, -dh/dv, 1), normalised, is written signed into
// V8U8 / V16U16 (u, v) or biased into A8R8G8B8 / X8R8G8B8 (x, y, z in red,
// green, blue, alpha 1). The picture wraps at its edges unless the mirror
// flags ask to mirror; INVERTSIGN negates the slope.

#include <cstdint>

#include "platform/gfx/Image.h"

namespace gfx {

namespace NormalMapFlags {
inline constexpr std::uint32_t MirrorU = 0x10000, MirrorV = 0x20000, Mirror = 0x30000;
inline constexpr std::uint32_t InvertSign = 0x80000;
}  // namespace NormalMapFlags

namespace Channel {
inline constexpr std::uint32_t Red = 1, Blue = 2, Green = 4, Alpha = 8, Luminance = 16;
}

// Fills `destination` (its size and format stay) from `source`, resized to
// match when the sizes differ. False when a format or channel is not one
// this supports; the destination is then unchanged.
bool ComputeNormalMap(Image& destination, const Image& source, std::uint32_t flags, std::uint32_t channel,
                      float amplitude);

}  // namespace gfx
