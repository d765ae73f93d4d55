#include "particles/engine/ParticleRoutines.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "objectmodel/ParamRecords.h"
#include "objectmodel/SplinePath.h"
#include "particles/engine/RoutineConditions.h"
#include "platform/crt/Random.h"

namespace {

float Speed(const UINTSclaleTo<float>* speed)
{
    return speed ? speed->Scaled() : 0.0f;
}

// Multiplier 6 x float value 6 x the width: the sideways offset of the
// path routines.
float LateralOffset(const InnerParticle& p, const WidthSource* width)
{
    const float w = width ? static_cast<float>(width->value) : 0.0f;
    return p.multipliers[InnerParticle::kSidewaysMultiplier] * p.values[InnerParticle::kSidewaysFactor] * w;
}

COLORREF BlendColours(COLORREF c0, COLORREF c1, float f)
{
    COLORREF result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const float a = static_cast<float>((c0 >> shift) & 0xFF);
        const float b = static_cast<float>((c1 >> shift) & 0xFF);
        const auto channel = static_cast<std::int32_t>(a + (b - a) * f); // truncated toward zero
        result |= (static_cast<COLORREF>(channel) & 0xFF) << shift;
    }
    return result;
}

} // namespace

COLORREF ColourListEntry(const ColorSequenceParams& colours, std::size_t index)
{
    const std::vector<COLORREF>& list = colours.colors.value;
    if (list.empty())
        return ColorSequenceParams::kFirstColor;
    return list[std::min(index, list.size() - 1)];
}

// ---- lifetimes --------------------------------------------------------------------

bool IPR_ConstantAge::Step(float dt, InnerParticle& particle)
{
    particle.values[InnerParticle::kAge] += dt;
    return lifetime >= particle.values[InnerParticle::kAge];
}

float MainRoutineLifetime(const InnerParticle& particle)
{
    const auto* main = dynamic_cast<const IPR_ConstantAge*>(particle.MainRoutine().get());
    return main ? main->GetLifetime() : 1.0f;
}

bool IPR_ConstDistance::Step(float dt, InnerParticle& particle)
{
    particle.values[InnerParticle::kAge] += Speed(speed) * dt;
    return lifetime >= particle.values[InnerParticle::kAge];
}

IPR_ConstPath::IPR_ConstPath(const SplinePath* path, const UINTSclaleTo<float>* speed)
    : IPR_ConstantAge(path ? path->length : 0.0f), path(path), speed(speed)
{
}

bool IPR_ConstPath::Step(float dt, InnerParticle& particle)
{
    particle.values[InnerParticle::kAge] += Speed(speed) * dt;
    return GetLifetime() >= particle.values[InnerParticle::kAge];
}

float IPR_ConstPath::GetLifetime() const
{
    return path ? path->length : 0.0f;
}

// ---- path routines ----------------------------------------------------------------

IPR_PathTracker::IPR_PathTracker(const SplinePath& path, const UINTSclaleTo<float>* speed, const WidthSource* width,
                                 float jitter)
    : IPR_ConstantAge(path.length), width(width), cursor(NewPathCursor(path)), speed(speed),
      speedFactor(2.0f - (crt::RandomUnit() * (1.0f - jitter) + jitter))
{
}

bool IPR_PathTracker::Step(float dt, InnerParticle& particle)
{
    const float d = speedFactor * dt * Speed(speed);
    particle.values[InnerParticle::kAge] += d;
    if (!cursor)
        return false;
    return cursor->AdvanceWithOffset(d, LateralOffset(particle, width), particle.position, particle.velocity);
}

float IPR_PathTracker::GetLifetime() const
{
    if (!cursor || !cursor->Samples())
        return 0.0f;
    const PathSampleList& samples = *cursor->Samples();
    return samples.size() < 2 ? 0.0f : samples[samples.size() - 2].cumulative;
}

bool IPR_PathPoint::Step(float, InnerParticle& particle)
{
    if (!path)
        return false;
    const bool inside = path->SeekDistance(particle.values[InnerParticle::kAge], LateralOffset(particle, width),
                                           particle.position, particle.velocity);
    if (inside)
        particle.pathPointIndex = path->segment;
    return inside;
}

bool IPR_IndexedPathPoint::Step(float, InnerParticle& particle)
{
    if (!path)
        return false;
    return PathSampleAt(*path, LateralOffset(particle, width), particle.pathPointIndex, particle.position,
                        particle.velocity);
}

// ---- motion -----------------------------------------------------------------------

bool IPR_Kinematic::Step(float dt, InnerParticle& p)
{
    const math::Vec3 a = p.acceleration + p.force;
    p.position += p.velocity * dt + a * (0.5f * dt * dt);
    p.velocity += a * dt;
    return true;
}

