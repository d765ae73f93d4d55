#include "objects/FishConstructor.h"

#include <cmath>

#include "objectmodel/ScaledParams.h"
#include "objects/SectionHeaderWriter.h"
#include "objects/SpriteViewEdges.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Random.h"
#include "render/LegacyTimeline.h"
#include "render/Timelines.h"
#include "render/Timing.h"

namespace {

// A sprite picks a new speed at most once per second of frame time.
constexpr float kSpeedChangeInterval = 1.0f;
// Birds keep at least this part of the maximum speed.
constexpr float kBirdBriskness = 0.7f;

constexpr float kGhostMaxSpeed = 50.0f;
constexpr float kGhostAlphaRate = 0.66f;
constexpr std::uint32_t kGhostTransparency = 50;
constexpr std::int32_t kGhostTimingFlag = 1;
constexpr std::int32_t kGhostCategory = 2;
constexpr int kGhostClockMode = 1;
// The timeline a version-1 ghost gets: always on, fading in and out.
// Fades of 1.5 s, no on or off phase.
constexpr LegacyRandomTimes kGhostDefaultTimeline{150, 150, 0, 0, 0, 0};

} // namespace

// ---- DS_FishConstructor ----------------------------------------------------------

std::unique_ptr<DS_ParticleSystemCtrl> DS_FishConstructor::Clone() const
{
    return std::make_unique<DS_FishConstructor>(*this);
}

bool DS_FishConstructor::CountLimitReached(std::int32_t) const
{
    return spriteEvent != 0;
}

float DS_FishConstructor::RandomSpeed(float max)
{
    return -max + 2.0f * max * crt::RandomUnit();
}

void DS_FishConstructor::InitSprite(SpriteParticle& sprite)
{
    PlaceFish(sprite);
}

void DS_FishConstructor::PlaceFish(SpriteParticle& sprite)
{
    sprite.velocity.x = RandomSpeed(maxSpeedX);
    sprite.velocity.y = RandomSpeed(maxSpeedY);
    sprite.velocity.z = 0.0f;
    sprite.dirFactor = {};
    RandomPointInView(sprite.position);
    SetSpriteHalfExtents(sprite, static_cast<float>(spriteSize.value));
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
    // Facing its way.
    if (sprite.velocity.x < 0.0f)
        sprite.halfWidth = -sprite.halfWidth;
}

void DS_FishConstructor::UpdateSprite(SpriteParticle& sprite)
{
    Swim(sprite);
}

void DS_FishConstructor::Swim(SpriteParticle& sprite)
{
    const float dt = animationStep;
    math::Vec3& p = sprite.position;
    math::Vec3& v = sprite.velocity;
    p.x += v.x * dt;
    p.y += v.y * dt;

    const SpriteViewEdges edges = ViewEdgesOf(*this);
    const float w = std::fabs(sprite.halfWidth);
    if (edges.left > p.x + w) {
        v.x = std::fabs(v.x);
        sprite.halfWidth = w;
        spriteEvent = 1;
    } else if (p.x - w > edges.right) {
        v.x = -std::fabs(v.x);
        sprite.halfWidth = -w;
        spriteEvent = 1;
    }
    if (edges.top > p.y - sprite.halfHeight) {
        v.y = std::fabs(v.y);
        spriteEvent = 1;
    } else if (p.y + sprite.halfHeight > edges.bottom) {
        v.y = -std::fabs(v.y);
        spriteEvent = 1;
    }

    // lastObjectTime is the time this frame was stepped to.
    const float frameTime = lastObjectTime;
    if (frameTime - sprite.timer > kSpeedChangeInterval) {
        sprite.timer = frameTime;
        if ((crt::rand() & 1) != 0) {
            v.x = std::copysign(RandomSpeed(maxSpeedX), v.x);
            v.y = RandomSpeed(maxSpeedY);
            v.z = 0.0f;
            spriteEvent = 1;
        }
    }
}

void DS_FishConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteFloat(maxSpeedX);
    ar->WriteFloat(maxSpeedY);
    DS_BaseSpriteProp::Save(ar);
}

void DS_FishConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    maxSpeedX = ar.ReadFloat();
    maxSpeedY = ar.ReadFloat();
    DS_BaseSpriteProp::Load(ar);
}

void DS_FishConstructor::LoadFishSection(ArchiveReader ar)
{
    ReadBody(ar, ar.ReadSectionHeader().version);
}

// ---- DS_BirdConstructor ----------------------------------------------------------

std::unique_ptr<DS_ParticleSystemCtrl> DS_BirdConstructor::Clone() const
{
    return std::make_unique<DS_BirdConstructor>(*this);
}

void DS_BirdConstructor::UpdateSprite(SpriteParticle& sprite)
{
    Swim(sprite);
    math::Vec3& v = sprite.velocity;
    const float minY = kBirdBriskness * maxSpeedY;
    if (std::fabs(v.y) < minY)
        v.y = v.y * (1.0f - kBirdBriskness) / kBirdBriskness + minY;
    const float minX = kBirdBriskness * maxSpeedX;
    if (std::fabs(v.x) < minX)
        v.x = std::copysign(minX + (1.0f - kBirdBriskness) * maxSpeedX * crt::RandomUnit(), v.x);
}

void DS_BirdConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    DS_FishConstructor::Save(ar);
}

void DS_BirdConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    LoadFishSection(ar);
}

// ---- DS_GhostConstructor ---------------------------------------------------------

DS_GhostConstructor::DS_GhostConstructor()
{
    maxSpeedX = kGhostMaxSpeed;
    maxSpeedY = kGhostMaxSpeed;
    brightnessRate = kGhostAlphaRate;
    transparency.SetValue(kGhostTransparency, nullptr);
    scaleMin = 1.0f;
    scaleMax = 1.0f;
    timing.flags |= kGhostTimingFlag;
    category = kGhostCategory;
    timing.clockMode.StoreValue(kGhostClockMode);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_GhostConstructor::Clone() const
{
    return std::make_unique<DS_GhostConstructor>(*this);
}

void DS_GhostConstructor::InitSprite(SpriteParticle& sprite)
{
    PlaceFish(sprite);
    sprite.alpha = crt::RandomUnit();
}

void DS_GhostConstructor::UpdateSprite(SpriteParticle& sprite)
{
    Swim(sprite);
    // Each sprite remembers that the timeline was off, so that every one of
    // them (not only the first updated) is placed again when it comes back.
    if (timing.CurrentTimeline()->GetState() == kTimingOff) {
        sprite.wasOff = 1;
    } else if (sprite.wasOff != 0) {
        PlaceFish(sprite);
        sprite.alpha = crt::RandomUnit();
        spriteEvent = 1;
        sprite.wasOff = 0;
    }
    sprite.alpha = TimingValue();
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

void DS_GhostConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    DS_FishConstructor::Save(ar);
}

void DS_GhostConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    LoadFishSection(ar);
    // After the base sections, whose timing record would otherwise replace
    // it.
    if (version == kVersionWithoutTimeline)
        InstallLegacyRandomTimeline(timing, kGhostDefaultTimeline);
}
