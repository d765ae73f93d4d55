#pragma once
// A model of the Windows shell's desktop windows, on our window tree, for the
// desktop-host logic.
//
// At first "Progman" holds "SHELLDLL_DefView" with its "SysListView32"; an
// unrelated "WorkerW" and an application window exist as well. When the
// shell answers message 0x52C (the scenario says whether it does), it
// creates two workers just above "Progman": the first takes over the shell
// view, the second, right below it, is the one behind the icons. Windows 7,
// 8 and 10 all answer in this layout; what differs is what the logic does
// with it by version.

#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "platform/win/ShellWindows.h"
#include "platform/win/Window.h"

namespace wintest {

struct ShellScenario {
    const char* name;
    win::SystemVersion version;
    bool answersSpawn;  // the shell creates the workers on 0x52C
    bool hasProgman = true;
    int viewWorkers = 1; // workers that hold a shell view after 0x52C
};

class ShellModel {
public:
    explicit ShellModel(const ShellScenario& scenario) : scenario_(scenario)
    {
        for (const char* name : {"Progman", "WorkerW", "SHELLDLL_DefView", "SysListView32", "App"}) {
            const std::string className = name;
            windows.RegisterClass({className, [this, className](win::HWND window, UINT message, win::WPARAM wParam,
                                                                win::LPARAM lParam) {
                                       if (className == "Progman" && message == win::kSpawnWorkerMessage)
                                           return Spawn();
                                       return windows.DefWindowProc(window, message, wParam, lParam);
                                   }});
        }
        if (scenario.hasProgman) {
            progman = windows.CreateWindow("Progman", "Program Manager", win::WS_VISIBLE, 0, 0, 1920, 1080, nullptr);
            progmanView = MakeView(progman);
        }
        unrelatedWorker = windows.CreateWindow("WorkerW", "", win::WS_VISIBLE, 0, 0, 10, 10, nullptr);
        app = windows.CreateWindow("App", "", win::WS_VISIBLE, 0, 0, 10, 10, nullptr);
    }

    win::HWND MakeView(win::HWND parent)
    {
        const win::HWND view =
            windows.CreateWindow("SHELLDLL_DefView", "", win::WS_CHILD | win::WS_VISIBLE, 0, 0, 1920, 1080, parent);
        listViews.push_back(windows.CreateWindow("SysListView32", "FolderView", win::WS_CHILD | win::WS_VISIBLE, 0, 0,
                                                 1920, 1080, view));
        return view;
    }

    // The shell's answer to 0x52C.
    win::LRESULT Spawn()
    {
        ++spawnRequests;
        if (!scenario_.answersSpawn || !behindIcons.empty())
            return 0;
        windows.DestroyWindow(progmanView);
        progmanView = nullptr;
        for (int i = 0; i < scenario_.viewWorkers; ++i) {
            // Made bottom-up, then "Progman" goes back below them.
            behindIcons.push_back(windows.CreateWindow("WorkerW", "", win::WS_VISIBLE, 0, 0, 1920, 1080, nullptr));
            viewWorkers.push_back(windows.CreateWindow("WorkerW", "", win::WS_VISIBLE, 0, 0, 1920, 1080, nullptr));
            workerViews.push_back(MakeView(viewWorkers.back()));
            for (win::HWND worker : {behindIcons.back(), viewWorkers.back()})
                windows.SetWindowPos(worker, win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
        }
        if (progman)
            windows.SetWindowPos(progman, win::HWND_BOTTOM, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
        return 0;
    }

    win::MainLoop loop;
    win::WindowSystem windows{loop};
    win::HWND progman = nullptr, progmanView = nullptr, unrelatedWorker = nullptr, app = nullptr;
    std::vector<win::HWND> viewWorkers, behindIcons, workerViews, listViews;
    int spawnRequests = 0;

private:
    ShellScenario scenario_;
};

} // namespace wintest
