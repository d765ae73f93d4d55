#include "objects/AtmosphereSpriteConstructors.h"

#include <cmath>

#include "objectmodel/Geometry.h"
#include "objectmodel/StoredParams.h"
#include "objects/SectionHeaderWriter.h"
#include "objects/SpriteAxes.h"
#include "objects/SpriteSway.h"
#include "objects/SpriteViewEdges.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/TimingSmart.h"

namespace {

constexpr std::int32_t kTimingFlagZero = 1;

// God rays: a new drift at even odds every quarter second of animation
// clock, within +-10 pixels per second.
constexpr float kRayDriftInterval = 0.25f;
constexpr float kRayDriftRange = 20.0f;

// Sparkles drift within +-25 pixels per second.
constexpr float kSparkleDriftRange = 50.0f;
constexpr std::int32_t kSparkleCategory = 1;

constexpr float kFogAlphaMin = 0.2f;
constexpr float kFogAlphaMax = 1.0f;
constexpr std::uint32_t kFogTransparency = 50;
constexpr std::int32_t kFogCategory = 2;
constexpr int kFogClockMode = 1;
// A patch turns by up to +-0.004 radians per frame.
constexpr float kFogTurnRange = 0.008f;

constexpr std::uint32_t kLightingMinInterval = 100;
constexpr std::uint32_t kLightingMaxInterval = 500;
constexpr std::int32_t kAdditiveBlend = 1;
// A flash turns by up to +-22.5 degrees.
constexpr float kFlashTurnRange = 0.7853982f;
// Alpha lost per second of animation clock while a flash fades.
constexpr float kFlashFadeRate = 6.0f;
// While flashing, the flash flickers up at even odds this often.
constexpr float kFlickerInterval = 0.15f;
constexpr float kSecondsPerHundredth = 0.01f;
constexpr int kFirstLightingVersionWithIntervals = 2;

constexpr std::int32_t kGrassCategory = 6;
constexpr int kGrassClockMode = 2;
constexpr float kQuarterTurn = 1.5707964f;
constexpr float kUprightDegrees = 90.0f;

float Rnd()
{
    return crt::RandomUnit();
}

// +1 when rand() is even, -1 when odd.
float RandomMirror()
{
    return (crt::rand() & 1) != 0 ? -1.0f : 1.0f;
}

// Rescales an axis whose length has drifted from 1 beyond the tolerance.
void KeepUnitLength(math::Vec3& axis)
{
    const float length = math::Vec3Length(axis);
    if (std::fabs(length - 1.0f) > DS_FogConstructor::kAxisLengthTolerance)
        math::Vec3Normalize(&axis, axis);
}

} // namespace

// ---- DS_GodRayConstructor --------------------------------------------------------

std::unique_ptr<DS_ParticleSystemCtrl> DS_GodRayConstructor::Clone() const
{
    return std::make_unique<DS_GodRayConstructor>(*this);
}

void DS_GodRayConstructor::InitSprite(SpriteParticle& sprite)
{
    const SpriteViewEdges edges = ViewEdgesOf(*this);
    sprite.position.x = edges.left + (edges.right - edges.left) * Rnd();
    sprite.position.y = (edges.bottom - edges.top) * 0.5f;
    sprite.position.z = 0.0f;
    sprite.velocity = {Rnd() * kRayDriftRange - kRayDriftRange * 0.5f, 0.0f, 0.0f};
    sprite.dirFactor = {};
    SetupRay(sprite);
    sprite.alpha = Rnd();
}

void DS_GodRayConstructor::SetupRay(SpriteParticle& sprite) const
{
    sprite.halfWidth = static_cast<float>(spriteSize.value) * 0.5f;
    sprite.halfHeight = CurrentPictureHeight() * 0.5f;
    const std::uint32_t a = rayAngle.value;
    const float mirror = a < 180 ? 180.0f : 360.0f;
    const float theta = (mirror - static_cast<float>(a)) * 2.0f * kScenePi / 360.0f;
    sprite.axisY = {ShearOfAngle(theta), 1.0f, 0.0f};
}

void DS_GodRayConstructor::UpdateSprite(SpriteParticle& sprite)
{
    const float dt = animationStep;
    if (animationClock - sprite.timer > kRayDriftInterval) {
        sprite.timer = animationClock;
        if ((crt::rand() & 1) != 0)
            sprite.velocity = {Rnd() * kRayDriftRange - kRayDriftRange * 0.5f, 0.0f, 0.0f};
    }
    sprite.position.x += sprite.velocity.x * dt;
    sprite.position.y += sprite.velocity.y * dt;
    OscillateSpriteAlpha(*this, sprite, dt, true);
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

void DS_GodRayConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    WriteParamValue(ar, rayAngle);
    DS_BaseSpriteProp::Save(ar);
}

