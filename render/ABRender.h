#pragma once
// DS_ABRender: the renderer that render objects draw through. The picture
// scene of a slide (DS_2D_Light, PictureScene.h) implements it; a render
// object receives it in KXI_RenderObj::Render and never reaches the device
// for these draws itself.
//
// The draw records are the render base's own: quads and quad batches with
// their transform node, vertex and index buffers (QuadTextured.h,
// QuadBatchBuffer.h), mesh items (ABRenderItems.h). The sprite array is a
// render object of the scene-object layer: the renderer learns what to draw
// of it through the describer that layer installs (ABRenderItems.h).
//
// Every draw takes the view and projection from the thread's render context
// and the world from the item's transform node through the context (camera,
// pan/zoom and the parallax of the object being drawn).
//
// Render-target passes: an object that reads the picture drawn so far
// (KXI_RenderObj::NeedsRenderTarget) calls SwitchRenderTarget with the
// frame's pass counter and then takes GetTargetTexture.

#include <cstdint>

#include "objectmodel/IOFItem.h"

namespace gfx {
class Effect;
class Texture;
} // namespace gfx

class QuadBatchBuffer;
class TexturedQuad;
class MeshItem;
class TexturedBatch;
class MirroredGrid;
class DS_SpriteArrayObj;

class DS_ABRender : public DS_IOF_Item {
public:
    // Pushes the current view on the view stack and sets a view of width x
    // height pixels drawn in picture-position `mode` (callers drawing into a
    // texture of their own pass the render-target mode, 3).
    virtual void PushView(std::uint32_t width, std::uint32_t height, int mode) = 0;
    // Restores the view from the top of the view stack; nothing when the
    // stack is empty.
    virtual void PopView() = 0;

    // An indexed grid of XYZ|TEX1 vertices through every pass of the
    // effect's current technique.
    virtual void DrawIndexedWithEffect(QuadBatchBuffer& item, gfx::Effect& effect) = 0;
    // A quad through every pass of the effect's current technique.
    virtual void DrawWithEffect(TexturedQuad& quad, gfx::Effect& effect) = 0;
    // Quads [firstQuad, firstQuad + quadCount) of a quad batch, through the
    // effect's passes or, without an effect, with alpha blending. The
    // texture is the caller's (texture stage 0).
    virtual void DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect* effect, std::uint32_t firstQuad,
                                           std::uint32_t quadCount) = 0;
    // An indexed XYZ|DIFFUSE|TEX1 batch through the effect's passes.
    virtual void DrawColoredWithEffect(QuadBatchBuffer& item, gfx::Effect& effect) = 0;
    // A mesh at the world matrix of each node of the item's node list.
    virtual void DrawSpriteList(MeshItem& list) = 0;
    // A sprite array's quads with its current frame texture.
    virtual void DrawTexturedBatch(DS_SpriteArrayObj& batch) = 0;
    // A mesh once per child node of the batch's header node.
    virtual void DrawMeshList(TexturedBatch& list) = 0;
    // The item's own Prepare (arg), then the item's indexed XYZ|TEX1 grid
    // with its texture and mirrored texture addressing; the caller sets the
    // world.
    virtual void DrawMirrored(MirroredGrid& item, int arg) = 0;

    // Decrements `counter`: while it stays above 0 the render-target pair
    // flips, and when it reaches 0 render-target mode ends. Either way the
    // target texture becomes the picture drawn so far.
    virtual void SwitchRenderTarget(int& counter) = 0;
    // The picture drawn so far (valid after SwitchRenderTarget), or null.
    virtual gfx::Texture* GetTargetTexture() = 0;
    // The quad that covers the whole picture.
    virtual TexturedQuad& GetBackgroundQuad() = 0;
    // The picture's size in pixels.
    virtual std::uint32_t GetWidth() const = 0;
    virtual std::uint32_t GetHeight() const = 0;
};
