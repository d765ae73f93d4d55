#include "particles/systems/Explosion.h"

#include <algorithm>

#include "objectmodel/StoredParams.h"
#include "particles/engine/WholeFraction.h"
#include "render/DocResManager.h"
#include "render/Timelines.h"
#include "render/Timing.h"

namespace {

// Scales and defaults of the stored values.
constexpr float kNoise1Scale = -0.01f;
constexpr float kNoise1Offset = 1.0f;
constexpr float kPercent = 0.01f;
constexpr std::uint32_t kDefaultNoise1 = 21;
constexpr std::uint32_t kDefaultNoise2 = 15;
constexpr std::uint32_t kDefaultNoise3 = 42;
constexpr float kDriftSpeedScale = 0.005f;
constexpr std::uint32_t kDefaultDriftSpeed = 50;
constexpr std::uint32_t kDefaultSpriteSize = 250;
constexpr std::uint32_t kDefaultAnimationRate = 100;
constexpr float kMaxClockStep = 0.2f;
// The legacy timing values become the timeline's hundredths divided by 10,
// as documents of that version were converted.
constexpr std::uint32_t kLegacyDivisor = 10;

float RandomUnit(int value)
{
    return static_cast<float>(value) / static_cast<float>(crt::kRandMax);
}

// (R, G, B) / 255 of a 0xAARRGGBB colour or of a COLORREF (red low).
std::array<float, 3> ChannelsOfArgb(std::uint32_t argb)
{
    return {static_cast<float>((argb >> 16) & 0xFFu) / 255.0f, static_cast<float>((argb >> 8) & 0xFFu) / 255.0f,
            static_cast<float>(argb & 0xFFu) / 255.0f};
}

std::array<float, 3> ChannelsOfColorref(COLORREF colour)
{
    return {static_cast<float>(colour & 0xFFu) / 255.0f, static_cast<float>((colour >> 8) & 0xFFu) / 255.0f,
            static_cast<float>((colour >> 16) & 0xFFu) / 255.0f};
}

} // namespace

