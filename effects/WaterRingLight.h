#pragma once
// DS_WaterRingLight: a light variant that shows the slide under a water
// surface on which drops fall at a steady rate and spread in rings. It owns
// a WaterRippleGrid, steps it every frame and draws through the rippled mesh
// either the picture (mode 0: the water replaces the background and the
// objects draw on top) or the whole finished frame (mode 1, through the
// light's own render-target pass), lit by one directional light with
// specular highlights, under an orthographic projection that follows the
// picture's camera.
//
// Lighting is on only while the water mesh is drawn: the objects' draws
// that go through the fixed-function pipeline run with it off, so they are
// never drawn lit (black).
//
// Safeguards: a picture of size 0 or a degenerate aspect draws no water (the
// projection and the plane divide by them); in mode 1 a frame over which no
// water could be drawn is drawn plainly before the bars, so it is never
// lost. The picture-position mode forced to Stretch for a render-target pass
// in mode 0 is restored to what it was when the pass began.
//
// Stored level "DS_WaterRingLight" (written as version 2): v >= 2 the
// time-step, density, resolution, drop strength, damping and refraction
// depth values, the drop rate, specular level and specular power (uint32
// each); every version the mode (int32); then the DS_2D_Light level.

#include <cstdint>
#include <string_view>

#include "effects/WaterRippleGrid.h"
#include "objectmodel/ScaledParams.h"
#include "platform/gfx/Lighting.h"
#include "platform/math/Matrix.h"
#include "render/PictureScene.h"

class DS_WaterRingLight : public DS_2D_Light {
public:
    static constexpr std::u16string_view kClassName = u"DS_WaterRingLight";
    static constexpr std::int32_t kStoredVersion = 2;
    static constexpr float kPlaneHeight = 30.0f;
    static constexpr float kCameraHeight = 120.0f;
    // Mode 1: the finished frame is drawn through the water.
    static constexpr int kFrameMode = 1;

    DS_WaterRingLight();
    ~DS_WaterRingLight() override;

    // ---- stored form
    bool ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // ---- the light's operations
    void DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect* effect, std::uint32_t firstQuad,
                                   std::uint32_t quadCount) override;
    void DrawSpriteList(MeshItem& list) override;
    void DrawTexturedBatch(DS_SpriteArrayObj& batch) override;
    void DrawMeshList(TexturedBatch& list) override;
    void CreateDeviceObjects() override;
    void OnResetDevice() override;
    void OnLostDevice() override;
    void DrawBorderBars(bool skip) override;
    void DrawBackground(bool noClear) override;
    void UpdateCamera(float time) override;
    void ApplyView(const QuadVertices& quad) override;
    void SetPictureMode(int pictureMode) override;
    HRESULT DrawColorQuad(ScreenQuad* screenQuad) override;
    HRESULT DrawTexturedQuad(TexturedQuad& texturedQuad) override;
    bool BeginRenderTarget() override;
    gfx::Texture* EndRenderTarget(bool clear) override;
    bool NeedsRenderTarget() const override;
    bool AddBoundingRect(BoundingRectList& rects) const override;

    // Sizes the grid for the picture's aspect (a plane 30 units tall) and
    // adds one drop; nothing for a picture without a usable aspect.
    void SetupGrid();
    // Draws the grid textured with `texture`; false when nothing was drawn.
    bool DrawWater(gfx::Texture* texture);

    // ---- grid factors from the stored values
    float TimeStepFactor() const;
    float RowDensity() const;
    float Resolution() const;
    float DropStrength() const;
    float Damping() const;
    float RefractionDepth() const;
    // The picture's height / width, 0 without a picture.
    float PictureRatio() const;

    // ---- stored values
    MediaParamT<std::int32_t> mode{0};
    MediaParamT<std::uint32_t> timeStepValue{0};
    MediaParamT<std::uint32_t> densityValue{0};
    MediaParamT<std::uint32_t> resolutionValue{0};
    MediaParamT<std::uint32_t> dropStrengthValue{50};
    MediaParamT<std::uint32_t> dampingValue{50};
    MediaParamT<std::uint32_t> refractionDepthValue{20};
    UINTSclaleTo<float> dropRate{1.0f / 60.0f, 0.0f, 30};
    UINTSclaleTo<float> specularLevel{0.01f, 0.0f, 90};
    UINTSclaleTo<float> specularPower{0.79999995f, 0.0f, 50};

    // ---- runtime state, for tests
    WaterRippleGrid& Grid() { return m_grid; }
    const math::Matrix& Projection() const { return m_projection; }
    const math::Matrix& WaterCamera() const { return m_waterCamera; }
    const math::Matrix& WaterView() const { return m_view; }
    const gfx::Material& WaterMaterial() const { return m_material; }
    float LastDropTime() const { return m_lastDropTime; }
    // The world transform of the last water draw.
    const math::Matrix& LastWaterWorld() const { return m_lastWaterWorld; }
    // The water's world matrix for the context's world x view `m`.
    math::Matrix WaterWorld(math::Matrix m) const;

private:
    void SetLightAndMaterial(gfx::Device& device) const;
    void SetPictureModeViews(int pictureMode);

    WaterRippleGrid m_grid;
    math::Vec3 m_lightDirection{0.5f, 1.0f, -1.0f};
    gfx::ColorValue m_lightColour{1.0f, 1.0f, 1.0f, 1.0f};
    math::Matrix m_world;
    math::Matrix m_view;
    math::Matrix m_waterCamera;
    math::Matrix m_projection;
    math::Matrix m_lastWaterWorld;
    gfx::Material m_material;
    float m_lastDropTime = 0.0f;
    int m_modeBeforePass = PicturePosition::kFit;
};
