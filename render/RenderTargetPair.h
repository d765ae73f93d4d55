#pragma once
// RenderTargetPair: two render-target textures of one size, drawn into in
// turns: while one receives drawing, the other holds the picture finished
// so far for an object that reads it (ping-pong rendering). Picture scenes
// keep one for their frame; the resource manager keeps shared ones by GUID.
//
// Render targets live in the default pool, so a lost device takes them: the
// owner releases them on loss (ReleaseTextures) and makes them again on
// reset (Create or Resize). Textures are made on the resource device
// (ResourceLoading.h), the device every loader of the render base uses.
//
// A pair whose textures could not be made is empty and says so (Create and
// Resize return false, IsValid is false): its owner then draws straight to
// the target it already has. Begin, Swap and End on an empty pair change no
// device state.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/gfx/Ref.h"
#include "platform/gfx/Surface.h"
#include "platform/gfx/Texture.h"
#include "render/RenderTargetPairTextures.h"

// How big the picture scenes' pairs are made: multiplier x the base size,
// trying smaller multiples down to 1 when a size cannot be made. The player
// sets them when the device is (re)created: multiplier 1 and the size of the
// largest monitor. Process-wide, used from the drawing thread only.
struct RenderTargetSizing {
    std::int32_t multiplier = 1;
    std::int32_t baseWidth = 0;
    std::int32_t baseHeight = 0;
};
extern RenderTargetSizing g_RenderTargetSizing;

// The largest side a pair tries to make; larger multiples are skipped.
inline constexpr std::int64_t kMaxRenderTargetSide = 16384;

class RenderTargetPair {
public:
    static constexpr std::uint32_t kSwapClearColour = 0xFF000000u; // opaque black

    RenderTargetPair() = default;
    RenderTargetPair(const RenderTargetPair&) = delete;
    RenderTargetPair& operator=(const RenderTargetPair&) = delete;
    ~RenderTargetPair() = default;

    // Makes both textures at the largest multiple of the sizing values
    // (g_RenderTargetSizing) that the device accepts, from the multiplier
    // down to 1. Multiplier 0 makes nothing. False, with the pair empty,
    // when no size could be made.
    bool Create();

    // Stores the size; false when either side is not positive or a texture
    // cannot be made (the pair is then empty). Otherwise both textures are
    // made at width x height, the current texture is the one of the current
    // index, and the size becomes its level 0's.
    bool Resize(std::int32_t width, std::int32_t height);

    // Resize, then, when `source` is given, its level 0 is copied into the
    // current texture's level 0, resized (CopyLevelZero).
    bool ResizeAndCopy(gfx::Texture* source, std::int32_t width, std::int32_t height);

    // Releases the current texture and both textures (the size is kept).
    void ReleaseTextures();

    // Saves the device's render target and depth-stencil surface (dropping
    // any saved earlier), makes level 0 of `texture` render target 0 and
    // sets no depth-stencil surface; draws write `channels` (all four for a
    // shared pair read by its alpha, the frame's for the picture scene's
    // own pair). False, with nothing changed, without a texture or device.
    bool Begin(gfx::Texture* texture, TargetChannels channels = TargetChannels::All);
    // Restores the saved render target, depth-stencil surface and states and
    // lets them go. Nothing when nothing was saved.
    void End();

    // Flips to the other texture: it becomes current and render target 0 and
    // is cleared to opaque black. Returns the texture drawn into until now
    // (null for an empty pair).
    gfx::Texture* Swap();

    bool IsValid() const { return HasTextures() && m_current; }
    bool HasTextures() const { return m_textures[0] && m_textures[1]; }
    gfx::Texture* CurrentTexture() const { return m_current.Get(); }
    gfx::Texture* TextureAt(std::size_t index) const { return index < m_textures.size() ? m_textures[index].Get() : nullptr; }
    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }
    std::int32_t Index() const { return m_index; }
    // Between Begin and End.
    bool IsSaving() const { return m_saved.IsSaved(); }

private:
    // Releases everything and makes both textures at width x height; false
    // (and the pair empty) when either cannot be made.
    bool MakeTextures(std::uint32_t width, std::uint32_t height);
    // The current texture := texture of the current index; size := its level 0's.
    void SelectCurrent();

    gfx::Ref<gfx::Texture> m_current;
    std::array<gfx::Ref<gfx::Texture>, 2> m_textures;
    SavedRenderTargets m_saved;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_index = 0; // the texture being drawn into
};