DS_ExplosionConstructor::DS_ExplosionConstructor()
    : noise1(kNoise1Scale, kNoise1Offset, kDefaultNoise1), noise2(kPercent, 0.0f, kDefaultNoise2),
      noise3(kPercent, 0.0f, kDefaultNoise3), seed(0), randomOffsets(0), secondColour(0)
{
    driftSpeed.Rescale(kDriftSpeedScale, 0.0f);
    driftSpeed.QuietSet(kDefaultDriftSpeed);
    spriteSize.QuietSet(kDefaultSpriteSize);
    animationRate.QuietSet(kDefaultAnimationRate);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_ExplosionConstructor::Clone() const
{
    return std::make_unique<DS_ExplosionConstructor>(*this);
}

void DS_ExplosionConstructor::ResetNoise()
{
    currentOffset = {0.0f, 0.0f};
    nextOffset = {0.0f, 0.0f};
    offsetCounter = 1;
    clockLast = 0.0f;
    clockTotal = 0.0f;
}

void DS_ExplosionConstructor::Restart()
{
    DS_StatBaseFXCtrl::Restart();
    ResetNoise();
    // The animation clock starts again from 0, so must the offsets' second.
    lastWholeSecond = 0.0f;
}

void DS_ExplosionConstructor::NextNoiseOffsets()
{
    if (randomOffsets.value != 0) {
        const float x = RandomUnit(crt::rand());
        nextOffset = {x, RandomUnit(crt::rand())};
        return;
    }
    // The k-th call after a reset gives the k-th pair of the seeded
    // sequence.
    if (offsetCounter <= 1)
        m_seeded.Seed(seed.value);
    const float x = RandomUnit(m_seeded.Next());
    nextOffset = {x, RandomUnit(m_seeded.Next())};
    ++offsetCounter;
}

void DS_ExplosionConstructor::StepOwnClock()
{
    const float now = animationClock;
    if (clockLast > now)
        clockLast = now;
    float step = now - clockLast;
    clockLast = now;
    step = std::min(step, kMaxClockStep);
    step *= driftSpeed.Scaled();
    clockStep = step;
    clockTotal += step;
}

void DS_ExplosionConstructor::UpdateSprite(SpriteParticle& sprite)
{
    const KXI_Timing& timeline = *timing.CurrentTimeline();
    const int state = timeline.GetState();
    const float level = timeline.GetValue();
    StepOwnClock();
    if (state == kTimingOff)
        ResetNoise();
    sprite.position = centre.value;
    float factor = 1.0f;
    if (state == kTimingRising) {
        sprite.alpha = std::min(level * 5.0f, 1.0f);
        sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
        factor = level * 3.0f * 0.25f + 0.25f;
    }
    const float half = state == kTimingOff ? 0.0f : static_cast<float>(spriteSize.value / 2) * factor;
    sprite.halfWidth = half;
    sprite.halfHeight = half;
}

void DS_ExplosionConstructor::FetchEffect()
{
    DS_StatBaseFXCtrl::FetchEffect();
    gradientTexture = FirstLinkedTexture(spriteImage);
    noiseTexture = FirstLinkedTexture(secondImage);
    NextNoiseOffsets();
}

bool DS_ExplosionConstructor::SetEffectParameters(DS_ABRender&, ParticleGeomArray& array)
{
    gfx::Effect* e = HeldEffect();
    if (!e || !gradientTexture || !noiseTexture || array.Sprites().empty())
        return false;
    const KXI_Timing& timeline = *timing.CurrentTimeline();
    const int state = timeline.GetState();
    const float level = timeline.GetValue();

    const std::array<float, 3> colour1 = ChannelsOfArgb(array.Sprites().front()->colour);
    const std::array<float, 3> colour2 = ChannelsOfColorref(secondColour.value);
    const std::array<float, 3> noiseParams{noise1.Scaled(), noise2.Scaled(), noise3.Scaled()};

    float whole = 0.0f;
    const auto fraction = static_cast<float>(SplitWholeFraction(animationClock, whole));
    if (whole > lastWholeSecond) {
        currentOffset = nextOffset;
        NextNoiseOffsets();
        lastWholeSecond = whole;
    }
    const math::Vec4& drift = direction.Direction();
    const float shiftX = -(drift.x * clockTotal);
    const float shiftY = -(drift.y * clockTotal);
    const std::array<float, 4> noiseShift{currentOffset[0] + shiftX, currentOffset[1] + shiftY, nextOffset[0] + shiftX,
                                          nextOffset[1] + shiftY};
    const float m = state == kTimingFalling ? 1.0f - level : 0.0f;
    const std::array<float, 2> time{fraction, 1.0f - fraction};
    const std::array<float, 2> phase3{m, 1.0f - m};
    const float phase1 = state == kTimingRising ? (1.0f - level) * 2.0f : 0.0f;

    e->SetTechnique("Main");
    e->SetTexture("GradientTex", gradientTexture.Get());
    e->SetTexture("NoiseTex", noiseTexture.Get());
    e->SetFloatArray("color1", colour1.data(), 3);
    e->SetFloatArray("color2", colour2.data(), 3);
    e->SetFloatArray("noise_shift", noiseShift.data(), 4);
    e->SetFloatArray("noise_params", noiseParams.data(), 3);
    e->SetFloatArray("time", time.data(), 2);
    e->SetFloatArray("phase_3rd", phase3.data(), 2);
    e->SetFloat("phase_1st", phase1);
    return true;
}

void DS_ExplosionConstructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteParamValue(ar, noise1);
    WriteParamValue(ar, noise2);
    WriteParamValue(ar, noise3);
    WriteParamValue(ar, direction);
    WriteParamValue(ar, driftSpeed);
    WriteParamValue(ar, seed);
    WriteParamValue(ar, randomOffsets);
    ar->WriteLong(static_cast<std::int32_t>(secondColour.value));
    DS_StatBaseFXCtrl::Save(ar);
}

void DS_ExplosionConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadChangedParamValue(ar, noise1);
    ReadChangedParamValue(ar, noise2);
    ReadChangedParamValue(ar, noise3);
    ReadChangedParamValue(ar, direction);
    ReadParamValue(ar, driftSpeed);
    driftSpeed.UpdateScaled();
    std::array<std::uint32_t, 5> legacy{};
    if (version == kLegacyTimingVersion)
        for (std::uint32_t& value : legacy)
            value = ar.ReadDword();
    ReadParamValue(ar, seed);
    ReadParamValue(ar, randomOffsets);
    secondColour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    DS_StatBaseFXCtrl::Load(ar);
    // After the base sections: their timing record would otherwise replace
    // the timeline the legacy values describe.
    if (version == kLegacyTimingVersion)
        ApplyLegacyTiming(legacy);
}

void DS_ExplosionConstructor::ApplyLegacyTiming(const std::array<std::uint32_t, 5>& values)
{
    const auto [a, b, c, d, e] = values;
    InstallFixedRandomTimeline(timing, {(d + e) / kLegacyDivisor, b / kLegacyDivisor, a / kLegacyDivisor,
                                        c / kLegacyDivisor});
}
