#pragma once
// KXI_ParticleTracer: trails of short-lived particles around the particles
// of a source list. It is a member of a controller, not a scene object: it
// has its own parameter block, circle emitter and particle list, and its
// owner loads the block's resources, steps it once per frame, builds the
// trail's quads from its list and draws them.
//
// Each step, for every source in turn, the emitter is put on the source's
// drawn centre with a diameter of spread x size x the source's size value,
// and the one even counter (shared by every source, so each source adds the
// step to it) says how many trail particles are born there. A trail particle
// lives `lifetime` seconds and drifts: velocity factor k > 0 sends it out in
// a random direction, k <= 0 draws it toward the centre it was born around
// (k = -1 reaches the centre at the end of its life, k = 0 keeps it still).
// A lifetime of 0 emits nothing; the trail is stepped in any case. The
// trail list holds at most InnerParticleList::kMaxParticles.
//
// Member record (no class name, written as version 4), by version v:
//   int32 version;
//   v >= 2:  the block record (int32 block version, texture name, fields);
//   uint32 counter rate (notified when it differs); uint32 lifetime;
//   v <= 1:  uint32 particle size of the block (stored directly);
//   uint32 spread; uint32 velocity factor;
//   v <= 3:  int32, not used; the block's physics flag is set.
// After reading, v <= 2 gets fixed envelopes: trail particles shrink over
// their whole life and fade in over its first tenth.

#include <cstdint>

#include "objectmodel/Archive.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/InnerParticle.h"
#include "particles/engine/ParticleSystemParams.h"

class KXI_ParticleTracer {
public:
    static constexpr std::int32_t kWrittenVersion = 4;

    KXI_ParticleTracer();
    // Settings, emitter state and the (shared) trail particles.
    KXI_ParticleTracer(const KXI_ParticleTracer& other);
    KXI_ParticleTracer& operator=(const KXI_ParticleTracer&) = delete;
    virtual ~KXI_ParticleTracer();

    // One frame: new trail particles around every source (when the lifetime
    // is above 0), then every trail particle stepped by `dt`.
    void Step(const InnerParticleList& sources, float size, float dt);
    // Routines, block set-up, drift velocity and opacity value of a new
    // trail particle born around `centre`.
    virtual void InitParticle(const ParticleHandle& particle, const math::Vec3& centre, float size) const;

    void Read(ArchiveReader ar);
    void Write(ArchiveWriter ar) const;

    CircleEmitterSet emitter;
    ParticleSystemParams params;
    UINTSclaleTo<float> lifetime{0.01f};
    UINTSclaleTo<float> spread{0.01f};
    UINTSclaleTo<float> velocityFactor{0.02f, -1.0f};
    InnerParticleList particles;

private:
    void EmitAround(const InnerParticle& source, float size, float dt);
    void ApplyLegacyEnvelopes();
};

// Where a particle is drawn: its position moved by its two offsets along
// the direction and the perpendicular.
math::Vec3 DrawnCentre(const InnerParticle& particle);
