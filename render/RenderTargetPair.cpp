#include "render/RenderTargetPair.h"

#include <algorithm>

#include "platform/gfx/Device.h"
#include "render/ResourceLoading.h"

RenderTargetSizing g_RenderTargetSizing;

namespace {

// The largest multiple to try: the multiplier, but never one whose size
// exceeds what any device makes (a huge multiplier would otherwise try
// every smaller one in turn).
std::int64_t LargestUsefulMultiple(const RenderTargetSizing& sizing)
{
    const std::int64_t side = std::max<std::int64_t>(sizing.baseWidth, sizing.baseHeight);
    if (side <= 0)
        return 0;
    return std::min<std::int64_t>(sizing.multiplier, kMaxRenderTargetSide / side);
}

} // namespace

bool RenderTargetPair::Create()
{
    const RenderTargetSizing sizing = g_RenderTargetSizing;
    if (sizing.multiplier <= 0)
        return false;
    for (std::int64_t k = LargestUsefulMultiple(sizing); k >= 1; --k) {
        const std::int64_t width = k * sizing.baseWidth;
        const std::int64_t height = k * sizing.baseHeight;
        if (width <= 0 || height <= 0)
            continue;
        if (MakeTextures(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height))) {
            SelectCurrent();
            return true;
        }
    }
    ReleaseTextures();
    return false;
}

bool RenderTargetPair::Resize(std::int32_t width, std::int32_t height)
{
    m_width = width;
    m_height = height;
    if (width <= 0 || height <= 0)
        return false;
    if (!MakeTextures(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)))
        return false;
    SelectCurrent();
    return true;
}

bool RenderTargetPair::ResizeAndCopy(gfx::Texture* source, std::int32_t width, std::int32_t height)
{
    if (!Resize(width, height))
        return false;
    gfx::Device* device = GetResourceDevice();
    if (source && device)
        CopyLevelZero(*device, m_current.Get(), source);
    return true;
}

void RenderTargetPair::ReleaseTextures()
{
    m_current.Reset();
    for (auto& texture : m_textures)
        texture.Reset();
}

bool RenderTargetPair::Begin(gfx::Texture* texture, TargetChannels channels)
{
    gfx::Device* device = GetResourceDevice();
    if (!device || !texture)
        return false;
    m_saved.Drop();
    return m_saved.Redirect(*device, texture, channels);
}

void RenderTargetPair::End()
{
    if (gfx::Device* device = GetResourceDevice()) {
        m_saved.Restore(*device);
        return;
    }
    m_saved.Drop();
}

gfx::Texture* RenderTargetPair::Swap()
{
    m_index = 1 - m_index;
    m_current = m_textures[static_cast<std::size_t>(m_index)];
    gfx::Device* device = GetResourceDevice();
    if (m_current && device) {
        const gfx::Ref<gfx::Surface> level = m_current->SurfaceLevel(0);
        if (level && device->SetRenderTarget(0, level.Get()) == gfx::kOk)
            device->Clear(0, nullptr, gfx::ClearFlags::Target, kSwapClearColour, 1.0f, 0);
    }
    return m_textures[static_cast<std::size_t>(1 - m_index)].Get();
}

bool RenderTargetPair::MakeTextures(std::uint32_t width, std::uint32_t height)
{
    ReleaseTextures();
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return false;
    for (auto& texture : m_textures) {
        if (CreateRenderTargetTexture(*device, texture, width, height, gfx::Usage::RenderTarget) != gfx::kOk) {
            ReleaseTextures();
            return false;
        }
    }
    return true;
}

void RenderTargetPair::SelectCurrent()
{
    m_current = m_textures[static_cast<std::size_t>(m_index)];
    const TextureSize size = LevelZeroSize(m_current.Get());
    m_width = static_cast<std::int32_t>(size.width);
    m_height = static_cast<std::int32_t>(size.height);
}
