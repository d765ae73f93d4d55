// One full frame of the demo scene at 1920 x 1080 on a headless device: the
// slide show's update, the frame render and the present (which waits until
// the frame is drawn).

#include <benchmark/benchmark.h>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/ResourceAdapters.h"
#include "player/WallpaperPlayer.h"
#include "render/ResourceLoading.h"

namespace {

void BM_DemoSceneFrame1080p(benchmark::State& state)
{
    constexpr std::uint32_t width = 1920, height = 1080;
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
