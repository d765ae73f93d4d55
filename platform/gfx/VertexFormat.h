#pragma once
// Flexible vertex formats: a vertex layout described by a bit mask (Direct3D
// 9's FVF codes, values as documented). Fields come in this order in memory:
// position (XYZ, or XYZRHW for vertices already in render-target pixels),
// normal, diffuse colour (0xAARRGGBB), specular colour, then the texture
// coordinate sets (two floats each).

#include <cstdint>
#include <optional>

namespace gfx {

namespace Fvf {
inline constexpr std::uint32_t Xyz = 0x002;
inline constexpr std::uint32_t XyzRhw = 0x004;
inline constexpr std::uint32_t PositionMask = 0x00E;
inline constexpr std::uint32_t Normal = 0x010;
inline constexpr std::uint32_t Diffuse = 0x040;
inline constexpr std::uint32_t Specular = 0x080;
inline constexpr std::uint32_t Tex1 = 0x100;
inline constexpr std::uint32_t Tex2 = 0x200;
inline constexpr std::uint32_t TexCountMask = 0xF00;
inline constexpr std::uint32_t TexCountShift = 8;
} // namespace Fvf

// Attribute slots shared by the generated programs and custom programs.
enum class VertexAttribute : std::uint32_t { Position = 0, Normal = 1, Diffuse = 2, Specular = 3, TexCoord0 = 4, TexCoord1 = 5 };
inline constexpr std::uint32_t kVertexAttributeCount = 6;
inline constexpr std::uint32_t kMaxTexCoordSets = 2;

// Where each field of an FVF vertex lies; an absent field has offset -1.
struct VertexLayout {
    std::uint32_t fvf = 0;
    std::uint32_t stride = 0;
    bool preTransformed = false;
    std::uint32_t texCoordSets = 0;
    std::int32_t offset[kVertexAttributeCount] = {-1, -1, -1, -1, -1, -1};

    bool Has(VertexAttribute attribute) const { return offset[std::uint32_t(attribute)] >= 0; }
};

// The layout of an FVF code, or nothing when the code asks for what this
// device does not draw (no position, both position kinds, blend weights,
// point sizes, more than two coordinate sets, coordinate sets of other than
// two floats).
std::optional<VertexLayout> DecodeFvf(std::uint32_t fvf);

} // namespace gfx
