#pragma once
// DS_2D_Light: the picture scene of a slide. It shows the slide's background
// picture through a DSM_Camera, fits it to the view for the picture-position
// mode through the thread's RenderContext, and is the renderer
// (DS_ABRender) through which every render object of the slide draws.
// The light variants of the picture-effects layer derive from it and
// replace some of its operations, which are therefore virtual.
//
// One frame (RenderFrame, driven by the slide): the passes are counted (the
// render-target switches the enabled objects will make, plus one when the
// light itself reads the picture drawn so far); with any pass the scene
// enters render-target mode and draws into the first texture of its
// render-target pair. Then the background, then the objects from the last
// in the list to the first, each shifted by the parallax factor
// 100 / depth - 1 of the camera's offset from the picture centre. An object
// that reads the picture drawn so far calls SwitchRenderTarget: while other
// readers follow, the pair flips and the reader gets the texture just
// finished; the last reader ends render-target mode (the previous target,
// view and mode come back) and gets the texture that holds everything
// drawn, which it draws into the restored target.
//
// Safeguards beyond that sequence:
//   - only enabled objects count, because only they are drawn and switch;
//   - when the objects leave passes unused, RenderObjects ends render-target
//     mode itself and draws the finished picture, so a frame is never left
//     inside a texture (a light that reads the picture itself ends the mode
//     in its own drawing, and keeps it open);
//   - a pair that could not be made means no render-target mode: the frame
//     goes straight to the current target and readers get the picture;
//   - a depth of 0 percent is taken as 1 percent.
//
// Views. The view quad is the rectangle of the window (or render target) in
// which the scene is shown. PushView/BeginRenderTarget push it on the view
// stack (one stack shared by every picture scene; used by the drawing
// thread only) and PopView/EndRenderTarget take it back. While a view is
// pushed, ApplyView does not replace the view quad; the "view pushed" state
// is clear whenever the stack is empty. Taking from an empty stack changes
// nothing. ApplyView also publishes where the picture lands on the back
// buffer as the current document's ScreenInfo.
//
// A picture that could not be loaded has size 0 x 0: nothing of it is
// drawn, and every size derived from it is 0 (never a NaN or an infinity).
//
// Stored level "DS_2D_Light" (written as version 3): section header; v >= 2
// the background link (path, 8-byte id); v >= 3 a complete DSM_Camera
// record. Picture mode, views and render targets are runtime state.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/CallbackControls.h"
#include "objectmodel/SafePtr.h"
#include "platform/crt/WinTypes.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"
#include "platform/math/Matrix.h"
#include "render/ABRender.h"
#include "render/ABRenderItems.h"
#include "render/Camera.h"
#include "render/FileLink.h"
#include "render/ObjectDescription.h"
#include "render/PictureFit.h"
#include "render/QuadTextured.h"
#include "render/QuadVertices.h"
#include "render/RenderTargetPair.h"

namespace gfx {
class Device;
}

class KXI_RenderObj;
class RenderContext;
class ScreenQuad;

// The render objects of a slide, in list order.
using RenderObjectList = std::vector<DS_SafePtr<KXI_RenderObj>>;

class DS_2D_Light : public DS_ABRender {
public:
    static constexpr std::u16string_view kClassName = u"DS_2D_Light";
    static constexpr std::int32_t kStoredVersion = 3;
    // The default background: picture 5 of the shared module.
    static constexpr std::u16string_view kDefaultPictureModule = u"common_res.dll";
    static constexpr std::int32_t kDefaultPictureId = 5;
    // Colour the restored target is cleared to when render-target mode ends
    // with a clear.
    static constexpr std::uint32_t kEndClearColour = 0xFF000000u;

    // The default link, a static camera, no picture, mode Fit, no view
    // pushed. A change of the background link runs OnResize.
    DS_2D_Light();
    DS_2D_Light(const DS_2D_Light&) = delete;
    DS_2D_Light& operator=(const DS_2D_Light&) = delete;
    ~DS_2D_Light() override;

