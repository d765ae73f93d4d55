#pragma once
// DS_FlameLight: a light variant that shows its slide's picture as the plain
// light does, burns a fire along the bottom of it and, optionally, lets a
// heat haze shimmer the whole finished frame.
//
// The fire is a whole DS_FireFX (its own pattern: the row of flame tongues,
// picture 7 of the shared module) drawn after the background on the flame
// quad with the fire's technique "AsEffect"; the quad fills the lowest 65 %
// of the picture, lowered by the flame offset (0.5 % of the picture height
// per unit). The haze (FlameHeatDistortion) draws the finished frame over
// the picture through the heat-distortion effect (link 63 of the shared
// module by default) with the technique "BumpmapDistortLow2".
//
// Heat flag: non-zero, the haze finishes the frame at DrawBorderBars; 1, the
// light also asks for the render-target pass that gives it the finished
// frame. With 2 it asks for none: the frame then went straight to the
// target, EndRenderTarget gives nothing and the haze is skipped. A haze
// that holds a finished frame but cannot draw it (no effect, no quad)
// draws the frame plainly, so it is never lost. A haze effect that could
// not be had turns the heat flag to 0 for the rest of the light's life.
//
// Stored record "DS_FlameLight" (written as version 2): int32 fire flag,
// int32 heat flag, uint32 flame offset; v1 a uint32 into the fire's speed
// value (its factor not recomputed); the haze's bump link and effect link
// (path, 8-byte id), uint32 haze speed, strength, bump scale; v1 two image
// links read and dropped; v2 the whole fire as a tagged record
// ("DS_FireFX", version, its levels); then the DS_2D_Light level.

#include <array>
#include <cstdint>

#include "effects/FireFX.h"
#include "objectmodel/ScaledParams.h"
#include "platform/gfx/Effect.h"
#include "effects/FinishingLight.h"

// The haze: the finished frame drawn through a scrolling bump map.
class FlameHeatDistortion {
public:
    static constexpr float kStrengthFactor = 0.05f;

    FlameHeatDistortion();

    // The haze quad (over an 800 x 600 picture until Resize), the bump
    // texture and the effect; returns whether there is an effect.
    bool CreateDeviceObjects(gfx::Device& device);
    // The quad's corners over a picture of w x h; aspect := h / w (kept
    // when w is 0).
    void Resize(float width, float height);
    // The haze clock at time t, then its inputs; nothing without an effect.
    void Update(float time);
    // Sets the inputs again (another user of the effect may have changed
    // them since Update), "Background" := the finished frame and draws it
    // over the haze quad through the host. False, nothing drawn, without an
    // effect or a quad.
    bool Draw(DS_ABRender& host, gfx::Texture* frame);

    bool CanDraw() const { return effect && quad.HasBuffer(); }
    float Phase() const { return speed.Total(); }

    TexturedQuad quad;
    DS_ImageFileLink bumpLink;
    DS_HLSLEffectFile effectLink;
    MediaSpeedParam speed;
    UINTSclaleTo<float> strength{0.002f, 0.0f, 25};
    UINTSclaleTo<float> bumpScale{-0.009f, 1.0f, 88};
    gfx::Ref<gfx::Effect> effect;
    gfx::Ref<gfx::Texture> bumpTexture;
    float aspect = 1.0f;

private:
    void SetInputs();
};

class DS_FlameLight : public FrameFinishingLight {
public:
    static constexpr std::u16string_view kClassName = u"DS_FlameLight";
    static constexpr std::int32_t kWrittenVersion = 2;
    // The share of the picture height the flame fills, and how far one unit
    // of flame offset lowers it.
    static constexpr float kFlameHeight = 0.65f;
    static constexpr float kOffsetStep = 0.005f;

    DS_FlameLight();

    bool ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    void CreateDeviceObjects() override;
    void OnResetDevice() override;
    void DrawBorderBars(bool skip) override;
    void DrawBackground(bool noClear) override;
    void UpdateCamera(float time) override;
    // Heat flag 1.
    bool NeedsRenderTarget() const override;
    void OnResize() override;

    // The flame quad over the lowest 65 % of the picture, lowered by the
    // offset.
    void PlaceFlameQuad();
    // The four corners PlaceFlameQuad gives a picture of w x h.
    static std::array<math::Vec3, 4> FlameCorners(float width, float height, std::uint32_t offset);

    MediaParamT<std::int32_t> fireFlag{1};
    MediaParamT<std::int32_t> heatFlag{1};
    MediaParamT<std::uint32_t> flameOffset{0};
    DS_FireFX fire;
    FlameHeatDistortion haze;
    TexturedQuad flameQuad;
};

// Reads a tagged fire record (class name not compared, version, the fire's
// levels) and gives its values to `fire`.
void ReadEmbeddedFireFX(ArchiveReader ar, DS_FireFX& fire);

