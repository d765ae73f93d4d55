#pragma once
// DS_Firework: an origin generator whose launches are rockets (emitter
// particles). With a manual or random timeline one burst of `rocketCount`
// rockets fires each time the timeline switches on, the rockets living as
// long as the timeline's length; with a continuous timeline a rocket starts
// every 0.5 / rocketCount s of origin time and lives 0.5 s. Rockets leave
// trails of sparks; both are drawn as a core and a larger glow quad into the
// two layers of the glow composite (GlowComposite.h): rockets first, then
// sparks, at the same index in both layers.
//
// DS_FireworkSimple decides how rockets and sparks start: a rocket flies out
// in a random direction at the rocket speed, falling by the rocket fall; a
// spark starts at the timeline level's opacity, flies at a random speed up
// to the particle speed, fades to 0 and grows to 1 + growth over its
// lifetime.
//
// Stored section "DS_FireworkSimple", 1: rocket count, quad size, rocket
// speed, glow factor (uint32 each); then the DS_ParticleOriginGenerator
// section. DS_Firework has no section of its own.

#include <cstdint>
#include <memory>

#include "particles/generators/OriginGenerator.h"

class DS_Firework : public DS_ParticleOriginGenerator {
public:
    static constexpr std::string_view kBuiltinEffect = "generator-glow";
    // Seconds a rocket of the continuous timeline lives, and the time over
    // which one round of rockets starts.
    static constexpr float kContinuousRocketLife = 0.5f;

    DS_Firework();

    // Origin clock; rockets, then sparks; new sparks; bursts; the layers.
    void Step(float localTime, DS_ParticlesObj& target) override;
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // Mask surface, placement, no rockets, two empty layers.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // The composite always reads the picture drawn so far.
    bool NeedsBackground() const override { return true; }
    std::unique_ptr<KXI_RenderObj> CreateExtraRenderObject() override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // Gives a new rocket its processes; it lives `life` seconds.
    virtual void InitRocket(GenParticle& rocket, float life) = 0;

    void FillLayers(DS_ParticlesObj& target);

    MediaParamT<std::uint32_t> rocketCount;
    MediaParamT<std::uint32_t> quadSize;
    UINTSclaleTo<float> rocketSpeed{4.0f, 0.0f, 0};
    UINTSclaleTo<float> glowFactor{0.04f, 1.0f, 0};
    // Acceleration of the rockets along +y; never stored.
    UINTSclaleTo<float> rocketFall{4.0f, 0.0f, 0};
    // A burst fires when the timeline next leaves the off state.
    std::uint8_t armed = 1;
    float nextLaunchTime = 0.0f;

private:
    void FireBurst();
    void LaunchRocket(float life);
};

class DS_FireworkSimple : public DS_Firework {
public:
    static constexpr std::u16string_view kClassName = u"DS_FireworkSimple";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_FireworkSimple() = default;
    DS_FireworkSimple(const DS_FireworkSimple& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // A spark: opacity of the timeline level now, linear fade to 0 and growth
    // over the spark lifetime, a random velocity.
    void InitParticle(GenParticle& spark, const GenParticle& rocket) override;
    void InitRocket(GenParticle& rocket, float life) override;
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
};

// Gives a particle a life channel that reaches 1 after `seconds`: a
// PLifeConst of 1 / seconds. A length that is not above 0 ends the particle
// at its first step instead of dividing by it.
void AddLifeSpan(GenParticle& particle, float seconds);
