#include "objects/FlowConstructor.h"

#include <cmath>

#include "objectmodel/Geometry.h"
#include "objectmodel/StoredParams.h"
#include "objects/SectionHeaderWriter.h"
#include "objects/SpriteAxes.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

namespace {

constexpr float kWobbleScale = 3.0f;
constexpr float kChangeRateScale = 0.25f;
constexpr std::int32_t kFlowTimingFlag = 1;
constexpr std::int32_t kFlowCategory = 1;
constexpr std::int32_t kFirstVersionWithFlag = 2;
constexpr std::int32_t kFirstVersionWithMode = 3;
constexpr std::int32_t kFirstVersionWithBounds = 4;

constexpr std::uint32_t kRainDirection = 270;
constexpr float kRainSpeed = 2000.0f;
constexpr float kRainScaleMin = 0.5f;
constexpr float kRainScaleMax = 1.0f;
constexpr float kThreeQuarterTurn = 4.712389f;

// A wobble factor in -1..1.
float RandomWobble()
{
    return crt::RandomUnit() * 2.0f - 1.0f;
}

} // namespace

// ---- DS_FlowConstructor ----------------------------------------------------------

DS_FlowConstructor::DS_FlowConstructor()
    : direction(0), wobble(kWobbleScale), changeRate(kChangeRateScale), orientationMode(kUpright)
{
    timing.flags |= kFlowTimingFlag;
    category = kFlowCategory;
    AssignSides();
    m_controls.AddValueCallback<std::uint32_t>(&direction, &DS_FlowConstructor::OnDirectionChanged);
}

DS_FlowConstructor::DS_FlowConstructor(const DS_FlowConstructor& other)
    : DS_ParticleSystemCtrl(other), direction(other.direction), wobble(other.wobble), changeRate(other.changeRate),
      orientationMode(other.orientationMode), bounds(other.bounds), speed(other.speed)
{
    AssignSides();
    m_controls.AddValueCallback<std::uint32_t>(&direction, &DS_FlowConstructor::OnDirectionChanged);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_FlowConstructor::Clone() const
{
    return std::make_unique<DS_FlowConstructor>(*this);
}

void DS_FlowConstructor::AssignSides()
{
    for (std::size_t side = 0; side < bounds.size(); ++side)
        bounds[side].SetSide(static_cast<std::int32_t>(side));
}

void DS_FlowConstructor::OnDirectionChanged(std::uint32_t degrees)
{
    // The turn is the whole number of degrees 360 - a (negative beyond 360).
    const auto turn = static_cast<std::int32_t>(360u - degrees);
    math::MatrixRotationZ(&rotation, static_cast<float>(turn) * kScenePi / 180.0f);
    math::Vec3TransformNormal(&directionVector, math::Vec3{speed, 0.0f, 0.0f}, rotation);
    math::Vec3TransformNormal(&perpendicular, math::Vec3{0.0f, 1.0f, 0.0f}, rotation);
}

bool DS_FlowConstructor::CountLimitReached(std::int32_t) const
{
    return spriteEvent != 0;
}

std::uint32_t DS_FlowConstructor::ActiveSpriteCount() const
{
    const std::uint32_t count = spriteCount.value;
    if (count <= 1)
        return count;
    // In double: the product never exceeds the count, so it always fits.
    return static_cast<std::uint32_t>(static_cast<double>(count) * static_cast<double>(TimingValue()));
}

void DS_FlowConstructor::InitSprite(SpriteParticle& sprite)
{
    // A new or reborn sprite starts free of the edge rules that held it.
    sprite.ReleaseEdgeRules();
    sprite.dirFactor = {1.0f, 1.0f, 0.0f};
    sprite.velocity.x = 0.0f;
    sprite.velocity.y = 0.0f;
    sprite.velocity.z = RandomWobble();
    RandomPointInView(sprite.position);
    SetupSprite(sprite);
}

void DS_FlowConstructor::SetupSprite(SpriteParticle& sprite) const
{
    SetSpriteHalfExtents(sprite, static_cast<float>(spriteSize.value));
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
    switch (orientationMode.value) {
    case kAlongFlow:
        sprite.axisX = TurnedPoint({1.0f, 0.0f, 0.0f}, rotation);
        sprite.axisY = TurnedPoint({0.0f, 1.0f, 0.0f}, rotation);
        break;
    case kUpright:
        sprite.axisX = {1.0f, 0.0f, 0.0f};
        sprite.axisY = {0.0f, 1.0f, 0.0f};
        break;
    default:
        // The mirrored modes set their axes every frame.
        break;
    }
}

void DS_FlowConstructor::UpdateSprite(SpriteParticle& sprite)
{
    const float dt = animationStep;
    const float k = wobble.Scaled();
    const float r = sprite.velocity.z;
    const float s = sprite.sizeFactor;
    const float vx = (directionVector.x * sprite.dirFactor.x + perpendicular.x * r * k) * s;
    const float vy = (directionVector.y * sprite.dirFactor.y + perpendicular.y * r * k) * s;
    if (sprite.paused == 0) {
        sprite.position.x += dt * vx;
        sprite.position.y += dt * vy;
    }
    for (const DS_BoundControl& bound : bounds)
        if (bound.Step(sprite, *this))
            break;
    spriteEvent |= sprite.paused;

    if (orientationMode.value == kMirrorByVx) {
        sprite.axisX = {std::copysign(1.0f, vx), 0.0f, 0.0f};
        sprite.axisY = {0.0f, 1.0f, 0.0f};
    } else if (orientationMode.value == kMirrorByVy) {
        sprite.axisX = {1.0f, 0.0f, 0.0f};
        sprite.axisY = {0.0f, std::copysign(1.0f, vy), 0.0f};
    }

    // A change rate of 0 never draws a new wobble factor.
    const float rate = changeRate.Scaled();
    if (rate > 0.0f && animationClock - sprite.timer > 1.0f / rate) {
        sprite.timer = animationClock;
        if ((crt::rand() & 1) != 0)
            sprite.velocity.z = RandomWobble();
    }
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

void DS_FlowConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    WriteParamValue(ar, direction);
    WriteParamValue(ar, wobble);
    WriteParamValue(ar, changeRate);
    ar->WriteFloat(speed);
    WriteParamValue(ar, orientationMode);
    for (const DS_BoundControl& bound : bounds)
        bound.Save(ar);
    DS_BaseSpriteProp::Save(ar);
}

void DS_FlowConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadParamValue(ar, direction);
    ReadParamValue(ar, wobble);
    ReadParamValue(ar, changeRate);
    speed = ar.ReadFloat();
    if (version >= kFirstVersionWithMode)
        ReadParamValue(ar, orientationMode);
    else if (version >= kFirstVersionWithFlag)
        orientationMode.SetValue(ar.ReadLong() != 0 ? kAlongFlow : kUpright, nullptr);
    if (version >= kFirstVersionWithBounds)
        for (DS_BoundControl& bound : bounds)
            bound.Load(ar);
    DS_BaseSpriteProp::Load(ar);
    // Nobody was told of the stored values; the description's own derived
    // values follow them as a copy's do.
    wobble.UpdateScaled();
    changeRate.UpdateScaled();
    OnDirectionChanged(direction.value);
}

