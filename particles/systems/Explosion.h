#pragma once
// DS_ExplosionConstructor: a ball of fire at the centre point, drawn through
// its effect (technique "Main"): a drifting noise picture coloured through a
// gradient picture between the sprite colour (core) and the second colour
// (outside). The timeline drives the blast: while it rises the ball grows
// and brightens, while it falls the effect dissolves it, and while it is off
// the ball has no size and the noise starts over.
//
// Noise offsets step once per whole second of the animation clock; the
// effect cross-fades the current and the next offset by the fraction of the
// second. With random offsets off, the k-th offset pair after a reset is
// the k-th pair of the generator seeded with the object's seed: a private
// generator, so the thread's shared sequence is neither reseeded nor
// disturbed. With random offsets on, the shared sequence is used.
//
// The effect comes from the effect link; bytes this platform cannot run take
// the built-in "explosion" effect. Without an effect, a gradient or a noise
// picture the explosion draws nothing (and keeps animating).
//
// Stored section "DS_ExplosionConstructor" 3: uint32 noise 1, 2, 3 (set and
// announced when they differ), uint32 drift direction (degrees, announced),
// uint32 speed; version 1 only: five legacy timing values a..e (tenths);
// then uint32 seed, int32 random offsets, int32 second colour, then the
// "DS_StatBaseFXCtrl" section. The legacy values become a random timeline:
// off (d + e) / 10, on b / 10, fade-in a / 10, fade-out c / 10 (hundredths,
// integer divisions), selected as timeline 1.

#include <array>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "particles/systems/FXControllers.h"
#include "platform/crt/Random.h"
#include "platform/gfx/Texture.h"

class DS_ExplosionConstructor : public DS_StatBaseFXCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_ExplosionConstructor";
    static constexpr std::int32_t kWrittenVersion = 3;
    static constexpr std::int32_t kLegacyTimingVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "explosion";

    DS_ExplosionConstructor();
    DS_ExplosionConstructor(const DS_ExplosionConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // Offsets, counter and own clock back to 0 (and the animation clock).
    void Restart() override;
    void UpdateSprite(SpriteParticle& sprite) override;
    // The effect and centre, the gradient and noise pictures (first and
    // second image), then the first noise offset.
    void FetchEffect() override;
    bool SetEffectParameters(DS_ABRender& renderer, ParticleGeomArray& array) override;
    // The next noise offset pair (see above).
    void NextNoiseOffsets();

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    UINTSclaleTo<float> noise1;
    UINTSclaleTo<float> noise2;
    UINTSclaleTo<float> noise3;
    MediaDirection direction;
    MediaSpeedParam driftSpeed;
    // The explosion's own clock: last step, running total, last time.
    float clockStep = 0.0f;
    float clockTotal = 0.0f;
    float clockLast = 0.0f;
    MediaParamT<std::uint32_t> seed;
    MediaParamT<std::int32_t> randomOffsets;
    SmartCOLORREF secondColour;
    gfx::Ref<gfx::Texture> gradientTexture;
    gfx::Ref<gfx::Texture> noiseTexture;
    std::array<float, 2> currentOffset{0.0f, 0.0f};
    std::array<float, 2> nextOffset{0.0f, 0.0f};
    float lastWholeSecond = 0.0f;
    std::int32_t offsetCounter = 1;

protected:
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

private:
    void ResetNoise();
    void StepOwnClock();
    // Installs the random timeline the legacy values describe.
    void ApplyLegacyTiming(const std::array<std::uint32_t, 5>& values);

    crt::RandomSequence m_seeded;
};
