#pragma once
// The behaviour routines of inner particles (InnerParticle.h). One routine
// object serves exactly one particle: routines keep per-particle state (the
// noise clock, the remaining increment, the random colour fraction, the path
// speed factor); only the parameters and path data they point at are shared.
// A routine's step allocates nothing, except the interaction routine's small
// out handle while its condition holds.
//
// Float value i is the i-th of the particle's seven values from the age
// (InnerParticle::FloatValue); multiplier i its i-th per-step multiplier.
//
// Argument orders (other subsystems name them by meaning):
//   IPR_Increment(amount, duration, start age)
//   IPR_Harmonic(particle, index, amplitude, phase, offset, frequency)
//   IPR_Perlin(particle, index, amplitude, offset, frequency)
//   InnerParticle::AddRoutine(routine handle, run-now flag)
//   IPR_IndexedPathPoint(shared samples, width source): it holds the
//   samples, not a cursor.

#include <cstdint>

#include "objectmodel/MediaParam.h"
#include "objectmodel/PathCursor.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/InnerParticle.h"
#include "particles/engine/PerlinNoise.h"

struct ColorSequenceParams;
class SplinePath;
class RoutineCondition;
class RoutineAction;

// The unsigned width the path routines scale their lateral offset by.
using WidthSource = MediaParamTB<std::uint32_t>;

// Lives while lifetime >= age; the step advances the age.
class IPR_ConstantAge : public InnerParticleRoutine {
public:
    explicit IPR_ConstantAge(float lifetime) : lifetime(lifetime) {}
    bool Step(float dt, InnerParticle& particle) override;
    // The span the age is measured against (the size and opacity envelopes
    // and the colour routine read it).
    virtual float GetLifetime() const { return lifetime; }

    float lifetime;
};

// The lifetime of the particle's main routine; 1.0 when it has none (or one
// outside the lifetime family).
float MainRoutineLifetime(const InnerParticle& particle);

// The age counts the distance travelled at the source's speed.
class IPR_ConstDistance : public IPR_ConstantAge {
public:
    // +infinity is a valid limit: the particle never dies by distance.
    IPR_ConstDistance(float limit, const UINTSclaleTo<float>* speed) : IPR_ConstantAge(limit), speed(speed) {}
    bool Step(float dt, InnerParticle& particle) override;

    const UINTSclaleTo<float>* speed;
};

// As IPR_ConstDistance, limited by the path's current length.
class IPR_ConstPath : public IPR_ConstantAge {
public:
    IPR_ConstPath(const SplinePath* path, const UINTSclaleTo<float>* speed);
    bool Step(float dt, InnerParticle& particle) override;
    float GetLifetime() const override;

    const SplinePath* path;
    const UINTSclaleTo<float>* speed;
};

// Rides a cursor of its own along the path, at the source's speed times a
// per-particle factor between 1 and 2 - jitter.
class IPR_PathTracker : public IPR_ConstantAge {
public:
    IPR_PathTracker(const SplinePath& path, const UINTSclaleTo<float>* speed, const WidthSource* width,
                    float jitter);
    bool Step(float dt, InnerParticle& particle) override;
    // The sampled length of the path (the cumulative distance of the
    // second-to-last sample); 0 with fewer than 2 samples.
    float GetLifetime() const override;

    const WidthSource* width;
    DS_SafePtr<PathCursor> cursor;
    const UINTSclaleTo<float>* speed;
    float speedFactor;
};

// Seeks a cursor shared with the controller to the distance the age holds.
class IPR_PathPoint : public InnerParticleRoutine {
public:
    IPR_PathPoint(DS_SafePtr<PathCursor> cursor, const WidthSource* width)
        : width(width), path(std::move(cursor))
    {
    }
    bool Step(float dt, InnerParticle& particle) override;

    const WidthSource* width;
    DS_SafePtr<PathCursor> path;
};

// Places the particle on the sample its path point index names.
class IPR_IndexedPathPoint : public InnerParticleRoutine {
public:
    IPR_IndexedPathPoint(SharedPathSamples samples, const WidthSource* width)
        : width(width), path(std::move(samples))
    {
    }
    bool Step(float dt, InnerParticle& particle) override;

