// One full frame of the demo scene's night slide at 1920 x 1080 on a
// headless device (smoke, falling stars, fireworks and a lightning bolt over
// a picture, three glow composites a frame), read beside BM_BareBlit1080p in
// FrameBench.cpp. The slide is written as the demo-scene tool writes it and
// played for a few seconds before timing, so that its smoke, stars and
// bursts are in the air.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/ResourceAdapters.h"
#include "player/WallpaperPlayer.h"
#include "render/ResourceLoading.h"
#include "tools/demoscene/NightSlide.h"

namespace {

constexpr std::uint32_t kFrameWidth = 1920, kFrameHeight = 1080;
constexpr double kFramePeriod = 0.03;
constexpr int kWarmUpFrames = 150;

std::filesystem::path WriteNightDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(kNightSlideCount);
    DocResManagerRecord record;
    WriteNightSlide(w, record);
    w.AudioFiles({});
    w.DocResManager(record);
    const auto path = std::filesystem::temp_directory_path() / ("orvanta-night-bench-" + std::to_string(::getpid()) + ".dds");
    return w.SaveTo(path) ? path : std::filesystem::path();
}

void BM_NightSlideFrame1080p(benchmark::State& state)
{
    InstallPlayerDocumentClasses();
    player::InstallResourceFinders();
    const std::filesystem::path document = WriteNightDocument();
    std::string error;
    auto device = gfx::CreateHeadlessDevice(kFrameWidth, kFrameHeight, &error);
    if (document.empty() || !device) {
        state.SkipWithError(document.empty() ? "cannot write the night slide" : error.c_str());
        return;
    }
    ResourceDeviceScope resourceDevice(device.get());
    player::WallpaperPlayer wallpaper;
    wallpaper.SetMonitors({win::MonitorEntry{nullptr, win::RECT{0, 0, kFrameWidth, kFrameHeight}}});
    wallpaper.SetDeviceWindowSize(kFrameWidth, kFrameHeight);
    wallpaper.DeviceReset(*device);
    const kxi_string path = crt::FromUtf8(document.string());
    wallpaper.LoadScene([path] { return OpenDocumentFile(path); });
    wallpaper.SetPicturePosition(1);
    double time = 0.0;
    auto frame = [&] {
        wallpaper.FrameMove(time);
        wallpaper.FrameRender(*device);
        device->Present();
        time += kFramePeriod;
    };
    for (int i = 0; i < kWarmUpFrames; ++i)
        frame();
    for (auto _ : state)
        frame();
    std::filesystem::remove(document);
}
BENCHMARK(BM_NightSlideFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace
