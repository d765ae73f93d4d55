#include "particles/systems/RayOfLight.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/ParamRecords.h"
#include "objectmodel/SmartColor.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/systems/PresetSupport.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

using namespace preset_systems;

namespace {

constexpr float kPlacedShare = 0.8f;
constexpr float kUpperEdgeHalfShare = 0.3f;

// A unit vector along v, zero for a zero vector.
math::Vec3 Unit(const math::Vec3& v)
{
    math::Vec3 out;
    math::Vec3Normalize(&out, v);
    return out;
}

void SetVertex(QuadBatchVertex& vertex, const math::Vec3& at, float u, float v)
{
    vertex.x = at.x;
    vertex.y = at.y;
    vertex.z = at.z;
    vertex.u = u;
    vertex.v = v;
}

} // namespace

DS_RayOfLight::DS_RayOfLight()
{
    rayLife.Rescale(0.1f, 0.0f);
    rayDrift.Rescale(0.0002f, 0.0f);
}

DS_RayOfLight::DS_RayOfLight(const DS_RayOfLight& other)
    : KXI_ParticleSystemCtrl(other), rayArea(other.rayArea), rayCount(other.rayCount), rayLife(other.rayLife),
      rayWidth(other.rayWidth), rayDrift(other.rayDrift), spreadFactor(other.spreadFactor),
      fadeInLength(other.fadeInLength), fadeOutLength(other.fadeOutLength), edgeFade(other.edgeFade),
      storedFlag(other.storedFlag)
{
}

DS_RayOfLight::~DS_RayOfLight() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> DS_RayOfLight::Clone() const
{
    return std::make_unique<DS_RayOfLight>(*this);
}

void DS_RayOfLight::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    if (!TakeFreshPlacement(*this))
        return;
    rayArea.SetRectangle(PictureWidth() * kPlacedShare, PictureHeight() * kPlacedShare, PictureCentre());
    auto& c = rayArea.corners;
    const float middle = (c[3].value.x + c[0].value.x) / 2.0f;
    const float half = (c[3].value.x - c[0].value.x) * kUpperEdgeHalfShare;
    c[0].value.x = middle - half;
    c[2].value.x = middle + half;
}

std::uint32_t DS_RayOfLight::RayLimit() const
{
    return std::min(rayCount.value, kMaxRays);
}

InnerParticleList::Handles DS_RayOfLight::Emit(float)
{
    while (particles.Size() < RayLimit() && particles.Room() > 0)
        CreateRay();
    return {};
}

void DS_RayOfLight::CreateRay()
{
    InnerParticle& ray = *particles.Create({crt::RandomUnit(), 0.0f, 0.0f});
    const float life = rayLife.DrawJittered();
    // Brightness rises from 0 to 1 over the first half of the life and falls
    // back over the second.
    ray.AddRoutine(ParticleRoutineHandle(new IPR_ConstantAge(life)), false);
    ray.AddRoutine(ParticleRoutineHandle(new IPR_Increment(1.0f, life / 2.0f, 0.0f)), false);
    ray.AddRoutine(ParticleRoutineHandle(new IPR_Increment(-1.0f, life / 2.0f, life / 2.0f)), false);
    ray.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    ray.values[InnerParticle::kOpacityValue] = 0.0f;
    ray.values[InnerParticle::kSizeValue] = rayWidth.DrawJittered();
    // The sign is drawn before the magnitude.
    const bool left = crt::rand() % 2 != 0;
    const float drift = rayDrift.DrawJittered();
    ray.velocity = {left ? -drift : drift, 0.0f, 0.0f};
}

void DS_RayOfLight::Update(float localTime)
{
    speed.Advance(localTime);
    const float dt = speed.Step();
    particles.Update(dt);
    AdvanceParticles(dt);
    BuildRays();
}

float DS_RayOfLight::EdgeFactor(float x) const
{
    const float e = edgeFade.Scaled();
    if (!(e > 0.0f))
        return x >= 0.0f && x <= 1.0f ? 1.0f : 0.0f;
    float d = 1.0f;
    if (e > x)
        d = x / e;
    else if (x > 1.0f - e)
        d = (1.0f - x) / e;
    return std::isnan(d) ? 0.0f : std::clamp(d, 0.0f, 1.0f);
}