    // ---- stored form
    // The body of a stored level of `version`. Returns true.
    bool ReadBody(ArchiveReader ar, std::int32_t version);
    // Reads a section header (the class name is not compared) and the body
    // of its version into `light`. The light variants read their base level
    // through it.
    static void Load(ArchiveReader ar, DS_2D_Light& light);
    // "DS_2D_Light", version 3, the background link (registered with the
    // current resource manager first, so the picture is stored with the
    // document), then the camera's record.
    void Save(ArchiveWriter ar) const override;

    // ---- DS_ABRender
    void PushView(std::uint32_t width, std::uint32_t height, int mode) override;
    void PopView() override;
    void DrawIndexedWithEffect(QuadBatchBuffer& item, gfx::Effect& effect) override;
    void DrawWithEffect(TexturedQuad& quad, gfx::Effect& effect) override;
    void DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect* effect, std::uint32_t firstQuad,
                                   std::uint32_t quadCount) override;
    void DrawColoredWithEffect(QuadBatchBuffer& item, gfx::Effect& effect) override;
    void DrawSpriteList(MeshItem& list) override;
    void DrawTexturedBatch(DS_SpriteArrayObj& batch) override;
    void DrawMeshList(TexturedBatch& list) override;
    // The item has no preparation of its own to run with `arg`: the caller
    // binds its texture and sets its world before.
    void DrawMirrored(MirroredGrid& item, int arg) override;
    void SwitchRenderTarget(int& counter) override;
    gfx::Texture* GetTargetTexture() override { return m_targetTexture.Get(); }
    TexturedQuad& GetBackgroundQuad() override { return m_background; }
    std::uint32_t GetWidth() const override { return m_background.Picture().width; }
    std::uint32_t GetHeight() const override { return m_background.Picture().height; }

    // ---- device lifetime
    // Builds the background quad, loads the picture and resets the context's
    // border bars.
    virtual void CreateDeviceObjects();
    // Sets the default device states, has the current resource manager
    // restore its device objects, and makes the render-target pair again.
    virtual void OnResetDevice();
    // Releases the render-target pair's textures and the target texture.
    virtual void OnLostDevice();

    // ---- drawing a frame
    // The context's border bars, unless `skip`.
    virtual void DrawBorderBars(bool skip);
    // The picture through the camera, without parallax, after clearing the
    // target (unless `noClear`).
    virtual void DrawBackground(bool noClear);
    virtual void UpdateCamera(float time);

    // ---- views
    // Unless a view is pushed, the view quad := `quad`; the camera sets the
    // view, and the current document's ScreenInfo is published.
    virtual void ApplyView(const QuadVertices& quad);
    // Picture mode := `mode`, then the view is applied again.
    virtual void SetPictureMode(int mode);
    virtual bool IsCameraAnimated() const;

    // A pre-transformed colour quad with its vertex colours, blended; 0 and
    // nothing drawn for a null quad.
    virtual HRESULT DrawColorQuad(ScreenQuad* screenQuad);
    // A pre-transformed textured quad, its alpha modulated, blended, no z.
    virtual HRESULT DrawTexturedQuad(TexturedQuad& texturedQuad);
    // The objects, last to first, each with its parallax (see above).
    virtual void RenderObjects(const RenderObjectList& objects, int& counter);
    // The plain picture scene covers no rectangle of its own: false.
    virtual bool AddBoundingRect(BoundingRectList& rects) const;

    // ---- render targets
    // Draws into the pair's current texture from now on, with a view of the
    // pair's size in the render-target mode. False (nothing changed) when
    // already in that mode or the pair holds no textures.
    virtual bool BeginRenderTarget();
    // Flips the pair; returns the texture just drawn (null outside
    // render-target mode).
    virtual gfx::Texture* NextPingPongTarget();
    // Back to the previous target (cleared to opaque black with `clear`),
    // view and mode; returns the texture holding everything drawn. Null,
    // and nothing changed, outside render-target mode.
    virtual gfx::Texture* EndRenderTarget(bool clear);
    // Switches the camera's movement on or off and restarts it; returns
    // whether it moved before.
    virtual bool SetCameraAnimated(bool on);
    // Whether the light itself reads the picture drawn so far: not the plain
    // picture scene.
    virtual bool NeedsRenderTarget() const;
    // The background link changed: picture loaded again, camera path sized
    // to it, view applied again.
    virtual void OnResize();

    // ---- the frame as the slide drives it
    // Render-target passes of one frame: the switches of the enabled
    // objects plus one when the light itself needs the picture.
    int CountRenderTargetPasses(const RenderObjectList& objects) const;
    // One frame: passes counted, render-target mode entered when any,
    // background (cleared unless `noClear`), then the objects.
    void RenderFrame(const RenderObjectList& objects, bool noClear);
    // What DrawTexturedBatch draws once the array is described.
    void DrawSpriteArray(const SpriteArrayDraw& array);

    // 100 / depth - 1 for a depth in percent; 0 percent counts as 1.
    static float ParallaxFactor(std::uint32_t depthPercent);

    // ---- state, for the slide, the variants and tests
    DS_ImageFileLink& BackgroundLink() { return m_backgroundLink; }
    const DS_ImageFileLink& BackgroundLink() const { return m_backgroundLink; }
    DSM_Camera& Camera() { return m_camera; }
    const DSM_Camera& Camera() const { return m_camera; }
    PictureQuad& Background() { return m_background; }
    const PictureQuad& Background() const { return m_background; }
    RenderTargetPair& Pair() { return m_pair; }
    const QuadVertices& ViewQuad() const { return m_viewQuad; }
    int PictureMode() const { return m_pictureMode; }
    int PushedViewMode() const { return m_pushedViewMode; }
    bool IsViewPushed() const { return m_viewPushed; }
    bool InRenderTarget() const { return m_inRenderTarget; }
    // Entries on the view stack shared by all picture scenes.
    static std::size_t ViewStackDepth();

