#pragma once
// KXI_SplashPtclSys: the area version of the burst. A fixed number of
// particles per "on" phase of the timeline, born anywhere in the box of the
// quadrilateral's corners 0 and 3 or in a circular sector around a point,
// launched around one angle (plus or minus the spread) at a fixed speed with
// a fixed lifetime. KXI_SprayPtclSys makes it a continuous source with an
// even counter and the controller's pre-run restart; four presets derive
// from the spray (the fog has its own slow scales and an 8 s pre-run).
//
// Stored sections:
//   "KXI_SplashPtclSys" (written as version 2): 12 floats (quadrilateral),
//     float x, y, z (sector position), uint32 radius, uint32 angle, uint32
//     spread, int32 useSector, uint32 burstCount, then
//     v >= 2: uint32 life (1/100 s), uint32 angle, uint32 spread, uint32
//             speed;
//     v < 2:  the legacy fade (ReadLegacyFade);
//     then the KXI_ParticleSystemCtrl section.
//   "KXI_SprayPtclSys" (written as version 2): uint32 rate, the splash
//     section. Version 1: uint32 rate, 12 floats (quadrilateral), the legacy
//     fade, the KXI_ParticleSystemCtrl section.
//   "DS_PtclFog" 1, "DS_PtclSmoke3" 1: uint32 (kept, unused);
//   "DS_BokehLights" 1: int32 (kept); "DS_Shimmer" 1: nothing; each then the
//   spray section.
//
// The legacy fade: uint32 size variation (into the block), int32 (dropped),
// fade-in, hold and fade-out times (1/100 s), int32 F. The life is their
// sum; the fade acts on opacity (F 0) or size (F nonzero) with fade-in end
// and fade-out start as percentages of the sum; the launch spreads over 360
// degrees at speed 0. Times that sum to 0 give life 0 and no fade.

#include <cstdint>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

class KXI_SplashPtclSys : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_SplashPtclSys";
    static constexpr std::int32_t kWrittenVersion = 2;

    KXI_SplashPtclSys();
    KXI_SplashPtclSys(const KXI_SplashPtclSys& other);
    ~KXI_SplashPtclSys() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void LoadSplashSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The vibration flag, the base attach, one batch; a fresh object covers
    // the picture.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    InnerParticleList::Handles Emit(float dt) override;
    // No pre-run: the particles and the burst count are cleared.
    void Restart() override;

    // `count` particles in the area, initialised, appended; returns their
    // handles. No more than the list has room for.
    InnerParticleList::Handles EmitParticles(std::int32_t count);
    void InitParticle(InnerParticle& particle) const;

    KXI_RectImitter emitter;
    KXI_SectorImitter sectorEmitter;
    MediaParamT<std::int32_t> useSector{0};
    MediaParamT<std::uint32_t> burstCount{0u};
    TimeParam life;
    MediaSector direction;
    UINTSclaleTo<float> launchSpeed{1.0f};
    std::int32_t emittedCount = 0;

protected:
    void ReadLegacyFade(ArchiveReader ar);
};

class KXI_SprayPtclSys : public KXI_SplashPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"KXI_SprayPtclSys";
    static constexpr std::int32_t kWrittenVersion = 2;

    KXI_SprayPtclSys();
    KXI_SprayPtclSys(const KXI_SprayPtclSys& other);
    ~KXI_SprayPtclSys() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void LoadSpraySection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The counter's particles for dt x the timeline's level.
    InnerParticleList::Handles Emit(float dt) override;
    // The controller's pre-run restart, on top of the current particles.
    void Restart() override;

    KXI_EvenImitter counter;
};

// Slow fog: speed and rate in hundredths (value / 100 per second), the
// texture clock at 0.0005 and an 8 s pre-run.
class DS_PtclFog : public KXI_SprayPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_PtclFog";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_PtclFog();

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    float GetPreRunDuration() const override;

    MediaParamT<std::uint32_t> storedValue{0u};
};

class DS_PtclSmoke3 : public KXI_SprayPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_PtclSmoke3";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;

    MediaParamT<std::uint32_t> storedValue{0u};
};

class DS_BokehLights : public KXI_SprayPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_BokehLights";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;

    MediaParamT<std::int32_t> storedValue{0};
};

class DS_Shimmer : public KXI_SprayPtclSys {
public:
    static constexpr std::u16string_view kClassName = u"DS_Shimmer";
    static constexpr std::int32_t kWrittenVersion = 1;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
};
