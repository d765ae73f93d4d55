#include "objects/GlowingDischarge.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/StoredParams.h"
#include "particles/systems/ParticleGeomArray.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Random.h"
#include "render/SharedResource.h"
#include "render/ViewObjCtrl.h"

namespace {

constexpr float kJitterScale = 0.01f;
constexpr std::uint32_t kDefaultJitter = 50;
constexpr float kFlickerScale = -0.001f;
constexpr float kFlickerOffset = 0.1f;
constexpr std::uint32_t kDefaultFlicker = 100;
constexpr float kMorphScale = 0.1f;
constexpr std::uint32_t kDefaultMorph = 50;
constexpr std::uint32_t kDefaultSpriteSize = 50;
constexpr COLORREF kDefaultSpriteColour = 0xFFFFCC;
constexpr COLORREF kDefaultGlowColour = 0xFF9900;
constexpr float kPlacementInset = 100.0f;

float Length(const math::Vec3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// The unit vector along v; the zero vector stays zero.
math::Vec3 Normalised(const math::Vec3& v)
{
    const float length = Length(v);
    return length > 0.0f ? v * (1.0f / length) : math::Vec3{};
}

// Uniform in [-range, +range] from the shared sequence.
float Jitter(float range)
{
    return -range + 2.0f * range * static_cast<float>(crt::rand()) / static_cast<float>(crt::kRandMax);
}

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

math::Vec3 Lerp(const math::Vec3& a, const math::Vec3& b, float t)
{
    return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t), Lerp(a.z, b.z, t)};
}

} // namespace

