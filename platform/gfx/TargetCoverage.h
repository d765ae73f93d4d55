#pragma once
// Full-target work: how many draws covered the whole render target they
// drew into, how many copies read or wrote a whole target, how many clears
// cleared one. A frame's cost on a software rasteriser grows with these
// passes far more than with anything else, so the device counts them for
// the frame benchmarks.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/gfx/States.h"
#include "platform/gfx/VertexFormat.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

namespace gfx {

struct FullTargetPasses {
    std::uint64_t draws = 0;  // draws whose triangles cover the whole target
    std::uint64_t copies = 0; // copies that read or write a whole surface of the back buffer's size
    std::uint64_t clears = 0; // colour clears of the whole target

    // Draws and copies: the passes that read or shade every pixel.
    std::uint64_t Passes() const { return draws + copies; }
};

// Whether the triangles (three corners each, in target pixels) cover a
// width x height target: their parts inside it add up to the whole target
// but for a frame of a pixel around it. A full-target quad or grid passes,
// so does a picture fitted a pixel narrower than the target; sprites, however
// far they spread, add up to far less and do not. Overlapping triangles
// count twice: the figure estimates the shading work, it proves no coverage.
bool TrianglesCoverTarget(std::span<const math::Vec2> corners, float width, float height);

// One draw as the device sees it: the vertex stream, its layout, the
// indices (empty for a non-indexed draw) and where the vertices land.
struct DrawGeometry {
    std::span<const std::uint8_t> vertices; // the stream from its offset on
    const VertexLayout* layout = nullptr;
    std::uint32_t stride = 0;
    std::span<const std::uint8_t> indices; // 16-bit indices from the first one drawn
    PrimitiveType type = PrimitiveType::TriangleList;
    std::int64_t firstVertex = 0; // non-indexed: the first vertex; indexed: the base vertex
    std::uint32_t vertexCount = 0; // vertices (or indices) the draw reads
    // world x view x projection for transformed vertices.
    math::Matrix worldViewProjection;
};

// Whether the draw covers the whole width x height target. Draws of more
// than kMaxCoverageVertices vertices are never taken for full-target passes
// (a pass draws a quad or a small grid), which keeps the check cheap.
inline constexpr std::uint32_t kMaxCoverageVertices = 1024;
bool DrawCoversTarget(const DrawGeometry& draw, float width, float height);

} // namespace gfx
