#include "particles/generators/OriginGenerator.h"

#include <cmath>

#include "particles/generators/TimelineLevel.h"

namespace {

constexpr float kOriginSpeedScale = 0.02f;
constexpr float kPi = 3.1415927f;

} // namespace

math::Vec3 TurnedAboutZ(const math::Vec3& v, float radians)
{
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

// ---- LaunchRecord ----------------------------------------------------------------

void LaunchRecord::Move(LaunchRecord& r, float dt, const float*)
{
    const float half = dt * dt / 2.0f;
    r.position.x += r.velocity.x * dt + r.acceleration.x * half;
    r.position.y += r.velocity.y * dt + r.acceleration.y * half;
    r.position.z += r.velocity.z * dt + r.acceleration.z * half;
    r.velocity.x += r.acceleration.x * dt;
    r.velocity.y += r.acceleration.y * dt;
    r.velocity.z += r.acceleration.z * dt;
}

void LaunchRecord::Grow(LaunchRecord& r, float dt, const float* p)
{
    r.sizeFactor += p[0] * dt;
}

void LaunchRecord::BrightenWhile(LaunchRecord& r, float dt, const float* p)
{
    if (r.life > p[1])
        r.opacity += p[0] * dt;
}

void LaunchRecord::DimWhile(LaunchRecord& r, float dt, const float* p)
{
    if (p[1] > r.life)
        r.opacity -= p[0] * dt;
}

void LaunchRecord::Turn(LaunchRecord& r, float dt, const float* p)
{
    const float radians = dt * kPi * p[0] / 180.0f;
    r.edge1 = TurnedAboutZ(r.edge1, radians);
    r.edge2 = TurnedAboutZ(r.edge2, radians);
}

void LaunchRecord::RunSteps(float dt)
{
    for (const Step& step : steps)
        step.function(*this, dt, step.parameters.data());
}

// ---- DS_ParticleOriginGenerator ----------------------------------------------------

DS_ParticleOriginGenerator::DS_ParticleOriginGenerator()
{
    originSpeed.Rescale(kOriginSpeedScale, 0.0f);
}

void DS_ParticleOriginGenerator::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(launchLifetime.value);
    ar->WriteDword(launchRate.value);
    ar->WriteDword(launchSize.value);
    ar->WriteDword(direction.value);
    ar->WriteDword(direction.spread.value);
    ar->WriteDword(originSpeed.value);
    DS_StaticGenerator::Save(ar);
}

void DS_ParticleOriginGenerator::ReadOriginSection(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    launchLifetime.SetChangedValue(ar.ReadDword(), nullptr);
    launchRate.StoreValue(ar.ReadDword());
    launchSize.StoreValue(ar.ReadDword());
    direction.StoreValue(ar.ReadDword());
    direction.UpdateVectors();
    if (version > 1)
        direction.spread.StoreValue(ar.ReadDword());
    originSpeed.StoreValue(ar.ReadDword());
    originSpeed.UpdateScaled();
    ReadStaticSection(ar);
}

void DS_ParticleOriginGenerator::Step(float localTime, DS_ParticlesObj&)
{
    AdvanceOriginClock(localTime);
    AdvanceLaunches(OriginDt());
}

LaunchRecord DS_ParticleOriginGenerator::MakeLaunch()
{
    LaunchRecord record;
    record.life = launchLifetime.Scaled();
    record.position = position.value;
    const math::Vec3 d = direction.RandomDirection();
    record.velocity = {d.x * kLaunchSpeed, d.y * kLaunchSpeed, d.z * kLaunchSpeed};
    return record;
}

void DS_ParticleOriginGenerator::AdvanceLaunches(float dt)
{
    for (auto it = launches.begin(); it != launches.end();) {
        it->life -= dt;
        it->RunSteps(dt);
        if (it->life < 0.0f)
            it = launches.erase(it);
        else
            ++it;
    }
    const auto rate = static_cast<float>(launchRate.value);
    if (!(CurrentTimelineLevel(*this) * rate > 0.0f))
        return;
    launchAccumulator += dt;
    // Every pass launches one record or leaves: a full list drops the time
    // gathered, so a huge rate can neither loop without end nor grow the list
    // past its cap.
    while (true) {
        const float perSecond = CurrentTimelineLevel(*this) * rate;
        if (!(perSecond > 0.0f) || !(launchAccumulator > 1.0f / perSecond))
            break;
        if (launches.size() >= kMaxLaunches) {
            launchAccumulator = 0.0f;
            break;
        }
        launchAccumulator -= 1.0f / perSecond;
        launches.push_back(MakeLaunch());
    }
}
