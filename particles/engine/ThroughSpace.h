#pragma once
// KXI_ThroughSpaceCtrl: a flight through a star field. Particles are born
// on a rectangle and fly along the depth axis, approaching (from z = 1 to
// z = 0) or receding (from z = 0 on), and are drawn in perspective around a
// centre point: each corner is moved towards the centre by the scale 1/z.
// The whole field can turn slowly about the centre.
//
// The system runs on a speed clock of its own (the base's speed is not
// used) and a rotation clock. Each frame steps the existing particles twice
// by the step (once by itself, once in the base's simulation step), so they
// age and move at twice the step: approaching particles reach z = 0 after
// 2.5 s of scaled time, when their 5 s lifetime ends.
//
// Quads take the first colour of the block's list with the particle's
// opacity factor and no size factor. A particle at depth z below 0.001
// (a receding one at birth, an approaching one at its end) is written as a
// quad with every corner at the centre and alpha 0: it is drawn nowhere,
// and no vertex holds an infinity or a giant or mirrored quad.
//
// Stored record "KXI_ThroughSpaceCtrl" (written as version 3): uint32 rate,
// the emitter area (four corners), uint32 rotation speed, int32 rotation
// direction, the centre (3 floats), 1 byte receding flag, from version 2 a
// uint32 speed, then the KXI_ParticleSystemCtrl section. Version 1 kept the
// speed in the block's texture clock; below version 3 the size and opacity
// envelopes were fixed.

#include <cstdint>
#include <memory>

#include "objectmodel/ScaledParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

class KXI_ThroughSpaceCtrl : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_ThroughSpaceCtrl";
    static constexpr std::int32_t kWrittenVersion = 3;
    // Lifetime and depth speed of every particle.
    static constexpr float kLifetime = 5.0f;
    static constexpr float kDepthSpeed = 0.2f;
    // Below this depth a particle is not drawn.
    static constexpr float kNearestDepth = 0.001f;

    KXI_ThroughSpaceCtrl();
    KXI_ThroughSpaceCtrl(const KXI_ThroughSpaceCtrl& other);
    ~KXI_ThroughSpaceCtrl() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach, then one empty batch.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The particles due for the step x the timeline's level, set up and
    // moved into the list (receding at the end, approaching at the front, so
    // the list runs from far to near); returns nothing.
    InnerParticleList::Handles Emit(float dt) override;
    // Both clocks, the block's clocks, the double step, the turn of the
    // field and the quads.
    void Update(float localTime) override;

    // The perspective quads of the particles into batch 0.
    void BuildDepthQuads();

    RectEmitterSet emitter;
    MediaSpeedParam rotationClock;
    MediaParamT<std::int32_t> rotationDirection{0};
    MediaParamT<math::Vec3> centre;
    bool receding = false;
    MediaSpeedParam speedClock;
    // The accumulated turn in degrees.
    float angle = 0.0f;

private:
    void ApplyFixedEnvelopes();
    void TurnField();
};
