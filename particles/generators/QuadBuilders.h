#pragma once
// The quad builders of the generators: each turns a point and a size, an
// anchored pair of vectors, a stored rectangle or a segment into the four
// vertices A, B, C, D of one batch quad (drawn as 0, 1, 2, 2, 1, 3). Unless a
// builder says otherwise the texture corners are (0, 1), (0, 0), (1, 1),
// (1, 0) and the colour is opaque white.

#include <array>

#include "platform/math/Vector.h"
#include "render/ObjectDescription.h"
#include "render/QuadBatchBuffer.h"

class MediaQuad;

using GenQuad = std::array<QuadBatchVertex, 4>;

inline constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;

// Centred on (x, y, z), w wide and h high.
GenQuad BuildQuadCorners(const math::Vec3& centre, float width, float height);
// From the corner (x, y, z) to (x + w, y + h).
GenQuad BuildCornerQuad(const math::Vec3& corner, float width, float height);
// Centred on p, spanned by s x u and s x v; z from the points.
GenQuad BuildAnchoredQuadCorners(const math::Vec3& p, const math::Vec3& u, const math::Vec3& v, float s);
// The corners of a rectangle in MediaQuad::SetRectangle's order, so that a
// rectangle set that way gives the quad BuildQuadCorners gives.
GenQuad BuildQuadFromCorners(const MediaQuad& quad);
// A band from `start` along `segment` (of `length`), `startWidth` wide at the
// start and `endWidth` at the end. Positions and the white colour only: the
// caller supplies the texture corners. A length of 0 collapses the band onto
// its start (the unit direction of a zero segment is the zero vector).
GenQuad BuildSegmentQuad(const math::Vec3& start, const math::Vec3& segment, float length, float startWidth,
                         float endWidth);

// The axis-aligned bounding rectangle of a quad's positions.
BoundingRect QuadBounds(const GenQuad& quad);
