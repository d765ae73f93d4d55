#pragma once
// KXI_FontainPtclSys: the burst's launch as a continuous source. It emits at
// an even rate scaled by the timeline's level and, under the continuous
// timeline, pre-runs on restart so the scene opens with the stream flowing.
// Five scene presets derive from it; fire and smoke change the particle's
// start, the others only carry their own class name.
//
// Stored sections:
//   "KXI_FontainPtclSys" (written as version 2): uint32 rate, then the
//     KXI_BurstPtclSys section. Version 1 held the burst's launch fields
//     inline (position, speed, range, spatial, angle, spread; no burst
//     count), the legacy gravity pair and then the
//     KXI_ParticleSystemCtrl section: no burstCount, focused or startRadius.
//   "DS_PtclFire" 1: int32, 3 x uint32 (kept, unused), the fountain section.
//   "DS_PtclFireStream" 1: uint32 (kept), the fountain section.
//   "DS_PtclSmoke" 1: uint32 (kept), uint32 windSpeed (x 10 - 500 px/s),
//     the fountain section.
//   "DS_WaterJet" 0 and "DS_LightBeams" 1: the fountain section.
// The presets read their own fields whatever their version.

#include <cstdint>
#include <memory>

#include "particles/engine/Emitters.h"
#include "particles/systems/BurstPtclSys.h"

class KXI_FontainPtclSys : public KXI_BurstPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"KXI_FontainPtclSys";
    static constexpr std::int32_t kWrittenVersion = 2;

    KXI_FontainPtclSys();
    KXI_FontainPtclSys(const KXI_FontainPtclSys& other);
    ~KXI_FontainPtclSys() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The section as a preset stores it: name (not compared), version, body.
    void LoadFountainSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The counter's particles for dt x the timeline's level.
    InnerParticleList::Handles Emit(float dt) override;
    // The controller's pre-run restart, on top of the current particles.
    void Restart() override;

    KXI_EvenImitter counter;
};

// Fire: the burst's particle, accelerated along its launch direction by the
// block's gravity strength in place of any gravity.
class DS_PtclFire : public KXI_FontainPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_PtclFire";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    void InitParticle(InnerParticle& particle) override;

    MediaParamT<std::int32_t> storedInt{0};
    MediaParamT<std::uint32_t> storedValue0{0u};
    MediaParamT<std::uint32_t> storedValue1{0u};
    MediaParamT<std::uint32_t> storedValue2{0u};
};

class DS_PtclFireStream : public KXI_FontainPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_PtclFireStream";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;

    MediaParamT<std::uint32_t> storedValue{0u};
};

// Smoke: a wind routine pulls each particle towards a horizontal wind of
// strength = the block's air resistance; the block's gravity switch is
// cleared for good on the first particle.
class DS_PtclSmoke : public KXI_FontainPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_PtclSmoke";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    void InitParticle(InnerParticle& particle) override;

    MediaParamT<std::uint32_t> storedValue{0u};
    UINTSclaleTo<float> windSpeed{10.0f, -500.0f};
};

class DS_WaterJet : public KXI_FontainPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_WaterJet";
    static constexpr std::int32_t kWrittenVersion = 0;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
};

class DS_LightBeams : public KXI_FontainPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_LightBeams";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
};
