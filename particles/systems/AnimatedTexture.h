#pragma once
// AnimatedTexture<Array>: a sprite array that shows an animated picture.
// It keeps its own copy of the picture's frames, taken when it is built
// from the thread's resource manager by the controller's image kind:
//   1  the texture set of the sprite image (its values are the frame
//      durations, copied as SpriteFrameInfo::Init copies them);
//   2  the animated picture of the sprite image (frames unfiltered);
//   other kinds the plain picture: no durations, so no picture animation.
// The picture advances one frame when the current frame's duration has
// passed in full on the object clock (SpriteFrameInfo::StepWhenDue).

#include <memory>

#include "particles/systems/ParticleSystemCtrl.h"
#include "render/SpriteFrameInfo.h"

// The frames the controller's image kind names, copied from the thread's
// resource manager (empty without one).
SpriteFrameInfo LoadSpriteFrames(const DS_BaseSpriteProp& controller);

template <class Array>
class AnimatedTexture : public Array {
public:
    explicit AnimatedTexture(std::unique_ptr<DS_ParticleSystemCtrl> controller)
        : Array(std::move(controller)), m_frames(LoadSpriteFrames(this->Controller()))
    {
    }

    const SpriteFrameInfo& Frames() const { return m_frames; }
    gfx::Texture* CurrentFrameTexture() const { return m_frames.CurrentTexture(); }

protected:
    // Advances the picture to object-clock time `time`; true when a new
    // frame began.
    bool StepPicture(float time) { return m_frames.StepWhenDue(time); }
    std::int32_t PictureFrameIndex() const override { return m_frames.currentFrame; }

    SpriteFrameInfo m_frames;
};
