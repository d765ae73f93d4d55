#pragma once
// RenderContext: the per-thread record of how scene objects are drawn. Every
// thread that draws a scene owns one, found through its slot
// g_RenderContextTls; objects reach it there, never through arguments.
//
// Three coordinate spaces meet here:
//   the picture  the background picture's pixels;
//   the canvas   where scene objects are placed: the picture size, the
//                picture size / camera zoom, or the camera's path size;
//   the target   the pixels of the current render target.
// The view matrix maps the canvas into its fitted rectangle inside the view
// rectangle (for the picture-position mode); the projection maps target
// pixels to the device (y downward). Four black border bars mask everything
// around the fitted canvas.
//
// Matrices are row-vector (p x M; A x B applies A first).

#include <array>
#include <cstdint>
#include <memory>

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"
#include "render/PictureFit.h"
#include "render/QuadVertices.h"
#include "render/ScreenQuad.h"
#include "render/ViewState.h"

namespace gfx {
class Device;
}

// A width and a height in whole pixels (a picture's, or a canvas's).
struct PixelSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

class RenderContext {
public:
    enum BarIndex { kTopBar = 0, kLeftBar = 1, kBottomBar = 2, kRightBar = 3, kBarCount = 4 };

    // All matrices identity, sizes and offsets 0, camera inactive, four
    // empty bars, mode Fit; the context owns its ViewState from the start.
    RenderContext();
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;
    ~RenderContext();

    // The one entry by which a view is set (the camera calls it): the view
    // rectangle is read from `viewQuad`, the canvas (canvas.width x
    // canvas.height) is fitted into it for `mode`, and the ViewState
    // letterboxes the picture into the same view. `viewPushed` is true while
    // a view is pushed for a render-target pass (see ViewState::Fit).
    void SetViewFromCamera(gfx::Device& device, const QuadVertices& viewQuad, PixelSize picture, PixelSize canvas,
                           int mode, bool viewPushed);

    // Builds projection (over the device's current render target), view,
    // inverse view, the view's right edge and the positions of the bars.
    void SetView(gfx::Device& device, const FitRect& rect, float canvasWidth, float canvasHeight, int mode);
    // SetView's arithmetic with the render target's size given.
    void SetViewForTarget(const FitRect& rect, float canvasWidth, float canvasHeight, int mode, float targetWidth,
                          float targetHeight);

    // The scene (pan/zoom) matrix: the canvas scaled by `zoom` about its
    // centre and moved by (panX, panY) canvas sizes. The player passes
    // (1, 0, 0) before each frame.
    void SetPanZoom(float zoom, float panX, float panY);

    // The camera matrix (the centre lands in the middle of the canvas and the
    // picture is scaled by `scale` about it), the parallax offsets (how far
    // the centre lies from the picture's centre) and the camera-active flag.
    void SetCameraView(std::uint32_t pictureWidth, std::uint32_t pictureHeight, const math::Vec3& centre,
                       float scale, bool active);

    // The world matrix for an object matrix: the object matrix, then the
    // camera (when active) or the scene matrix, then the parallax while the
    // camera is active. In the render-target mode neither the camera nor
    // the scene matrix applies.
    math::Matrix* GetWorldMatrix(math::Matrix* out, const math::Matrix& objectMatrix) const;
    math::Matrix WorldMatrix(const math::Matrix& objectMatrix) const;
    // The device's world transform := WorldMatrix(objectMatrix).
    void SetWorldTransform(gfx::Device& device, const math::Matrix& objectMatrix) const;

    // Each bar becomes an empty rectangle of opaque black, its vertex buffer
    // (re)created. Called when a picture scene creates its device objects;
    // the bars take their places at the next view. A bar whose buffer
    // cannot be made draws nothing.
    void ResetBorderBars(gfx::Device& device);
    // Draws the four bars through the view and projection with the scene
    // matrix as world: the bars stay put when the camera moves.
    void DrawBorderBars(gfx::Device& device) const;
    // Releases the bars' vertex buffers.
    void DestroyBorderBars();

    ViewState& GetViewState() { return *m_viewState; }
    const ViewState& GetViewState() const { return *m_viewState; }
    const ColorQuad& Bar(int index) const { return m_bars[static_cast<std::size_t>(index)]; }

    math::Matrix projection;
    math::Matrix view;
    math::Matrix inverseView;
    math::Matrix scene;
    math::Matrix inverseScene;
    math::Matrix camera;
    // Set per object by the picture scene while objects are rendered.
    math::Matrix parallax;
    math::Vec3 parallaxOffset;
    float canvasWidth = 0.0f;
    float canvasHeight = 0.0f;
    float pictureWidth = 0.0f;
    float pictureHeight = 0.0f;
    float viewWidth = 0.0f;
    float viewHeight = 0.0f;
    // The canvas x that lands on the right edge of the view rectangle.
    float viewRightEdge = 0.0f;
    bool cameraActive = false;
    int mode = PicturePosition::kFit;

private:
    void PlaceBorderBars();

    std::array<ColorQuad, kBarCount> m_bars;
    std::unique_ptr<ViewState> m_viewState;
};

// The corners of the four border bars (top, left, bottom, right; each in
// strip order) around a canvas of canvasWidth x canvasHeight, in canvas
// units: bands reaching 1000 units beyond each edge, so that drawn through
// the view matrix they cover everything around the fitted canvas.
using BarCorners = std::array<math::Vec3, 4>;
std::array<BarCorners, RenderContext::kBarCount> BorderBarCorners(float canvasWidth, float canvasHeight);

// The view rectangle {x, y, width, height} of a view quad: x from the
// bottom-left corner, y from the top-left, the width to the top-right
// corner and the height to the bottom-left.
FitRect ViewRectOfQuad(const QuadVertices& viewQuad);

// The calling thread's render context, or null. The context is owned by
// whoever installed it (the player, a slide show, a test).
extern thread_local RenderContext* g_RenderContextTls;

// Makes `context` the thread's current one for the scope's lifetime and
// restores the previous one after.
class CurrentRenderContextScope {
public:
    explicit CurrentRenderContextScope(RenderContext* context) : m_previous(g_RenderContextTls)
    {
        g_RenderContextTls = context;
    }
    ~CurrentRenderContextScope() { g_RenderContextTls = m_previous; }
    CurrentRenderContextScope(const CurrentRenderContextScope&) = delete;
    CurrentRenderContextScope& operator=(const CurrentRenderContextScope&) = delete;

private:
    RenderContext* m_previous;
};
