#include "render/QuadVertices.h"

#include "platform/gfx/Device.h"
#include "render/RenderTargetPairTextures.h"

void QuadVertices::FillTarget(const gfx::Device& device)
{
    const gfx::SurfaceDesc backBuffer = GetBackBufferDesc(device);
    *this = FromRect(0.0f, 0.0f, static_cast<float>(backBuffer.width), static_cast<float>(backBuffer.height));
}

void QuadVertices::ScaleToTarget(const gfx::Device& device, int a, int b)
{
    const gfx::SurfaceDesc backBuffer = GetBackBufferDesc(device);
    ScaleToSize(static_cast<float>(backBuffer.width), static_cast<float>(backBuffer.height), a, b);
}

void QuadVertices::ScaleToSize(float targetWidth, float targetHeight, int a, int b)
{
    for (QuadVertex& corner : vertices) {
        if (a > 0)
            corner.x *= targetWidth / static_cast<float>(a);
        if (b > 0)
            corner.y *= targetHeight / static_cast<float>(b);
    }
}
