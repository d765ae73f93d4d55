#pragma once
// DS_BoundControl: what a flowing sprite does at one side of its owner's
// view rectangle. A flow owns four, one per side, and asks them in the order
// top, bottom, left, right after moving a sprite; the first that handles
// the sprite ends the check for that frame.
//
// Modes:
//   0 wrap     a sprite entirely beyond the edge fades out where it is,
//              pauses for a random delay, jumps just inside the opposite
//              side at a random place and fades in (while paused the flow
//              does not move it);
//   1 reflect  a sprite reaching over the edge turns back once and is kept
//              inside until it no longer overlaps the edge;
//   2 reflect and pause
//              a sprite entirely beyond the edge turns back and waits there
//              for a random delay of animation clock.
// The per-sprite state (edgeState, fadingIn, paused, resumeTime,
// pauseClock, alpha) lives in the sprite; the side is assigned by the owner.
// Delays and fades are milliseconds; a pause lasts min + (max - min) x
// rand()/32767 seconds, computed in floats so a maximum below the minimum
// gives a delay between the two.
//
// Stored section "DS_BoundControl" 1: int32 mode, uint32 fade-out time,
// uint32 fade-in time, uint32 minimum delay, uint32 maximum delay. The side
// is not stored.

#include <cstdint>
#include <string_view>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/MediaParam.h"
#include "objects/SpriteViewEdges.h"

struct SpriteParticle;
class DS_BaseSpriteProp;

class DS_BoundControl : public DS_IOF_Item {
public:
    static constexpr std::u16string_view kSectionName = u"DS_BoundControl";
    static constexpr std::int32_t kWrittenVersion = 1;

    enum Side : std::int32_t { kNoSide = -1, kTop = 0, kBottom = 1, kLeft = 2, kRight = 3 };
    enum Mode : std::int32_t { kWrap = 0, kReflect = 1, kReflectAndPause = 2 };

    // A sprite against the edges of its owner's view.
    using EdgeTest = bool (*)(const SpriteParticle& sprite, const SpriteViewEdges& edges);

    DS_BoundControl();
    // Copies the values; the side stays unassigned until SetSide.
    DS_BoundControl(const DS_BoundControl& other);
    DS_BoundControl& operator=(const DS_BoundControl&) = delete;

    // Stores the side and chooses its far test (the sprite entirely beyond
    // the edge) and near test (the sprite reaching over it). A side outside
    // 0..3 leaves the control unassigned.
    void SetSide(std::int32_t newSide);
    // Applies the rule to one sprite after it moved; true when this side
    // handled it. `owner` gives the view and the animation clock.
    bool Step(SpriteParticle& sprite, const DS_BaseSpriteProp& owner) const;

    void Save(ArchiveWriter ar) const override;
    // Reads the section, header included.
    void Load(ArchiveReader ar);
    // Copies every value of `other` (not the side).
    void Copy(const DS_BoundControl& other);

    std::int32_t Side() const { return m_side; }

    MediaParamT<std::int32_t> mode;
    MediaParamT<std::uint32_t> fadeOutTime;
    MediaParamT<std::uint32_t> fadeInTime;
    MediaParamT<std::uint32_t> minDelay;
    MediaParamT<std::uint32_t> maxDelay;

private:
    bool IsHorizontal() const { return m_side == kLeft || m_side == kRight; }
    bool StepFree(SpriteParticle& sprite, const SpriteViewEdges& edges, float now) const;
    bool StepHeld(SpriteParticle& sprite, const SpriteViewEdges& edges, float now, float dt) const;
    void Reflect(SpriteParticle& sprite) const;
    void StartPause(SpriteParticle& sprite, float now) const;
    void WrapToOppositeSide(SpriteParticle& sprite, const SpriteViewEdges& edges) const;
    void KeepInside(SpriteParticle& sprite, const SpriteViewEdges& edges) const;
    void KeepJustOutside(SpriteParticle& sprite, const SpriteViewEdges& edges) const;
    void FadeOut(SpriteParticle& sprite, float now, float dt) const;
    void FadeIn(SpriteParticle& sprite, float dt) const;

    std::int32_t m_side = kNoSide;
    EdgeTest m_farTest = nullptr;
    EdgeTest m_nearTest = nullptr;
};
