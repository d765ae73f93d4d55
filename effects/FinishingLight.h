#pragma once
// FrameFinishingLight: the base of the light variants that finish a frame
// through an effect of their own (the flame light's haze, the underwater
// light): after the objects, they end the light's render-target pass and
// draw the finished frame through their effect. When that effect cannot
// draw, the frame they hold is drawn plainly instead, so it is never lost.

#include "objectmodel/Archive.h"
#include "render/PictureScene.h"

class FrameFinishingLight : public DS_2D_Light {
public:
    // The light variants cover the whole picture, as a description does.
    bool AddBoundingRect(BoundingRectList& rects) const override;

protected:
    // The finished frame over the picture quad, blending off.
    void DrawFramePlainly(gfx::Texture* frame);
};

// Reads a tagged effect record embedded in a light (class name not
// compared, version, the effect's levels) into a new effect and gives its
// values to `effect`.
template <class Effect>
void ReadEmbeddedEffect(ArchiveReader ar, Effect& effect)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    Effect read;
    read.ReadBody(ar, version);
    effect = read;
}
