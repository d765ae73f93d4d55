// The desktop-host logic against models of the Windows shell.

#include <gtest/gtest.h>

#include "ShellWindowsModel.h"
#include "platform/win/ShellWindows.h"

namespace {

using namespace win;
using wintest::ShellModel;
using wintest::ShellScenario;

enum class Expect { Progman, WorkerBehindIcons, Nothing };

struct HostCase {
    ShellScenario scenario;
    Expect host;
    bool workerHidden;
};

const HostCase kHostCases[] = {
    {{"Windows Vista", {6, 0}, true}, Expect::Progman, true},
    {{"Windows 7", {6, 1}, true}, Expect::Progman, true},
    {{"Windows 8", {6, 2}, true}, Expect::WorkerBehindIcons, false},
    {{"Windows 10", {10, 0}, true}, Expect::WorkerBehindIcons, false},
    {{"Windows 10, no worker holds the view", {10, 0}, false}, Expect::Nothing, false},
    {{"Windows 7, no worker holds the view", {6, 1}, false}, Expect::Progman, false},
    {{"Windows 10, no shell running", {10, 0}, true, false}, Expect::Nothing, false},
    {{"Windows 7, no shell running", {6, 1}, true, false}, Expect::Nothing, false},
    {{"Windows 10, two workers hold views: the last found wins", {10, 0}, true, true, 2}, Expect::WorkerBehindIcons,
     false},
};

HWND Expected(const ShellModel& model, Expect expect)
{
    switch (expect) {
    case Expect::Progman:
        return model.progman;
    case Expect::WorkerBehindIcons:
        return model.behindIcons.empty() ? nullptr : model.behindIcons.front();
    case Expect::Nothing:
        break;
    }
    return nullptr;
}

TEST(ShellWindowsTest, FindsTheDesktopHostPerSystemVersion)
{
    for (const HostCase& test : kHostCases) {
        SCOPED_TRACE(test.scenario.name);
        ShellModel model(test.scenario);
        ShellWindows shell(model.windows, test.scenario.version);

        const HWND host = shell.FindDesktopHostWindow();
        EXPECT_EQ(host, Expected(model, test.host));
        EXPECT_EQ(model.spawnRequests, test.scenario.hasProgman ? 1 : 0);
        for (HWND worker : model.behindIcons)
            EXPECT_EQ(model.windows.IsWindowVisible(worker), !test.workerHidden);
        // A host found is kept: asking again sends nothing more. Without one
        // the next call looks again.
        EXPECT_EQ(shell.FindDesktopHostWindow(), host);
        EXPECT_EQ(model.spawnRequests, test.scenario.hasProgman ? (host ? 1 : 2) : 0);
    }
}

TEST(ShellWindowsTest, AHostThatIsGoneIsLookedForAgain)
{
    ShellModel model({"Windows 10", {10, 0}, true});
    ShellWindows shell(model.windows, {10, 0});
    const HWND host = shell.FindDesktopHostWindow();
    ASSERT_NE(host, nullptr);
    model.windows.DestroyWindow(host);
    // The shell made its workers once; without one behind the icons the next
    // window after the view's worker is now the host.
    const HWND next = shell.FindDesktopHostWindow();
    EXPECT_EQ(model.spawnRequests, 2);
    EXPECT_NE(next, host);
    EXPECT_EQ(next, model.windows.GetNextWindow(model.viewWorkers.front()));
}

TEST(ShellWindowsTest, FindsTheShellViewInProgmanOrInItsWorker)
{
    ShellModel model({"Windows 10", {10, 0}, true});
    ShellWindows shell(model.windows, {10, 0});
    const HWND inProgman = shell.FindShellDefView();
    EXPECT_EQ(inProgman, model.progmanView);
    EXPECT_EQ(shell.FindDesktopListView(), model.listViews.front());

    // Once the shell has moved its view into a worker, the old one is gone
    // and the cached windows are looked for again.
    shell.FindDesktopHostWindow();
    EXPECT_FALSE(model.windows.IsWindow(inProgman));
    EXPECT_EQ(shell.FindShellDefView(), model.workerViews.front());
    EXPECT_EQ(shell.FindDesktopListView(), model.listViews.back());
}

TEST(ShellWindowsTest, WithoutAShellViewThereIsNoListView)
{
    ShellModel model({"no shell", {10, 0}, false, false});
    ShellWindows shell(model.windows, {10, 0});
    EXPECT_EQ(shell.FindShellDefView(), nullptr);
    EXPECT_EQ(shell.FindDesktopListView(), nullptr);
}

TEST(ShellWindowsTest, VersionChecksCompareMajorThenMinor)
{
    ShellModel model({"none", {6, 1}, false});
    struct Case {
        SystemVersion version;
        DWORD minor;
        bool atLeast;
    };
    for (const Case c : {Case{{6, 1}, 0, true}, Case{{6, 1}, 2, false}, Case{{6, 2}, 2, true}, Case{{10, 0}, 2, true},
                         Case{{5, 1}, 0, false}})
        EXPECT_EQ(ShellWindows(model.windows, c.version).IsVersionAtLeast(c.minor), c.atLeast)
            << c.version.major << "." << c.version.minor << " >= 6." << c.minor;
}

} // namespace
