#include "particles/engine/ParticleTransforms.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "objectmodel/Geometry.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

namespace {
constexpr float kTwoPi = 6.2831855f;
constexpr float kDegreesToNegativeRadians = -0.017453292f;
constexpr COLORREF kWhite = 0x00FFFFFF;

float Clamp01(float f)
{
    if (!(f >= 0.0f)) // NaN too
        return 0.0f;
    return std::min(f, 1.0f);
}

float Jittered(float r, float jitter, float value)
{
    return ((1.0f - jitter) * r + jitter) * value;
}

// The colour at `index` of the list; past the end the last colour repeats,
// and an empty list is white.
COLORREF ColorAt(const std::vector<COLORREF>& list, std::size_t index)
{
    if (list.empty())
        return kWhite;
    return list[std::min(index, list.size() - 1)];
}

float Channel(COLORREF c, int shift)
{
    return static_cast<float>((c >> shift) & 0xFFu);
}

// Seconds until the next wander-target change: uniform in 0.5 / F .. 1.5 / F.
// A frequency of 0 (or less) never changes the target.
float DrawChangeTimer(float frequency)
{
    const float r = crt::RandomUnit();
    if (!(frequency > 0.0f))
        return std::numeric_limits<float>::infinity();
    return r * (1.5f / frequency - 0.5f / frequency) + 0.5f / frequency;
}

math::Vec3 RandomWanderVelocity()
{
    // The length is drawn first, then the angle.
    const float length = 75.0f + 25.0f * crt::RandomUnit();
    math::Vec3 v;
    RandomDirectionInArc(v, length, 0.0f, 360.0f);
    return v;
}
} // namespace

SpinParams::SpinParams()
{
    spinSpeed.QuietSet(50);
    startAngle.jitter.Rescale(1.0f, 0.0f);
}

void ReadStandardForceParams(ArchiveReader ar, StandardForceParams& params)
{
    ar.ReadInt(); // version
    params.gravityMode.StoreValue(ar.ReadInt());
    params.gravity.SetChangedValue(ar.ReadDword(), nullptr);
    params.airResistance.SetChangedValue(ar.ReadDword(), nullptr);
}

void WriteStandardForceParams(ArchiveWriter ar, const StandardForceParams& params)
{
    ar->WriteLong(StandardForceParams::kStoredVersion);
    ar->WriteLong(params.gravityMode.value);
    ar->WriteDword(params.gravity.value);
    ar->WriteDword(params.airResistance.value);
}

void ReadSpinParams(ArchiveReader ar, SpinParams& params)
{
    ar.ReadInt(); // version
    params.directionMode.StoreValue(ar.ReadInt());
    params.spinSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    params.spinSpeed.jitter.SetChangedValue(ar.ReadDword(), nullptr);
    params.rotationMode.StoreValue(ar.ReadInt());
    params.startAngle.SetChangedValue(ar.ReadDword(), nullptr);
    params.startAngle.jitter.SetChangedValue(ar.ReadDword(), nullptr);
}

void WriteSpinParams(ArchiveWriter ar, const SpinParams& params)
{
    ar->WriteLong(SpinParams::kStoredVersion);
    ar->WriteLong(params.directionMode.value);
    ar->WriteDword(params.spinSpeed.value);
    ar->WriteDword(params.spinSpeed.jitter.value);
    ar->WriteLong(params.rotationMode.value);
    ar->WriteDword(params.startAngle.value);
    ar->WriteDword(params.startAngle.jitter.value);
}

bool PtclTr_MaxAge::Apply(float dt, TreeParticle& particle)
{
    float& life = particle.values[TreeParticle::kLifeFraction];
    life += dt / m_lifeSpan;
    return 1.0f >= life;
}

bool PtclTr_InheritAge::Apply(float, TreeParticle& particle)
{
    if (const TreeParticle* parent = particle.Parent())
        particle.values[TreeParticle::kLifeFraction] = parent->values[TreeParticle::kLifeFraction];
    return true;
}

bool PtclTr_InheritVectorPrm::Apply(float, TreeParticle& particle)
{
    if (const TreeParticle* parent = particle.Parent())
        particle.vectors[m_index] = parent->vectors[m_index];
    return true;
}

bool PtclTr_Kinematic::Apply(float dt, TreeParticle& particle)
{
    const math::Vec3 force = particle.Force();
    particle.Position() += particle.Velocity() * dt + force * (0.5f * dt * dt);
    particle.Velocity() += force * dt;
    return true;
}

PtclTr_FloatPrm::PtclTr_FloatPrm(int index) : m_index(std::clamp(index, 0, TreeParticle::kFloatCount - 1)) {}

bool PtclTr_PrmMultiplicator::Apply(float, TreeParticle& particle)
{
    particle.multipliers[m_index] *= m_factor;
    return true;
}

bool PtclTr_JitterUpdater::Apply(float, TreeParticle& particle)
{
    particle.values[m_index] = Jittered(m_r, m_param->jitter.Scaled(), m_param->Scaled());
    return true;
}

