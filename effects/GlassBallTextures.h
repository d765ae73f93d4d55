#pragma once
// The three textures the glass ball generates, and the texel values they
// hold (for tests):
//   bump      256 x 256 V16U16: the slopes of a hemisphere of radius 128,
//             du = atan(h(i, j) - h(i, j + 1)) x 51200 / pi and dv the same
//             down the rows (0 in the last column), truncated to 16 bits;
//   mask      1024 x 1024 A8: 0 inside radius 508 of the centre, 255 outside;
//   gradient  256 x 256 A8R8G8B8 with a full mip chain: row i runs from the
//             top colour to the bottom colour (i / 255), alpha 0; every level
//             is filled (the smaller ones filtered from level 0).
// Each returns null when its texture cannot be made.

#include <cstdint>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"

namespace glass_ball {

inline constexpr std::uint32_t kBumpSide = 256;
inline constexpr std::uint32_t kMaskSide = 1024;
inline constexpr std::uint32_t kGradientSide = 256;
inline constexpr int kMaskRadiusSquared = 508 * 508;

// The (du, dv) of bump texel (row, column).
struct BumpTexel {
    std::int16_t du = 0;
    std::int16_t dv = 0;
};
BumpTexel BumpTexelAt(std::uint32_t row, std::uint32_t column);
// The mask byte at (x, y), both from -512 to 511.
std::uint8_t MaskTexelAt(int x, int y);
// The gradient's colour (0x00RRGGBB, alpha 0) in row `row`.
std::uint32_t GradientRow(COLORREF top, COLORREF bottom, std::uint32_t row);

gfx::Ref<gfx::Texture> MakeBumpTexture(gfx::Device& device);
gfx::Ref<gfx::Texture> MakeMaskTexture(gfx::Device& device);
gfx::Ref<gfx::Texture> MakeGradientTexture(gfx::Device& device, COLORREF top, COLORREF bottom);

} // namespace glass_ball
