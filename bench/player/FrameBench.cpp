// One full frame of the demo scene at 1920 x 1080 on a headless device: the
// slide show's update, the frame render and the present (which waits until
// the frame is drawn). Beside it, the baseline of any frame on the same
// device: one 1920 x 1080 picture drawn as one textured quad over the whole
// target and presented. The two read side by side tell how much a plain
// slide frame costs beyond the one blit it cannot do without.

#include <benchmark/benchmark.h>

#include <cstring>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/ResourceAdapters.h"
#include "player/WallpaperPlayer.h"
#include "render/ResourceLoading.h"

namespace {

constexpr std::uint32_t kFrameWidth = 1920, kFrameHeight = 1080;

// A pre-transformed textured corner (XYZRHW | TEX1).
struct BlitVertex {
    static constexpr std::uint32_t kFvf = 0x104;
    float x, y, z, rhw, u, v;
};

// A managed 1920 x 1080 picture: a colour ramp, so that every texel differs.
gfx::Ref<gfx::Texture> MakeFramePicture(gfx::Device& device)
{
    gfx::Texture* raw = nullptr;
    if (device.CreateTexture(kFrameWidth, kFrameHeight, 1, 0, gfx::Format::X8R8G8B8, gfx::Pool::Managed, &raw) !=
        gfx::kOk)
        return nullptr;
    auto texture = gfx::Ref<gfx::Texture>::Adopt(raw);
    gfx::LockedRect locked;
    if (texture->LockRect(0, &locked, nullptr, 0) != gfx::kOk)
        return nullptr;
    for (std::uint32_t y = 0; y < kFrameHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch);
        for (std::uint32_t x = 0; x < kFrameWidth; ++x)
            row[x] = 0xFF000000u | ((x * 255 / kFrameWidth) << 16) | ((y * 255 / kFrameHeight) << 8) | 0x40u;
    }
    texture->UnlockRect(0);
    return texture;
}

// Four corners over the whole target, in strip order.
gfx::Ref<gfx::VertexBuffer> MakeFullTargetQuad(gfx::Device& device)
{
    const float w = float(kFrameWidth), h = float(kFrameHeight);
    const BlitVertex corners[4] = {
        {0, h, 0, 1, 0, 1}, {0, 0, 0, 1, 0, 0}, {w, h, 0, 1, 1, 1}, {w, 0, 0, 1, 1, 0}};
    gfx::VertexBuffer* raw = nullptr;
    if (device.CreateVertexBuffer(sizeof corners, 0, BlitVertex::kFvf, gfx::Pool::Managed, &raw) != gfx::kOk)
        return nullptr;
    auto buffer = gfx::Ref<gfx::VertexBuffer>::Adopt(raw);
    void* data = nullptr;
    if (buffer->Lock(0, 0, &data, 0) != gfx::kOk)
        return nullptr;
    std::memcpy(data, corners, sizeof corners);
    buffer->Unlock();
    return buffer;
}

void BM_BareBlit1080p(benchmark::State& state)
{
    std::string error;
    auto device = gfx::CreateHeadlessDevice(kFrameWidth, kFrameHeight, &error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    const auto picture = MakeFramePicture(*device);
    const auto quad = MakeFullTargetQuad(*device);
    if (!picture || !quad) {
        state.SkipWithError("cannot make the picture or its quad");
        return;
    }
    using gfx::TextureStageState;
    device->SetRenderState(gfx::RenderState::ZEnable, gfx::kFalse);
    device->SetRenderState(gfx::RenderState::Lighting, gfx::kFalse);
    device->SetRenderState(gfx::RenderState::CullMode, std::uint32_t(gfx::Cull::None));
    device->SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(gfx::TextureOp::SelectArg1));
    device->SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Texture);
    device->SetSamplerState(0, gfx::SamplerState::MinFilter, std::uint32_t(gfx::TextureFilter::Linear));
    device->SetSamplerState(0, gfx::SamplerState::MagFilter, std::uint32_t(gfx::TextureFilter::Linear));
    for (auto _ : state) {
        device->BeginScene();
        device->SetTexture(0, picture.Get());
        device->SetFVF(BlitVertex::kFvf);
        device->SetStreamSource(0, quad.Get(), 0, sizeof(BlitVertex));
        device->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
        device->EndScene();
        device->Present();
    }
}
BENCHMARK(BM_BareBlit1080p)->Unit(benchmark::kMillisecond);

void BM_DemoSceneFrame1080p(benchmark::State& state)
{
    constexpr std::uint32_t width = kFrameWidth, height = kFrameHeight;
    InstallPlayerDocumentClasses();
    player::InstallResourceFinders();
    std::string error;
    auto device = gfx::CreateHeadlessDevice(width, height, &error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    ResourceDeviceScope resourceDevice(device.get());
    player::WallpaperPlayer wallpaper;
    wallpaper.SetMonitors({win::MonitorEntry{nullptr, win::RECT{0, 0, width, height}}});
    wallpaper.SetDeviceWindowSize(width, height);
    wallpaper.DeviceReset(*device);
    const kxi_string path = crt::FromUtf8(ORVANTA_DEMO_SCENE_FILE);
    wallpaper.LoadScene([path] { return OpenDocumentFile(path); });
    wallpaper.SetPicturePosition(1);
    double time = 0.0;
    for (auto _ : state) {
        wallpaper.FrameMove(time);
        wallpaper.FrameRender(*device);
        device->Present();
        time += 0.03;
    }
}
BENCHMARK(BM_DemoSceneFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace
