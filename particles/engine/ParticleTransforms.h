#pragma once
// The transforms that drive tree particles, and the two parameter blocks
// only they read (forces and spin). A geometry builds a chain of transforms
// for every particle it makes; each transform keeps its own per-particle
// state (phases, random draws, timers) and reads its parameters through
// plain pointers whose owner outlives the particles. Apply allocates nothing.

#include <algorithm>
#include <cstdint>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ParamRecords.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Oscillations.h"
#include "particles/engine/PerlinNoise.h"
#include "particles/engine/TreeParticle.h"

// Gravity and air resistance of an emit shape. Gravity mode: 0 or less
// none, 1 toward +y, 2 or more toward -y; the strength is 5 x the stored
// value; the drag factor is -value / 100.
struct StandardForceParams {
    static constexpr std::int32_t kStoredVersion = 1;

    MediaParamT<std::int32_t> gravityMode{0};
    UINTSclaleTo<float> gravity{5.0f, 0.0f, 0};
    UINTSclaleTo<float> airResistance{-0.01f, 0.0f, 0};
};

// The spin of a geometry's particles. Direction mode: 0 positive, 1
// negative, else each particle's own random sign. Rotation mode: 0 a fixed
// start angle, 1 the start angle aligned to the direction, 2 spinning. The
// start angle and its jitter are degrees.
struct SpinParams {
    static constexpr std::int32_t kStoredVersion = 1;
    enum RotationMode : std::int32_t { kFixed = 0, kAligned = 1, kSpinning = 2 };

    SpinParams();

    MediaParamT<std::int32_t> directionMode{0};
    KXI_JitterParam spinSpeed;
    MediaParamT<std::int32_t> rotationMode{kFixed};
    KXI_JitterParam startAngle;
};

// int32 version (dropped), int32 mode (direct store), then the unsigned
// values (changed-value sets).
void ReadStandardForceParams(ArchiveReader ar, StandardForceParams& params);
void WriteStandardForceParams(ArchiveWriter ar, const StandardForceParams& params);
void ReadSpinParams(ArchiveReader ar, SpinParams& params);
void WriteSpinParams(ArchiveWriter ar, const SpinParams& params);

// What a wandering (Brownian) particle reads of its swarm at every step.
struct SwarmMotion {
    math::Vec3 centre;
    float width = 0.0f;
    float height = 0.0f;
    float changeFrequency = 0.0f;  // wander-target changes per second
    float accelerationTime = 0.0f; // seconds to reach a new velocity
    float speedScale = 1.0f;
};

class SwarmMotionSource {
public:
    virtual SwarmMotion Motion() const = 0;

protected:
    ~SwarmMotionSource() = default;
};

// What a perspective-flow particle reads of its stream at every step.
struct PerspectiveFlowInputs {
    bool perspective = false;
    math::Vec3 start; // P
    math::Vec3 end;   // Q
    math::Vec2 origin;
    math::Vec3 startDirection; // D1
    math::Vec3 endDirection;   // D2
    float speed = 0.0f;
    float speedJitter = 1.0f; // the jitter factor J: 1 - jitter / 100
};

class PerspectiveFlowSource {
public:
    virtual PerspectiveFlowInputs FlowInputs() const = 0;

protected:
    ~PerspectiveFlowSource() = default;
};

class PtclTr_MaxAge : public KXI_PtclTransform {
public:
    explicit PtclTr_MaxAge(float lifeSpan) : m_lifeSpan(lifeSpan) {}
    bool Apply(float dt, TreeParticle& particle) override;

private:
    float m_lifeSpan;
};

class PtclTr_InheritAge : public KXI_PtclTransform {
public:
    bool Apply(float dt, TreeParticle& particle) override;
};

class PtclTr_InheritVectorPrm : public KXI_PtclTransform {
public:
    explicit PtclTr_InheritVectorPrm(int index) : m_index(std::clamp(index, 0, TreeParticle::kVectorCount - 1)) {}
    bool Apply(float dt, TreeParticle& particle) override;

private:
    int m_index;
};

class PtclTr_Kinematic : public KXI_PtclTransform {
public:
    bool Apply(float dt, TreeParticle& particle) override;
};

// A transform acting on one float value or multiplier.
class PtclTr_FloatPrm : public KXI_PtclTransform {
protected:
    explicit PtclTr_FloatPrm(int index);
    int m_index;
};

class PtclTr_PrmMultiplicator : public PtclTr_FloatPrm {
public:
    PtclTr_PrmMultiplicator(int index, float factor) : PtclTr_FloatPrm(index), m_factor(factor) {}
    bool Apply(float dt, TreeParticle& particle) override;

private:
    float m_factor;
};

// Sets float value [index] to the jittered parameter for this particle's
// draw r, so changing the parameter changes running particles.
class PtclTr_JitterUpdater : public PtclTr_FloatPrm {
public:
    PtclTr_JitterUpdater(int index, const KXI_JitterParam& param, float r)
        : PtclTr_FloatPrm(index), m_r(r), m_param(&param)
    {
    }
    bool Apply(float dt, TreeParticle& particle) override;

private:
    float m_r;
    const KXI_JitterParam* m_param;
};

// Multiplies multiplier [index] by the rise-hold-fall envelope of the life
// fraction.
class PtclTr_AgeTransform : public PtclTr_FloatPrm {
public:
    PtclTr_AgeTransform(int index, const PercentParamGroup& envelope) : PtclTr_FloatPrm(index), m_envelope(&envelope) {}
    bool Apply(float dt, TreeParticle& particle) override;

    // The envelope's factor at life fraction t (clamped to 0..1).
    static float EnvelopeFactor(const PercentParamGroup& envelope, float t);

private:
    const PercentParamGroup* m_envelope;
};

class PtclTr_Harmonic : public PtclTr_FloatPrm {
public:
    PtclTr_Harmonic(int index, const OscillationParams& params, float offset, float phase)
        : PtclTr_FloatPrm(index), m_params(&params), m_offset(offset), m_phase(phase)
    {
    }
    bool Apply(float dt, TreeParticle& particle) override;

private:
    const OscillationParams* m_params;
    float m_offset;
    float m_phase;
};

class PtclTr_Perlin : public PtclTr_FloatPrm {
public:
    PtclTr_Perlin(int index, const OscillationParams& params, float offset, const PerlinNoiseParams& noise)
        : PtclTr_FloatPrm(index), m_params(&params), m_offset(offset), m_noise(noise)
    {
    }
    bool Apply(float dt, TreeParticle& particle) override;

private:
    const OscillationParams* m_params;
    float m_offset;
    float m_phase = 0.0f;
    // Each particle has its own noise record; it is not shared, so it is
    // held by value.
    PerlinNoiseParams m_noise;
};

// A harmonic or noise oscillation of one multiplier, chosen by the
// oscillation kind at every step (any other kind does nothing).
class PtclTr_Oscilator : public KXI_PtclTransform {
public:
    PtclTr_Oscilator(float offset, int index, const OscillationParams& params);
    bool Apply(float dt, TreeParticle& particle) override;

protected:
    PtclTr_Harmonic m_harmonic;
    PtclTr_Perlin m_perlin;
    const OscillationParams* m_params;
};

// An oscillation of an offset multiplier; kind 0 zeroes the multiplier and
// then applies the harmonic (which scales the zero and leaves it at 0).
class PtclTr_Vibrator : public PtclTr_Oscilator {
public:
    PtclTr_Vibrator(float offset, int index, const OscillationParams& params)
        : PtclTr_Oscilator(offset, index, params), m_index(index)
    {
    }
    bool Apply(float dt, TreeParticle& particle) override;

private:
    int m_index;
};

// Sets the colour vector from a colour sequence: the first colour, a blend
// of the first two (mode 1) or a pick along the list (mode 2), by the life
// fraction or a per-particle random draw.
class PtclTr_Color : public KXI_PtclTransform {
public:
    explicit PtclTr_Color(const ColorSequenceParams& colors);
    PtclTr_Color(const ColorSequenceParams& colors, float r) : m_colors(&colors), m_r(r) {}
    bool Apply(float dt, TreeParticle& particle) override;

private:
    const ColorSequenceParams* m_colors;
    float m_r;
};

// Wanders inside the swarm's box, steering home when outside it.
class PtclTr_Brownian : public KXI_PtclTransform {
public:
    explicit PtclTr_Brownian(const SwarmMotionSource& swarm);
    bool Apply(float dt, TreeParticle& particle) override;

    const math::Vec3& OwnVelocity() const { return m_velocity; }
    const math::Vec3& Acceleration() const { return m_acceleration; }
    bool Inside() const { return m_inside != 0; }

private:
    // Sets the acceleration that reaches `target` velocity in the swarm's
    // acceleration time (at once when that time is 0).
    void AccelerateToward(const math::Vec3& target, float accelerationTime);

    const SwarmMotionSource* m_swarm;
    math::Vec3 m_velocity;
    math::Vec3 m_acceleration;
    float m_accelerationTimer = 0.0f;
    float m_changeTimer = 0.0f;
    std::uint8_t m_inside = 1;
};

// Sets the velocity along the direction at the jittered stream speed,
// scaled (with the size) by the perspective factor of the stream.
class PtclTr_PerspectiveFlow : public KXI_PtclTransform {
public:
    PtclTr_PerspectiveFlow(const PerspectiveFlowSource& stream, float r) : m_stream(&stream), m_r(r) {}
    bool Apply(float dt, TreeParticle& particle) override;

    // 1 - dist / L x (T1 - T2) for a particle at `position`; 1 when the
    // stream has no perspective or the factor cannot be computed.
    static float PerspectiveFactor(const PerspectiveFlowInputs& in, const math::Vec3& position);

private:
    const PerspectiveFlowSource* m_stream;
    float m_r;
};

class PtclTr_StandardForces : public KXI_PtclTransform {
public:
    explicit PtclTr_StandardForces(const StandardForceParams& forces) : m_forces(&forces) {}
    bool Apply(float dt, TreeParticle& particle) override;

private:
    const StandardForceParams* m_forces;
};

// Turns the particle's orientation: a start angle, optionally aligned to
// the direction or spinning, then the parent's orientation.
class PtclTr_StandardSpin : public KXI_PtclTransform {
public:
    explicit PtclTr_StandardSpin(const SpinParams& spin);
    PtclTr_StandardSpin(const SpinParams& spin, float angleDraw, float speedDraw, int sign)
        : m_spin(&spin), m_angleDraw(angleDraw), m_speedDraw(speedDraw), m_sign(sign)
    {
    }
    bool Apply(float dt, TreeParticle& particle) override;

    float SpinAngle() const { return m_spinAngle; }

private:
    const SpinParams* m_spin;
    float m_angleDraw;
    float m_speedDraw;
    float m_spinAngle = 0.0f;
    int m_sign;
};