bool IPR_AirResist::Step(float, InnerParticle& p)
{
    p.force -= p.velocity * k;
    return true;
}

bool IPR_Wind::Step(float, InnerParticle& p)
{
    p.force += (wind - p.velocity) * strength;
    return true;
}

// ---- colour -----------------------------------------------------------------------

IPR_Color::IPR_Color(const ColorSequenceParams* colours) : colours(colours), randomFraction(crt::RandomUnit()) {}

bool IPR_Color::Step(float, InnerParticle& particle)
{
    if (!colours)
        return true;
    const std::vector<COLORREF>& list = colours->colors.value;
    if (colours->colorMode.value == 0) {
        particle.colour = ColourListEntry(*colours, 0);
        return true;
    }
    float f = randomFraction;
    if (colours->randomPick.value == 0) {
        const float lifetime = MainRoutineLifetime(particle);
        f = lifetime > 0.0f ? particle.Age() / lifetime : 0.0f;
    }
    f = std::isnan(f) ? 0.0f : std::clamp(f, 0.0f, 1.0f);
    if (colours->colorMode.value == 1) {
        particle.colour = BlendColours(ColourListEntry(*colours, 0), ColourListEntry(*colours, 1), f);
        return true;
    }
    const float last = list.empty() ? 0.0f : static_cast<float>(list.size() - 1);
    const float index = std::nearbyint(last * f); // the default rounding: halves to even
    particle.colour = ColourListEntry(*colours, static_cast<std::size_t>(std::clamp(index, 0.0f, last)));
    return true;
}

// ---- float values and multipliers -------------------------------------------------

IPR_Increment::IPR_Increment(float amount, float duration, float startAge)
    : FloatParamRoutine(InnerParticle::kOpacityValue), lastAge(startAge), remaining(std::fabs(amount)),
      rate(duration != 0.0f ? amount / duration : std::copysign(std::numeric_limits<float>::infinity(), amount))
{
}

bool IPR_Increment::Step(float, InnerParticle& particle)
{
    const float age = particle.Age();
    if (!(remaining > 0.0f) || !(age > lastAge))
        return true;
    const float c = std::fabs(rate * (age - lastAge));
    lastAge = age;
    particle.values[InnerParticle::kOpacityValue] += std::copysign(std::min(remaining, c), rate);
    remaining -= c;
    return true;
}

bool IPR_IncrementM::Step(float, InnerParticle& particle)
{
    const float age = particle.Age();
    float v = from;
    if (age > rampEnd)
        v = to;
    else if (age > rampStart)
        v = from + (to - from) * (age - rampStart) / (rampEnd - rampStart);
    particle.multipliers[InnerParticle::kSidewaysMultiplier] *= v;
    return true;
}

IPR_Harmonic::IPR_Harmonic(InnerParticle& particle, int index, float amplitude, float phase, float offset,
                           float frequency)
    : OscilationRoutine(index, phase, offset), frequency(frequency), amplitude(amplitude)
{
    Step(0.0f, particle);
}

bool IPR_Harmonic::Step(float, InnerParticle& particle)
{
    if (HasIndex())
        particle.multipliers[index] *= std::cos(particle.Age() * frequency + phase) * amplitude + offset;
    return true;
}

IPR_Perlin::IPR_Perlin(InnerParticle& particle, int index, float amplitude, float offset, float frequency)
    : OscilationRoutine(index, 0.0f, offset)
{
    const std::int32_t draw = crt::rand() % 32767;
    noise = MakeSafePtr<PerlinNoiseParams>();
    noise->persistence = 0.5;
    noise->frequency = frequency;
    noise->amplitude = amplitude * 0.5f;
    noise->octaves = 3;
    noise->seed = draw * draw + 2;
    Step(0.0f, particle);
}

bool IPR_Perlin::Step(float dt, InnerParticle& particle)
{
    phase += dt;
    const auto n = static_cast<float>(PerlinNoise2D(*noise, phase, 0.0) * noise->amplitude);
    if (HasIndex())
        particle.multipliers[index] *= n + offset;
    return true;
}

// ---- interaction ------------------------------------------------------------------

bool IPR_InteractionRoutine::Step(float dt, InnerParticle& particle)
{
    if (!condition || !action || !condition->Test(dt, particle))
        return true;
    ParticleHandle out;
    out.NewEmptySafePtrBlock();
    return action->Apply(particle, out);
}

void IPR_InteractionRoutine::SetCondition(RoutineCondition* newCondition)
{
    condition.MakeSafePtrBlock(newCondition);
}

void IPR_InteractionRoutine::SetAction(RoutineAction* newAction)
{
    action.MakeSafePtrBlock(newAction);
}
