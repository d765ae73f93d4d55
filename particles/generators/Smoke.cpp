#include "particles/generators/Smoke.h"

#include "objectmodel/SmartColor.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TimelineLevel.h"
#include "platform/crt/Random.h"
#include "platform/gfx/Device.h"
#include "render/ResourceLoading.h"

namespace {

constexpr float kRandMax = 32767.0f;
constexpr float kPi = 3.1415927f;
// A puff brightens during the first fifth of its life at 5 x level per
// second, and dims at 1 per second from its start (so 4 per second net).
constexpr float kBrightenRate = 5.0f;
constexpr float kBrightenUntil = 0.8f;
// The turn rate of a puff: -50 to +50 degrees per second.
constexpr float kTurnRange = 100.0f;

} // namespace

void DS_Smoke::ReadBody(ArchiveReader ar, std::int32_t)
{
    drift.SetChangedValue(ar.ReadDword(), nullptr);
    ReadOriginSection(ar);
}

void DS_Smoke::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(drift.value);
    DS_ParticleOriginGenerator::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_Smoke::Clone() const
{
    return std::make_unique<DS_Smoke>(*this);
}

void DS_Smoke::BuildGeometry(DS_ParticlesObj& target)
{
    DS_StaticGenerator::BuildGeometry(target);
    target.SetLayerCount(1);
    target.ResizeLayer(0, 0);
    for (int i = 0; i < kPreRunSteps; ++i)
        AdvanceLaunches(kPreRunStep);
}

void DS_Smoke::Step(float localTime, DS_ParticlesObj& target)
{
    AdvanceOriginClock(localTime);
    AdvanceLaunches(OriginDt());
    FillLayer(target);
}

LaunchRecord DS_Smoke::MakeLaunch()
{
    LaunchRecord puff = DS_ParticleOriginGenerator::MakeLaunch();
    const float life = launchLifetime.Scaled();
    const float level = CurrentTimelineLevel(*this);
    puff.acceleration.x = drift.Scaled();
    puff.AddStep(&LaunchRecord::Move);
    // A life of 0 gives a puff that does not grow (and ends at once).
    puff.AddStep(&LaunchRecord::Grow, {life > 0.0f ? 1.0f / life : 0.0f});
    puff.AddStep(&LaunchRecord::BrightenWhile, {kBrightenRate * level, kBrightenUntil * life});
    puff.AddStep(&LaunchRecord::DimWhile, {1.0f, life});
    puff.AddStep(&LaunchRecord::Turn, {static_cast<float>(crt::rand()) / kRandMax * kTurnRange - kTurnRange / 2.0f});
    puff.opacity = 0.0f;
    puff.sizeFactor = kStartSize;
    const float turn = static_cast<float>(crt::rand()) / kRandMax * 360.0f * kPi / 180.0f;
    puff.edge1 = TurnedAboutZ({1.0f, 0.0f, 0.0f}, turn);
    puff.edge2 = TurnedAboutZ({0.0f, 1.0f, 0.0f}, turn);
    return puff;
}

void DS_Smoke::FillLayer(DS_ParticlesObj& target)
{
    if (launches.empty()) {
        target.ResizeLayer(0, 0);
        return;
    }
    target.ResizeLayer(0, static_cast<std::int32_t>(std::min(launches.size(), kMaxLaunches)));
    if (!target.LockLayer(0))
        return;
    const auto size = static_cast<float>(launchSize.value);
    const auto opacity = static_cast<float>(colour.opacity.Scaled());
    std::int32_t i = 0;
    for (const LaunchRecord& puff : launches) {
        GenQuad quad = BuildAnchoredQuadCorners(puff.position, puff.edge1, puff.edge2, size * puff.sizeFactor);
        const std::uint32_t argb = PackVertexColor(colour.colour.value, opacity * puff.opacity);
        for (QuadBatchVertex& vertex : quad)
            vertex.colour = argb;
        target.SetQuad(0, i++, quad);
    }
    target.UnlockLayer(0);
}

void DS_Smoke::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawFirstTextureLayer(*this, renderer, target);
}

void DrawFirstTextureLayer(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawTextureLayer(generator, renderer, target, generator.LoadedTexture(0));
}

void DrawTextureLayer(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target,
                      gfx::Texture* texture)
{
    if (!texture)
        return;
    if (gfx::Device* device = GetResourceDevice())
        device->SetTexture(0, texture);
    target.DrawLayer(renderer, 0, generator.effect.Get());
}
