#include "particles/systems/RainOnGlass.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/Geometry.h"
#include "objectmodel/ParamRecords.h"
#include "particles/systems/PresetSupport.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

using namespace preset_systems;
using namespace rain_flags;

namespace {

constexpr float kDropExtent = 0.9f;
constexpr float kFreshFallDistance = 10.0f;

// Sprite cells of the 2 x 2 sheet: the large drop, then three droplets.
constexpr std::array<std::array<float, 4>, 4> kDropCells = {{
    {0.5f, 0.5f, 0.0f, 0.0f},
    {0.5f, 0.5f, 0.5f, 0.0f},
    {0.5f, 0.5f, 0.0f, 0.5f},
    {0.5f, 0.5f, 0.5f, 0.5f},
}};

void MakeRunning(InnerParticle& drop)
{
    drop.flags |= kRunning;
    drop.cell = kDropCells[0];
}

} // namespace

void InstallRainMerge()
{
    static const bool installed = [] {
        static PRA_RainMerge merge;
        g_PairInteraction = &merge;
        return true;
    }();
    (void)installed;
}

DS_RainOnGlass::DS_RainOnGlass() = default;

DS_RainOnGlass::DS_RainOnGlass(const DS_RainOnGlass& other)
    : KXI_ParticleSystemCtrl(other), emitter(other.emitter), slideForce(other.slideForce),
      direction(other.direction), interaction(other.interaction)
{
}

DS_RainOnGlass::~DS_RainOnGlass()
{
    particles.Clear();
    interaction = ParticleRoutineHandle();
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_RainOnGlass::Clone() const
{
    return std::make_unique<DS_RainOnGlass>(*this);
}

float DS_RainOnGlass::GetPreRunDuration() const
{
    return kPreRunDuration;
}

void DS_RainOnGlass::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    params.flags |= ParticleSystemParams::kFlagOwnSize | ParticleSystemParams::kFlagOwnOpacity;
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    if (TakeFreshPlacement(*this))
        emitter.geometry.area.SetRectangle(PictureWidth(), PictureHeight(), PictureCentre());
    auto* edge = new IPR_RainInteractionRoutine;
    edge->SetCondition(new PRC_CrossQuad(emitter.geometry.area));
    edge->SetAction(new PRA_Die);
    interaction = ParticleRoutineHandle(edge);
}

InnerParticleList::Handles DS_RainOnGlass::Emit(float dt)
{
    InstallRainMerge();
    particles.Update(dt);
    particles.Interact(kDropExtent * static_cast<float>(params.particleSize.value));
    InnerParticleList::Handles fresh = emitter.Emit(dt, particles.Room());
    for (const ParticleHandle& drop : fresh)
        InitDrop(*drop);
    particles.Append(std::move(fresh));
    return {};
}

void DS_RainOnGlass::InitDrop(InnerParticle& drop) const
{
    const int kind = crt::rand() % 4;
    const math::Vec4& c = direction.Direction();
    const math::Vec3 along{c.x, -c.y, c.z};

    const math::Vec3 birth = drop.position;
    drop.AddRoutine(ParticleRoutineHandle(new IPR_RainFall(birth)), false);
    drop.flags |= kLanding;
    drop.values[InnerParticle::kOpacityValue] = 0.0f;
    const float size = static_cast<float>(params.particleSize.value);
    drop.position = birth - along * (kFreshFallDistance * drop.values[InnerParticle::kSizeValue] * size);

    drop.AddRoutine(ParticleRoutineHandle(new IPR_RainDynamic(along * slideForce.Scaled())), false);
    drop.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    if (interaction)
        drop.AddRoutine(interaction, false);

    auto angle = static_cast<std::int64_t>(params.startAngle.value);
    if (kind == 0) {
        MakeRunning(drop);
    } else {
        drop.values[InnerParticle::kSizeValue] = crt::RandomUnit() * 0.3f + 0.5f;
        // In 64 bits: the stored jitter is unsigned.
        const auto jitter = static_cast<std::int64_t>(params.startAngleSpread.value);
        angle += static_cast<std::int64_t>(crt::rand()) % (2 * jitter + 1) - jitter;
        drop.cell = kDropCells[static_cast<std::size_t>(kind)];
    }
    drop.colour = ColourListEntry(params.colours, 0);
    math::MatrixRotationZ(&drop.matrix, static_cast<float>(angle) * kScenePi / 180.0f);
}

