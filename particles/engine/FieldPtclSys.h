#pragma once
// KXI_FieldPtclSys: a particle system that keeps a share of a field of fixed
// positions occupied. Each particle is born on a free position, flies off in
// a direction drawn from a sector at a fixed speed and dies after a fixed
// lifetime; its position is then free again and is filled on a later frame.
// A restart fills the field at once with particles of random ages, so the
// object shows its steady state from the first frame.
//
// Target count N = positions x density percentage / 100, computed in double
// and kept to 0..positions.
//
// Stored record "KXI_FieldPtclSys" (written as version 1; the version is not
// looked at): uint32 lifetime (hundredths of a second; notified when it
// differs and once more in any case), uint32 density (percent), the position
// array, uint32 direction angle, uint32 spread, uint32 speed, then the
// KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

class KXI_FieldPtclSys : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_FieldPtclSys";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_FieldPtclSys();
    KXI_FieldPtclSys(const KXI_FieldPtclSys& other);
    ~KXI_FieldPtclSys() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach, then one empty batch.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // Fills the free positions up to the target count with particles of
    // age 0, straight into the list; returns nothing to spread.
    InnerParticleList::Handles Emit(float dt) override;
    // Continuous timeline: the field filled with particles of random ages,
    // no stepping. Otherwise empty.
    void Restart() override;

    // How many particles the field keeps.
    std::int32_t TargetCount() const;
    // Lifetime, set-up by the block, start age, motion.
    void SetUpFieldParticle(InnerParticle& particle, float startAge) const;

    TimeParam lifetime;
    UINTSclaleTo<float> density{0.01f};
    KXI_PosArrImitter positions;
    MediaSector direction;
    UINTSclaleTo<float> launchSpeed{1.0f};

private:
    // Up to `count` new particles on free positions, each set up with the
    // start age `ageOf()` gives, moved into the list.
    template <class StartAge>
    void Populate(std::int32_t count, StartAge&& ageOf);
};
