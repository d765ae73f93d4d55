#include "particles/generators/Firework.h"

#include <algorithm>

#include "objectmodel/Geometry.h"
#include "particles/generators/GlowComposite.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TimelineLevel.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"

void AddLifeSpan(GenParticle& particle, float seconds)
{
    if (seconds > 0.0f) {
        particle.AddProcess(std::make_unique<PLifeConst>(1.0f / seconds));
        return;
    }
    particle.channels[GenParticle::kLife] = 1.0f;
    particle.AddProcess(std::make_unique<PLifeConst>(0.0f));
}

// ---- DS_Firework -----------------------------------------------------------------

DS_Firework::DS_Firework()
{
    lifetime.Rescale(0.01f, 0.0f);
    emissionRate.Rescale(2.0f, 1.0f);
    particleSize.Rescale(0.1f, 0.0f);
}

std::unique_ptr<KXI_RenderObj> DS_Firework::CreateExtraRenderObject()
{
    return CreateRenderObject();
}

void DS_Firework::BuildGeometry(DS_ParticlesObj& target)
{
    PrepareMaskSurface();
    DS_StaticGenerator::BuildGeometry(target);
    emitters.clear();
    target.SetLayerCount(2);
    target.ResizeLayer(0, 0);
    target.ResizeLayer(1, 0);
}

void DS_Firework::LaunchRocket(float life)
{
    if (emitters.size() >= kMaxGenParticles)
        return;
    GenParticle& rocket = emitters.emplace_back();
    rocket.Init(position.value.x, position.value.y, position.value.z);
    InitRocket(rocket, life);
}

void DS_Firework::FireBurst()
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    const float life = timeline ? timeline->GetLength() : 0.0f;
    const std::size_t count = std::min<std::size_t>(rocketCount.value, kMaxGenParticles);
    for (std::size_t i = 0; i < count; ++i)
        LaunchRocket(life);
}

void DS_Firework::Step(float localTime, DS_ParticlesObj& target)
{
    AdvanceOriginClock(localTime);
    const float dt = OriginDt();
    const float total = OriginTotal();
    UpdateGenParticles(dt, emitters);
    UpdateGenParticles(dt, particles);
    EmitAlongEmitters(total);
    if (timing.Selector() != KXI_SmartTiming::kContinuous) {
        const bool off = CurrentTimelineState(*this) == kTimingOff;
        if (armed != 0 && !off) {
            FireBurst();
            armed = 0;
        }
        if (off)
            armed = 1;
    } else if (rocketCount.value > 0 && total > nextLaunchTime) {
        // A count of 0 launches nothing: 0.5 / 0 would never be reached, but
        // the first rocket would start before it is ever computed.
        LaunchRocket(kContinuousRocketLife);
        nextLaunchTime = total + kContinuousRocketLife / static_cast<float>(rocketCount.value);
    }
    FillLayers(target);
}

void DS_Firework::FillLayers(DS_ParticlesObj& target)
{
    const auto n = static_cast<std::int32_t>(
        std::min<std::size_t>(emitters.size() + particles.size(), DS_ParticlesObj::kMaxLayerQuads));
    target.ResizeLayer(0, n);
    target.ResizeLayer(1, n);
    if (!target.LockLayers(0, 1))
        return;
    const float level = CurrentTimelineLevel(*this);
    const auto size = static_cast<float>(quadSize.value);
    const float glow = glowFactor.Scaled() * size;
    std::int32_t k = 0;
    for (const GenParticle& rocket : emitters) {
        target.SetParticleQuad(0, k, rocket, size, level, colour);
        target.SetParticleQuad(1, k, rocket, glow, level, colour2);
        ++k;
    }
    // The level of a spark was applied when it started.
    for (const GenParticle& spark : particles) {
        if (k >= n)
            break;
        target.SetParticleQuad(0, k, spark, size, 1.0f, colour);
        target.SetParticleQuad(1, k, spark, glow, 1.0f, colour2);
        ++k;
    }
    target.UnlockLayer(0);
    target.UnlockLayer(1);
}

void DS_Firework::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawTwoLayerGlow(*this, renderer, target);
}

// ---- DS_FireworkSimple -----------------------------------------------------------

void DS_FireworkSimple::ReadBody(ArchiveReader ar, std::int32_t)
{
    rocketCount.StoreValue(ar.ReadDword());
    quadSize.StoreValue(ar.ReadDword());
    rocketSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    glowFactor.SetChangedValue(ar.ReadDword(), nullptr);
    ReadOriginSection(ar);
}

void DS_FireworkSimple::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(rocketCount.value);
    ar->WriteDword(quadSize.value);
    ar->WriteDword(rocketSpeed.value);
    ar->WriteDword(glowFactor.value);
    DS_ParticleOriginGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_FireworkSimple::Clone() const
{
    return std::make_unique<DS_FireworkSimple>(*this);
}

void DS_FireworkSimple::InitRocket(GenParticle& rocket, float life)
{
    rocket.channels[GenParticle::kLife] = 0.0f;
    rocket.channels[GenParticle::kScale] = 1.0f;
    AddLifeSpan(rocket, life);
    math::Vec3 velocity;
    RandomDirectionInCone(velocity, rocketSpeed.Scaled(), 0.0f, 360.0f);
    rocket.AddProcess(std::make_unique<PKinetic>(velocity, math::Vec3{0.0f, rocketFall.Scaled(), 0.0f}));
}

void DS_FireworkSimple::InitParticle(GenParticle& spark, const GenParticle&)
{
    const float seconds = lifetime.Scaled();
    const float rate = seconds > 0.0f ? 1.0f / seconds : 0.0f;
    // The spark starts at the level of the moment and fades from there to 0
    // over its lifetime.
    const float level = CurrentTimelineLevel(*this);
    spark.channels[GenParticle::kOpacity] = level;
    AddLifeSpan(spark, seconds);
    spark.AddProcess(std::make_unique<PSteady>(GenParticle::kOpacity, 0.0f, 1.0f, -rate * level));
    spark.AddProcess(std::make_unique<PSteady>(GenParticle::kScale, 0.0f, 1.0f, particleSize.Scaled() * rate));
    const float length = DrawRandomUnit() * particleSpeed.Scaled();
    math::Vec3 velocity;
    RandomDirectionInCone(velocity, length, 0.0f, 360.0f);
    spark.AddProcess(std::make_unique<PKinetic>(velocity, math::Vec3{}));
}
