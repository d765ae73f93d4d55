// The picture scene's frame: render-target passes, the hand-over of the
// picture drawn so far, and the objects drawn last to first with parallax.

#include <algorithm>
#include <limits>

#include "platform/gfx/Device.h"
#include "platform/math/MathFunctions.h"
#include "render/ABObjConstructor.h"
#include "render/PictureScene.h"
#include "render/RenderContext.h"
#include "render/RenderObject.h"
#include "render/ResourceLoading.h"

namespace {

// The depth an object lies at when its description has none.
constexpr std::uint32_t kPictureDepth = DS_ABObj_Constructor::kPictureDepth;
// The smallest depth the parallax uses, in percent.
constexpr std::uint32_t kMinDepth = 1;

std::uint32_t DepthOf(const KXI_RenderObj& object)
{
    const auto* description = dynamic_cast<const DS_ABObj_Constructor*>(object.Description());
    return description ? description->depth.value : kPictureDepth;
}

} // namespace

float DS_2D_Light::ParallaxFactor(std::uint32_t depthPercent)
{
    const std::uint32_t depth = std::max(depthPercent, kMinDepth);
    return 100.0f / static_cast<float>(depth) - 1.0f;
}

math::Matrix DS_2D_Light::ParallaxMatrix(const KXI_RenderObj& object, const RenderContext& context) const
{
    const float k = ParallaxFactor(DepthOf(object));
    const math::Vec3& offset = context.parallaxOffset;
    math::Matrix parallax;
    math::MatrixTranslation(&parallax, k * offset.x, k * offset.y, k * offset.z);
    return parallax;
}

// ---- render-target mode ----------------------------------------------------------

bool DS_2D_Light::BeginRenderTarget()
{
    if (m_inRenderTarget || !m_pair.IsValid())
        return false;
    // The pair holds the frame itself: it is written as the frame is.
    if (!m_pair.Begin(m_pair.CurrentTexture(), TargetChannels::Frame))
        return false;
    if (const RenderContext* context = g_RenderContextTls)
        m_pictureMode = context->mode;
    m_inRenderTarget = true;
    PushViewQuad(m_viewQuad);
    m_viewQuad = QuadVertices::FromRect(0.0f, 0.0f, static_cast<float>(m_pair.Width()),
                                        static_cast<float>(m_pair.Height()));
    ApplyCameraView(PicturePosition::kRenderTarget, false);
    return true;
}

gfx::Texture* DS_2D_Light::NextPingPongTarget()
{
    if (!m_inRenderTarget)
        return nullptr;
    return m_pair.Swap();
}

gfx::Texture* DS_2D_Light::EndRenderTarget(bool clear)
{
    if (!m_inRenderTarget)
        return nullptr;
    m_pair.End();
    m_inRenderTarget = false;
    if (gfx::Device* device = GetResourceDevice(); device && clear)
        device->Clear(0, nullptr, gfx::ClearFlags::Target | gfx::ClearFlags::ZBuffer, kEndClearColour, 1.0f, 0);
    QuadVertices restored;
    if (PopViewQuad(&restored))
        m_viewQuad = restored;
    // A view an object pushed inside the pass is gone with the stack: later
    // views (one per monitor) must apply again.
    if (ViewStackDepth() == 0)
        m_viewPushed = false;
    ApplyCameraView(m_pictureMode, false);
    return m_pair.CurrentTexture();
}

void DS_2D_Light::SwitchRenderTarget(int& counter)
{
    if (counter > 0)
        --counter;
    // Without a pass in progress (no pair could be made) the reader gets the
    // picture, which RenderObjects set as the target texture.
    if (!m_inRenderTarget)
        return;
    gfx::Texture* finished = counter > 0 ? m_pair.Swap() : EndRenderTarget(false);
    SetTargetTexture(finished);
}

// ---- the objects' frame ---------------------------------------------------------

int DS_2D_Light::CountRenderTargetPasses(const RenderObjectList& objects) const
{
    std::int64_t passes = NeedsRenderTarget() ? 1 : 0;
    for (const auto& object : objects)
        if (object && object->IsEnabled())
            passes += std::max(object->NeedsRenderTarget(), 0);
    return static_cast<int>(std::min<std::int64_t>(passes, std::numeric_limits<int>::max()));
}

void DS_2D_Light::RenderFrame(const RenderObjectList& objects, bool noClear)
{
    int counter = CountRenderTargetPasses(objects);
    if (counter > 0)
        BeginRenderTarget();
    DrawBackground(noClear);
    RenderObjects(objects, counter);
}

void DS_2D_Light::RenderObjects(const RenderObjectList& objects, int& counter)
{
    SetTargetTexture(PictureTexture());
    RenderContext* context = g_RenderContextTls;
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        KXI_RenderObj* object = it->get();
        if (object && object->IsEnabled()) {
            if (context)
                context->parallax = ParallaxMatrix(*object, *context);
            object->RenderTo(*this, counter);
        }
        SetTargetTexture(PictureTexture());
    }
    if (context)
        context->parallax = math::Matrix{};
    FinishOpenRenderTarget(counter);
}

void DS_2D_Light::FinishOpenRenderTarget(int& counter)
{
    // A light that reads the picture itself keeps its own pass open and
    // ends it in its own drawing.
    const int lightPasses = NeedsRenderTarget() ? 1 : 0;
    if (counter <= lightPasses)
        return;
    counter = lightPasses;
    if (lightPasses > 0 || !m_inRenderTarget)
        return;
    gfx::Texture* finished = EndRenderTarget(false);
    gfx::Device* device = GetResourceDevice();
    RenderContext* context = g_RenderContextTls;
    if (!device || !context || !finished)
        return;
    // The finished picture replaces what the restored target holds.
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, gfx::kFalse);
    DrawPictureQuad(*device, *context, finished);
}
