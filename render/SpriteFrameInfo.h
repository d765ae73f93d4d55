#pragma once
// SpriteFrameInfo: the frames of an animated picture as the resource manager
// returns them and as a sprite or particle system holds them: one texture
// per frame with its display duration in seconds, the frame shown now and
// the time it began, and the sizes that tell how much of the texture the
// picture covers.
//
// The steppers advance the frame shown to a time T, at most one frame per
// call: when the current frame's duration is less than T - frame start,
// the next frame begins at T. Time going back before the frame's start
// restarts the frame at T. A record without durations never advances.
// The frame count is the number of durations (and of textures, when there
// are fewer); an index outside the frames starts again at frame 0, so a
// count of 0 or an index that no longer fits never reads past a vector.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"

struct TextureSetEntry;

struct SpriteFrameInfo {
    std::uint32_t sourceWidth = 0;  // the decoded picture's size
    std::uint32_t sourceHeight = 0;
    std::uint32_t textureWidth = 0; // the first frame's texture size
    std::uint32_t textureHeight = 0;
    float uScale = 1.0f;            // the part of the texture the picture covers
    float vScale = 1.0f;
    float ratio = 1.0f;             // source height / source width
    std::vector<gfx::Ref<gfx::Texture>> frameTextures;
    std::vector<float> frameDurations;
    std::int32_t currentFrame = 0;
    float frameStart = 0.0f;

    bool HasTexture() const { return !frameTextures.empty() && frameTextures.front() != nullptr; }
    // The texture of the frame shown now, or null.
    gfx::Texture* CurrentTexture() const;
    // How many frames the steppers cycle through (see above).
    std::size_t FrameCount() const;

    // The frames of a texture set: its textures, its values as frame times
    // (FrameTimeOfValue: float seconds, unusable values 0), its size (both
    // pairs) and ratio; scales 1, frame 0 from time 0.
    void Init(const TextureSetEntry& entry);

    // Forward: a frame restarts when T - start <= 0; the next frame wraps
    // to the first. Returns whether a new frame began.
    bool StepForward(float time);
    // Backward: a frame restarts when T - start < 0; frame 0 is followed by
    // the last frame.
    bool StepBackward(float time);
    // As StepForward, except that a frame ends as soon as its duration has
    // passed in full (duration <= T - start) and restarts only when
    // T - start < 0: the picture animation of sprite arrays.
    bool StepWhenDue(float time);
};

// Every record's frame to time T: StepForward, or StepBackward when
// `backward` is set.
void StepFrames(std::vector<SpriteFrameInfo>& records, float time, bool backward);

// The stepper of the glyph and picture entries: as StepForward, except that
// a frame restarts only when T - start < 0.
struct FrameSequence {
    static bool Step(SpriteFrameInfo& entry, float time);
};
