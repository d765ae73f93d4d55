#pragma once
// KXI_ShootingLine: wavy shots fired along a path at random intervals. Each
// shot is a visible particle in the controller's list (drawn with the
// particle block when particles are shown) and a hidden head and tail held
// as a ParticleHandlePair; its ribbon runs from the tail through the path
// samples between them to the head, swinging sideways on a cosine of the
// distance travelled. The ribbons are batch 1 and the shot particles batch 0.
//
// Bounds: at most kMaxLineQuads ribbon quads a frame (shots beyond are not
// drawn that frame), no new shot while the list holds kMaxParticles, and a
// pre-run of at most kMaxPreRunSteps steps, none when the path cannot be
// travelled in a finite time (speed 0).
//
// KXI_Tears: the same line under its own class name. It lives here rather
// than in the engine so that the engine never depends on the systems.
//
// Stored sections:
//   "KXI_ShootingLine" 2: the spline points, the line-layer block (int32
//     version, name, block), float minimum and maximum interval, uint32
//     speed (notified), uint32 wave amplitude, uint32 tail delay, uint32
//     width (notified), width envelope (four uint32 percents), uint32 wave
//     frequency (notified), int32 show particles, two floats, then
//     "KXI_ParticleSystemCtrl". Version 1 stored the two blocks the other
//     way round: they are exchanged after reading.
//   "KXI_Tears" 1: a whole "KXI_ShootingLine" section.

#include <cstdint>
#include <list>
#include <memory>

#include "particles/engine/Emitters.h"
#include "particles/systems/LineCtrl.h"

struct ParticleHandlePair {
    ParticleHandle head;
    ParticleHandle tail;
    // Radians; kept as a float so the ribbon between head and tail swings on
    // the same wave as they do.
    float phase = 0.0f;
};

class KXI_ShootingLine : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_ShootingLine";
    static constexpr std::int32_t kWrittenVersion = 2;

    KXI_ShootingLine();
    KXI_ShootingLine(const KXI_ShootingLine& other);
    ~KXI_ShootingLine() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    // The section from its header on, and its body after the caller has read
    // the header.
    void WriteShootingLine(ArchiveWriter ar) const;
    void ReadShootingLine(ArchiveReader ar, std::int32_t version);

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    void Restart() override;
    int CountScreenPasses() const override;
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    void Update(float localTime) override;
    void Render(DS_ABRender& renderer, int& counter) override;
    InnerParticleList::Handles Emit(float dt) override;
    // L / speed.
    float GetPreRunDuration() const override;

    // The strip point of a particle of a shot whose head is at `headAge`.
    LinePoint MakeLinePoint(const InnerParticle& particle, float headAge) const;
    // The opacity byte of a point at `age` behind a head at `headAge`.
    float ShotAlpha(float age, float headAge) const;

    SplinePath path;
    LineLayerParams lineLayer;
    KXI_RndImitter emitter;
    UINTSclaleTo<float> shotSpeed{1.0f};
    MediaParamT<std::uint32_t> waveAmplitude{0u};
    MediaParamT<std::uint32_t> tailDelay{0u};
    PercentParamQuad widthEnvelope;
    UINTSclaleTo<float> width{1.0f};
    UINTSclaleTo<float> waveFrequency{0.0002f};
    MediaParamT<std::int32_t> showParticles{0};
    KXI_MediaFloat unusedFirst;
    KXI_MediaFloat unusedSecond;
    SharedPathSamples samples{MakeSafePtr<PathSampleList>()};
    DS_SafePtr<PathCursor> cursor;
    std::list<ParticleHandlePair> pairs;

private:
    // The path routines of a particle of a shot: the wave, then the place.
    void AddWaveRoutines(InnerParticle& particle, float phase);
    void StartShot(float dt);
    // Steps the heads, places the tails, drops the finished pairs; the quads
    // the ribbons need.
    std::int32_t AdvancePairs(float dt);
    // The ribbon of one shot; returns the quads written (at most `room`).
    std::int32_t BuildShotStrip(const ParticleHandlePair& pair, QuadBatchVertex* out, std::int32_t room) const;
    // Distance from the start of the path to sample `index`.
    float SampleDistance(std::int32_t index) const;
    void BuildRibbons(std::int32_t quads);
};

class KXI_Tears : public KXI_ShootingLine {
public:
    static constexpr std::u16string_view kClassName = u"KXI_Tears";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_Tears() = default;
    KXI_Tears(const KXI_Tears& other) = default;
    ~KXI_Tears() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
};
