#pragma once
// ParticleSystemParams: the settings and render resources every particle
// controller owns: which pictures the particles show and how they animate,
// colour, size, opacity and their envelopes over a particle's life, spin and
// start rotation, blending, glow, gravity, air resistance, oscillations and
// vibrations. At run time it also holds the loaded textures, the particle
// effect and the glow surface, and it sets up each new particle, advances
// its own clocks, writes one quad per particle and draws them.
//
// A block without a usable first texture builds its quads with ratio 1 and
// extents 1 and draws nothing (glow included). A particle effect link that
// yields no effect of ours takes the built-in particle effect. Blend modes
// other than 1 draw with "BlendNormal"; glow modes other than 1 and 2 are no
// glow. Sprite grids below 1 column or row count as 1.
//
// Stored form: see Read (versions 1 to 11; written as 11). The start opacity
// is stored twice and the end opacity not at all (it stays 0 %).

#include <cstdint>
#include <string_view>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ParamRecords.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "particles/engine/InnerParticle.h"
#include "particles/engine/Oscillations.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "render/BlurSurface.h"
#include "render/FileLink.h"
#include "render/FileLinkNamed.h"
#include "render/SpriteFrameInfo.h"

class DS_ABRender;
class KXI_ParticleSystemMech;

class ParticleSystemParams {
public:
    static constexpr std::int32_t kWrittenVersion = 11;
    static constexpr const char* kBuiltinEffect = "particle-tree";

    enum Flag : std::uint32_t {
        kFlagPhysics = 1u << 0,
        kFlagFilteredTextures = 1u << 1,
        kFlagOwnSize = 1u << 2,
        kFlagOwnOpacity = 1u << 3,
        kFlagVibrations = 1u << 4,
    };
    enum RotationMode : std::int32_t { kNoRotation = 0, kAlignWithVelocity = 1, kSpin = 2 };

    ParticleSystemParams();
    ParticleSystemParams(const ParticleSystemParams& other);
    ParticleSystemParams& operator=(const ParticleSystemParams&) = delete;

    // Every member from `other`, each parameter notified only when its value
    // changes; the texture link only when its picture list differs.
    void AssignFrom(const ParticleSystemParams& other);

    // One animated texture per picture link, from the current resource
    // manager (unfiltered unless flag bit 1 is set).
    void LoadTextures();
    // The particle effect (the built-in `builtinEffect` when the link yields
    // none of ours), the glow surface sized to the picture and its blur
    // effect.
    void LoadEffect(std::string_view builtinEffect = kBuiltinEffect);
    // The texture and spin clocks to local time `t`, then the textures'
    // frames to the texture clock.
    void AdvanceTime(float t);

    // Sprite cell, main routine, colour routine, random values and spin,
    // start rotation, oscillations, vibrations and physics of a new particle.
    void SetupParticle(InnerParticle& particle, ParticleRoutineHandle mainRoutine) const;
    // Size and opacity over the particle's life; t = age / lifetime is kept
    // to 0..1.
    float SizeFactor(const InnerParticle& particle) const;
    float OpacityFactor(const InnerParticle& particle) const;

    // One quad per particle into batch `batch` of the render object.
    void BuildQuads(const InnerParticleList& particles, KXI_ParticleSystemMech& mech, std::uint32_t size,
                    std::int32_t batch) const;
    // The glow, then the particles with the blend mode's technique. Glow
    // mode 2 always draws the picture back (the render target was switched),
    // with no glow over it when the glow cannot be made.
    void Render(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer);
    void RenderGlow(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer);

    // The first texture when it has a frame; null otherwise.
    const SpriteFrameInfo* FirstTexture() const;
    // Glow mode 1 or 2; anything else counts as 0.
    std::int32_t EffectiveGlowMode() const;
    const char* BlendTechnique() const;
    // The grid, at least 1 x 1.
    std::uint32_t Columns() const;
    std::uint32_t Rows() const;
    // A random cell of the grid for `particle` (two draws).
    void DrawCell(InnerParticle& particle) const;

    // The block's fields as `version` stores them.
    void Read(ArchiveReader ar, std::int32_t version);
    void Write(ArchiveWriter ar) const;
    // int32 block version, the texture name, then the fields.
    void ReadRecord(ArchiveReader ar);

    MediaParamT<kxi_string> textureName;
    DS_NamedFileLink textureLink;
    DS_HLSLEffectFile effectLink;
    MediaSpeedParam textureClock;
    MediaParamT<std::int32_t> animationDirection{0};
    MediaParamT<std::int32_t> flipVertical{0};
    MediaParamT<std::int32_t> flipHorizontal{0};
    ColorSequenceParams colours;
    MediaParamT<std::uint32_t> particleSize{0u};
    PercentParamQuad sizeEnvelope;
    UINTSclaleTo<float> sizeJitter{0.01f};
    PercentParamQuad opacityEnvelope;
    UINTSclaleTo<float> opacityJitter{0.01f};
    MediaParamT<std::int32_t> spinDirection{0};
    MediaSpeedParam spinClock;
    KXI_JitterMediaPrm spinJitter;
    MediaParamT<std::int32_t> blendMode{0};
    MediaParamT<std::int32_t> rotationMode{kNoRotation};
    MediaParamT<std::uint32_t> startAngle{0u};
    MediaParamT<std::uint32_t> startAngleSpread{0u};
    MediaParamT<std::int32_t> glowMode{0};
    SmartCOLORREF glowColour{0x0000FFFF};
    UINTSclaleTo<float> glowBrightness{0.02f, 0.0f, 100};
    MediaParamT<std::int32_t> glowPasses{2};
    OscillationParams opacityOscillation;
    OscillationParams sizeOscillation;
    std::uint32_t flags = 0;
    MediaParamT<std::int32_t> gravityDirection{0};
    UINTSclaleTo<float> gravity{5.0f};
    UINTSclaleTo<float> airResistance{0.01f};
    VibrationParams vibrationAlong;
    VibrationParams vibrationAcross;

    // The block version the document stored (0 for a legacy block).
    std::int32_t storedVersion = kWrittenVersion;

    // Run time only.
    std::vector<SpriteFrameInfo> textures;
    gfx::Ref<gfx::Effect> effect;
    gfx::Ref<gfx::Effect> glowEffect;
    KXI_BlurSurface glowSurface;

private:
    // The particles drawn into the glow surface and blurred; null when there
    // is no texture, no blur effect or no surface.
    gfx::Ref<gfx::Texture> CaptureGlow(KXI_ParticleSystemMech& mech, std::int32_t batch, DS_ABRender& renderer);
    float EnvelopeFactor(const InnerParticle& particle, const PercentParamQuad& envelope, float base) const;
};
