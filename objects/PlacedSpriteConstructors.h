#pragma once
// Sprite objects placed at one point of the picture.
//
//   DS_StatObjConstructor    one point (the centre of its bounds), turned by
//                            an angle (degrees, counter-clockwise on the
//                            screen); its bounds follow the turned sprite,
//                            so the editor and hit tests see the sprite's own
//                            area. Placed at the middle of the picture the
//                            first time it is made, by the keep-id flag.
//   DS_FlowerConstructor     sways about the foot of its picture by the
//                            amplitude (degrees) with the object clock; the
//                            timeline fades it only in clock mode 1.
//   DS_DischargeConstructor  plays its frame strip in random order, never
//                            the same frame twice in a row (a strip of 0 or
//                            1 frames stays on frame 0).
//
// Stored sections (then the parent's):
//   "DS_StatObjConstructor" 2: the bounds (int32 left, right, top, bottom,
//     centre x, centre y), uint32 angle; version 1 then int32 flip-v and
//     flip-u; then the DS_BaseSpriteProp section.
//   "DS_FlowerConstructor" 1: float sway amplitude.
//   "DS_DischargeConstructor" 1: nothing.

#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/ShapeParams.h"
#include "particles/systems/ParticleSystemCtrl.h"
#include "platform/math/Matrix.h"

class DS_StatObjConstructor : public DS_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_StatObjConstructor";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kVersionWithFlips = 1;

    DS_StatObjConstructor() : angle(0) {}
    DS_StatObjConstructor(const DS_StatObjConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // While the keep-id flag is 0, the centre moves to the middle of the
    // current picture (quietly) and the flag becomes 1; then the sprite
    // array.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;
    // The bounds: (left, bottom), (left, top), (right, bottom), (right, top).
    void GetViewQuad(QuadVertices& out) const override;
    bool HitTest(float x, float y) override;
    bool CountLimitReached(std::int32_t counter) const override;
    // At the centre, turned by the angle; the bounds follow.
    void InitSprite(SpriteParticle& sprite) override;
    // The bounds around the turned sprite (edges truncated, each told).
    void UpdateBounds(const SpriteParticle& sprite);

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // Reads the "DS_StatObjConstructor" section, header included.
    void LoadStatSection(ArchiveReader ar);

    MediaRectangle bounds;
    MediaParamT<std::uint32_t> angle;
    // The turn by the angle, set when a sprite is placed.
    math::Matrix turn;
};

class DS_FlowerConstructor : public DS_StatObjConstructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_FlowerConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_FlowerConstructor();
    DS_FlowerConstructor(const DS_FlowerConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    void UpdateSprite(SpriteParticle& sprite) override;
    std::uint32_t ApplyTimingAlpha(std::uint32_t argb) const override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Degrees.
    float swayAmplitude = 1.5f;
};

class DS_DischargeConstructor : public DS_StatObjConstructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_DischargeConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // A random frame other than `index`.
    std::uint32_t NextFrameIndex(std::uint32_t index) const override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
};
