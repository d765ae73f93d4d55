#pragma once
// The untextured members of the quad family (QuadBase.h):
//
//   ScreenQuad   pre-transformed corners in target pixels with one colour
//                (XYZRHW | DIFFUSE, 20 bytes): fades over the whole screen.
//   ColorQuad    corners in canvas coordinates with one colour (XYZ |
//                DIFFUSE, 16 bytes), drawn through the current transforms.
//
// Corners are in strip order: bottom-left, top-left, bottom-right,
// top-right. Operations that only change colours or positions never rebuild
// the buffer and do nothing on a quad without one.

#include <cstdint>

#include "platform/math/Vector.h"
#include "render/PictureFit.h"
#include "render/QuadBase.h"
#include "render/QuadVertices.h"

struct ScreenQuadVertex {
    static constexpr std::uint32_t kFvf = 0x044; // XYZRHW | DIFFUSE
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float rhw = 1.0f;
    std::uint32_t colour = 0; // 0xAARRGGBB
};
static_assert(sizeof(ScreenQuadVertex) == 20);

struct ColorQuadVertex {
    static constexpr std::uint32_t kFvf = 0x042; // XYZ | DIFFUSE
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::uint32_t colour = 0;
};
static_assert(sizeof(ColorQuadVertex) == 16);

// The alpha byte of a corner for an opacity 0..1: int(opacity x 255),
// truncated. Opacities outside 0..1 (and NaN) are clamped first, so an
// overshooting fade never wraps around to a nearly transparent corner.
std::uint8_t CornerAlphaByte(float opacity);

class ScreenQuad : public QuadBase {
public:
    ScreenQuad() = default;
    ~ScreenQuad() = default;

    // Builds a new buffer and writes every corner of `quad` as (x, y, 0,
    // rhw = the corner's z) with `colour`. False when no buffer could be made.
    bool SetQuadAndColor(gfx::Device& device, const QuadVertices& quad, std::uint32_t colour);

    // Rewrites the corners of the current buffer from `quad` as (x, y, 0,
    // rhw = the corner's z), colours kept. Nothing without a buffer.
    void WritePositions(const QuadVertices& quad);

    // The alpha byte of each corner (vertices 0, 2, 1, 3 in the order of the
    // arguments), colour bits kept. Equal bottoms and equal tops give a
    // vertical alpha gradient.
    void SetCornerAlphas(float bottomLeft, float bottomRight, float topLeft, float topRight);

    // Whether every corner is 0x00000000: fully transparent black.
    bool IsTransparentBlack() const;

    // Releases the buffer.
    void Release() { ReleaseBuffer(); }
};

class ColorQuad : public QuadBase {
public:
    ColorQuad() = default;
    ~ColorQuad() = default;

    // Builds a new buffer with the corners of `rect` at z 0 and `colour` in
    // all four vertices. False when no buffer could be made.
    bool SetRectColor(gfx::Device& device, const FitRect& rect, std::uint32_t colour);

    // Replaces the low 24 bits of all four colours, keeping each alpha.
    void SetRgb(std::uint32_t rgb);

    // As ScreenQuad::SetCornerAlphas.
    void SetCornerAlphas(float bottomLeft, float bottomRight, float topLeft, float topRight);

    // Moves the four corners (strip order), colours kept.
    void SetPositions(const math::Vec3& p0, const math::Vec3& p1, const math::Vec3& p2, const math::Vec3& p3);
};

// Draws a colour quad with its vertex colours: alpha blending on, stage 0
// colour and alpha argument 1 := diffuse, the strip, then both arguments
// back to the texture. The caller sets the transforms and blend factors.
void DrawDiffuseQuad(gfx::Device& device, const ColorQuad& quad);