void DS_GodRayConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, rayAngle);
    DS_BaseSpriteProp::Load(ar);
}

// ---- DS_SparkleConstructor -------------------------------------------------------

DS_SparkleConstructor::DS_SparkleConstructor()
{
    viewFlag = 1;
    timing.flags |= kTimingFlagZero;
    category = kSparkleCategory;
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_SparkleConstructor::Clone() const
{
    return std::make_unique<DS_SparkleConstructor>(*this);
}

void DS_SparkleConstructor::InitSprite(SpriteParticle& sprite)
{
    const float half = kSparkleDriftRange * 0.5f;
    sprite.velocity.x = Rnd() * kSparkleDriftRange - half;
    sprite.velocity.y = Rnd() * kSparkleDriftRange - half;
    sprite.velocity.z = 0.0f;
    sprite.dirFactor = {};
    RandomPointInView(sprite.position);
    sprite.alpha = Rnd();
}

void DS_SparkleConstructor::UpdateSprite(SpriteParticle& sprite)
{
    const float dt = animationStep;
    sprite.position.x += sprite.velocity.x * dt;
    sprite.position.y += sprite.velocity.y * dt;
    OscillateSpriteAlpha(*this, sprite, dt, true);
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
    const float q = static_cast<float>(spriteSize.value) * sprite.sizeFactor * 0.25f;
    sprite.halfWidth = q * (1.0f + sprite.alpha);
    sprite.halfHeight = q + sprite.halfWidth * 0.5f * sprite.alpha;
}

void DS_SparkleConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    DS_BaseSpriteProp::Save(ar);
}

void DS_SparkleConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    DS_BaseSpriteProp::Load(ar);
}

// ---- DS_FogConstructor -----------------------------------------------------------

DS_FogConstructor::DS_FogConstructor()
{
    brightnessMin = kFogAlphaMin;
    brightnessMax = kFogAlphaMax;
    transparency.SetValue(kFogTransparency, nullptr);
    timing.flags |= kTimingFlagZero;
    category = kFogCategory;
    timing.clockMode.StoreValue(kFogClockMode);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_FogConstructor::Clone() const
{
    return std::make_unique<DS_FogConstructor>(*this);
}

void DS_FogConstructor::InitSprite(SpriteParticle& sprite)
{
    RandomPointInView(sprite.position);
    sprite.velocity.x = -maxSpeedX + 2.0f * maxSpeedX * Rnd();
    sprite.velocity.y = -maxSpeedY + 2.0f * maxSpeedY * Rnd();
    sprite.alpha = Rnd();
    math::MatrixRotationZ(&sprite.stepMatrix, Rnd() * kFogTurnRange - kFogTurnRange * 0.5f);
}

void DS_FogConstructor::UpdateSprite(SpriteParticle& sprite)
{
    const float dt = animationStep;
    math::Vec3& p = sprite.position;
    math::Vec3& v = sprite.velocity;
    p.x += v.x * dt;
    p.y += v.y * dt;

    // Swings between the bounds; a patch is never reborn.
    OscillateSpriteAlpha(*this, sprite, dt, false);

    const SpriteViewEdges edges = ViewEdgesOf(*this);
    if (p.y > edges.bottom)
        v.y = -std::fabs(v.y);
    else if (p.y < edges.top)
        v.y = std::fabs(v.y);
    if (p.x < edges.left)
        v.x = std::fabs(v.x);
    else if (p.x > edges.right)
        v.x = -std::fabs(v.x);

    // The turn is per frame. Applied for as long as the wallpaper runs, it
    // would let rounding shrink or grow the axes: they keep unit length.
    sprite.axisX = TurnedPoint(sprite.axisX, sprite.stepMatrix);
    sprite.axisY = TurnedPoint(sprite.axisY, sprite.stepMatrix);
    KeepUnitLength(sprite.axisX);
    KeepUnitLength(sprite.axisY);
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

void DS_FogConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteFloat(maxSpeedX);
    ar->WriteFloat(maxSpeedY);
    DS_BaseSpriteProp::Save(ar);
}

void DS_FogConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    maxSpeedX = ar.ReadFloat();
    maxSpeedY = ar.ReadFloat();
    DS_BaseSpriteProp::Load(ar);
}

// ---- DS_LightingConstructor ------------------------------------------------------

