#pragma once
// KXI_BlurSurface: the glow surface of particle systems. What should glow is
// drawn into a reduced render target (BeginCapture), which Blur then
// softens with a separable Gaussian blur: a vertical and a horizontal pass
// between two targets of the reduced size, and two more per extra pass.
//
// The strength (a percentage, effective 0 to 80) reduces the size of what is
// blurred: a view of W x H blurs at W (100 - s) / 100 x H (100 - s) / 100
// (at least 1 x 1), so a stronger blur works on fewer pixels. Changing the
// strength resizes the targets at once.
//
// The effect is the owner's (the shared module's blur effect): techniques
// "GaussianBlurVFirst", "GaussianBlurV", "GaussianBlurH", floats "TexW",
// "TexH", texture "Texture". Each pass draws the renderer's background quad
// (which covers the canvas) with it.
//
// As a losable object (DocResManagerLosables.h) it lets its targets go when
// the device is lost and, once it has a view size, makes them again when the
// device has been reset. Textures are made on the resource device
// (ResourceLoading.h).

#include <cstdint>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/MediaParam.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "render/DocResManagerLosables.h"
#include "render/RenderTargetPairTextures.h"

class DS_ABRender;

class KXI_BlurSurface : public KXI_LosableObj {
public:
    static constexpr unsigned int kMaxStrength = 80;
    // Extra passes beyond this are not run: each is two draws over the
    // whole target, and the count comes from a document.
    static constexpr std::int32_t kMaxExtraPasses = 32;

    KXI_BlurSurface();
    // A copy takes the strength, effect and sizes, and makes targets of its
    // own when the source had them; its control watches its own strength.
    KXI_BlurSurface(const KXI_BlurSurface& other);
    KXI_BlurSurface& operator=(const KXI_BlurSurface& other);
    ~KXI_BlurSurface() override;

    // The owner's effect (a reference is held; null: blur passes are skipped).
    void SetEffect(gfx::Effect* effect) { m_effect = gfx::Ref<gfx::Effect>(effect); }
    gfx::Effect* Effect() const { return m_effect.Get(); }

    // The size of what is blurred; the owner calls Resize after setting it.
    void SetViewSize(std::int32_t width, std::int32_t height);

    // The blurred size from the view size and strength, then both targets
    // made again at it. False when the targets could not be made.
    bool Resize();

    void OnLostDevice() override;
    // Makes the targets again when the surface has a view size.
    void OnResetDevice() override;
    // The view size becomes the render context's picture size; when both
    // sides are non-zero, Resize.
    void OnViewResize() override;

    // Saves the device's render target and depth-stencil surface, draws into
    // target A (no depth), pushes a view of the blurred size in the
    // render-target mode (3) on the renderer and clears A to transparent
    // black. False, with nothing changed, without targets or device.
    bool BeginCapture(DS_ABRender& renderer);

    // Blurs what was captured: TexW and TexH := the blurred size; passes
    // (B <- A, "GaussianBlurVFirst"), (A <- B, "GaussianBlurH"), then
    // `passes` times (B <- A, "GaussianBlurV"), (A <- B, "GaussianBlurH");
    // then the saved target and the renderer's view come back. Returns
    // target A; null (and nothing done) when no capture was begun. Without
    // an effect the capture comes back unblurred.
    gfx::Texture* Blur(DS_ABRender& renderer, std::int32_t passes);

    // Percent of size reduction; a change resizes the targets.
    MediaParamT<unsigned int> strength{0u};

    std::int32_t ViewWidth() const { return m_viewWidth; }
    std::int32_t ViewHeight() const { return m_viewHeight; }
    std::int32_t BlurredWidth() const { return m_blurredWidth; }
    std::int32_t BlurredHeight() const { return m_blurredHeight; }
    gfx::Texture* TextureA() const { return m_textureA.Get(); }
    gfx::Texture* TextureB() const { return m_textureB.Get(); }
    bool IsCapturing() const { return m_saved.IsSaved(); }

private:
    void OnStrengthChanged() { Resize(); }
    void ComputeBlurredSize();
    void ReleaseTextures();
    void RunPass(gfx::Device& device, DS_ABRender& renderer, gfx::Texture* target, gfx::Texture* source,
                 const char* technique);

    gfx::Ref<gfx::Effect> m_effect;
    std::int32_t m_viewWidth = 0;
    std::int32_t m_viewHeight = 0;
    std::int32_t m_blurredWidth = 0;
    std::int32_t m_blurredHeight = 0;
    gfx::Ref<gfx::Texture> m_textureA;
    gfx::Ref<gfx::Texture> m_textureB;
    SavedRenderTargets m_saved;
    SmartCalbackCtrl<KXI_BlurSurface> m_control{&KXI_BlurSurface::OnStrengthChanged, this, &strength};
};
