#pragma once
// Sprites that swim with velocities of their own inside the view rectangle.
//
//   DS_FishConstructor   a sprite turns back once it has left the view on
//                        the left or right (and faces its way: a negative
//                        half width mirrors it), bounces off the top and
//                        bottom (tested with its half height), and every
//                        second of frame time picks a new speed at even odds
//                        (keeping its heading). Its colour is packed at
//                        birth only.
//   DS_BirdConstructor   a fish whose sprites keep a brisk horizontal speed
//                        (at least 0.7 of the maximum) and a vertical speed
//                        pushed downward.
//   DS_GhostConstructor  a fish whose sprites' opacity is the timeline's
//                        level, and which are all placed again each time
//                        the timeline comes back on after being off.
//
// Stored sections: "DS_FishConstructor" 1 (float max speed x, float max
// speed y, then the DS_BaseSpriteProp section); "DS_BirdConstructor" 1 and
// "DS_GhostConstructor" 2 (nothing, then the "DS_FishConstructor" section).
// A version-1 ghost gets a random timeline with fades of 150 hundredths.

#include <cstdint>
#include <memory>
#include <string_view>

#include "particles/systems/ParticleSystemCtrl.h"

class DS_FishConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_FishConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr float kDefaultMaxSpeedX = 80.0f;
    static constexpr float kDefaultMaxSpeedY = 50.0f;

    DS_FishConstructor() = default;
    DS_FishConstructor(const DS_FishConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // Whether a sprite turned, bounced or changed speed this frame.
    bool CountLimitReached(std::int32_t counter) const override;
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // Reads the "DS_FishConstructor" section, header included.
    void LoadFishSection(ArchiveReader ar);

    // Pixels per second.
    float maxSpeedX = kDefaultMaxSpeedX;
    float maxSpeedY = kDefaultMaxSpeedY;

protected:
    // The fish's placement, shared by the kinds whatever they override.
    void PlaceFish(SpriteParticle& sprite);
    // The fish's swim for one frame.
    void Swim(SpriteParticle& sprite);
    // -max + 2 max x rand()/32767.
    static float RandomSpeed(float max);
};

class DS_BirdConstructor : public DS_FishConstructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_BirdConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    void UpdateSprite(SpriteParticle& sprite) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
};

class DS_GhostConstructor : public DS_FishConstructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_GhostConstructor";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kVersionWithoutTimeline = 1;

    DS_GhostConstructor();
    DS_GhostConstructor(const DS_GhostConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // The fish's placement, then a random opacity.
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
};
