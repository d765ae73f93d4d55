// The CPU time the running player takes per second of wall-clock time at
// each execution priority ("SleepTime" 0, 1, 2: frames every 10, 30 and
// 60 ms): the whole desktop host on a headless window of 1920 x 1080
// playing the demo scene, its main loop left to wait for its timer.
//
// Reported as the counter "cpu_per_s": CPU seconds of every thread of the
// process, rendering threads included, per wall second.

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdlib>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "platform/win/DesktopHost.h"
#include "platform/win/SettingsStore.h"
#include "player/DesktopHostApp.h"
#include "player/ResourceAdapters.h"

namespace {

// A user interface with no windows at all: only the frames are measured.
class NoUi final : public player::DesktopUi {
public:
    bool CreateSettingsDialog(bool) override { return true; }
    bool AddTrayIcon() override { return true; }
    void RemoveTrayIcon() override {}
    void ShowTrayMenu(win::LPARAM) override {}
    void OnTrayCommand(win::WPARAM) override {}
};

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void BM_IdlePlayerCpuPerSecond(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    InstallPlayerDocumentClasses();
    player::InstallResourceFinders();
    const win::RECT screen{0, 0, 1920, 1080};
    win::MainLoop loop;
    win::WindowSystem windows(loop);
    win::DesktopHost desktop(windows, screen);
    win::ShellWindows shell(windows, win::kDesktopHostVersion);
    win::MemorySettingsStore store;
    store.SetDword(kSettingsKeyPath, kSleepTimeValue, std::uint32_t(state.range(0)));
    const kxi_string path = crt::FromUtf8(ORVANTA_DEMO_SCENE_FILE);
    player::DesktopHostEnvironment environment{
        windows, shell, store, [screen] { return std::vector<win::MonitorEntry>{{nullptr, screen}}; },
        [path] { return OpenDocumentFile(path); }, {}};
    environment.ui.makeUi = [](player::DesktopUiServices) { return std::make_unique<NoUi>(); };
    player::DesktopHostApp app(std::move(environment));
    if (!app.CreateManagerWindow()) {
        state.SkipWithError(("the player did not start: " + app.LastError()).c_str());
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpuStart = ProcessCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        const auto end = wallStart + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end)
            loop.Iterate(true);
        cpu += ProcessCpuSeconds() - cpuStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    }
    state.counters["cpu_per_s"] = wall > 0 ? cpu / wall : 0;
    state.counters["period_ms"] = app.FrameTimerPeriodMs();
}
BENCHMARK(BM_IdlePlayerCpuPerSecond)
    ->ArgName("SleepTime")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
