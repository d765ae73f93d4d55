// Frames of the demo scene at 1920 x 1080 on a headless device: the slide
// show's update, the frame render and the present (which waits until the
// frame is drawn). Beside them, the baseline of any frame on the same
// device: one 1920 x 1080 picture drawn as one textured quad over the whole
// target and presented. Read side by side they tell how much a slide's
// frame costs beyond the one blit it cannot do without.
//
// Every frame benchmark draws a few frames before timing (shader compiles,
// first uploads), and each iteration times the same window of
// kWindowFrames frames, so the figure does not depend on how many
// iterations the library runs. BM_DemoSlideFrame1080p/N times slide N
// after its fade-in and reports the full-target passes (draws covering the
// whole target, copies of a whole target) and clears per frame.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/ResourceAdapters.h"
#include "player/SlideShow.h"
#include "player/WallpaperPlayer.h"
#include "render/ResourceLoading.h"

namespace {

constexpr std::uint32_t kFrameWidth = 1920, kFrameHeight = 1080;
// Frames drawn before timing, and frames per timed iteration, 0.03 s of
// scene time apart (the player's frame step at its middle setting).
constexpr int kWarmUpFrames = 3;
constexpr int kWindowFrames = 8;
constexpr double kFrameStep = 0.03;
// Slides of the demo scene (tools/demoscene); a benchmark fails when the
// scene has another count, so that a new slide gets its figure.
constexpr int kDemoSlides = 20;

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

// Counters per frame of the timed window: full-target passes (draws and
// copies) and clears counted by the device between `before` and `after`.
void ReportPerFrame(benchmark::State& state, const gfx::FullTargetPasses& before, const gfx::FullTargetPasses& after)
{
    const double frames = double(state.iterations()) * kWindowFrames;
    if (frames <= 0)
        return;
    state.counters["frames"] = frames;
    state.counters["passes"] = double(after.Passes() - before.Passes()) / frames;
    state.counters["clears"] = double(after.clears - before.clears) / frames;
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
    const auto blit = [&] {
        device->BeginScene();
        device->SetTexture(0, picture.Get());
        device->SetFVF(BlitVertex::kFvf);
        device->SetStreamSource(0, quad.Get(), 0, sizeof(BlitVertex));
        device->DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
        device->EndScene();
        device->Present();
    };
    for (int i = 0; i < kWarmUpFrames; ++i)
        blit();
    const gfx::FullTargetPasses before = device->FullTargetPassCount();
    for (auto _ : state)
        for (int i = 0; i < kWindowFrames; ++i)
            blit();
    ReportPerFrame(state, before, device->FullTargetPassCount());
}
BENCHMARK(BM_BareBlit1080p)->Unit(benchmark::kMillisecond);

// The player with the demo scene loaded on a 1920 x 1080 headless device,
// shown as the player shows it on one monitor of that size.
struct DemoScenePlayer {
    DemoScenePlayer()
    {
        InstallPlayerDocumentClasses();
        player::InstallResourceFinders();
        device = gfx::CreateHeadlessDevice(kFrameWidth, kFrameHeight, &error);
        if (!device)
            return;
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        wallpaper.SetMonitors({win::MonitorEntry{nullptr, win::RECT{0, 0, kFrameWidth, kFrameHeight}}});
        wallpaper.SetDeviceWindowSize(kFrameWidth, kFrameHeight);
        wallpaper.DeviceReset(*device);
        const kxi_string path = crt::FromUtf8(ORVANTA_DEMO_SCENE_FILE);
        wallpaper.LoadScene([path] { return OpenDocumentFile(path); });
        wallpaper.SetPicturePosition(1);
        if (!wallpaper.Scene())
            error = "cannot load the demo scene";
    }

    // False, with the benchmark skipped, when the device or the scene could
    // not be made.
    bool Ready(benchmark::State& state) const
    {
        if (error.empty())
            return true;
        state.SkipWithError(error.c_str());
        return false;
    }

