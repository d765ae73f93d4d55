#include "render/RenderContext.h"

#include "platform/gfx/Device.h"
#include "platform/math/MathFunctions.h"

thread_local RenderContext* g_RenderContextTls = nullptr;

namespace {

// How far the bars reach beyond the canvas, in canvas units.
constexpr float kBarDepth = 1000.0f;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

// The inverse of `m`; a singular matrix (a view or zoom of scale 0) has
// none and gives the identity, so no reader meets infinities.
math::Matrix InverseOrIdentity(const math::Matrix& m)
{
    math::Matrix inverse;
    if (!math::MatrixInverse(&inverse, nullptr, m))
        return math::Matrix{};
    return inverse;
}

// The size of the device's current render target 0 (0 x 0 when there is
// none, which gives an identity projection).
gfx::SurfaceDesc RenderTargetDesc(gfx::Device& device)
{
    gfx::SurfaceDesc desc;
    gfx::Surface* raw = nullptr;
    if (device.GetRenderTarget(0, &raw) < 0 || !raw)
        return desc;
    const auto target = gfx::Ref<gfx::Surface>::Adopt(raw);
    if (target->GetDesc(&desc) < 0)
        return gfx::SurfaceDesc{};
    return desc;
}

} // namespace

RenderContext::RenderContext() : m_viewState(std::make_unique<ViewState>()) {}

RenderContext::~RenderContext() = default;

FitRect ViewRectOfQuad(const QuadVertices& viewQuad)
{
    const auto& v = viewQuad.vertices;
    return {v[0].x, v[1].y, v[3].x - v[0].x, v[2].y - v[1].y};
}

void RenderContext::SetViewFromCamera(gfx::Device& device, const QuadVertices& viewQuad, PixelSize picture,
                                      PixelSize canvas, int newMode, bool viewPushed)
{
    SetView(device, ViewRectOfQuad(viewQuad), static_cast<float>(canvas.width),
            static_cast<float>(canvas.height), newMode);
    pictureWidth = static_cast<float>(picture.width);
    pictureHeight = static_cast<float>(picture.height);
    m_viewState->Fit(device, TruncateToInt(viewWidth), TruncateToInt(viewHeight), picture.width, picture.height,
                     newMode, viewPushed);
}

void RenderContext::SetView(gfx::Device& device, const FitRect& rect, float newCanvasWidth, float newCanvasHeight,
                            int newMode)
{
    const gfx::SurfaceDesc target = RenderTargetDesc(device);
    SetViewForTarget(rect, newCanvasWidth, newCanvasHeight, newMode, static_cast<float>(target.width),
                     static_cast<float>(target.height));
}

void RenderContext::SetViewForTarget(const FitRect& rect, float newCanvasWidth, float newCanvasHeight,
                                     int newMode, float targetWidth, float targetHeight)
{
    canvasWidth = newCanvasWidth;
    canvasHeight = newCanvasHeight;
    viewWidth = rect.width;
    viewHeight = rect.height;
    mode = newMode;

    const float w = canvasWidth;
    const float h = canvasHeight;
    const FitRect fit = FitPictureRect(w, h, rect.width, rect.height, newMode);
    viewRightEdge = (rect.width - fit.x) * GuardedDivide(w, fit.width);

    projection = OrthoOverTarget(targetWidth, targetHeight);

    // An empty canvas collapses to the view's corner: nothing drawn on it
    // shows, and nothing stored is infinite.
    view = Scaling2D(GuardedDivide(fit.width, w), GuardedDivide(fit.height, h)) *
           Translation2D(rect.x + fit.x, rect.y + fit.y);
    inverseView = InverseOrIdentity(view);

    PlaceBorderBars();
}