    const WidthSource* width;
    SharedPathSamples path;
};

// Moves the particle: a = acceleration + force accumulator.
class IPR_Kinematic : public InnerParticleRoutine {
public:
    bool Step(float dt, InnerParticle& particle) override;
};

class IPR_AirResist : public InnerParticleRoutine {
public:
    explicit IPR_AirResist(float k) : k(k) {}
    bool Step(float dt, InnerParticle& particle) override;

    float k;
};

class IPR_Wind : public InnerParticleRoutine {
public:
    IPR_Wind(float x, float y, float z, float strength) : wind{x, y, z}, strength(strength) {}
    bool Step(float dt, InnerParticle& particle) override;

    math::Vec3 wind;
    float strength;
};

// The colour of a list entry: its last entry past the end, white for an
// empty list.
COLORREF ColourListEntry(const ColorSequenceParams& colours, std::size_t index);

// Colours the particle from the controller's colour list: mode 0 the first
// colour; mode 1 a blend of the first two by the fraction; other modes the
// entry nearest to the fraction (halves to even). The fraction is the
// routine's random draw (random-pick flag) or age / lifetime, clamped to
// 0..1. A list shorter than the mode needs repeats its last colour; an empty
// list acts as white.
class IPR_Color : public InnerParticleRoutine {
public:
    explicit IPR_Color(const ColorSequenceParams* colours);
    bool Step(float dt, InnerParticle& particle) override;

    const ColorSequenceParams* colours;
    float randomFraction;
};

class FloatParamRoutine : public InnerParticleRoutine {
public:
    explicit FloatParamRoutine(int index) : index(index) {}
    // Which float value or multiplier the routine acts on (0..6; others act
    // on nothing).
    int index;

protected:
    bool HasIndex() const { return index >= 0 && index < InnerParticle::kMultiplierCount; }
};

// Adds `amount` to float value 2 at `amount / duration` per second of age,
// from `start age` on, never more than |amount| in all.
class IPR_Increment : public FloatParamRoutine {
public:
    IPR_Increment(float amount, float duration, float startAge);
    bool Step(float dt, InnerParticle& particle) override;

    float lastAge;
    float remaining;
    float rate;
};

// Multiplier 6 ramps from `from` to `to` between two ages.
class IPR_IncrementM : public FloatParamRoutine {
public:
    IPR_IncrementM(float from, float to, float rampStart, float rampEnd)
        : FloatParamRoutine(InnerParticle::kSidewaysMultiplier), from(from), to(to), rampStart(rampStart),
          rampEnd(rampEnd)
    {
    }
    bool Step(float dt, InnerParticle& particle) override;

    float from;
    float to;
    float rampStart;
    float rampEnd;
};

class OscilationRoutine : public FloatParamRoutine {
public:
    OscilationRoutine(int index, float phase, float offset) : FloatParamRoutine(index), phase(phase), offset(offset) {}
    float phase;
    float offset;
};

// multiplier[index] x= cos(age x frequency + phase) x amplitude + offset,
// applied once at construction too.
class IPR_Harmonic : public OscilationRoutine {
public:
    IPR_Harmonic(InnerParticle& particle, int index, float amplitude, float phase, float offset, float frequency);
    bool Step(float dt, InnerParticle& particle) override;

    float frequency;
    float amplitude;
};

// multiplier[index] x= noise(clock) x amplitude + offset; the phase is the
// running clock. Runs once with dt 0 at construction.
class IPR_Perlin : public OscilationRoutine {
public:
    IPR_Perlin(InnerParticle& particle, int index, float amplitude, float offset, float frequency);
    bool Step(float dt, InnerParticle& particle) override;

    DS_SafePtr<PerlinNoiseParams> noise;
};

// When the condition holds, the action runs (its result is the step's).
class IPR_InteractionRoutine : public InnerParticleRoutine {
public:
    bool Step(float dt, InnerParticle& particle) override;
    // Each takes ownership in a new handle and releases the previous one.
    void SetCondition(RoutineCondition* newCondition);
    void SetAction(RoutineAction* newAction);

    DS_SafePtr<RoutineCondition> condition;
    DS_SafePtr<RoutineAction> action;
};