    void Frame(double time)
    {
        wallpaper.FrameMove(time);
        wallpaper.FrameRender(*device);
        device->Present();
    }

    // Moves the show on to the start of slide `index` (the current slide
    // included: the show goes once round), whose objects restart there.
    // Returns the scene time at which the slide's fade-in has ended.
    double EnterSlide(int index)
    {
        DS_SlideShow_Light& show = *wallpaper.Scene();
        if (show.CurrentIndex() < 0)
            wallpaper.FrameMove(0.0);
        do {
            const DS_SlideContainer& slide = *show.CurrentSlide();
            const double end =
                double(show.SlideStart()) + slide.fadeIn.value + slide.hold.value + slide.fadeOut.value;
            wallpaper.FrameMove(end + 0.001);
        } while (show.CurrentIndex() != index);
        return double(show.SlideStart()) + show.CurrentSlide()->fadeIn.value;
    }

    std::string error;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    player::WallpaperPlayer wallpaper;
};

// Loading the demo scene takes seconds (pictures decoded, effects compiled),
// more than drawing a slide's frames: the slide benchmarks share one player,
// made at its first use and kept for the rest of the process. Each of them
// enters its slide afresh, so what an earlier one left does not matter.
DemoScenePlayer& SharedDemoScenePlayer()
{
    static DemoScenePlayer* const shared = new DemoScenePlayer;
    return *shared;
}

void BM_DemoSceneFrame1080p(benchmark::State& state)
{
    DemoScenePlayer demo;
    if (!demo.Ready(state))
        return;
    double time = 0.0;
    for (int i = 0; i < kWarmUpFrames; ++i, time += kFrameStep)
        demo.Frame(time);
    const gfx::FullTargetPasses before = demo.device->FullTargetPassCount();
    for (auto _ : state)
        for (int i = 0; i < kWindowFrames; ++i, time += kFrameStep)
            demo.Frame(time);
    ReportPerFrame(state, before, demo.device->FullTargetPassCount());
}
BENCHMARK(BM_DemoSceneFrame1080p)->Unit(benchmark::kMillisecond);

// Slide N of the demo scene, held after its fade-in: every iteration enters
// the slide afresh (untimed), draws the last frames of its fade-in
// (untimed), then times the first kWindowFrames frames after it.
void BM_DemoSlideFrame1080p(benchmark::State& state)
{
    DemoScenePlayer& demo = SharedDemoScenePlayer();
    if (!demo.Ready(state))
        return;
    const auto& slides = demo.wallpaper.Scene()->Slides();
    if (slides.size() != std::size_t(kDemoSlides)) {
        state.SkipWithError("the demo scene's slide count is not kDemoSlides");
        return;
    }
    const int index = int(state.range(0));
    if (slides[std::size_t(index)])
        state.SetLabel(crt::ToUtf8(slides[std::size_t(index)]->name.value));
    gfx::FullTargetPasses counted;
    for (auto _ : state) {
        state.PauseTiming();
        const double held = demo.EnterSlide(index);
        for (int i = kWarmUpFrames; i > 0; --i)
            demo.Frame(held - i * kFrameStep);
        const gfx::FullTargetPasses before = demo.device->FullTargetPassCount();
        state.ResumeTiming();
        for (int i = 0; i < kWindowFrames; ++i)
            demo.Frame(held + i * kFrameStep);
        state.PauseTiming();
        const gfx::FullTargetPasses& after = demo.device->FullTargetPassCount();
        counted.draws += after.draws - before.draws;
        counted.copies += after.copies - before.copies;
        counted.clears += after.clears - before.clears;
        state.ResumeTiming();
    }
    ReportPerFrame(state, gfx::FullTargetPasses{}, counted);
}
BENCHMARK(BM_DemoSlideFrame1080p)->DenseRange(0, kDemoSlides - 1)->Unit(benchmark::kMillisecond);

} // namespace
