#pragma once
// One full frame of a demo-scene slide at 1920 x 1080 on a headless device,
// read beside BM_BareBlit1080p in FrameBench.cpp. The slide is written as the
// demo-scene tool writes it and played for a few seconds before timing, so
// that what it emits is in the air.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/ResourceAdapters.h"
#include "player/WallpaperPlayer.h"
#include "render/ResourceLoading.h"
#include "tests/support/DocumentWriter.h"

namespace slide_bench {

inline constexpr std::uint32_t kFrameWidth = 1920, kFrameHeight = 1080;
inline constexpr double kFramePeriod = 0.03;
inline constexpr int kWarmUpFrames = 150;

using SlideWriter = void (*)(DocumentWriter&, DocResManagerRecord&);

inline std::filesystem::path WriteSlideDocument(SlideWriter writeSlide, int slideCount, const std::string& name)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(slideCount);
    DocResManagerRecord record;
    writeSlide(w, record);
    w.AudioFiles({});
    w.DocResManager(record);
    const auto path =
        std::filesystem::temp_directory_path() / ("orvanta-" + name + "-bench-" + std::to_string(::getpid()) + ".dds");
    return w.SaveTo(path) ? path : std::filesystem::path();
}

inline void RunSlideFrames(benchmark::State& state, SlideWriter writeSlide, int slideCount, const std::string& name)
{
    InstallPlayerDocumentClasses();
    player::InstallResourceFinders();
    const std::filesystem::path document = WriteSlideDocument(writeSlide, slideCount, name);
    std::string error;
    auto device = gfx::CreateHeadlessDevice(kFrameWidth, kFrameHeight, &error);
    if (document.empty() || !device) {
        state.SkipWithError(document.empty() ? "cannot write the slide" : error.c_str());
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

} // namespace slide_bench
