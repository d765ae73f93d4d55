#pragma once
// KXI_WavingLine: a ribbon anchored at a start point that swings towards an
// end point like a whip. Two travelling sine terms displace it sideways,
// growing from nothing at the anchor to full swing at the far end; a head
// particle (in the controller's own list) rides at its tip. The ribbon is
// cut where its arc length reaches the straight length, so a swinging tip
// stays short of the end point. The axis is computed only at attach.
//
// DS_StraightLine: the two end points the waving line stands on.
//
// The ribbon is batch 0 and the head batch 1. A restart that clears the
// particles (any timeline other than the continuous one) makes the head
// again, as attach does.
//
// Stored sections:
//   "KXI_WavingLine" 1: uint32 width (notified), size envelope (four uint32
//     percents), the line-layer block (int32 version, name, block), uint32
//     amplitude, uint32 second wave (notified), int32 show particles, float
//     head side offset, float head forward offset, then "DS_StraightLine".
//   "DS_StraightLine" 1: floats start x, y, z, end x, y, z, then
//     "KXI_ParticleSystemCtrl".

#include <cstdint>
#include <memory>

#include "particles/systems/LineCtrl.h"

class DS_StraightLine : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"DS_StraightLine";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_StraightLine() = default;
    DS_StraightLine(const DS_StraightLine& other) = default;
    ~DS_StraightLine() override;

    void Save(ArchiveWriter ar) const override;
    // Reads the "DS_StraightLine" section from its header on.
    void ReadStraightLineSection(ArchiveReader ar);

    MediaParamT<math::Vec3> start;
    MediaParamT<math::Vec3> end;
};

class KXI_WavingLine : public DS_StraightLine {
public:
    static constexpr std::u16string_view kClassName = u"KXI_WavingLine";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr int kSegments = 100;

    KXI_WavingLine() = default;
    KXI_WavingLine(const KXI_WavingLine& other) = default;
    ~KXI_WavingLine() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    void Restart() override;
    int CountScreenPasses() const override;
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    void Update(float localTime) override;
    void Render(DS_ABRender& renderer, int& counter) override;
    InnerParticleList::Handles Emit(float dt) override;

    // The wave's point and unit direction at segment index i of kSegments,
    // at object time `t`.
    math::Vec3 WavePoint(int i, float t) const;
    math::Vec3 WaveDirection(int i, float t) const;
    // Length, axis and normal from the end points.
    void ComputeAxis();

    PercentParamQuad sizeEnvelope;
    UINTSclaleTo<float> width{1.0f};
    LineLayerParams lineLayer;
    MediaParamT<std::uint32_t> amplitude{0u};
    UINTSclaleTo<float> secondWave{0.01f};
    MediaParamT<std::int32_t> showParticles{0};
    KXI_MediaFloat headSideOffset;
    KXI_MediaFloat headForwardOffset;
    int segments = kSegments;
    float length = 0.0f;
    math::Vec3 axis;
    math::Vec3 normal;

private:
    void CreateHead();
    // The ribbon into batch 0 and the head's place and direction.
    void BuildWave(float t);
    // A strip point at `position` heading `direction`, at line position x
    // and arc length s.
    LinePoint WaveLinePoint(const math::Vec3& position, const math::Vec3& direction, float x, float v) const;
    void PlaceHead(InnerParticle& head) const;
};
