#include "objects/PlacedSpriteConstructors.h"

#include <cmath>

#include "objectmodel/Geometry.h"
#include "objectmodel/ParamRecords.h"
#include "objectmodel/StoredParams.h"
#include "objects/SectionHeaderWriter.h"
#include "objects/SpriteAxes.h"
#include "objects/SpriteSway.h"
#include "particles/systems/SpriteArrayObj.h"
#include "particles/systems/SpriteParticle.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/PictureFit.h"
#include "render/TimingSmart.h"
#include "render/ViewObjCtrl.h"

namespace {

constexpr std::int32_t kFlowerTimingFlag = 1;
constexpr std::int32_t kFlowerCategory = 6;
constexpr int kFlowerClockMode = 2;
constexpr float kUprightDegrees = 90.0f;

} // namespace

// ---- DS_StatObjConstructor -------------------------------------------------------

std::unique_ptr<DS_ParticleSystemCtrl> DS_StatObjConstructor::Clone() const
{
    return std::make_unique<DS_StatObjConstructor>(*this);
}

std::unique_ptr<KXI_RenderObj> DS_StatObjConstructor::CreateRenderObject()
{
    if (keepId == 0) {
        bounds.centreX.StoreValue(static_cast<std::int32_t>(CurrentPictureWidth()) / 2);
        bounds.centreY.StoreValue(static_cast<std::int32_t>(CurrentPictureHeight()) / 2);
        keepId = 1;
    }
    return DS_ParticleSystemCtrl::CreateRenderObject();
}

void DS_StatObjConstructor::GetViewQuad(QuadVertices& out) const
{
    const auto left = static_cast<float>(bounds.left.value);
    const auto right = static_cast<float>(bounds.right.value);
    const auto top = static_cast<float>(bounds.top.value);
    const auto bottom = static_cast<float>(bounds.bottom.value);
    out = QuadVertices{};
    out.SetRect(left, top, right - left, bottom - top);
}

bool DS_StatObjConstructor::HitTest(float x, float y)
{
    return bounds.ContainsPoint(x, y);
}

bool DS_StatObjConstructor::CountLimitReached(std::int32_t) const
{
    return false;
}

void DS_StatObjConstructor::InitSprite(SpriteParticle& sprite)
{
    sprite.position.x = static_cast<float>(bounds.centreX.value);
    sprite.position.y = static_cast<float>(bounds.centreY.value);
    SetSpriteHalfExtents(sprite, static_cast<float>(spriteSize.value));
    sprite.colour = PackSpriteColour(colour.value, Alpha(), sprite.alpha);
    // Counter-clockwise on a screen whose y points down.
    math::MatrixRotationZ(&turn, static_cast<float>(angle.value) * -kScenePi / 180.0f);
    sprite.axisX = TurnedPoint({1.0f, 0.0f, 0.0f}, turn);
    sprite.axisY = TurnedPoint({0.0f, 1.0f, 0.0f}, turn);
    UpdateBounds(sprite);
}

void DS_StatObjConstructor::UpdateBounds(const SpriteParticle& sprite)
{
    const float x = sprite.position.x;
    const float y = sprite.position.y;
    const float w = sprite.halfWidth;
    const float h = sprite.halfHeight;
    const math::Vec3& a = sprite.axisX;
    const math::Vec3& b = sprite.axisY;
    const float spanX = std::fabs(w * a.x) + std::fabs(h * b.x);
    const float spanY = std::fabs(h * b.y) + std::fabs(w * a.y);
    // Stored sizes and size factors can be anything: the conversions are
    // bounded.
    bounds.left.SetValue(TruncateToInt(x - spanX), nullptr);
    bounds.right.SetValue(TruncateToInt(x + spanX), nullptr);
    bounds.top.SetValue(TruncateToInt(y - spanY), nullptr);
    bounds.bottom.SetValue(TruncateToInt(y + spanY), nullptr);
}

void DS_StatObjConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    WriteMediaRectangle(ar, bounds);
    WriteParamValue(ar, angle);
    DS_BaseSpriteProp::Save(ar);
}

void DS_StatObjConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadMediaRectangle(ar, bounds);
    ReadParamValue(ar, angle);
    if (version == kVersionWithFlips) {
        ReadParamValue(ar, flipV);
        ReadParamValue(ar, flipU);
    }
    DS_BaseSpriteProp::Load(ar);
}

void DS_StatObjConstructor::LoadStatSection(ArchiveReader ar)
{
    ReadBody(ar, ar.ReadSectionHeader().version);
}

// ---- DS_FlowerConstructor --------------------------------------------------------

DS_FlowerConstructor::DS_FlowerConstructor()
{
    timing.flags |= kFlowerTimingFlag;
    category = kFlowerCategory;
    timing.clockMode.StoreValue(kFlowerClockMode);
}

std::unique_ptr<DS_ParticleSystemCtrl> DS_FlowerConstructor::Clone() const
{
    return std::make_unique<DS_FlowerConstructor>(*this);
}

void DS_FlowerConstructor::UpdateSprite(SpriteParticle& sprite)
{
    const float a = std::sin(objectClock + sprite.velocity.y);
    const float c = ShearOfAngle(LeanOfSwayAngle(a * swayAmplitude + kUprightDegrees));
    sprite.axisY = TurnedPoint({c, 1.0f, 0.0f}, turn);
    // The head sways; the foot (centre + turn x (0, h)) stays.
    const float h = sprite.halfHeight;
    sprite.position.x = static_cast<float>(bounds.centreX.value) - sprite.axisX.x * h * c;
    sprite.position.y = static_cast<float>(bounds.centreY.value) - sprite.axisX.y * h * c;
}

std::uint32_t DS_FlowerConstructor::ApplyTimingAlpha(std::uint32_t argb) const
{
    return SwayTimingAlpha(*this, argb);
}

void DS_FlowerConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteFloat(swayAmplitude);
    DS_StatObjConstructor::Save(ar);
}

void DS_FlowerConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    swayAmplitude = ar.ReadFloat();
    LoadStatSection(ar);
}

// ---- DS_DischargeConstructor -----------------------------------------------------

std::unique_ptr<DS_ParticleSystemCtrl> DS_DischargeConstructor::Clone() const
{
    return std::make_unique<DS_DischargeConstructor>(*this);
}

std::uint32_t DS_DischargeConstructor::NextFrameIndex(std::uint32_t index) const
{
    const std::uint32_t count = frameCount;
    // No other frame to choose.
    if (count <= 1)
        return 0;
    std::uint32_t next = index;
    while (next == index)
        next = static_cast<std::uint32_t>(crt::rand()) % count;
    return next;
}

void DS_DischargeConstructor::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    DS_StatObjConstructor::Save(ar);
}

void DS_DischargeConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    LoadStatSection(ar);
}
