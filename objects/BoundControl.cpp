#include "objects/BoundControl.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "objects/SectionHeaderWriter.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Random.h"
#include "render/BaseSpriteProp.h"

namespace {

constexpr float kMillisecond = 0.001f;

// The far and near tests of each side: the far test holds when the sprite is
// entirely beyond the edge, the near test when it reaches over it. A
// mirrored sprite has a negative half width, hence |w| where the whole
// sprite counts.
bool TopFar(const SpriteParticle& s, const SpriteViewEdges& e) { return e.top > s.position.y + std::fabs(s.halfHeight); }
bool TopNear(const SpriteParticle& s, const SpriteViewEdges& e) { return e.top > s.position.y - s.halfHeight; }
bool BottomFar(const SpriteParticle& s, const SpriteViewEdges& e)
{
    return s.position.y - std::fabs(s.halfHeight) > e.bottom;
}
bool BottomNear(const SpriteParticle& s, const SpriteViewEdges& e) { return s.position.y + s.halfHeight > e.bottom; }
bool LeftFar(const SpriteParticle& s, const SpriteViewEdges& e) { return e.left > s.position.x + std::fabs(s.halfWidth); }
bool LeftNear(const SpriteParticle& s, const SpriteViewEdges& e) { return e.left > s.position.x - s.halfWidth; }
bool RightFar(const SpriteParticle& s, const SpriteViewEdges& e)
{
    return s.position.x - std::fabs(s.halfWidth) > e.right;
}
bool RightNear(const SpriteParticle& s, const SpriteViewEdges& e) { return s.position.x + s.halfWidth > e.right; }

struct SideTests {
    DS_BoundControl::EdgeTest far;
    DS_BoundControl::EdgeTest near;
};
constexpr SideTests kSideTests[] = {
    {&TopFar, &TopNear}, {&BottomFar, &BottomNear}, {&LeftFar, &LeftNear}, {&RightFar, &RightNear}};

// The part of a fade one step covers over a fade of `milliseconds`.
float FadeStep(float dt, std::uint32_t milliseconds)
{
    return dt * 1000.0f / static_cast<float>(milliseconds);
}

// `value` held to [low, high]: set to `outHigh` beyond `high`, to `outLow`
// below `low`.
void Limit(float& value, float low, float high, float outLow, float outHigh)
{
    if (value > high)
        value = outHigh;
    else if (value < low)
        value = outLow;
}

} // namespace

DS_BoundControl::DS_BoundControl() : mode(kWrap), fadeOutTime(0), fadeInTime(0), minDelay(0), maxDelay(0) {}

DS_BoundControl::DS_BoundControl(const DS_BoundControl& other) : DS_BoundControl()
{
    Copy(other);
}

void DS_BoundControl::SetSide(std::int32_t newSide)
{
    if (newSide < kTop || newSide > kRight) {
        m_side = kNoSide;
        m_farTest = m_nearTest = nullptr;
        return;
    }
    m_side = newSide;
    m_farTest = kSideTests[newSide].far;
    m_nearTest = kSideTests[newSide].near;
}

void DS_BoundControl::Copy(const DS_BoundControl& other)
{
    mode.StoreValue(other.mode.value);
    fadeOutTime.StoreValue(other.fadeOutTime.value);
    fadeInTime.StoreValue(other.fadeInTime.value);
    minDelay.StoreValue(other.minDelay.value);
    maxDelay.StoreValue(other.maxDelay.value);
}

void DS_BoundControl::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, mode);
    WriteParamValue(ar, fadeOutTime);
    WriteParamValue(ar, fadeInTime);
    WriteParamValue(ar, minDelay);
    WriteParamValue(ar, maxDelay);
}

void DS_BoundControl::Load(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    ReadParamValue(ar, mode);
    ReadParamValue(ar, fadeOutTime);
    ReadParamValue(ar, fadeInTime);
    ReadParamValue(ar, minDelay);
    ReadParamValue(ar, maxDelay);
}

bool DS_BoundControl::Step(SpriteParticle& sprite, const DS_BaseSpriteProp& owner) const
{
    if (m_side == kNoSide)
        return false;
    const SpriteViewEdges edges = ViewEdgesOf(owner);
    if (sprite.edgeState == -1)
        return StepFree(sprite, edges, owner.animationClock);
    if (sprite.edgeState != m_side)
        return false;
    return StepHeld(sprite, edges, owner.animationClock, owner.animationStep);
}

bool DS_BoundControl::StepFree(SpriteParticle& sprite, const SpriteViewEdges& edges, float now) const
{
    switch (mode.value) {
    case kReflect:
        if (!m_nearTest(sprite, edges))
            return false;
        Reflect(sprite);
        sprite.edgeState = m_side;
        return true;
    case kReflectAndPause:
        if (!m_farTest(sprite, edges))
            return false;
        Reflect(sprite);
        StartPause(sprite, now);
        sprite.edgeState = m_side;
        return true;
    case kWrap:
        if (!m_farTest(sprite, edges))
            return false;
        // A visible sprite first fades out where it is; one that has faded
        // comes back at the other side.
        if (sprite.alpha <= 0.0f) {
            WrapToOppositeSide(sprite, edges);
            sprite.fadingIn = 1;
        }
        sprite.edgeState = m_side;
        return true;
    default:
        return false;
    }
}