void DS_RayOfLight::WriteRay(const InnerParticle& ray, float uExtent, float vExtent, QuadBatchVertex* out) const
{
    const auto& c = rayArea.corners;
    const math::Vec3 &c0 = c[0].value, &c1 = c[1].value, &c2 = c[2].value, &c3 = c[3].value;
    const float x = ray.position.x;
    const float a = ray.values[InnerParticle::kOpacityValue] * EdgeFactor(x);
    const float w = ray.values[InnerParticle::kSizeValue];
    const float f = fadeInLength.Scaled();
    const float g = fadeOutLength.Scaled();

    const math::Vec3 top = c2 + (c0 - c2) * x;
    const math::Vec3 bottom = c3 + (c1 - c3) * x;
    const math::Vec3 fadeInEnd = top + (bottom - top) * f;
    const math::Vec3 fadeOutStart = bottom + (top - bottom) * g;
    const math::Vec3 wTop = Unit(c2 - c0) * (w / 2.0f);
    const math::Vec3 wBottom = Unit(c3 - c1) * (w / 2.0f * spreadFactor.Scaled());
    const math::Vec3 wIn = wTop + (wBottom - wTop) * f;
    const math::Vec3 wOut = wBottom + (wTop - wBottom) * g;
    const float vIn = vExtent * f;
    const float vOut = vExtent * (1.0f - g);

    // Middle, top fade, bottom fade; each in strip order.
    SetVertex(out[0], fadeOutStart - wOut, 0.0f, vOut);
    SetVertex(out[1], fadeInEnd - wIn, 0.0f, vIn);
    SetVertex(out[2], fadeOutStart + wOut, uExtent, vOut);
    SetVertex(out[3], fadeInEnd + wIn, uExtent, vIn);
    SetVertex(out[4], fadeInEnd - wIn, 0.0f, vIn);
    SetVertex(out[5], top - wTop, 0.0f, 0.0f);
    SetVertex(out[6], fadeInEnd + wIn, uExtent, vIn);
    SetVertex(out[7], top + wTop, uExtent, 0.0f);
    SetVertex(out[8], bottom - wBottom, 0.0f, vExtent);
    SetVertex(out[9], fadeOutStart - wOut, 0.0f, vOut);
    SetVertex(out[10], bottom + wBottom, uExtent, vExtent);
    SetVertex(out[11], fadeOutStart + wOut, uExtent, vOut);

    const COLORREF colour = ColourListEntry(params.colours, 0);
    const float alpha = static_cast<float>(params.colours.transparency.Scaled()) * a;
    const std::uint32_t lit = PackVertexColor(colour, alpha);
    const std::uint32_t clear = PackVertexColor(colour, 0.0f);
    constexpr bool kLit[12] = {true, true, true, true, true, false, true, false, false, true, false, true};
    for (int i = 0; i < 12; ++i)
        out[i].colour = kLit[i] ? lit : clear;
}

void DS_RayOfLight::BuildRays()
{
    KXI_ParticleSystemMech* mech = RenderObject();
    if (!mech)
        return;
    const SpriteFrameInfo* texture = params.FirstTexture();
    mech->PrepareBatch(0, static_cast<std::int32_t>(3 * RayLimit()), texture, params);
    QuadBatchBuffer* batch = mech->Batch(0);
    const std::int32_t capacity = mech->QuadCount(0) / 3;
    if (!batch || capacity <= 0) {
        mech->SetQuadCount(0, 0);
        return;
    }
    QuadBatchVertex* vertices = batch->LockQuads();
    if (!vertices) {
        mech->SetQuadCount(0, 0);
        return;
    }
    const float u = texture ? texture->uScale : 1.0f;
    const float v = texture ? texture->vScale : 1.0f;
    std::int32_t written = 0;
    for (const ParticleHandle& ray : particles.Particles()) {
        if (written >= capacity)
            break;
        if (!ray)
            continue;
        WriteRay(*ray, u, v, vertices + 12 * written);
        ++written;
    }
    batch->UnlockQuads();
    mech->SetQuadCount(0, 3 * written);
}

// ---- stored form ------------------------------------------------------------------

void DS_RayOfLight::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadMediaQuad(ar, rayArea);
    rayCount.StoreValue(ar.ReadDword());
    ReadJitterParam(ar, rayLife);
    ReadJitterParam(ar, rayWidth);
    ReadJitterParam(ar, rayDrift);
    spreadFactor.SetChangedValue(ar.ReadDword(), nullptr);
    fadeInLength.SetChangedValue(ar.ReadDword(), nullptr);
    fadeOutLength.SetChangedValue(ar.ReadDword(), nullptr);
    edgeFade.SetChangedValue(ar.ReadDword(), nullptr);
    storedFlag.StoreValue(ar.ReadInt());
    Load(ar);
}

void DS_RayOfLight::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    WriteMediaQuad(ar, rayArea);
    ar->WriteDword(rayCount.value);
    WriteJitterParam(ar, rayLife);
    WriteJitterParam(ar, rayWidth);
    WriteJitterParam(ar, rayDrift);
    ar->WriteDword(spreadFactor.value);
    ar->WriteDword(fadeInLength.value);
    ar->WriteDword(fadeOutLength.value);
    ar->WriteDword(edgeFade.value);
    ar->WriteLong(storedFlag.value);
    KXI_ParticleSystemCtrl::Save(ar);
}