DS_LightingConstructor::DS_LightingConstructor() : minInterval(kLightingMinInterval), maxInterval(kLightingMaxInterval)
{
    viewFlag = 1;
    blendMode.StoreValue(kAdditiveBlend);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_LightingConstructor::Clone() const
{
    return std::make_unique<DS_LightingConstructor>(*this);
}

void DS_LightingConstructor::InitSprite(SpriteParticle& sprite)
{
    SetSpriteHalfExtents(sprite, static_cast<float>(spriteSize.value));
    RandomPointInViewInset(sprite.position, std::fabs(sprite.halfWidth), std::fabs(sprite.halfHeight));
    math::Matrix turn;
    math::MatrixRotationZ(&turn, Rnd() * kFlashTurnRange - kFlashTurnRange * 0.5f);
    sprite.axisX = TurnedPoint({RandomMirror(), 0.0f, 0.0f}, turn);
    sprite.axisY = TurnedPoint({0.0f, 1.0f, 0.0f}, turn);
    sprite.alpha = 0.0f;
}

float DS_LightingConstructor::NextInterval() const
{
    const std::uint64_t low = minInterval.value;
    const std::uint64_t high = maxInterval.value;
    std::uint64_t hundredths = low;
    if (high > low)
        hundredths = static_cast<std::uint64_t>(crt::rand()) % (high - low + 1) + low;
    return static_cast<float>(hundredths) * kSecondsPerHundredth;
}

void DS_LightingConstructor::UpdateSprite(SpriteParticle& sprite)
{
    // Two time bases: a flash flickers by the animation clock, a wait is
    // measured in frame time (lastObjectTime, the time of this frame).
    const float now = animationClock;
    const float frameTime = lastObjectTime;
    if (sprite.alpha != 0.0f) {
        sprite.alpha -= kFlashFadeRate * animationStep;
        if (now - sprite.timer > kFlickerInterval) {
            sprite.timer = now;
            if ((crt::rand() & 1) != 0)
                sprite.alpha = 1.0f;
        }
    }
    if (sprite.alpha == 0.0f && sprite.interval < frameTime - sprite.timer) {
        sprite.timer = frameTime;
        InitSprite(sprite);
        sprite.alpha = 1.0f;
        sprite.timer = now;
    }
    if (sprite.alpha < 0.0f) {
        sprite.alpha = 0.0f;
        sprite.timer = frameTime;
        sprite.interval = NextInterval();
    }
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

std::uint32_t DS_LightingConstructor::ApplyTimingAlpha(std::uint32_t argb) const
{
    return argb;
}

void DS_LightingConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    WriteParamValue(ar, minInterval);
    WriteParamValue(ar, maxInterval);
    DS_BaseSpriteProp::Save(ar);
}

void DS_LightingConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version >= kFirstLightingVersionWithIntervals) {
        ReadParamValue(ar, minInterval);
        ReadParamValue(ar, maxInterval);
    }
    DS_BaseSpriteProp::Load(ar);
    // Flashes come and go on a random timeline.
    timing.flags &= ~kTimingFlagZero;
    timing.SetValue(KXI_SmartTiming::kRandom, nullptr);
}

// ---- DS_GrassConstructor ---------------------------------------------------------

DS_GrassConstructor::DS_GrassConstructor()
{
    timing.flags |= kTimingFlagZero;
    category = kGrassCategory;
    timing.clockMode.StoreValue(kGrassClockMode);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_GrassConstructor::Clone() const
{
    return std::make_unique<DS_GrassConstructor>(*this);
}

void DS_GrassConstructor::InitSprite(SpriteParticle& sprite)
{
    const SpriteViewEdges edges = ViewEdgesOf(*this);
    sprite.position.x = edges.left + (edges.right - edges.left) * Rnd();
    sprite.velocity.z = sprite.position.x;
    sprite.position.y = edges.bottom - sprite.halfHeight;
    sprite.velocity.y = Rnd() * kQuarterTurn;
    sprite.axisX = {RandomMirror(), 0.0f, 0.0f};
}

void DS_GrassConstructor::UpdateSprite(SpriteParticle& sprite)
{
    // Neighbouring blades sway a little apart: the phase runs along the
    // picture's width (no such part on a picture of no width).
    const float width = CurrentPictureWidth();
    const float alongWidth = width > 0.0f ? sprite.position.x / width * 2.0f * kScenePi : 0.0f;
    const float a = std::sin(animationClock + sprite.velocity.y + alongWidth);
    const float c = ShearOfAngle(LeanOfSwayAngle(a * swayAmplitude + kUprightDegrees));
    sprite.axisY = {c, 1.0f, 0.0f};
    // The foot stays at the root.
    sprite.position.x = sprite.velocity.z - sprite.halfHeight * c;
}

std::uint32_t DS_GrassConstructor::ApplyTimingAlpha(std::uint32_t argb) const
{
    return SwayTimingAlpha(*this, argb);
}

void DS_GrassConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteFloat(swayAmplitude);
    DS_BaseSpriteProp::Save(ar);
}

void DS_GrassConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    swayAmplitude = ar.ReadFloat();
    DS_BaseSpriteProp::Load(ar);
}
