#include "particles/generators/GenParticle.h"

#include "objectmodel/ScaledParams.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

namespace {

constexpr float kRandMax = 32767.0f;
// The speed at which a particle that left its rectangle heads back, px/s.
constexpr float kReturnSpeed = 100.0f;

// 200 x r - 100: a velocity component of a wandering particle.
float RandomComponent()
{
    return 200.0f * static_cast<float>(crt::rand()) / kRandMax - 100.0f;
}

} // namespace

// ---- GenParticle -------------------------------------------------------------------

GenParticle::GenParticle(const GenParticle& other)
    : position(other.position), previous(other.previous), channels(other.channels)
{
    processes.reserve(other.processes.size());
    for (const auto& process : other.processes)
        processes.push_back(process->Clone());
}

GenParticle& GenParticle::operator=(const GenParticle& other)
{
    if (this != &other)
        *this = GenParticle(other);
    return *this;
}

void GenParticle::ResetChannels()
{
    channels.fill(1.0f);
    channels[kLife] = 0.0f;
    channels[kAge] = 0.0f;
    channels[kAngle] = 0.0f;
}

void GenParticle::Init(float x, float y, float z)
{
    position = {x, y, z};
    previous = position;
    ResetChannels();
    processes.clear();
}

float& GenParticle::ChannelAt(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kChannelCount)
        return m_spareChannel;
    return channels[static_cast<std::size_t>(index)];
}

bool GenParticle::RunProcesses(float dt)
{
    bool alive = true;
    // Every process runs, even after one has answered false.
    for (const auto& process : processes)
        alive = process->Update(dt, *this) && alive;
    return alive;
}

void UpdateGenParticles(float dt, GenParticleList& particles)
{
    for (auto it = particles.begin(); it != particles.end();) {
        if (it->RunProcesses(dt))
            ++it;
        else
            it = particles.erase(it);
    }
}

// ---- processes ------------------------------------------------------------------------

bool PLifeConst::Update(float dt, GenParticle& particle)
{
    float& life = particle.channels[GenParticle::kLife];
    life += rate * dt;
    return life < 1.0f;
}

bool PAgeConst::Update(float dt, GenParticle& particle)
{
    float& age = particle.channels[GenParticle::kAge];
    age += dt;
    return age < limit;
}

bool PFade::Update(float, GenParticle& particle)
{
    const float age = particle.channels[GenParticle::kAge];
    if (amount == 0.0f || start > age)
        return true;
    float& value = particle.ChannelAt(channel);
    if (age >= end) {
        value += amount;
        amount = 0.0f;
        return true;
    }
    // age lies in [start, end) here, so end - start is above 0.
    const float d = (age - start) / (end - start) * amount;
    value += d;
    amount -= d;
    start = age;
    return true;
}

bool PSteady::Update(float dt, GenParticle& particle)
{
    const float life = particle.channels[GenParticle::kLife];
    if (start < life && life < end)
        particle.ChannelAt(channel) += rate * dt;
    return true;
}

bool PTwinkle::Update(float dt, GenParticle& particle)
{
    elapsed += dt;
    if (elapsed <= period)
        return true;
    float& value = particle.ChannelAt(channel);
    if (crt::rand() % 3 == 0) {
        value = base * (1.0f + 0.5f * static_cast<float>(crt::rand()) / kRandMax);
        period = 0.2f;
        elapsed = 0.0f;
        return true;
    }
    value = base;
    elapsed = 0.0f;
    period = 0.2f + 2.3f * static_cast<float>(crt::rand()) / kRandMax;
    return true;
}

bool PKinetic::Update(float dt, GenParticle& particle)
{
    const float half = dt * dt / 2.0f;
    particle.position.x += velocity.x * dt + acceleration.x * half;
    particle.position.y += velocity.y * dt + acceleration.y * half;
    particle.position.z += velocity.z * dt + acceleration.z * half;
    velocity.x += acceleration.x * dt;
    velocity.y += acceleration.y * dt;
    velocity.z += acceleration.z * dt;
    return true;
}

bool PSpin::Update(float dt, GenParticle& particle)
{
    particle.channels[GenParticle::kAngle] += rate * dt;
    return true;
}

PBrownian::PBrownian(const PBrownianOwner* owner) : owner(owner)
{
    velocity.y = RandomComponent();
    velocity.x = RandomComponent();
    velocity.z = 0.0f;
    repickTimer = 1.0f + 4.0f * DrawRandomUnit();
}

void PBrownian::SteerTowards(const math::Vec3& target)
{
    const float time = *owner->steeringTime;
    if (!(time > 0.0f)) {
        velocity = target;
        acceleration = {};
        steeringTime = 0.0f;
        return;
    }
    acceleration = {(target.x - velocity.x) / time, (target.y - velocity.y) / time, (target.z - velocity.z) / time};
    steeringTime = time;
}

bool PBrownian::Update(float dt, GenParticle& particle)
{
    if (!owner || !owner->rectangle || !owner->speedFactor || !owner->repickPeriod || !owner->steeringTime)
        return true;
    const BrownianRect& rect = *owner->rectangle;
    math::Vec3& p = particle.position;
    const bool outside = p.y > rect.bottom || rect.top > p.y || rect.left > p.x || p.x > rect.right;
    if (!outside) {
        inside = 1;
    } else {
        const bool stillSteering = acceleration.x != 0.0f || acceleration.y != 0.0f || acceleration.z != 0.0f;
        if (inside || !stillSteering) {
            math::Vec3 toCentre{(rect.left + rect.right) / 2.0f - p.x, (rect.top + rect.bottom) / 2.0f - p.y, -p.z};
            math::Vec3Normalize(&toCentre, toCentre);
            SteerTowards({kReturnSpeed * toCentre.x, kReturnSpeed * toCentre.y, kReturnSpeed * toCentre.z});
        }
        inside = 0;
    }
    repickTimer -= dt;
    if (repickTimer < 0.0f) {
        const float period = *owner->repickPeriod;
        repickTimer = 0.5f * period + DrawRandomUnit() * (1.5f * period - 0.5f * period);
        if (inside) {
            const float a = RandomComponent();
            const float b = RandomComponent();
            SteerTowards({b, a, 0.0f});
        }
    }
    steeringTime -= dt;
    if (steeringTime < 0.0f) {
        acceleration = {};
        steeringTime = 0.0f;
    }
    const float speed = *owner->speedFactor;
    const float half = dt * dt / 2.0f;
    p.x += (velocity.x * dt + acceleration.x * half) * speed;
    p.y += (velocity.y * dt + acceleration.y * half) * speed;
    p.z += (velocity.z * dt + acceleration.z * half) * speed;
    velocity.x += acceleration.x * dt;
    velocity.y += acceleration.y * dt;
    velocity.z += acceleration.z * dt;
    return true;
}