bool DS_BoundControl::StepHeld(SpriteParticle& sprite, const SpriteViewEdges& edges, float now, float dt) const
{
    switch (mode.value) {
    case kReflect:
        KeepInside(sprite, edges);
        if (!m_nearTest(sprite, edges))
            sprite.edgeState = -1;
        return true;
    case kReflectAndPause:
        KeepJustOutside(sprite, edges);
        sprite.pauseClock += dt;
        if (sprite.resumeTime >= sprite.pauseClock)
            return true;
        sprite.paused = 0;
        if (!m_farTest(sprite, edges))
            sprite.edgeState = -1;
        return true;
    case kWrap:
        if (sprite.fadingIn != 0)
            FadeIn(sprite, dt);
        else
            FadeOut(sprite, now, dt);
        return true;
    default:
        return true;
    }
}

void DS_BoundControl::Reflect(SpriteParticle& sprite) const
{
    if (IsHorizontal())
        sprite.dirFactor.x = -sprite.dirFactor.x;
    else
        sprite.dirFactor.y = -sprite.dirFactor.y;
}

void DS_BoundControl::StartPause(SpriteParticle& sprite, float now) const
{
    const float low = static_cast<float>(minDelay.value) * kMillisecond;
    const float high = static_cast<float>(maxDelay.value) * kMillisecond;
    sprite.resumeTime = now + (low + (high - low) * crt::RandomUnit());
    sprite.pauseClock = now;
    sprite.paused = 1;
}

void DS_BoundControl::WrapToOppositeSide(SpriteParticle& sprite, const SpriteViewEdges& edges) const
{
    math::Vec3& p = sprite.position;
    const float w = sprite.halfWidth;
    const float h = sprite.halfHeight;
    switch (m_side) {
    case kTop:
        p.y = edges.bottom + h - 1.0f;
        break;
    case kBottom:
        p.y = edges.top - h + 1.0f;
        break;
    case kLeft:
        p.x = edges.right + w - 1.0f;
        break;
    default:
        p.x = edges.left - w + 1.0f;
        break;
    }
    if (IsHorizontal())
        p.y = edges.top + (edges.bottom - edges.top) * crt::RandomUnit();
    else
        p.x = edges.left + (edges.right - edges.left) * crt::RandomUnit();
}

void DS_BoundControl::KeepInside(SpriteParticle& sprite, const SpriteViewEdges& edges) const
{
    if (IsHorizontal()) {
        const float w = sprite.halfWidth;
        Limit(sprite.position.x, edges.left + w, edges.right - w, edges.left + w + 1.0f, edges.right - w - 1.0f);
    } else {
        const float h = sprite.halfHeight;
        Limit(sprite.position.y, edges.top + h, edges.bottom - h, edges.top + h + 1.0f, edges.bottom - h - 1.0f);
    }
}

void DS_BoundControl::KeepJustOutside(SpriteParticle& sprite, const SpriteViewEdges& edges) const
{
    if (IsHorizontal()) {
        const float w = sprite.halfWidth;
        Limit(sprite.position.x, edges.left - w, edges.right + w, edges.left - w + 1.0f, edges.right + w - 1.0f);
    } else {
        const float h = sprite.halfHeight;
        Limit(sprite.position.y, edges.top - h, edges.bottom + h, edges.top - h + 1.0f, edges.bottom + h - 1.0f);
    }
}

void DS_BoundControl::FadeOut(SpriteParticle& sprite, float now, float dt) const
{
    if (sprite.alpha > 0.0f) {
        // A fade time of 0 jumps.
        sprite.alpha = fadeOutTime.value == 0 ? 0.0f : sprite.alpha - FadeStep(dt, fadeOutTime.value);
        if (sprite.alpha < 0.0f)
            sprite.alpha = 0.0f;
        return;
    }
    // Faded: released, and paused until it comes back at the other side.
    sprite.edgeState = -1;
    StartPause(sprite, now);
}

void DS_BoundControl::FadeIn(SpriteParticle& sprite, float dt) const
{
    sprite.pauseClock += dt;
    if (!(sprite.resumeTime < sprite.pauseClock))
        return;
    sprite.paused = 0;
    if (sprite.alpha < 1.0f) {
        sprite.alpha = fadeInTime.value == 0 ? 1.0f : sprite.alpha + FadeStep(dt, fadeInTime.value);
        if (sprite.alpha > 1.0f)
            sprite.alpha = 1.0f;
        return;
    }
    sprite.edgeState = -1;
    sprite.fadingIn = 0;
}
