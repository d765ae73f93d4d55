#pragma once
// The small texture and render-target routines of the render base that the
// render-target pair, the render surfaces and the quads share: surface
// descriptions of the back buffer and the current target, render-target
// texture creation, resized copies of a texture, and the saving of the
// device's render target while drawing into a texture.
//
// Render-target textures are made with one level, format A8R8G8B8, in the
// default pool: they are lost with the device and their owners (losable
// objects, the picture scene's pair) release and rebuild them.

#include <cstdint>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Formats.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Surface.h"

namespace gfx {
class Device;
class Texture;
} // namespace gfx

// The description of the device's back buffer; all zero when there is none.
gfx::SurfaceDesc GetBackBufferDesc(const gfx::Device& device);

// The description of the device's render target 0; all zero when none is set.
gfx::SurfaceDesc GetRenderTargetDesc(const gfx::Device& device);

// Releases the holder's texture, then creates one of width x height with one
// level, `usage`, A8R8G8B8, default pool. On failure the holder stays empty
// and the device's error is returned.
HRESULT CreateRenderTargetTexture(gfx::Device& device, gfx::Ref<gfx::Texture>& holder, std::uint32_t width,
                                  std::uint32_t height, std::uint32_t usage);

// A new managed texture of width x height (a full mip chain, `format`;
// Unknown gives A8R8G8B8) whose level 0 is level 0 of `source` filtered to
// that size. Null without a source or when the texture cannot be made.
gfx::Ref<gfx::Texture> CopyTextureResized(gfx::Device& device, gfx::Texture* source, std::uint32_t width,
                                          std::uint32_t height, gfx::Format format);

// Copies level 0 of `source` over level 0 of `target`, resized with the
// triangle filter. A render-target level cannot be written through a lock,
// so one is filled through the device (linear filtering) instead.
HRESULT CopyLevelZero(gfx::Device& device, gfx::Texture* target, gfx::Texture* source);

// The level-0 size of a texture, 0 x 0 for none.
struct TextureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
TextureSize LevelZeroSize(const gfx::Texture* texture);

// Which colour channels draws into a redirected texture write.
//   All    every channel: a texture of an object's own (a glow capture, a
//          blur pass, a mask, a prerendered picture) is read back by its
//          alpha as well, whatever the frame writes.
//   Frame  the channels the frame writes (the device's mask as it stands):
//          the picture scene's own pair holds the frame itself.
enum class TargetChannels { All, Frame };

// The device's render target 0, depth-stencil surface, scissor rectangle,
// clip-plane enabling and colour-write mask, kept while something draws
// into a texture of its own, and put back after. While redirected no clip
// plane is enabled (a monitor's planes are not in the texture's units); the
// new target's scissor rectangle is the whole texture; the colour-write mask
// is the one `channels` asks for. The scissor test's enabling is left as it
// is.
class SavedRenderTargets {
public:
    // Makes level 0 of `texture` render target 0 with no depth-stencil
    // surface, after saving what the device had (what was saved before is
    // let go). False, with nothing changed, when the texture is null or the
    // device refuses it as a target.
    bool Redirect(gfx::Device& device, gfx::Texture* texture, TargetChannels channels = TargetChannels::All);
    // Puts the saved surfaces and states back and lets the surfaces go;
    // nothing when none are saved.
    void Restore(gfx::Device& device);
    // Lets the saved surfaces go without putting them back.
    void Drop();
    bool IsSaved() const { return static_cast<bool>(m_target); }

private:
    gfx::Ref<gfx::Surface> m_target;
    gfx::Ref<gfx::Surface> m_depthStencil;
    gfx::Rect m_scissor;
    std::uint32_t m_clipPlanes = 0;
    std::uint32_t m_colourWrites = 0;
};