// ---- routines ---------------------------------------------------------------------

bool IPR_RainFall::Step(float dt, InnerParticle& drop)
{
    if (dt >= remaining) {
        // The slide-in ends on the landing point itself.
        if (drop.flags & kLanding)
            drop.position = target;
        remaining = 0.0f;
        drop.flags &= ~kLanding;
        if (!(drop.flags & kMerging))
            drop.values[InnerParticle::kOpacityValue] = 1.0f;
        return true;
    }
    const float x = 1.0f - dt / remaining;
    remaining -= dt;
    drop.position = target - (target - drop.position) * x;
    float& opacity = drop.values[InnerParticle::kOpacityValue];
    opacity = 1.0f - (1.0f - opacity) * x;
    return true;
}

IPR_RainDynamic::IPR_RainDynamic(const math::Vec3& force) : force(force)
{
    DrawFriction();
}

void IPR_RainDynamic::DrawFriction()
{
    mu = crt::RandomUnit() * 19.0f + 1.0f;
    period = crt::RandomUnit() * 0.9f + 0.1f;
    timer = 0.0f;
}

bool IPR_RainDynamic::Step(float dt, InnerParticle& drop)
{
    if (!(drop.flags & kRunning) || (drop.flags & (kMerging | kLanding)))
        return true;
    float& s = drop.values[InnerParticle::kSizeValue];
    if (s > 1.0f) {
        drop.acceleration = force;
    } else if (s > 0.0f && math::Vec3Dot(drop.velocity, force) >= 0.0f) {
        drop.acceleration = force - drop.velocity * (mu / (s * s * s));
    } else {
        drop.acceleration = {};
        drop.velocity = {};
    }
    if (s > 0.7f)
        s -= math::Vec3Length(drop.velocity) * dt * 0.001f;
    if (timer > period)
        DrawFriction();
    else
        timer += dt;
    return true;
}

bool IPR_RainMerge::Step(float dt, InnerParticle& drop)
{
    if (!target)
        return false;
    InnerParticle& into = *target;
    if (dt > remaining) {
        const float a = drop.values[InnerParticle::kSizeValue];
        const float b = into.values[InnerParticle::kSizeValue];
        into.values[InnerParticle::kSizeValue] = std::min(std::cbrt(a * a * a + b * b * b), kMaxSize);
        if (!(into.flags & kRunning)) {
            MakeRunning(into);
            math::MatrixIdentity(&into.matrix);
        }
        return false;
    }
    const float x = 1.0f - dt / remaining;
    remaining -= dt;
    drop.values[InnerParticle::kOpacityValue] *= x;
    drop.position = into.position - (into.position - drop.position) * x;
    return true;
}

bool IPR_RainInteractionRoutine::Step(float dt, InnerParticle& drop)
{
    if (drop.flags & kLanding)
        return true;
    return IPR_InteractionRoutine::Step(dt, drop);
}

bool PRA_RainMerge::Apply(InnerParticle& upper, ParticleHandle& lower)
{
    if (upper.flags & (kMerging | kLanding))
        return false;
    if (!lower || (lower->flags & (kMerging | kLanding)))
        return true;
    upper.AddRoutine(ParticleRoutineHandle(new IPR_RainMerge(lower)), false);
    upper.flags |= kMerging;
    upper.velocity = {};
    upper.acceleration = {};
    return false;
}

// ---- stored form ------------------------------------------------------------------

void DS_RainOnGlass::ReadBody(ArchiveReader ar, std::int32_t)
{
    emitter.counter.rate.SetChangedValue(ar.ReadDword(), nullptr);
    ReadMediaQuad(ar, emitter.geometry.area);
    slideForce.SetChangedValue(ar.ReadDword(), nullptr);
    direction.StoreValue(ar.ReadDword());
    direction.UpdateVectors();
    Load(ar);
}

void DS_RainOnGlass::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(emitter.counter.rate.value);
    WriteMediaQuad(ar, emitter.geometry.area);
    ar->WriteDword(slideForce.value);
    ar->WriteDword(direction.value);
    KXI_ParticleSystemCtrl::Save(ar);
}
