#pragma once
// The textured members of the quad family (QuadBase.h):
//
//   TexturedQuad  a quad with its own texture, in one of two forms:
//                 world form    XYZ | TEX1 (20 bytes), positions in canvas
//                               coordinates, drawn through the transforms;
//                 screen form   XYZRHW | DIFFUSE | TEX1 (28 bytes), corners in
//                               target pixels, white, for snapshots and fades.
//   PictureQuad   the background quad of a picture scene: a world-form quad
//                 over the picture's own pixel size, with the picture's
//                 texture and size (TextureRef).
//
// Corners are in strip order: bottom-left, top-left, bottom-right,
// top-right; texture coordinates default to (0, 1), (0, 0), (1, 1), (1, 0).

#include <array>
#include <cstdint>

#include "platform/math/Vector.h"
#include "render/QuadBase.h"
#include "render/QuadVertices.h"
#include "render/ResourceLoading.h"

class DS_ImageFileLink;

struct TexturedQuadVertex {
    static constexpr std::uint32_t kFvf = 0x102; // XYZ | TEX1
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(TexturedQuadVertex) == 20);

struct TexturedScreenVertex {
    static constexpr std::uint32_t kFvf = 0x144; // XYZRHW | DIFFUSE | TEX1
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float rhw = 1.0f;
    std::uint32_t colour = 0xFFFFFFFFu;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(TexturedScreenVertex) == 28);

class TexturedQuad : public QuadBase {
public:
    TexturedQuad() = default;
    ~TexturedQuad() = default;

    // World form: a new buffer with the default texture coordinates and all
    // positions 0 (the owner places them). False when no buffer could be made.
    bool Build(gfx::Device& device);

    // World form with given vertices: a new buffer holding `vertices` (x, y,
    // z, u, v) in strip order. False when no buffer could be made.
    bool SetVertices(gfx::Device& device, const std::array<TexturedQuadVertex, 4>& vertices);

    // Rewrites the four corner positions of the quad's current buffer in
    // strip order, texture coordinates (and the screen form's colour) kept:
    // the world form takes (x, y, z); the screen form takes (x, y) with z 0
    // and the point's z as rhw, as SetTexture places a corner. Nothing
    // without a buffer.
    void SetPositions(const std::array<math::Vec3, 4>& positions);

    // Screen form: holds `texture` (may be null) and builds a new buffer
    // with the corners of `quad` as (x, y, 0, rhw = z), its texture
    // coordinates and white. False when no buffer could be made.
    bool SetTexture(gfx::Device& device, gfx::Texture* texture, const QuadVertices& quad);
    // SetTexture over the rectangle (0, 0, width, height).
    bool SetTextureFull(gfx::Device& device, gfx::Texture* texture, float width, float height);

    // The screen form without a picture: the program has no resource that
    // this quad could name, so it lets its texture go and is set up over
    // `quad` with none.
    bool LoadProgramTexture(gfx::Device& device, const QuadVertices& quad);

    // Texture 0 := the quad's texture, then the vertex format and stream of
    // its current form.
    void Bind(gfx::Device& device) const;

    gfx::Texture* Texture() const { return m_texture.Get(); }
    void ReleaseTexture() { m_texture.Reset(); }

protected:
    void HoldTexture(gfx::Texture* texture) { m_texture = gfx::Ref<gfx::Texture>(texture); }

private:
    gfx::Ref<gfx::Texture> m_texture;
};

class PictureQuad : public TexturedQuad {
public:
    PictureQuad() = default;
    ~PictureQuad() = default;

    // The picture of an image link, from the current resource manager: the
    // first texture of its texture set with the set's size. A link that
    // cannot be resolved leaves an empty picture (size 0 x 0) and a
    // degenerate quad.
    void LoadImage(const DS_ImageFileLink& link);

    // The quad's texture := the picture's texture; SetSize(its width, height).
    void SetPicture(const TextureRef& picture);

    // The picture's size := (w, h) truncated (negative or NaN: 0); the
    // world-form corners become (0, h), (0, 0), (w, h), (w, 0) at z 0,
    // texture coordinates unchanged.
    void SetSize(float width, float height);

    // The picture's texture becomes a copy of `source`'s texture filtered to
    // a square of RenderTextureSide(n) pixels; without a source texture the
    // picture's texture is let go. The picture's size stays.
    void CreateRenderTexture(gfx::Device& device, const TextureRef& source, int n);

    const TextureRef& Picture() const { return m_picture; }

private:
    TextureRef m_picture;
};

// 128 << n with n held to 0..kMaxRenderTextureShift: a copy of at most
// 4096 x 4096 pixels, whatever value the caller's setting holds.
inline constexpr int kMaxRenderTextureShift = 5;
std::uint32_t RenderTextureSide(int n);
