#pragma once
// The object animations: one picture (a still or an animated one) shown and
// moved by a generator.
//   DS_StaticAnimation  the picture over a fixed rect, its frames played
//                       forwards or backwards, through its effect's
//                       "Blend_Normal" (the built-in 116 for bytes this
//                       platform cannot run);
//   DS_BrownAnimation   copies of the picture wandering inside a region;
//   DS_PathAnimtion     the picture walked back and forth along a path of
//                       points, optionally turned or mirrored to face its way.
// The picture is the frames of the first loaded texture, stepped by each
// class's own frame clock. Without a loaded texture nothing is drawn. None
// of them reads the picture drawn so far, whatever blend mode is stored.
//
// Stored sections:
//   "DS_StaticAnimation", 1: frame speed (uint32), reverse (int32); then the
//       DS_SingleRectGN section;
//   "DS_BrownAnimation", 2: count, size, motion scale, repick period, steer
//       time, frame speed (uint32 each; version 1 ends before the frame
//       speed); then the DS_ParticleRctRgnGenerator section;
//   "DS_PathAnimtion", 2: move speed, size (uint32), facing mode, mirror
//       top-bottom, mirror left-right (int32), frame speed (uint32; version
//       1 ends before it); then the DS_PathGenerator section.

#include <cstdint>
#include <memory>
#include <string_view>

#include "particles/generators/FallingStars.h"
#include "particles/generators/PathGenerator.h"
#include "particles/generators/SingleRect.h"
#include "render/SpriteFrameInfo.h"

// The frames of a generator's first link as loaded for its render object:
// an animated picture keeps its frames, a texture set its textures with
// their frame times, a still picture is one frame. Empty without a loaded
// first texture.
SpriteFrameInfo LoadFirstPictureFrames(const DS_TexParticleGenerator& generator);

class DS_StaticAnimation : public DS_SingleRectGN {
public:
    static constexpr std::u16string_view kClassName = u"DS_StaticAnimation";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "static-animation";

    DS_StaticAnimation();
    DS_StaticAnimation(const DS_StaticAnimation& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // The frame clock, then the picture's frame to its total.
    void Step(float localTime, DS_ParticlesObj& target) override;
    void BuildGeometry(DS_ParticlesObj& target) override;
    // The quad through "Blend_Normal"; nothing without an effect or a
    // texture.
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    bool NeedsBackground() const override { return false; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The effect's "Color": the colour's channels / 255, alpha the timeline
    // level x opacity byte / 255.
    math::Vec4 EffectColour() const;

    MediaSpeedParam frameSpeed;
    MediaParamT<std::int32_t> reverse;

    // Run time.
    SpriteFrameInfo frames;
};

class DS_BrownAnimation : public DS_ParticleRctRgnGenerator {
public:
    static constexpr std::u16string_view kClassName = u"DS_BrownAnimation";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kFirstVersionWithFrameSpeed = 2;
    static constexpr std::string_view kBuiltinEffect = "stage0-textured-quads";

    DS_BrownAnimation();
    // The copy's wanderers steer by the copy's own settings.
    DS_BrownAnimation(const DS_BrownAnimation& other);

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // Frames, the base clock and processes, SyncCount, BuildCopies.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // The region (the whole picture for an unplaced object), no copies, one
    // layer; the copies are made by the next Step.
    void BuildGeometry(DS_ParticlesObj& target) override;
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    bool NeedsBackground() const override { return false; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The copies up to the count (held to the longest list a layer draws),
    // new ones at random points of the region (y drawn first), the last
    // ones cut.
    void SyncCount();
    // One quad per copy: the picture's size x size, centred on the copy.
    void BuildCopies(DS_ParticlesObj& target);
    std::size_t WantedCopies() const;

    MediaParamT<std::uint32_t> count;
    UINTSclaleTo<float> size{0.01f, 0.0f, 0};
    UINTSclaleTo<float> motionScale{0.04f, 0.0f, 0};
    UINTSclaleTo<float> repickPeriod{0.08f, 0.25f, 0};
    UINTSclaleTo<float> steerTime{0.02f, 0.02f, 0};
    MediaSpeedParam frameSpeed;

    // Run time.
    SpriteFrameInfo frames;
    BrownianRect wanderRect;

private:
    void BindWanderSettings();
    void UpdateWanderRect();
};

class DS_PathAnimtion : public DS_PathGenerator {
public:
    static constexpr std::u16string_view kClassName = u"DS_PathAnimtion";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kFirstVersionWithFrameSpeed = 2;
    static constexpr std::string_view kBuiltinEffect = "stage0-textured-quads";

    enum Facing : std::int32_t { kFacingPlain = 0, kFacingTurned = 1, kFacingMirrorX = 2, kFacingMirrorY = 3 };

    // Where the walk is: the point it left, the distance covered since, the
    // walking direction (0 towards the last point, 1 back).
    struct PathState {
        math::Vec3 previous;
        math::Vec3 current;
        float covered = 0.0f;
        std::size_t point = 0;
        std::int32_t direction = 0;
    };

    DS_PathAnimtion();
    DS_PathAnimtion(const DS_PathAnimtion& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // The move clock, the frames, then BuildPathQuad.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // An unplaced object gets a path across the picture's middle; the walk
    // starts at the first point.
    void BuildGeometry(DS_ParticlesObj& target) override;
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    bool NeedsBackground() const override { return false; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // Walks `step` pixels along the polyline, turning at both ends.
    void WalkPath(float step);
    // The walk, then the one quad at the current position.
    void BuildPathQuad(DS_ParticlesObj& target, float step);

    MediaSpeedParam moveSpeed;
    MediaSpeedParam frameSpeed;
    UINTSclaleTo<float> size{0.01f, 0.0f, 0};
    MediaParamT<std::int32_t> facing;
    MediaParamT<std::int32_t> mirrorTopBottom;
    MediaParamT<std::int32_t> mirrorLeftRight;

    // Run time.
    SpriteFrameInfo frames;
    PathState state;

private:
    math::Vec3 PointAt(std::size_t index) const;
    GenQuad FacingQuad(float width, float height) const;
};
