#pragma once
// Two particle systems that follow an editable spline path.
//
// KXI_ParticlePath: particles stream from the path's first point to its end
// at an even rate, spread sideways inside a band. The band's width follows
// an envelope along the path (grow in from the start width up to the
// widening end, shrink out to the end width from the narrowing start) and
// each particle waves across it on a cosine (wander mode 0) or wanders on
// noise (any other mode). A particle dies when it runs off the path's end.
// The pre-run fills the path: path length / speed seconds, none for a speed
// that is not above 0 (a stream that does not move stays at the first
// point, bounded by the list's cap).
//
// KXI_ParticleTrace: an invisible point travels the path once per length of
// the object's timeline and drops `count` particles evenly along it (one at
// the start, the last at the end). Each flies off at right angles to the
// path at a random angle around it and lives for a fixed time. It drops
// only while the timeline is on and has a length (random and manual
// timelines); otherwise the point goes back to the start. Per update it
// drops at most as many particles as the list has room for; the rest of the
// distance is walked without drops, so a huge count cannot stall a frame.
//
// Stored records (written as version 1; the version is not looked at):
//   "KXI_ParticlePath": the spline points, uint32 rate, uint32 speed,
//     uint32 speed jitter, uint32 width, int32 wander mode, uint32 wave
//     frequency, start width, end width, widening end, narrowing start,
//     then the KXI_ParticleSystemCtrl section.
//   "KXI_ParticleTrace": the spline points, uint32 count, uint32 lifetime
//     (hundredths of a second), uint32 scatter radius, uint32 speed, then
//     the KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/PathCursor.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SplinePath.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

// The stored form of a spline path's points: int32 count, then per point
// int32 version, position, outgoing handle, incoming handle (3 floats each).
void WriteSplinePoints(ArchiveWriter ar, const SplinePath& path);

class KXI_ParticlePath : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_ParticlePath";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_ParticlePath();
    KXI_ParticlePath(const KXI_ParticlePath& other);
    ~KXI_ParticlePath() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach, one empty batch, then the path resampled.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The particles due for dt x the timeline's level leave the first point,
    // spread over the step, straight into the list; returns nothing.
    InnerParticleList::Handles Emit(float dt) override;
    // Path length / speed; 0 when the speed is not above 0.
    float GetPreRunDuration() const override;

    // Sideways motion, band envelope, the path tracker and the block's
    // set-up of a new particle.
    void SetUpPathParticle(InnerParticle& particle) const;

    SplinePath path;
    KXI_EvenImitter rate;
    MediaSpeedParam pathSpeed;
    UINTSclaleTo<float> speedJitter{-0.01f, 1.0f};
    MediaParamT<std::uint32_t> width{0u};
    MediaParamT<std::int32_t> wanderMode{0};
    UINTSclaleTo<float> waveFrequency{0.0004f};
    UINTSclaleTo<float> startWidth{0.01f};
    UINTSclaleTo<float> endWidth{0.01f};
    UINTSclaleTo<float> wideningEnd{0.01f};
    UINTSclaleTo<float> narrowingStart{0.01f};

private:
    void AddSidewaysMotion(InnerParticle& particle) const;
    void AddBandEnvelope(InnerParticle& particle) const;
};

class KXI_ParticleTrace : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_ParticleTrace";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_ParticleTrace();
    // Copies the travelled distance and shares the cursor; the attach gives
    // the copy a cursor of its own.
    KXI_ParticleTrace(const KXI_ParticleTrace& other);
    ~KXI_ParticleTrace() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach, one empty batch, the path resampled and a new cursor
    // at its start.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // Moves the trace point on and drops the particles it passes, straight
    // into the list; returns nothing.
    InnerParticleList::Handles Emit(float dt) override;
    // No pre-run.
    float GetPreRunDuration() const override;

    SplinePath path;
    MediaParamT<std::uint32_t> count{0u};
    TimeParam lifetime;
    MediaParamT<std::uint32_t> scatterRadius{0u};
    UINTSclaleTo<float> launchSpeed{1.0f};
    // Distance travelled since the last drop.
    float travelled = 0.0f;
    DS_SafePtr<PathCursor> cursor;

private:
    // Whether the timeline lets the point travel (on, with a length) over a
    // path that has a length, with more than one particle per pass.
    bool CanTravel() const;
    void ResetCursor();
    // A particle scattered around `point`, flying off at right angles to
    // `direction`, into the list.
    void Drop(const math::Vec3& point, const math::Vec3& direction);
    // Moves the cursor on by the whole spacings `travelled` still holds,
    // without dropping, keeping only the remainder below one spacing.
    void WalkWithoutDrops(float spacing);
};
