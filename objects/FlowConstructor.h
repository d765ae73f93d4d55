#pragma once
// DS_FlowConstructor: sprites drifting in one direction across the view
// rectangle with a random sideways wobble, optionally turned to their
// direction of travel, each handed after its move to the four edge rules
// (BoundControl.h) in the order top, bottom, left, right.
//
// Direction a (degrees, 0 to +x, counter-clockwise on the screen): the
// rotation M turns by the integer 360 - a degrees; D = (speed, 0) x M =
// speed (cos a, -sin a) and P = (0, 1) x M = (sin a, cos a). They are
// recomputed whenever the direction changes (and when a copy is made).
// A sprite moves by (D dirFactor + P r k) x sizeFactor pixels per second
// of animation clock, r its wobble factor (velocity z), k the wobble; it
// draws a new r now and then at the change rate (per second; 0 never).
//
// Orientation modes: 0 upright, 1 turned to the flow direction, 2 mirrored
// horizontally by the sign of the horizontal velocity, 3 mirrored vertically
// by the sign of the vertical velocity.
//
// The number of sprites drawn is the sprite count times the timeline's
// level (truncated; a count of 0 or 1 as it is), always the first ones.
//
// DS_RainConstructor: a flow with rain defaults (direction 270, speed 2000,
// sizes 0.5 to 1.0, turned to the direction) whose drops fade in and out
// and are reborn at a random place; the edge rules see each drop at full
// alpha, so their fades never reach it. A new or reborn sprite of either
// class is held by no edge rule.
//
// Stored sections:
//   "DS_FlowConstructor" 4: uint32 direction, uint32 wobble, uint32 change
//     rate, float speed, int32 orientation mode (version 2: an int32 flag,
//     mode 1 when non-zero; version 1: none), the four "DS_BoundControl"
//     sections (versions 4 and later), then the DS_BaseSpriteProp section.
//   "DS_RainConstructor" 1: nothing, then the "DS_FlowConstructor" section.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/ScaledParams.h"
#include "objects/BoundControl.h"
#include "particles/systems/ParticleSystemCtrl.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

class DS_FlowConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_FlowConstructor";
    static constexpr std::int32_t kWrittenVersion = 4;

    enum Orientation : std::int32_t { kUpright = 0, kAlongFlow = 1, kMirrorByVx = 2, kMirrorByVy = 3 };

    DS_FlowConstructor();
    DS_FlowConstructor(const DS_FlowConstructor& other);

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // Whether a sprite bounced, paused or was reborn this frame.
    bool CountLimitReached(std::int32_t counter) const override;
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;
    std::uint32_t ActiveSpriteCount() const override;
    // Half extents, colour and (modes 0 and 1) axes of a placed sprite.
    void SetupSprite(SpriteParticle& sprite) const;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // Reads the "DS_FlowConstructor" section, header included.
    void LoadFlowSection(ArchiveReader ar);

    DS_BoundControl& Bound(int side) { return bounds[static_cast<std::size_t>(side)]; }

    MediaParamT<std::uint32_t> direction;
    // Pixels per second of sideways wobble: value x 3.
    UINTSclaleTo<float> wobble;
    // Wobble changes per second: value x 0.25.
    UINTSclaleTo<float> changeRate;
    MediaParamT<std::int32_t> orientationMode;
    // Top, bottom, left, right.
    std::array<DS_BoundControl, 4> bounds;
    // Pixels per second.
    float speed = 0.0f;
    // D, P and M (see above).
    math::Vec3 directionVector;
    math::Vec3 perpendicular;
    math::Matrix rotation;

private:
    void AssignSides();
    void OnDirectionChanged(std::uint32_t degrees);

    // Last: the direction's watcher leaves the parameter first.
    CallbackControlList<DS_FlowConstructor> m_controls{this};
};

class DS_RainConstructor : public DS_FlowConstructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_RainConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_RainConstructor();
    DS_RainConstructor(const DS_RainConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // Beyond one frame.
    bool CountLimitReached(std::int32_t counter) const override;
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Three quarters of a turn: turns a drop picture drawn upright to the
    // flow direction.
    math::Matrix dropTurn;
};
