#pragma once
// FakeLake2D: a light variant that turns the lower part of the slide's
// picture into a lake. Below the horizon line y = H (1 - c) it shows the band
// of the same height just above the horizon, upside down, rippled by a
// turning du/dv bump map through the fixed-function bump-environment stage,
// and tinted by two gradient colour quads (one over the lake, a thin band
// above the horizon). The bump map is stored with the document under the
// light's own GUID; without one the lake shows the plain mirror.
//
// LakeMesh holds the lake surface: six XYZ | TEX2 vertices (position, bump
// coordinates, picture coordinates) as a list of two triangles.
//
// Safeguards: a horizon value of 100 or more (c <= 0) draws no lake and no
// band; a picture of size 0 draws the base background only.
//
// Stored level "FakeLake2D" (written as version 2): v >= 2 the bump repeat,
// speed, horizon, gradient level, tint alpha and tint fade values, the normal
// amplitude and band height (uint32 each), the mirror size exponent and tint
// colour (int32); every version the key's GUID, name and flag; then the
// DS_2D_Light level.

#include <array>
#include <cstdint>
#include <string_view>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "objectmodel/TransformNode.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Ref.h"
#include "platform/math/Matrix.h"
#include "render/PictureScene.h"
#include "render/QuadVertices.h"
#include "render/ScreenQuad.h"

// One lake vertex: XYZ | TEX2, 28 bytes.
struct LakeVertex {
    static constexpr std::uint32_t kFvf = 0x202;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float bumpU = 0.0f;
    float bumpV = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(LakeVertex) == 28);

class LakeMesh {
public:
    static constexpr std::uint32_t kVertexCount = 6;
    static constexpr std::uint32_t kPrimitiveCount = 2;

    // A managed, write-only buffer of six vertices; an existing one is
    // released first. False when none could be made.
    bool CreateBuffer(gfx::Device& device);
    // Triangles (1, 0, 2) and (1, 2, 3) of the quad: x and y, z 0, and the
    // quad's (u, v) as picture coordinates.
    void SetFromQuad(const QuadVertices& quad);
    // Bump coordinates running from 0.01 to `repeat` across the lake.
    void SetBumpCoordinates(float repeat);
    void Release() { m_buffer.Reset(); }

    gfx::VertexBuffer* Buffer() const { return m_buffer.Get(); }
    const std::array<LakeVertex, kVertexCount>& Vertices() const { return m_vertices; }

    TransformNode node;

private:
    void Upload();

    std::array<LakeVertex, kVertexCount> m_vertices{};
    gfx::Ref<gfx::VertexBuffer> m_buffer;
};

class FakeLake2D : public DS_2D_Light {
public:
    static constexpr std::u16string_view kClassName = u"FakeLake2D";
    static constexpr std::int32_t kStoredVersion = 2;
    static constexpr float kBumpStrength = 0.04f;
    static constexpr float kBumpTurnRate = 4.5f; // radians per unit of phase
    static constexpr COLORREF kDefaultTint = 0x408000; // red 0, green 128, blue 64

    FakeLake2D();
    ~FakeLake2D() override;

    // ---- stored form
    bool ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // ---- the light's operations
    void DrawMirrored(MirroredGrid& item, int arg) override;
    void CreateDeviceObjects() override;
    void OnResetDevice() override;
    void DrawBackground(bool noClear) override;
    void UpdateCamera(float time) override;
    void OnResize() override;
    bool AddBoundingRect(BoundingRectList& rects) const override;

    // The lake quad for the picture and horizon, into the mesh and tints.
    void UpdateLakeGeometry();
    // The bump-environment stage set-up.
    void SetLakeStates(gfx::Device& device) const;
    // A bump map from the program's built-in height picture; nothing while
    // the generated flag is 1 or without that picture.
    void GenerateBumpMap();

    // The lake quad in strip order for a picture of width x height and a
    // horizon fraction c (see the class comment).
    static QuadVertices LakeQuad(float width, float height, float c);
    // Whether the lake is drawn: a picture and a horizon below the top.
    bool HasLake() const;
    // Alpha of the lake tint at the far end: (1 - fade) x alpha.
    float FarTintAlpha() const;

    // ---- stored values
    MediaSpeedParam speed;
    UINTSclaleTo<float> bumpRepeat{0.01f, 0.0f, 100};
    UINTSclaleTo<float> horizon{-0.005f, 0.5f, 25};
    UINTSclaleTo<float> gradientLevel{0.01f, 0.0f, 100};
    UINTSclaleTo<float> tintAlpha{0.008f, 0.0f, 31};
    UINTSclaleTo<float> tintFade{0.01f, 0.0f, 58};
    MediaParamT<std::uint32_t> normalAmplitude{25};
    MediaParamT<std::uint32_t> bandHeight{7};
    MediaParamT<std::int32_t> mirrorSizeExponent{1};
    SmartCOLORREF tintColour{kDefaultTint};
    GuidNameKey key;

    // ---- runtime state, for tests
    const math::Matrix& BumpMatrix() const { return m_bumpMatrix; }
    const LakeMesh& Mesh() const { return m_mesh; }
    const ColorQuad& LakeTint() const { return m_lakeTint; }
    const ColorQuad& BandTint() const { return m_bandTint; }
    const FitRect& LakeTintRect() const { return m_lakeTintRect; }
    const FitRect& BandTintRect() const { return m_bandTintRect; }
    gfx::Texture* BumpMap() const { return m_bumpMap.Get(); }
    void SetBumpMap(gfx::Texture* texture) { m_bumpMap = gfx::Ref<gfx::Texture>(texture); }
    gfx::Texture* MirrorTexture() const { return m_mirror.Picture().texture.Get(); }
    bool Generated() const { return m_generated; }

private:
    void CreateMirror();
    void ApplyTints();
    void DrawLake(gfx::Device& device, RenderContext& context);

    PictureQuad m_mirror;
    ColorQuad m_lakeTint;
    ColorQuad m_bandTint;
    FitRect m_lakeTintRect;
    FitRect m_bandTintRect;
    math::Matrix m_bumpMatrix;
    LakeMesh m_mesh;
    gfx::Ref<gfx::Texture> m_bumpMap;
    bool m_generated = true;
};
