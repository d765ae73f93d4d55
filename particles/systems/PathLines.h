#pragma once
// The two registered lines that choose each frame which part of their path
// the ribbon covers, from the object's timeline.
//
// KXI_GrovingLine grows from the start of the path to its end while its
// timeline rises, holds while it is on and shrinks while it falls (from its
// start instead, with retract from start). Its head restarts whenever the
// timeline leaves the off state, and every frame under a timeline of no
// length that is not off. A second pair of envelopes shapes the line from
// its start.
//
// KXI_SlidingLine slides a piece of fixed length along the whole path once
// per "on" phase of its timeline; direction mode 1 turns back every run. A
// run starts only on a frame that is on after one that was not, so a
// timeline that is on from its first frame never starts one.
//
// Stored sections (then "KXI_StaticLineCtrl"):
//   "KXI_GrovingLine" 2: start size envelope, start alpha envelope (four
//     uint32 percents each), int32 retract from start (not in version 1).
//   "KXI_SlidingLine" 1: uint32 piece length, int32 direction mode.

#include <cstdint>
#include <memory>

#include "particles/systems/LineCtrl.h"

class KXI_GrovingLine : public KXI_StaticLineCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_GrovingLine";
    static constexpr std::int32_t kWrittenVersion = 2;

    KXI_GrovingLine() = default;
    KXI_GrovingLine(const KXI_GrovingLine& other) = default;
    ~KXI_GrovingLine() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    void Update(float localTime) override;
    float GetSizeAt(float x) const override;
    float GetAlphaAt(float x) const override;

    PercentParamQuad startSizeEnvelope;
    PercentParamQuad startAlphaEnvelope;
    MediaParamT<std::int32_t> retractFromStart{0};
    float grownLength = 0.0f;
    int lastState = 1;
};

class KXI_SlidingLine : public KXI_StaticLineCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_SlidingLine";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_SlidingLine() = default;
    KXI_SlidingLine(const KXI_SlidingLine& other) = default;
    ~KXI_SlidingLine() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    void Update(float localTime) override;
    float GetSizeAt(float x) const override;
    float GetAlphaAt(float x) const override;

    MediaParamT<std::uint32_t> pieceLength{0u};
    MediaParamT<std::int32_t> directionMode{0};
    bool armed = false;

private:
    void StartRun(float phaseLength);
};
