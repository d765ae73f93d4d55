#include "platform/gfx/VertexFormat.h"

namespace gfx {
namespace {

constexpr std::uint32_t kKnownBits = Fvf::PositionMask | Fvf::Normal | Fvf::Diffuse | Fvf::Specular | Fvf::TexCountMask;

// Appends a field of `bytes` at the end of the vertex.
void Place(VertexLayout& layout, VertexAttribute attribute, std::uint32_t bytes)
{
    layout.offset[std::uint32_t(attribute)] = std::int32_t(layout.stride);
    layout.stride += bytes;
}

} // namespace

std::optional<VertexLayout> DecodeFvf(std::uint32_t fvf)
{
    // Bits outside the known set include the per-set coordinate sizes (bits
    // 16 and up): any non-zero size code means other than two floats.
    if ((fvf & ~kKnownBits) != 0)
        return std::nullopt;
    const std::uint32_t position = fvf & Fvf::PositionMask;
    if (position != Fvf::Xyz && position != Fvf::XyzRhw)
        return std::nullopt;
    const std::uint32_t sets = (fvf & Fvf::TexCountMask) >> Fvf::TexCountShift;
    if (sets > kMaxTexCoordSets)
        return std::nullopt;

    VertexLayout layout;
    layout.fvf = fvf;
    layout.preTransformed = position == Fvf::XyzRhw;
    layout.texCoordSets = sets;
    Place(layout, VertexAttribute::Position, layout.preTransformed ? 16 : 12);
    if (fvf & Fvf::Normal)
        Place(layout, VertexAttribute::Normal, 12);
    if (fvf & Fvf::Diffuse)
        Place(layout, VertexAttribute::Diffuse, 4);
    if (fvf & Fvf::Specular)
        Place(layout, VertexAttribute::Specular, 4);
    for (std::uint32_t set = 0; set < sets; ++set)
        Place(layout, VertexAttribute(std::uint32_t(VertexAttribute::TexCoord0) + set), 8);
    return layout;
}

} // namespace gfx
