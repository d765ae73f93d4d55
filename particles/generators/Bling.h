#pragma once
// DS_Bling: every painted dab becomes a sparkle that grows from nothing to
// full size in the grow time, shrinks back in the shrink time and starts
// again without end, turning at the spin speed from its own start angle. A
// size floor keeps part of the size out of the cycle. Each sparkle is drawn
// twice, layer 0 in the second colour with texture 0 and layer 1 in the
// first colour with texture 1, through the joined mask and the composite.
// A grow or shrink time of 0 counts as one stored unit (0.01 s), so the
// rates stay finite and the sparkles still cycle.
// DS_TwinklingStars: every dab twinkles (a PTwinkle on its scale channel)
// and the quads are written again at every step.
//
// Channels of a sparkle: 0 life over one cycle, 1 scale, 2 opacity, 6 size
// factor, 9 start angle (radians).
//
// Stored sections (then the DS_AirBrush section):
//   "DS_Bling", 2: life speed, shrink time, grow time, spin speed, size
//       floor (uint32); version 1 stops after grow time;
//   "DS_TwinklingStars", 1: twinkle speed (uint32).

#include <cstdint>
#include <memory>

#include "particles/generators/AirBrush.h"

class DS_Bling : public DS_AirBrush {
public:
    static constexpr std::u16string_view kClassName = u"DS_Bling";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr int kSizeFactorChannel = 6;
    static constexpr int kStartAngleChannel = 9;
    // The shortest grow or shrink time: one stored unit.
    static constexpr float kMinPhaseSeconds = 0.01f;

    DS_Bling();
    DS_Bling(const DS_Bling& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // Both clocks, the sparkles' life, then both layers.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // Layers 0 and 1 through the joined mask, then the composite.
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // The textured geometry, two empty layers, the mask surface; every
    // sparkle started somewhere inside its cycle.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // A sparkle at the point with size factor stroke.size and start angle
    // stroke.turn full turns, somewhere inside its cycle.
    void AddParticleAt(const math::Vec3& point, const DabStroke& stroke) override;
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::unique_ptr<KXI_RenderObj> CreateExtraRenderObject() override;

    // Restarts a dab's cycle (life and scale 0, the life and size
    // processes appended); returns the cycle's length in seconds.
    float StartSparkle(GenParticle& dab) const;
    // Runs the dab's processes ten times over a random part of its cycle.
    static void AgeRandomly(GenParticle& dab, float cycle);
    // Writes layers 0 and 1 from the dabs.
    void WriteSparkleLayers(DS_ParticlesObj& target);

    float GrowSeconds() const;
    float ShrinkSeconds() const;

    MediaSpeedParam lifeSpeed;
    TimeParam growTime;
    TimeParam shrinkTime;
    MediaSpeedParam spinSpeed;
    UINTSclaleTo<float> sizeFloor{0.01f, 0.0f, 0};
};

class DS_TwinklingStars : public DS_AirBrush {
public:
    static constexpr std::u16string_view kClassName = u"DS_TwinklingStars";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_TwinklingStars();
    DS_TwinklingStars(const DS_TwinklingStars& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // The clock, every dab's processes, then the quads.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // The airbrush geometry; every dab twinkles about its present scale.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // A star at the point with scale stroke.size and a random opacity of
    // 0.5 to 1; its quad follows at the next step.
    void AddParticleAt(const math::Vec3& point, const DabStroke& stroke) override;
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;

    // 1 + value / 100.
    MediaSpeedParam twinkleSpeed;
};
