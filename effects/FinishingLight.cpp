#include "effects/FinishingLight.h"

#include "platform/gfx/Device.h"
#include "render/ABObjConstructor.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"

bool FrameFinishingLight::AddBoundingRect(BoundingRectList& rects) const
{
    return AddPictureBoundingRect(rects);
}

void FrameFinishingLight::DrawFramePlainly(gfx::Texture* frame)
{
    gfx::Device* device = GetResourceDevice();
    RenderContext* context = g_RenderContextTls;
    if (!device || !context || !frame)
        return;
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, gfx::kFalse);
    DrawPictureQuad(*device, *context, frame);
}
