#pragma once
// DS_BrushObj: the render object of every image effect. It owns the clone
// of the effect description (through DS_ABObj, which also removes the
// registry entry and deletes the clone once), attaches it at construction
// with the mask the current document keeps under the clone's key, forwards
// each frame's clock and draw to it, and tells the light whether the
// effect reads the picture drawn so far.
//
// It answers 1 to NeedsRenderTarget (one switch of the render target per
// frame) only while it is enabled, the effect's mode asks for the picture
// and the effect could be compiled: an effect that draws nothing must not
// make the light swap and clear its target. Without a current document
// resource manager at construction nothing is attached, so the effect
// stays empty and draws nothing.

#include <memory>

#include "effects/ImageEffect.h"
#include "render/RenderObject.h"

class DS_BrushObj : public DS_ABObj {
public:
    explicit DS_BrushObj(std::unique_ptr<DS_FX_Constructor> clone);

    // The clone's Apply.
    void Render(DS_ABRender& renderer) override;
    int NeedsRenderTarget() const override;
    // The clone's Update.
    void Animate(float localTime) override;
    int GetKind() const override { return DS_FX_Constructor::kKindImageEffect; }

    DS_FX_Constructor* Effect() const { return m_effect; }

private:
    DS_FX_Constructor* m_effect;
};
