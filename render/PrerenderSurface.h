#pragma once
// KXI_PrerenderSurface: a render-target texture that an object draws into
// before using the result as a picture of its own (the line systems render
// their ribbons through one). BeginRender makes the texture the target,
// with a view of its own size in which the canvas is stretched over it, and
// clears it to transparent black; EndRender puts the previous target and
// view back and hands out the texture.
//
// As a losable object (DocResManagerLosables.h) it lets its texture go when
// the device is lost and makes it again, at the size it was last given,
// when the device has been reset. Textures are made on the resource device
// (ResourceLoading.h).

#include <cstdint>

#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "render/DocResManagerLosables.h"
#include "render/RenderTargetPairTextures.h"

class DS_ABRender;

class KXI_PrerenderSurface : public KXI_LosableObj {
public:
    KXI_PrerenderSurface() = default;
    // A copy has its own name, size and (when the source had one) texture.
    KXI_PrerenderSurface(const KXI_PrerenderSurface& other);
    KXI_PrerenderSurface& operator=(const KXI_PrerenderSurface& other);
    ~KXI_PrerenderSurface() override = default;

    // Stores the size and makes a new texture of it. False (no texture) when
    // the size is not positive, there is no device or it refuses.
    bool SetSize(std::int32_t width, std::int32_t height);

    void OnLostDevice() override;
    void OnResetDevice() override;

    // Saves the device's render target and depth-stencil surface, draws into
    // the texture from now on (no depth), pushes a view of the surface's
    // size in the render-target mode (3) on the renderer and clears the
    // texture to transparent black. False, with nothing changed, without a
    // texture or device.
    bool BeginRender(DS_ABRender& renderer);
    // Restores the saved target and the renderer's view and returns the
    // texture; null (and nothing restored) when BeginRender did not begin.
    gfx::Texture* EndRender(DS_ABRender& renderer);

    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }
    gfx::Texture* Texture() const { return m_texture.Get(); }
    bool IsRendering() const { return m_saved.IsSaved(); }

private:
    bool MakeTexture();

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    gfx::Ref<gfx::Texture> m_texture;
    SavedRenderTargets m_saved;
};