float PtclTr_AgeTransform::EnvelopeFactor(const PercentParamGroup& envelope, float t)
{
    // A life fraction outside 0..1 (a particle stepped past its end) is held
    // at the ends, so the fall never divides by a zero span.
    t = Clamp01(t);
    const float riseEnd = envelope.percents[1].Scaled();
    const float fallStart = envelope.percents[2].Scaled();
    const float startLevel = envelope.percents[4].Scaled();
    const float endLevel = envelope.percents[5].Scaled();
    const float full = envelope.percents[6].Scaled();
    if (t < riseEnd)
        return (t / riseEnd * (1.0f - startLevel) + startLevel) * full;
    if (t > fallStart)
        return ((1.0f - t) / (1.0f - fallStart) * (1.0f - endLevel) + endLevel) * full;
    return full;
}

bool PtclTr_AgeTransform::Apply(float, TreeParticle& particle)
{
    particle.multipliers[m_index] *= EnvelopeFactor(*m_envelope, particle.values[TreeParticle::kLifeFraction]);
    return true;
}

bool PtclTr_Harmonic::Apply(float dt, TreeParticle& particle)
{
    m_phase += m_params->frequency.Scaled() * dt;
    const float amplitude = m_params->amplitude.Scaled();
    particle.multipliers[m_index] *= (std::cos(m_phase) - m_offset) * amplitude + m_offset;
    return true;
}

bool PtclTr_Perlin::Apply(float dt, TreeParticle& particle)
{
    m_phase += m_params->frequency.Scaled() * dt;
    const float n = static_cast<float>(PerlinNoise2D(m_noise, m_phase, 0.0) * m_noise.amplitude);
    const float amplitude = m_params->amplitude.Scaled();
    particle.multipliers[m_index] *= (n - m_offset) * amplitude + m_offset;
    return true;
}

namespace {
PerlinNoiseParams NewOscillatorNoise()
{
    PerlinNoiseParams noise;
    noise.persistence = 0.5;
    noise.frequency = 1.0;
    noise.amplitude = 2.0;
    noise.octaves = 1;
    const std::int32_t draw = crt::rand() % 32767;
    noise.seed = draw * draw + 2;
    return noise;
}

float DrawPhase()
{
    return crt::RandomUnit() * kTwoPi;
}
} // namespace

PtclTr_Oscilator::PtclTr_Oscilator(float offset, int index, const OscillationParams& params)
    : m_harmonic(index, params, offset, DrawPhase()), m_perlin(index, params, offset, NewOscillatorNoise()),
      m_params(&params)
{
}

bool PtclTr_Oscilator::Apply(float dt, TreeParticle& particle)
{
    switch (m_params->kind.value) {
    case OscillationParams::kHarmonic:
        return m_harmonic.Apply(dt, particle);
    case OscillationParams::kNoise:
        return m_perlin.Apply(dt, particle);
    default:
        return true;
    }
}

bool PtclTr_Vibrator::Apply(float dt, TreeParticle& particle)
{
    if (m_params->kind.value != OscillationParams::kNone)
        return PtclTr_Oscilator::Apply(dt, particle);
    particle.multipliers[std::clamp(m_index, 0, TreeParticle::kFloatCount - 1)] = 0.0f;
    return m_harmonic.Apply(dt, particle);
}

PtclTr_Color::PtclTr_Color(const ColorSequenceParams& colors) : PtclTr_Color(colors, crt::RandomUnit()) {}

bool PtclTr_Color::Apply(float, TreeParticle& particle)
{
    const std::vector<COLORREF>& list = m_colors->colors.value;
    const std::int32_t mode = m_colors->colorMode.value;
    const float f = Clamp01(m_colors->randomPick.value != 0 ? m_r : particle.values[TreeParticle::kLifeFraction]);
    // Mode 2 picks by truncating count x f; f = 1 would name the slot past
    // the end, so the pick stops at the last colour.
    std::size_t index = 0;
    if (mode == 2)
        index = static_cast<std::size_t>(static_cast<float>(list.size()) * f);
    const COLORREF c = ColorAt(list, index);
    math::Vec3& color = particle.Color();
    if (mode == 1) {
        const COLORREF c1 = ColorAt(list, 1);
        auto blend = [&](int shift) {
            const float a = Channel(c, shift);
            return a + (Channel(c1, shift) - a) * f;
        };
        color = {blend(0), blend(8), blend(16)};
    } else {
        color = {Channel(c, 0), Channel(c, 8), Channel(c, 16)};
    }
    return true;
}

PtclTr_Brownian::PtclTr_Brownian(const SwarmMotionSource& swarm)
    : m_swarm(&swarm), m_velocity(RandomWanderVelocity())
{
    m_changeTimer = DrawChangeTimer(swarm.Motion().changeFrequency);
}

void PtclTr_Brownian::AccelerateToward(const math::Vec3& target, float accelerationTime)
{
    if (accelerationTime > 0.0f) {
        m_acceleration = (target - m_velocity) / accelerationTime;
        m_accelerationTimer = accelerationTime;
        return;
    }
    // No time to accelerate in: take the new velocity at once.
    m_velocity = target;
    m_acceleration = {};
    m_accelerationTimer = 0.0f;
}

