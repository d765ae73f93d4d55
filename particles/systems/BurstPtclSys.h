#pragma once
// KXI_BurstPtclSys: particles launched from one point, a fixed number per
// "on" phase of the object's timeline. Each flies outwards within an angular
// sector (sector mode) or, in focused mode, from a small disc towards a
// focal point, and lives as long as it takes to travel `range` pixels.
// Released progressively while the timeline's level rises; a new burst
// starts each time the timeline has been off. The restart clears the
// particles and does not pre-run.
//
// Stored section "KXI_BurstPtclSys" (written as version 4), by version v:
//   float x, y, z (emitter), uint32 burstCount, uint32 speed (x 4 px/s),
//   uint32 range, int32 spatial, uint32 angle, uint32 spread,
//   v < 4:  uint32 gravity strength, int32 gravity upwards (into the block,
//           with its gravity switch set),
//   v >= 2: int32 focused, uint32 startRadius,
// then the KXI_ParticleSystemCtrl section. Versions below 3 also give the
// block's size envelope 0/100 and its opacity envelope 10/60.

#include <cstdint>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

class KXI_BurstPtclSys : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_BurstPtclSys";
    static constexpr std::int32_t kWrittenVersion = 4;

    KXI_BurstPtclSys();
    KXI_BurstPtclSys(const KXI_BurstPtclSys& other);
    ~KXI_BurstPtclSys() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The section as a derived class stores it: name (not compared), version,
    // body.
    void LoadBurstSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The vibration flag, the base attach, one batch, and a fresh object
    // centred on the picture.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The particles the burst still owes at the timeline's level.
    InnerParticleList::Handles Emit(float dt) override;
    // No pre-run: the particles and the burst count are cleared.
    void Restart() override;

    // `count` particles at the emitter, initialised, appended; returns their
    // handles. No more than the list has room for.
    InnerParticleList::Handles EmitParticles(std::int32_t count);
    // Lifetime, the block's set-up, motion and launch velocity.
    virtual void InitParticle(InnerParticle& particle);

    KXI_PointImitter emitter;
    MediaParamT<std::uint32_t> burstCount{0u};
    UINTSclaleTo<float> launchSpeed{4.0f};
    MediaParamT<std::uint32_t> range{0u};
    MediaParamT<std::int32_t> spatial{0};
    MediaSector direction;
    MediaParamT<std::int32_t> focused{0};
    MediaParamT<std::uint32_t> startRadius{0u};
    std::int32_t emittedCount = 0;

protected:
    // The launch fields shared by the burst section and the fountain's
    // version-1 section (which has no burst count): position to spread.
    void ReadLaunchFields(ArchiveReader ar, bool withBurstCount);
    // The gravity of sections before version 4: strength, upwards flag and
    // the gravity switch.
    void ReadLegacyGravity(ArchiveReader ar);
    // The envelopes of sections before version 3.
    void ApplyLegacyEnvelopes();

private:
    void LaunchInSector(InnerParticle& particle, float lo, float hi) const;
    void LaunchFocused(InnerParticle& particle) const;
};
