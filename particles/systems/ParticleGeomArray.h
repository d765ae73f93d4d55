#pragma once
// ParticleGeomArray: the render-object base of every sprite object and
// sprite-effect controller: the controller (the render object's own clone
// of its description), one SpriteParticle per unit of the controller's
// sprite count, and one quad batch (QuadBatchBuffer) with one quad per
// sprite, written once per frame through one lock.
//
// The sprite count is watched: a change adds sprites at the back (Init,
// ResetState, then the class's InitSprite) or deletes them from the back,
// and rebuilds the batch. A count of 0 keeps the batch as it is and draws
// nothing. An array holds at most kMaxSprites sprites (what one batch of
// 16-bit indices addresses); a larger stored count is used as kMaxSprites,
// so no stored count can exhaust memory.
//
// A frame strip (the controller's frames-in-one-image flag) is shared by
// every sprite of the array: its frame advances with the animation clock at
// the controller's frames per second (0 keeps it on its frame).
//
// FrameTextWriter collects the frames of all sprites as text key frames
// (WriteFrameText; the render object's sprite command).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objectmodel/CallbackControls.h"
#include "particles/systems/ParticleSystemCtrl.h"
#include "particles/systems/SpriteParticle.h"
#include "render/QuadBatchArray.h"
#include "render/QuadBatchBuffer.h"
#include "render/RenderObject.h"

class FrameTextWriter {
public:
    std::string mainText;
    std::string spriteText;
    std::int32_t frameCounter = 0;
    std::int32_t keyCounter = 0;
};

class ParticleGeomArray : public DS_ABObj {
public:
    static constexpr std::uint32_t kMaxSprites = QuadBatchArray::kQuadsPerBatch;

    // Owns `controller`; the sprites exist when the constructor returns.
    explicit ParticleGeomArray(std::unique_ptr<DS_ParticleSystemCtrl> controller);
    ~ParticleGeomArray() override;

    // The count control's callback: `count` sprites (at most kMaxSprites).
    void ResizeSprites(std::uint32_t count);
    // One quad per sprite for the first (clamped sprite count) sprites, in
    // one lock; only when the batch holds exactly that many quads.
    void FillVertices(DS_ParticleSystemCtrl& controller);
    // Appends the current frame of all sprites to the writer's texts.
    void WriteFrameText(FrameTextWriter& writer, bool final);
    // The sprite command: the text export, `value` non-zero on the last call.
    void OnSpriteCommand(FrameTextWriter& record, int value) override;

    DS_ParticleSystemCtrl& Controller() const { return *m_controller; }
    const std::vector<std::unique_ptr<SpriteParticle>>& Sprites() const { return m_sprites; }
    QuadBatchBuffer& Quads() { return m_quads; }
    const QuadBatchBuffer& Quads() const { return m_quads; }
    std::uint32_t StripFrame() const { return m_stripFrame; }
    // The controller's sprite count held to kMaxSprites.
    std::uint32_t ClampedSpriteCount() const;

protected:
    // How many quads a frame writes: the clamped sprite count, or 0 when the
    // batch does not hold exactly that many quads.
    std::uint32_t WritableQuadCount() const;
    // The controller's clocks, then every sprite's update in list order.
    void StepSprites(float time);
    // The picture frame shown now (the text export starts a key segment
    // when it changes); 0 for arrays without picture animation.
    virtual std::int32_t PictureFrameIndex() const { return 0; }
    // The rectangle {x, y, width, height} of every sprite's four corners.
    void AddSpriteRects(BoundingRectList& list) const;

private:
    // The frame strip's u range for this frame (advancing the strip).
    void StripRange(const DS_ParticleSystemCtrl& controller, float& u0, float& u1);
    void WriteSpriteBlock(std::string& out) const;

    DS_ParticleSystemCtrl* m_controller;
    QuadBatchBuffer m_quads;
    std::vector<std::unique_ptr<SpriteParticle>> m_sprites;
    float m_stripSwitchTime = 0.0f;
    std::uint32_t m_stripFrame = 0;
    std::int32_t m_lastTextPictureFrame = 0;
    // Last: its controls leave the controller's parameter first.
    CallbackControlList<ParticleGeomArray> m_controls{this};
};

// The four corners of a sprite's quad in vertex order: P - Aw + Bh,
// P - Aw - Bh, P + Aw + Bh, P + Aw - Bh.
struct SpriteCorners {
    math::Vec3 corner[4];
};
SpriteCorners CornersOf(const SpriteParticle& sprite);
