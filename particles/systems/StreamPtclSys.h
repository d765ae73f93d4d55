#pragma once
// DS_StreamPtclSys: a flow across a quadrilateral. Particles are born on the
// edge from corner 2 to corner 0 and fly towards the facing edge from corner
// 3 to corner 1, aimed at the same fraction along it plus a random shift.
// DS_PtclSmoke2 is the stream turned over when placed fresh, so it rises.
//
// Stored sections (versions not looked at):
//   "DS_StreamPtclSys" 1: uint32 rate, 12 floats (quadrilateral), uint32
//     life (1/100 s), the speed pair twice (uint32 value x 2 px/s, uint32
//     jitter percent; the second pair is the one that stays), uint32
//     targetSpread (x 0.002 edge lengths), then the KXI_ParticleSystemCtrl
//     section.
//   "DS_PtclSmoke2" 1: uint32, uint32, int32 (kept, unused), then the
//     stream section.

#include <cstdint>
#include <memory>

#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

class DS_StreamPtclSys : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_StreamPtclSys";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_StreamPtclSys();
    DS_StreamPtclSys(const DS_StreamPtclSys& other);
    ~DS_StreamPtclSys() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void LoadStreamSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach and one batch; a fresh object flows down over the
    // middle 80 % of the picture.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // Creates, sets up and spreads the step's particles itself; returns
    // nothing for the controller to step again.
    InnerParticleList::Handles Emit(float dt) override;

    KXI_EvenImitter counter;
    MediaQuad emitterQuad;
    TimeParam life;
    KXI_JitterParam launchSpeed;
    UINTSclaleTo<float> targetSpread{0.002f};

private:
    void LaunchOne(std::int32_t index, std::int32_t count, float dt);
};

class DS_PtclSmoke2 : public DS_StreamPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_PtclSmoke2";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The stream's attach; placed fresh, the quad is turned over so the
    // particles start on its lower edge.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;

    MediaParamT<std::uint32_t> storedValue0{0u};
    MediaParamT<std::uint32_t> storedValue1{0u};
    std::int32_t storedInt = 0;
};