DS_DischargeFXConstructor::DS_DischargeFXConstructor()
    : start(math::Vec3{}), end(math::Vec3{}), jitter(kJitterScale, 0.0f, kDefaultJitter),
      flickerInterval(kFlickerScale, kFlickerOffset, kDefaultFlicker), morphSpeed(kMorphScale, 0.0f, kDefaultMorph)
{
    spriteSize.QuietSet(kDefaultSpriteSize);
    blendMode.QuietSet(1);
    colour.QuietSet(kDefaultSpriteColour);
    glowColour.QuietSet(kDefaultGlowColour);
    effectLink.StorePathAndId(kCommonResModule, kCommonResDischargeEffect);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_DischargeFXConstructor::Clone() const
{
    return std::make_unique<DS_DischargeFXConstructor>(*this);
}

std::size_t DS_DischargeFXConstructor::SegmentCount() const
{
    return std::min(spriteCount.value, ParticleGeomArray::kMaxSprites);
}

void DS_DischargeFXConstructor::Restart()
{
    DS_GlowEffectCtrl::Restart();
    lastRebuild = 0.0f;
}

void DS_DischargeFXConstructor::BuildShape(std::vector<DischargeKeyPoint>& shape) const
{
    const math::Vec3& s = start.value;
    const math::Vec3& e = end.value;
    const math::Vec3 normal = Normalised({e.y - s.y, -(e.x - s.x), 0.0f});
    const std::size_t n = shape.size();
    const float range = jitter.Scaled();
    math::Vec3 current = s;
    for (std::size_t i = 0; i < n; ++i) {
        const math::Vec3 v = e - current;
        const float step = Length(v) / static_cast<float>(n - i);
        math::Vec3 dir = v;
        if (i + 1 < n) {
            const float r1 = Jitter(range);
            const float r2 = Jitter(range);
            dir = {v.x + r1 * v.y, v.y + r2 * v.x, 2.0f * v.z};
        }
        const math::Vec3 unit = Normalised(dir);
        const math::Vec3 next = current + unit * step;
        DischargeKeyPoint& key = shape[i];
        key.direction = unit;
        key.normal = normal;
        key.position = (current + next) * 0.5f;
        key.length = step;
        current = next;
    }
}

DischargeKeyPoint DS_DischargeFXConstructor::LerpKeyPoint(float t, std::size_t index) const
{
    if (index >= oldShape.size() || index >= newShape.size())
        return {};
    const DischargeKeyPoint& a = oldShape[index];
    const DischargeKeyPoint& b = newShape[index];
    return {Lerp(a.position, b.position, t), Lerp(a.direction, b.direction, t), Lerp(a.normal, b.normal, t),
            Lerp(a.length, b.length, t)};
}

void DS_DischargeFXConstructor::RebuildBoth()
{
    oldShape.resize(SegmentCount());
    newShape.resize(SegmentCount());
    BuildShape(oldShape);
    BuildShape(newShape);
}

void DS_DischargeFXConstructor::InitSprite(SpriteParticle&)
{
    RebuildBoth();
}

void DS_DischargeFXConstructor::PrepareFrame()
{
    segmentCounter = 0;
    if (oldShape.size() != SegmentCount() || newShape.size() != SegmentCount())
        RebuildBoth();
    if (animationClock - lastRebuild > kRebuildInterval) {
        lastRebuild = animationClock;
        oldShape = newShape;
        BuildShape(newShape);
    }
}

void DS_DischargeFXConstructor::UpdateSprite(SpriteParticle& sprite)
{
    const auto index = static_cast<std::size_t>(segmentCounter);
    const DischargeKeyPoint key = LerpKeyPoint((animationClock - lastRebuild) * morphSpeed.Scaled(), index);
    sprite.position = key.position;
    sprite.axisX = key.direction;
    sprite.axisY = key.normal;
    sprite.halfWidth = key.length * 0.5f;
    sprite.halfHeight = static_cast<float>(spriteSize.value) * 0.5f;
    sprite.dirFactor = {};
    sprite.velocity = {};

    if (lastObjectTime - sprite.timer > flickerInterval.Scaled()) {
        sprite.timer = lastObjectTime;
        if (crt::rand() % 2 == 0) {
            sprite.texV0 = 0.5f;
            sprite.texV1 = 1.0f;
        } else {
            sprite.texV0 = 0.0f;
            sprite.texV1 = 0.5f;
        }
        if (crt::rand() % 2 == 1)
            std::swap(sprite.texV0, sprite.texV1);
    }
    sprite.texU0 = index == 0 ? 0.0f : kCapU;
    sprite.texU1 = index + 1 == SegmentCount() ? 1.0f : 1.0f - kCapU;
    ++segmentCounter;
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
}

void DS_DischargeFXConstructor::FetchEffect()
{
    DS_FXParticleSystemCtrl::FetchEffect();
    spriteImage.StorePathAndId(kCommonResModule,
                               textureChoice.value != 0 ? kCommonResDischargePicture1 : kCommonResDischargePicture2);
    glowTexture = FirstLinkedTexture(secondImage);
    coreTexture = FirstLinkedTexture(spriteImage);
    if (keepId != 0)
        return;
    start.SetValue({kPlacementInset, kPlacementInset, 0.0f}, nullptr);
    end.SetValue({CurrentPictureWidth() * rightFraction - kPlacementInset,
                  CurrentPictureHeight() * bottomFraction - kPlacementInset, 0.0f},
                 nullptr);
    keepId = 1;
}

void DS_DischargeFXConstructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteStoredValue(ar, start.value);
    WriteStoredValue(ar, end.value);
    WriteParamValue(ar, jitter);
    WriteParamValue(ar, textureChoice);
    WriteParamValue(ar, flickerInterval);
    WriteParamValue(ar, morphSpeed);
    DS_GlowEffectCtrl::Save(ar);
}

void DS_DischargeFXConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, start);
    ReadParamValue(ar, end);
    ReadChangedParamValue(ar, jitter);
    ReadParamValue(ar, textureChoice);
    ReadChangedParamValue(ar, flickerInterval);
    ReadChangedParamValue(ar, morphSpeed);
    DS_GlowEffectCtrl::Load(ar);
}