bool PtclTr_Brownian::Apply(float dt, TreeParticle& particle)
{
    const SwarmMotion swarm = m_swarm->Motion();
    math::Vec3& position = particle.Position();
    const bool outside = std::fabs(position.x - swarm.centre.x) > swarm.width / 2.0f ||
                         std::fabs(position.y - swarm.centre.y) > swarm.height / 2.0f;
    if (!outside) {
        m_inside = 1;
    } else {
        const bool still = m_acceleration.x == 0.0f && m_acceleration.y == 0.0f && m_acceleration.z == 0.0f;
        if (m_inside != 0 || still) {
            math::Vec3 home;
            math::Vec3Normalize(&home, swarm.centre - position);
            AccelerateToward(home * 100.0f, swarm.accelerationTime);
        }
        m_inside = 0;
    }

    m_changeTimer -= dt;
    if (m_changeTimer < 0.0f) {
        m_changeTimer = DrawChangeTimer(swarm.changeFrequency);
        if (m_inside != 0)
            AccelerateToward(RandomWanderVelocity(), swarm.accelerationTime);
    }

    m_accelerationTimer -= dt;
    if (m_accelerationTimer < 0.0f) {
        m_acceleration = {};
        m_accelerationTimer = 0.0f;
    }

    position += (m_velocity * dt + m_acceleration * (0.5f * dt * dt)) * swarm.speedScale;
    particle.Velocity() = m_velocity;
    m_velocity += m_acceleration * dt;
    math::Vec3Normalize(&particle.Direction(), m_velocity);
    return true;
}

float PtclTr_PerspectiveFlow::PerspectiveFactor(const PerspectiveFlowInputs& in, const math::Vec3& position)
{
    if (!in.perspective)
        return 1.0f;
    const math::Vec3 span = in.end - in.start;
    const float length = math::Vec3Length(span);
    if (!(length > 0.0f))
        return 1.0f;
    const math::Vec3 u = span / length;
    const float px = position.x - in.origin.x;
    const float py = position.y - in.origin.y;
    const float dist = std::fabs(u.x * (py - in.start.y) - u.y * (px - in.start.x));
    auto cotangent = [&u](const math::Vec3& d, float& t) {
        const float denominator = d.x * u.y + d.y * u.x;
        if (denominator == 0.0f)
            return false;
        t = (d.x * u.x - d.y * u.y + d.z * u.z) / denominator;
        return true;
    };
    float t1 = 0.0f;
    float t2 = 0.0f;
    if (!cotangent(in.startDirection, t1) || !cotangent(in.endDirection, t2))
        return 1.0f;
    const float a = 1.0f - dist / length * (t1 - t2);
    return std::isfinite(a) ? a : 1.0f;
}

bool PtclTr_PerspectiveFlow::Apply(float, TreeParticle& particle)
{
    const PerspectiveFlowInputs in = m_stream->FlowInputs();
    const float a = PerspectiveFactor(in, particle.Position());
    const float s = Jittered(m_r, in.speedJitter, in.speed);
    particle.Velocity() = particle.Direction() * (s * a);
    particle.multipliers[TreeParticle::kSize] *= a;
    return true;
}

bool PtclTr_StandardForces::Apply(float, TreeParticle& particle)
{
    const std::int32_t mode = m_forces->gravityMode.value;
    float g = mode >= 1 ? m_forces->gravity.Scaled() : 0.0f;
    if (mode > 1)
        g = -g;
    const float k = m_forces->airResistance.Scaled();
    particle.Force() += particle.Velocity() * k + math::Vec3{0.0f, g, 0.0f};
    return true;
}

PtclTr_StandardSpin::PtclTr_StandardSpin(const SpinParams& spin) : m_spin(&spin)
{
    m_angleDraw = 2.0f * crt::RandomUnit() - 1.0f;
    m_speedDraw = crt::RandomUnit();
    m_sign = (crt::rand() % 2 != 0) ? 1 : -1;
}

bool PtclTr_StandardSpin::Apply(float dt, TreeParticle& particle)
{
    const SpinParams& spin = *m_spin;
    float angle = (spin.startAngle.jitter.Scaled() * m_angleDraw + spin.startAngle.Scaled()) * kDegreesToNegativeRadians;
    const std::int32_t rotation = spin.rotationMode.value;
    if (rotation == SpinParams::kSpinning) {
        int sign = m_sign;
        if (spin.directionMode.value == 0)
            sign = 1;
        else if (spin.directionMode.value == 1)
            sign = -1;
        m_spinAngle += Jittered(m_speedDraw, spin.spinSpeed.jitter.Scaled(), spin.spinSpeed.Scaled()) *
                       (static_cast<float>(sign) * dt);
        angle += m_spinAngle;
    }
    math::Matrix m;
    math::MatrixRotationZ(&m, angle);
    if (rotation == SpinParams::kAligned) {
        math::Matrix align;
        MakeRotationBetweenVectors(align, particle.Direction(), math::Vec3{1.0f, 0.0f, 0.0f});
        m = m * align;
    }
    if (const TreeParticle* parent = particle.Parent())
        m = m * parent->orientation;
    particle.orientation = m;
    return true;
}
