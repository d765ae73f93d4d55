#include "particles/generators/ParticleGenerator.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/Geometry.h"
#include "particles/generators/ParticlesObj.h"

namespace {

constexpr float kSpeedScale = 0.02f;
constexpr std::uint32_t kSpeedValue = 50;

// Sets a value only when it differs, telling the observers.
void SetIfChanged(UINTSclaleTo<float>& parameter, std::uint32_t value)
{
    parameter.SetChangedValue(value, nullptr);
}

} // namespace

DS_ParticleGenerator::DS_ParticleGenerator()
{
    speed.Rescale(kSpeedScale, 0.0f);
    speed.QuietSet(kSpeedValue);
}

DS_ParticleGenerator::DS_ParticleGenerator(const DS_ParticleGenerator& other) = default;

void DS_ParticleGenerator::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteVersion(static_cast<std::int32_t>(emitters.size()));
    for (const GenParticle& emitter : emitters) {
        ar->WriteFloat(emitter.position.x);
        ar->WriteFloat(emitter.position.y);
        ar->WriteFloat(emitter.position.z);
    }
    ar->WriteDword(lifetime.value);
    ar->WriteDword(emissionRate.value);
    ar->WriteDword(particleSize.value);
    ar->WriteDword(particleSpeed.value);
    ar->WriteLong(emissionSwitch.value);
    WriteABObjConstructor(ar, *this);
}

void DS_ParticleGenerator::ReadGeneratorSection(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    if (version > 1) {
        const std::size_t count = ar.ReadCount(kStoredEmitterBytes);
        for (std::size_t i = 0; i < count; ++i) {
            GenParticle& emitter = emitters.emplace_back();
            emitter.position.x = ar.ReadFloat();
            emitter.position.y = ar.ReadFloat();
            emitter.position.z = ar.ReadFloat();
        }
    }
    if (version > 2) {
        SetIfChanged(lifetime, ar.ReadDword());
        emissionRate.StoreValue(ar.ReadDword());
        SetIfChanged(particleSize, ar.ReadDword());
        SetIfChanged(particleSpeed, ar.ReadDword());
        emissionSwitch.StoreValue(ar.ReadLong());
    } else {
        SetIfChanged(lifetime, kLegacyLifetime);
        emissionRate.SetChangedValue(kLegacyRate, nullptr);
        SetIfChanged(particleSize, 0);
        SetIfChanged(particleSpeed, 0);
        emissionSwitch.StoreValue(0);
    }
    ReadABObjConstructor(ar, *this);
}

std::unique_ptr<KXI_RenderObj> DS_ParticleGenerator::CreateRenderObject()
{
    return std::make_unique<DS_ParticlesObj>(Clone());
}

void DS_ParticleGenerator::Step(float localTime, DS_ParticlesObj&)
{
    speed.Advance(localTime);
    UpdateGenParticles(Dt(), emitters);
    UpdateGenParticles(Dt(), particles);
}

void DS_ParticleGenerator::InitParticle(GenParticle& particle, const GenParticle& source)
{
    particle.channels[GenParticle::kOpacity] = source.channels[GenParticle::kOpacity];
    const float life = lifetime.Scaled();
    particle.AddProcess(std::make_unique<PAgeConst>(life));
    particle.AddProcess(std::make_unique<PFade>(GenParticle::kOpacity, 0.0f, life, -1.0f));
    const float length = DrawRandomUnit() * particleSpeed.Scaled();
    math::Vec3 velocity;
    RandomDirectionInCone(velocity, length, 0.0f, 360.0f);
    particle.AddProcess(std::make_unique<PKinetic>(velocity, math::Vec3{}));
}

void DS_ParticleGenerator::EmitAlongEmitters(float time)
{
    // The count is worked out in floating point and held to the free room
    // before it becomes an integer: a huge rate neither overflows nor loops
    // without bound. The fraction is dropped, as the emission always did.
    const float wanted = std::trunc(emissionRate.Scaled() * (time - emissionRate.lastEmission));
    if (wanted != 0.0f)
        emissionRate.lastEmission = time;
    if (emissionSwitch.value == 0 || !(wanted > 0.0f))
        return;
    const std::size_t room = kMaxGenParticles - std::min(particles.size(), kMaxGenParticles);
    const auto n = static_cast<std::int64_t>(std::min(wanted, float(kMaxGenParticles)));
    const float step = 1.0f / static_cast<float>(n + 1);
    std::size_t added = 0;
    for (GenParticle& emitter : emitters) {
        const math::Vec3 from = emitter.previous;
        const math::Vec3 along{emitter.position.x - from.x, emitter.position.y - from.y,
                               emitter.position.z - from.z};
        for (std::int64_t i = 1; i <= n && added < room; ++i, ++added) {
            const float fi = static_cast<float>(i);
            GenParticle& particle = particles.emplace_back();
            particle.Init(from.x + along.x * fi * step, from.y + along.y * fi * step, from.z + along.z * fi * step);
            InitParticle(particle, emitter);
        }
    }
    for (GenParticle& emitter : emitters)
        emitter.previous = emitter.position;
}
