#include "particles/generators/Aurora.h"

#include <cmath>

#include "particles/generators/ParticlesObj.h"

namespace {

constexpr float kWaveSpeedScale = 0.03f;
constexpr float kRelativeAmplitudeScale = 0.01f;
constexpr float kDegrees = 3.1415927f / 180.0f;

} // namespace

float DS_Aurora::WaveParams::At(float u) const
{
    return std::sin(u / length.Scaled() + speed.Total()) * amplitude.Scaled();
}

DS_Aurora::DS_Aurora()
{
    for (WaveParams& wave : waves)
        wave.speed.Rescale(kWaveSpeedScale, 0.0f);
    waves[kHeightWave].amplitude.Rescale(kRelativeAmplitudeScale, 0.0f);
    waves[kBrightnessWave].amplitude.Rescale(kRelativeAmplitudeScale, 0.0f);
}

void DS_Aurora::ReadBody(ArchiveReader ar, std::int32_t)
{
    bandHeight.StoreValue(ar.ReadDword());
    for (WaveParams& wave : waves) {
        wave.speed.QuietSet(ar.ReadDword());
        wave.amplitude.QuietSet(ar.ReadDword());
        wave.length.QuietSet(ar.ReadDword());
    }
    swayDirection.StoreValue(ar.ReadDword());
    ReadAirBrushSection(ar);
}

void DS_Aurora::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(bandHeight.value);
    for (const WaveParams& wave : waves) {
        ar->WriteDword(wave.speed.value);
        ar->WriteDword(wave.amplitude.value);
        ar->WriteDword(wave.length.value);
    }
    ar->WriteDword(swayDirection.value);
    DS_AirBrush::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_Aurora::Clone() const
{
    return std::make_unique<DS_Aurora>(*this);
}

std::unique_ptr<KXI_RenderObj> DS_Aurora::CreateExtraRenderObject()
{
    return CreateRenderObject();
}

void DS_Aurora::BuildGeometry(DS_ParticlesObj& target)
{
    DS_TexParticleGenerator::BuildGeometry(target);
    target.SetLayerCount(1);
    target.ResizeLayer(0, 0);
    PrepareMaskSurface();
}

void DS_Aurora::AddParticleAt(const math::Vec3& point, const DabStroke&)
{
    GenParticle dab;
    dab.Init(point.x, point.y, point.z);
    dabs.push_back(std::move(dab));
}

void DS_Aurora::Step(float localTime, DS_ParticlesObj&)
{
    for (WaveParams& wave : waves)
        wave.speed.Advance(localTime);
    BuildCurtain();
}

void DS_Aurora::BuildCurtain()
{
    const std::int32_t count = LockDabLayer();
    if (count < 0)
        return;
    const float direction = static_cast<float>(swayDirection.value) * kDegrees;
    const math::Vec3 sway{std::cos(direction), std::sin(direction), 0.0f};
    const float width = static_cast<float>(brushSize.value);
    const float band = static_cast<float>(bandHeight.value);
    std::int32_t index = 0;
    for (GenParticle& dab : dabs) {
        if (index >= count)
            break;
        const float u = dab.channels[GenParticle::kLife];
        const float offset = waves[kSwayWave].At(u);
        const float height = (waves[kHeightWave].At(u) + 1.0f) * band;
        const float brightness = waves[kBrightnessWave].At(u) + 1.0f;
        // The sway moves this quad only: the dab goes back to its place.
        const math::Vec3 place = dab.position;
        dab.position = {place.x + sway.x * offset, place.y + sway.y * offset, place.z};
        renderObject->SetRotatedParticleQuad(index++, dab, width, height, brightness, colour);
        dab.position = place;
    }
    renderObject->UnlockLayer(0);
}

void DS_Aurora::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawJoinedLayers(0, renderer, target);
    Composite(renderer);
}