void DS_FlowConstructor::LoadFlowSection(ArchiveReader ar)
{
    ReadBody(ar, ar.ReadSectionHeader().version);
}

// ---- DS_RainConstructor ----------------------------------------------------------

DS_RainConstructor::DS_RainConstructor()
{
    speed = kRainSpeed;
    direction.SetValue(kRainDirection, nullptr);
    wobble.StoreValue(0);
    wobble.UpdateScaled();
    scaleMin = kRainScaleMin;
    scaleMax = kRainScaleMax;
    orientationMode.StoreValue(kAlongFlow);
    math::MatrixRotationZ(&dropTurn, kThreeQuarterTurn);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_RainConstructor::Clone() const
{
    return std::make_unique<DS_RainConstructor>(*this);
}

bool DS_RainConstructor::CountLimitReached(std::int32_t counter) const
{
    return counter > 1;
}

void DS_RainConstructor::InitSprite(SpriteParticle& sprite)
{
    DS_FlowConstructor::InitSprite(sprite);
    sprite.alpha = crt::RandomUnit();
    SetupSprite(sprite);
    if (orientationMode.value == kAlongFlow) {
        sprite.axisX = TurnedPoint(sprite.axisX, dropTurn);
        sprite.axisY = TurnedPoint(sprite.axisY, dropTurn);
    }
}

void DS_RainConstructor::UpdateSprite(SpriteParticle& sprite)
{
    // The edge rules see the drop at full alpha: their fades never reach it.
    const float kept = sprite.alpha;
    sprite.alpha = 1.0f;
    DS_FlowConstructor::UpdateSprite(sprite);
    sprite.alpha = kept;
    OscillateSpriteAlpha(*this, sprite, animationStep, true);
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

void DS_RainConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    DS_FlowConstructor::Save(ar);
}

void DS_RainConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    LoadFlowSection(ar);
}