protected:
    gfx::Texture* PictureTexture() const { return m_background.Texture(); }
    void SetTargetTexture(gfx::Texture* texture) { m_targetTexture = gfx::Ref<gfx::Texture>(texture); }
    // The camera sets the thread's view for the view quad and the picture.
    void ApplyCameraView(int mode, bool viewPushed);
    // The picture quad with `texture` through the camera, no parallax.
    void DrawPictureQuad(gfx::Device& device, RenderContext& context, gfx::Texture* texture);

    DS_ImageFileLink m_backgroundLink{kDefaultPictureId, kxi_string(kDefaultPictureModule)};
    DSM_Camera m_camera;
    PictureQuad m_background;
    gfx::Ref<gfx::Texture> m_targetTexture;
    int m_pictureMode = PicturePosition::kFit;
    int m_pushedViewMode = PicturePosition::kFit;
    RenderTargetPair m_pair;
    CallbackControlList<DS_2D_Light> m_controls{this};
    QuadVertices m_viewQuad;
    bool m_viewPushed = false;
    bool m_inRenderTarget = false;

private:
    void PublishScreenInfo();
    // Ends a render-target pass the objects left open and draws what it holds.
    void FinishOpenRenderTarget(int& counter);
    math::Matrix ParallaxMatrix(const KXI_RenderObj& object, const RenderContext& context) const;

    static void PushViewQuad(const QuadVertices& quad);
    static bool PopViewQuad(QuadVertices* quad);
};

// Reads a polymorphic light record: the class name is looked up in the
// light registry ("DS_2D_Light" and the light variants). A name the
// registry does not know refuses the document (DS_Error).
std::unique_ptr<DS_2D_Light> ReadLightObject(ArchiveReader ar);