std::array<BarCorners, RenderContext::kBarCount> BorderBarCorners(float w, float h)
{
    const float d = kBarDepth;
    std::array<BarCorners, RenderContext::kBarCount> bars;
    bars[RenderContext::kTopBar] = {{{w + d, -d, 0}, {w + d, 0, 0}, {-d, -d, 0}, {-d, 0, 0}}};
    bars[RenderContext::kLeftBar] = {{{-d, -d, 0}, {0, -d, 0}, {-d, h + d, 0}, {0, h + d, 0}}};
    bars[RenderContext::kBottomBar] = {{{-d, h + d, 0}, {-d, h, 0}, {w + d, h + d, 0}, {w + d, h, 0}}};
    bars[RenderContext::kRightBar] = {{{w + d, h + d, 0}, {w, h + d, 0}, {w + d, -d, 0}, {w, -d, 0}}};
    return bars;
}

void RenderContext::PlaceBorderBars()
{
    const auto corners = BorderBarCorners(canvasWidth, canvasHeight);
    for (std::size_t i = 0; i < m_bars.size(); ++i)
        m_bars[i].SetPositions(corners[i][0], corners[i][1], corners[i][2], corners[i][3]);
}

void RenderContext::SetPanZoom(float zoom, float panX, float panY)
{
    const float w = canvasWidth;
    const float h = canvasHeight;
    scene = Translation2D(panX * w, panY * h) * Translation2D(-w / 2.0f, -h / 2.0f) * Scaling2D(zoom, zoom) *
            Translation2D(w / 2.0f, h / 2.0f);
    inverseScene = InverseOrIdentity(scene);
}

void RenderContext::SetCameraView(std::uint32_t cameraPictureWidth, std::uint32_t cameraPictureHeight,
                                  const math::Vec3& centre, float scale, bool active)
{
    cameraActive = active;
    const float w = canvasWidth;
    const float h = canvasHeight;
    camera = Translation2D(w / 2.0f - centre.x, h / 2.0f - centre.y) * Translation2D(-w / 2.0f, -h / 2.0f) *
             Scaling2D(scale, scale) * Translation2D(w / 2.0f, h / 2.0f);
    parallaxOffset.x = static_cast<float>(cameraPictureWidth) * 0.5f - centre.x;
    parallaxOffset.y = static_cast<float>(cameraPictureHeight) * 0.5f - centre.y;
}

math::Matrix* RenderContext::GetWorldMatrix(math::Matrix* out, const math::Matrix& objectMatrix) const
{
    math::Matrix world = objectMatrix;
    if (mode != PicturePosition::kRenderTarget)
        world = world * (cameraActive ? camera : scene);
    if (cameraActive)
        world = world * parallax;
    *out = world;
    return out;
}

math::Matrix RenderContext::WorldMatrix(const math::Matrix& objectMatrix) const
{
    math::Matrix world;
    GetWorldMatrix(&world, objectMatrix);
    return world;
}

void RenderContext::SetWorldTransform(gfx::Device& device, const math::Matrix& objectMatrix) const
{
    device.SetTransform(gfx::TransformState::World, WorldMatrix(objectMatrix));
}

void RenderContext::ResetBorderBars(gfx::Device& device)
{
    for (ColorQuad& bar : m_bars)
        bar.SetRectColor(device, FitRect{}, kOpaqueBlack);
}

void RenderContext::DrawBorderBars(gfx::Device& device) const
{
    device.SetTransform(gfx::TransformState::View, view);
    device.SetTransform(gfx::TransformState::Projection, projection);
    // The bars frame the canvas, not the picture under the camera.
    device.SetTransform(gfx::TransformState::World, scene);
    device.SetTextureStageState(0, gfx::TextureStageState::ColorArg1, gfx::TextureArg::Diffuse);
    device.SetTextureStageState(0, gfx::TextureStageState::AlphaArg1, gfx::TextureArg::Diffuse);
    for (const ColorQuad& bar : m_bars) {
        bar.BindStream(device);
        bar.DrawStrip(device);
    }
    device.SetTextureStageState(0, gfx::TextureStageState::ColorArg1, gfx::TextureArg::Texture);
    device.SetTextureStageState(0, gfx::TextureStageState::AlphaArg1, gfx::TextureArg::Texture);
}

void RenderContext::DestroyBorderBars()
{
    for (ColorQuad& bar : m_bars)
        bar.ReleaseBuffer();
}
