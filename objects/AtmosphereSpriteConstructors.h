#pragma once
// Five sprite classes whose sprites live inside the view rectangle by rules
// of their own (no edge rules). In the formulas dt and T are the animation
// clock's step and total, rnd = rand()/32767.
//
//   DS_GodRayConstructor    slanted light rays of the picture's height,
//                           standing at half the view's height, drifting
//                           sideways (a new drift at even odds every 0.25 s)
//                           and pulsing (reborn when they fade out). The ray
//                           angle a slants them by theta = ((a < 180 ? 180 :
//                           360) - a) degrees.
//   DS_SparkleConstructor   sparkles that drift and pulse, growing and
//                           stretching as they brighten.
//   DS_FogConstructor       patches that drift, bounce off the view's edges
//                           (by their centre), swing their alpha between its
//                           bounds without rebirth and turn by a fixed small
//                           angle every frame.
//   DS_LightingConstructor  flashes (additive) at random places, each
//                           flickering out at 6 per second of animation clock
//                           and followed by a random wait of min..max
//                           hundredths of a second of frame time. The
//                           timeline does not fade them.
//   DS_GrassConstructor     blades standing on the view's bottom edge, their
//                           foot fixed, swaying by the amplitude (degrees).
//                           Faded by the timeline only in clock mode 1.
//
// Stored sections (then the DS_BaseSpriteProp section):
// "DS_GodRayConstructor" 1 (uint32 angle), "DS_SparkleConstructor" 1,
// "DS_FogConstructor" 1 (float max speed x and y), "DS_LightingConstructor"
// 2 (uint32 minimum and maximum interval; version 1 has none; a read
// lighting object runs on a random timeline without timing flag 0),
// "DS_GrassConstructor" 1 (float sway amplitude).

#include <cstdint>
#include <memory>
#include <string_view>

#include "particles/systems/ParticleSystemCtrl.h"

class DS_GodRayConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_GodRayConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_GodRayConstructor() : rayAngle(80) {}
    DS_GodRayConstructor(const DS_GodRayConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;
    // Width, height and slant of a ray, then a random alpha.
    void SetupRay(SpriteParticle& sprite) const;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Degrees; 90 stands upright.
    MediaParamT<std::uint32_t> rayAngle;
};

class DS_SparkleConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_SparkleConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_SparkleConstructor();
    DS_SparkleConstructor(const DS_SparkleConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
};

class DS_FogConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_FogConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;
    // An axis whose length has drifted farther than this from 1 (by the
    // turn applied every frame) is rescaled to unit length.
    static constexpr float kAxisLengthTolerance = 0.001f;

    DS_FogConstructor();
    DS_FogConstructor(const DS_FogConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Pixels per second.
    float maxSpeedX = 40.0f;
    float maxSpeedY = 40.0f;
};

class DS_LightingConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_LightingConstructor";
    static constexpr std::int32_t kWrittenVersion = 2;

    DS_LightingConstructor();
    DS_LightingConstructor(const DS_LightingConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // A new place and turn, not yet flashing (alpha 0).
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;
    // Unchanged: the timeline does not fade the flashes.
    std::uint32_t ApplyTimingAlpha(std::uint32_t argb) const override;
    // The next wait in seconds: min hundredths when max <= min, else
    // rand() mod (max - min + 1) + min (in 64 bits: the whole range of
    // stored values is valid).
    float NextInterval() const;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Hundredths of a second.
    MediaParamT<std::uint32_t> minInterval;
    MediaParamT<std::uint32_t> maxInterval;
};

class DS_GrassConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_GrassConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_GrassConstructor();
    DS_GrassConstructor(const DS_GrassConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // A blade on the bottom edge: its root x in velocity z, its phase in
    // velocity y, mirrored at even odds.
    void InitSprite(SpriteParticle& sprite) override;
    void UpdateSprite(SpriteParticle& sprite) override;
    std::uint32_t ApplyTimingAlpha(std::uint32_t argb) const override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Degrees.
    float swayAmplitude = 3.0f;
};
