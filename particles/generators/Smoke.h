#pragma once
// DS_Smoke: an origin generator whose launches are smoke puffs. Each puff
// leaves the position in a direction of the sector, drifts sideways under a
// constant push, grows from half its size, fades in quickly and out slowly,
// and turns. A new render object starts with 5 s of smoke already in the
// air. Puffs are drawn as one textured quad each with the first loaded
// texture (DrawFirstTextureLayer).
//
// Stored section "DS_Smoke", 1: drift (uint32); then the
// DS_ParticleOriginGenerator section.

#include <cstdint>
#include <memory>

#include "particles/generators/OriginGenerator.h"

class DS_Smoke : public DS_ParticleOriginGenerator {
public:
    static constexpr std::u16string_view kClassName = u"DS_Smoke";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "stage0-textured-quads";
    // The smoke already in the air when a render object is made.
    static constexpr int kPreRunSteps = 100;
    static constexpr float kPreRunStep = 0.05f;
    static constexpr float kStartSize = 0.5f;

    DS_Smoke() = default;
    DS_Smoke(const DS_Smoke& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // The origin clock, the puffs, then layer 0.
    void Step(float localTime, DS_ParticlesObj& target) override;
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // Placement, one empty layer, then the pre-run.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // The puffs are drawn straight; the picture is never read.
    bool NeedsBackground() const override { return false; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // A puff: the origin's launch with drift, growth, fades and a turn.
    LaunchRecord MakeLaunch() override;
    void FillLayer(DS_ParticlesObj& target);

    // Pixels per second squared along x: value x 2 - 100.
    UINTSclaleTo<float> drift{2.0f, -100.0f, 0};
};

// Binds the current frame of the generator's first loaded texture to stage 0
// and draws every quad of layer 0 with the generator's effect (or the
// fixed-function path without one). Nothing without a first texture.
void DrawFirstTextureLayer(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target);
// The same with `texture` (a frame of an animated picture) on stage 0;
// nothing without one.
void DrawTextureLayer(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target,
                      gfx::Texture* texture);
