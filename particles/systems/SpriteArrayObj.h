#pragma once
// DS_SpriteArrayObj: the render object of the plain sprite objects: a sprite
// array (ParticleGeomArray) with the animated picture of its controller
// (AnimatedTexture) and an overlay picture (the controller's second image),
// drawn by the picture scene's DrawTexturedBatch from the record the
// sprite-array describer gives (render/ABRenderItems.h): the array's batch,
// the current frame's texture, the overlay, the blend mode and the
// controller's active sprite count. A picture that could not be loaded
// gives no quads: untextured sprites are never drawn.
//
// Each frame (Animate): the sprite event is cleared, the clocks step, every
// sprite is updated, the picture advances, and the quads are written (only
// when the picture frame changed, for controllers that redraw on frame
// change only). For an animated picture (image kind 2) the quads' texture
// coordinates span the part of the texture the picture covers.

#include <memory>

#include "particles/systems/AnimatedTexture.h"
#include "particles/systems/ParticleGeomArray.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "render/ABRenderItems.h"

class DS_SpriteArrayObj : public AnimatedTexture<ParticleGeomArray> {
public:
    explicit DS_SpriteArrayObj(std::unique_ptr<DS_ParticleSystemCtrl> controller);
    ~DS_SpriteArrayObj() override;

    void Render(DS_ABRender& renderer) override;
    // The timing and the controller restart; the sprites' timers clear.
    void Restart() override;
    void Animate(float time) override;
    // The view rectangle follows the picture size.
    void OnResize() override;
    bool HitTest(int x, int y) override;
    bool AddBoundingRect(BoundingRectList& list) const override;

    // The overlay picture, or null.
    gfx::Texture* GetHeldTexture() const { return m_overlay.Get(); }
    // What the renderer draws of this array.
    SpriteArrayDraw Describe();

private:
    // Texture coordinates spanning the animated picture's part of its
    // texture, flipped as the controller says.
    void WriteAnimatedTexCoords();

    gfx::Ref<gfx::Texture> m_overlay;
};

// Installs the describer of sprite arrays (DS_SpriteArrayObj::Describe).
void InstallSpriteArrayObjDescriber();
