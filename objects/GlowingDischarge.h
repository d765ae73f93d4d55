#pragma once
// DS_DischargeFXConstructor: an electric discharge between a start and an
// end point, drawn as a chain of glowing sprites (one per segment of a
// jagged line) by the glow controller's DS_GlowingObj.
//
// Every 0.1 s of animation clock a new jagged line is built and the
// segments morph from the previous line toward it at the morph speed (t is
// not clamped: speeds above 10 overshoot). A line of N segments walks from
// the start: each step goes 1 / (segments left) of the remaining distance,
// every step but the last bent sideways by the jitter, so the last segment
// always ends at the end point. Coinciding points give segments of length 0
// (nothing visible, no NaN). The shapes follow the sprite count: a changed
// count rebuilds both at the next frame.
//
// Each segment shows one of the two frames of its picture (v 0..0.5 or
// 0.5..1, chosen and maybe swapped at random every flicker interval); its
// ends use the picture's end caps only at the chain's ends (u 0 / 1, else
// 0.195 / 0.805). The picture is ("common_res.dll", 95) for a texture
// choice other than 0, else 98.
//
// Stored section "DS_DischargeFXConstructor" 1: float start x, y, z, float
// end x, y, z, uint32 jitter, int32 texture choice, uint32 flicker
// interval, uint32 morph speed (jitter, flicker and morph announced when
// they differ), then the "DS_GlowEffectCtrl" section.

#include <cstdint>
#include <memory>
#include <vector>

#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "particles/systems/GlowController.h"
#include "platform/math/Vector.h"

struct DischargeKeyPoint {
    // The segment's midpoint, its unit direction and unit normal.
    math::Vec3 position;
    math::Vec3 direction;
    math::Vec3 normal;
    float length = 0.0f;
};

class DS_DischargeFXConstructor : public DS_GlowEffectCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_DischargeFXConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;
    // Seconds of animation clock between two new lines.
    static constexpr float kRebuildInterval = 0.1f;
    // The share of u each end cap takes.
    static constexpr float kCapU = 0.195f;

    DS_DischargeFXConstructor();
    DS_DischargeFXConstructor(const DS_DischargeFXConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // The rebuild time and the animation clock back to 0.
    void Restart() override;
    // Both shapes to the sprite count, both built anew.
    void InitSprite(SpriteParticle& sprite) override;
    // The segment counter to 0; shapes of another length rebuilt; a new
    // line every kRebuildInterval.
    void PrepareFrame() override;
    // Sprite `counter` onto its morphed segment (see above).
    void UpdateSprite(SpriteParticle& sprite) override;
    // The effect, the segment picture, the glow and core pictures, and the
    // points placed on the picture the first time.
    void FetchEffect() override;

    // A new jagged line from start to end over shape.size() segments.
    void BuildShape(std::vector<DischargeKeyPoint>& shape) const;
    // Key point `index` between the old and the new shape at t.
    DischargeKeyPoint LerpKeyPoint(float t, std::size_t index) const;
    // The sprite count the shapes follow (the array's limit applied).
    std::size_t SegmentCount() const;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    MediaParamT<math::Vec3> start;
    MediaParamT<math::Vec3> end;
    UINTSclaleTo<float> jitter;
    MediaParamT<std::int32_t> textureChoice{1};
    // Seconds: value x -0.001 + 0.1.
    UINTSclaleTo<float> flickerInterval;
    UINTSclaleTo<float> morphSpeed;
    std::vector<DischargeKeyPoint> oldShape;
    std::vector<DischargeKeyPoint> newShape;
    std::int32_t segmentCounter = 0;
    float lastRebuild = 0.0f;

private:
    void RebuildBoth();
};
