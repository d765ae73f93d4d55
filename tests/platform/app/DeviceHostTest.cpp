// The device host on a headless on-screen window (SDL's offscreen driver):
// the seven callbacks in their order, the render step, pause, and lost and
// reset devices.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/app/DeviceHost.h"
#include "platform/gfx/Ref.h"
#include "tests/platform/win/WindowTestSupport.h"

namespace {

using namespace std::chrono_literals;
using app::DeviceHost;
using Calls = std::vector<std::string>;

class DeviceHostTest : public ::testing::Test {
protected:
    DeviceHostTest()
    {
        wintest::UseOffscreenVideo();
        windows.RegisterClass({"KXWManager",
                               [this](win::HWND w, UINT m, win::WPARAM wp, win::LPARAM lp) {
                                   return windows.DefWindowProc(w, m, wp, lp);
                               },
                               0, win::WindowSurface::Desktop});
        window = windows.CreateWindow("KXWManager", "KXWManager", win::WS_VISIBLE, 0, 0, 64, 48, nullptr);
        host.SetCallbacks(Recording());
    }

    // Callbacks that note their name (and what they were given) in `calls`.
    DeviceHost::Callbacks Recording()
    {
        DeviceHost::Callbacks callbacks;
        callbacks.isDeviceAcceptable = [this](const app::DeviceCaps& caps, gfx::Format adapterFormat, gfx::Format,
                                              bool) {
            calls.push_back("acceptable");
            // What the player asks: bump-environment mapping and V8U8 textures.
            return (caps.textureOpCaps & app::TexOpCaps::BumpEnvMap) != 0 &&
                   host.CheckDeviceFormat(caps.adapterOrdinal, caps.deviceType, adapterFormat, 0,
                                          gfx::ResourceType::Texture, gfx::Format::V8U8) == S_OK;
        };
        callbacks.modifyDeviceSettings = [this](app::DeviceSettings& settings) {
            calls.push_back("modify");
            settings.behaviorFlags |= app::CreateFlags::Multithreaded;
            settings.presentationInterval = app::PresentInterval::One;
            return true;
        };
        callbacks.deviceCreated = [this](gfx::Device&, const gfx::SurfaceDesc&) {
            calls.push_back("created");
            return S_OK;
        };
        callbacks.deviceReset = [this](gfx::Device&, const gfx::SurfaceDesc& backBuffer) {
            calls.push_back("reset " + std::to_string(backBuffer.width) + "x" + std::to_string(backBuffer.height));
            return S_OK;
        };
        callbacks.deviceLost = [this] { calls.push_back("lost"); };
        callbacks.frameMove = [this](double time, float) {
            calls.push_back("move");
            times.push_back(time);
        };
        callbacks.frameRender = [this](gfx::Device& device, double, float) {
            calls.push_back("render");
            device.BeginScene();
            device.Clear(0, nullptr, gfx::ClearFlags::Target, clearColor, 1.0f, 0);
            device.EndScene();
        };
        return callbacks;
    }

    void Create()
    {
        ASSERT_EQ(host.Init(), S_OK) << host.LastError();
        ASSERT_EQ(host.SetWindow(windows, window), S_OK) << host.LastError();
        ASSERT_EQ(host.CreateDevice(true, 0, 0), S_OK) << host.LastError();
        calls.clear();
    }

    std::uint32_t BackBufferPixel()
    {
        gfx::Surface* backBuffer = nullptr;
        host.GetDevice()->GetBackBuffer(&backBuffer);
        gfx::Ref<gfx::Surface> held = gfx::Ref<gfx::Surface>::Adopt(backBuffer);
        std::vector<std::uint32_t> pixels;
        host.GetDevice()->ReadPixels(backBuffer, &pixels);
        return pixels.empty() ? 0 : pixels[pixels.size() / 2];
    }

    // The host goes first: its shutdown still calls back into the test.
    std::chrono::nanoseconds now = 10s;
    Calls calls;
    std::vector<double> times;
    std::uint32_t clearColor = 0xFFFF0000;
    win::MainLoop loop;
    win::WindowSystem windows{loop};
    win::HWND window = nullptr;
    DeviceHost host{[this] { return now; }};
};

TEST_F(DeviceHostTest, CreationRunsAcceptableModifyCreatedResetInThatOrder)
{
    ASSERT_EQ(host.Init(), S_OK) << host.LastError();
    ASSERT_EQ(host.SetWindow(windows, window), S_OK);
    ASSERT_EQ(host.CreateDevice(true, 0, 0), S_OK) << host.LastError();
    EXPECT_EQ(calls, (Calls{"acceptable", "modify", "created", "reset 64x48"}));
    ASSERT_NE(host.GetDevice(), nullptr);
    EXPECT_EQ(host.GetHWND(), window);
    EXPECT_NE(host.Settings().behaviorFlags & app::CreateFlags::Multithreaded, 0u);
    EXPECT_EQ(host.CreateDevice(true, 0, 0), gfx::kInvalidCall); // one device per host
}

TEST_F(DeviceHostTest, FormatChecksAnswerWhatTheDeviceCanMake)
{
    struct Case {
        std::uint32_t usage;
        gfx::ResourceType type;
        gfx::Format format;
        HRESULT result;
    };
    const Case cases[] = {
        {0, gfx::ResourceType::Texture, gfx::Format::V8U8, S_OK},
        {0, gfx::ResourceType::Texture, gfx::Format::DXT5, S_OK},
        {gfx::Usage::RenderTarget, gfx::ResourceType::Texture, gfx::Format::A8R8G8B8, S_OK},
        {gfx::Usage::RenderTarget, gfx::ResourceType::Texture, gfx::Format::V8U8, gfx::kNotAvailable},
        {0, gfx::ResourceType::Texture, gfx::Format::D24S8, gfx::kNotAvailable},
        {gfx::Usage::DepthStencil, gfx::ResourceType::Surface, gfx::Format::D24S8, S_OK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(host.CheckDeviceFormat(0, app::DeviceType::Hal, gfx::Format::X8R8G8B8, c.usage, c.type, c.format),
                  c.result)
            << static_cast<std::uint32_t>(c.format) << " usage " << c.usage;
    EXPECT_EQ(host.CheckDeviceFormat(1, app::DeviceType::Hal, gfx::Format::X8R8G8B8, 0, gfx::ResourceType::Texture,
                                     gfx::Format::V8U8),
              gfx::kInvalidCall);
    EXPECT_EQ(host.CheckDeviceFormat(0, app::DeviceType::Hal, gfx::Format::A8, 0, gfx::ResourceType::Texture,
                                     gfx::Format::V8U8),
              gfx::kNotAvailable);
}

TEST_F(DeviceHostTest, ADeviceThatIsNotAcceptedIsNeverCreated)
{
    DeviceHost::Callbacks callbacks = Recording();
    callbacks.isDeviceAcceptable = [this](const app::DeviceCaps&, gfx::Format, gfx::Format, bool) {
        calls.push_back("acceptable");
        return false;
    };
    host.SetCallbacks(callbacks);
    ASSERT_EQ(host.SetWindow(windows, window), S_OK);
    EXPECT_EQ(host.CreateDevice(true, 0, 0), app::kErrorNoCompatibleDevices);
    EXPECT_EQ(calls, (Calls{"acceptable"}));
    EXPECT_EQ(host.GetDevice(), nullptr);
    host.Render3DEnvironment(); // nothing to drive
    EXPECT_EQ(calls, (Calls{"acceptable"}));
}

TEST_F(DeviceHostTest, SettingsChangedByTheCallbackAreUsed)
{
    DeviceHost::Callbacks callbacks = Recording();
    callbacks.modifyDeviceSettings = [](app::DeviceSettings& settings) {
        settings.presentParameters.backBufferWidth = 32;
        settings.presentParameters.backBufferHeight = 16;
        return true;
    };
    host.SetCallbacks(callbacks);
    ASSERT_EQ(host.SetWindow(windows, window), S_OK);
    ASSERT_EQ(host.CreateDevice(true, 0, 0), S_OK) << host.LastError();
    EXPECT_EQ(calls, (Calls{"acceptable", "created", "reset 32x16"}));

    callbacks.modifyDeviceSettings = [](app::DeviceSettings& settings) {
        settings.windowed = false;
        return true;
    };
    DeviceHost other;
    other.SetCallbacks(callbacks);
    ASSERT_EQ(other.SetWindow(windows, window), S_OK);
    EXPECT_EQ(other.CreateDevice(true, 0, 0), app::kErrorNoCompatibleDevices);
    EXPECT_NE(other.LastError().find("windowed"), std::string::npos);
}

TEST_F(DeviceHostTest, OnlyAWindowWithAnOnScreenSurfaceCanBeRenderedInto)
{
    windows.RegisterClass({"Plain", [](win::HWND, UINT, win::WPARAM, win::LPARAM) { return win::LRESULT{0}; }});
    const win::HWND plain = windows.CreateWindow("Plain", "", 0, 0, 0, 8, 8, nullptr);
    EXPECT_EQ(host.SetWindow(windows, plain), E_INVALIDARG);
    EXPECT_EQ(host.CreateDevice(true, 0, 0), gfx::kInvalidCall);
}

TEST_F(DeviceHostTest, ARenderStepMovesRendersAndPresentsWithTheClock)
{
    Create();
    now += 1500ms;
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"move", "render"}));
    ASSERT_EQ(times.size(), 1u);
    EXPECT_DOUBLE_EQ(times[0], 1.5);
    EXPECT_DOUBLE_EQ(host.GetTime(), 1.5);
    EXPECT_EQ(BackBufferPixel(), 0xFFFF0000u);

    clearColor = 0xFF00FF00;
    host.Render3DEnvironment();
    EXPECT_EQ(BackBufferPixel(), 0xFF00FF00u);
}

TEST_F(DeviceHostTest, PauseStopsTheClockAndTheRendering)
{
    Create();
    now += 1s;
    host.Pause(true, true);
    EXPECT_TRUE(host.IsTimePaused());
    EXPECT_TRUE(host.IsRenderingPaused());
    now += 5s;
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"move"}));
    EXPECT_DOUBLE_EQ(times.back(), 1.0);

    host.Pause(false, false);
    now += 2s;
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"move", "move", "render"}));
    EXPECT_DOUBLE_EQ(times.back(), 3.0);
}

TEST_F(DeviceHostTest, ALostDeviceWaitsThenRunsLostAndResetBeforeTheNextFrame)
{
    Create();
    host.SimulateDeviceLost();
    host.Render3DEnvironment(); // the present finds the device lost
    EXPECT_TRUE(host.IsDeviceLost());
    EXPECT_EQ(host.GetDevice()->TestCooperativeLevel(), gfx::kDeviceLost);
    calls.clear();

    host.Render3DEnvironment(); // still lost: nothing runs
    EXPECT_TRUE(calls.empty());

    host.SimulateDeviceRestored();
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"lost", "reset 64x48", "move", "render"}));
    EXPECT_FALSE(host.IsDeviceLost());
    EXPECT_EQ(host.GetDevice()->TestCooperativeLevel(), S_OK);
    EXPECT_EQ(BackBufferPixel(), 0xFFFF0000u);
}

// The reset succeeds only once the owners of default-pool resources released
// them in the lost callback; until then the host keeps trying, without
// running the lost callback again.
TEST_F(DeviceHostTest, TheResetWaitsUntilDefaultPoolResourcesAreReleased)
{
    gfx::Ref<gfx::Texture> target;
    bool releaseOnLoss = false;
    DeviceHost::Callbacks callbacks = Recording();
    callbacks.deviceReset = [&](gfx::Device& device, const gfx::SurfaceDesc&) {
        calls.push_back("reset");
        gfx::Texture* texture = nullptr;
        const HRESULT made = device.CreateTexture(16, 16, 1, gfx::Usage::RenderTarget, gfx::Format::A8R8G8B8,
                                                  gfx::Pool::Default, &texture);
        target = gfx::Ref<gfx::Texture>::Adopt(texture);
        return made;
    };
    callbacks.deviceLost = [&] {
        calls.push_back("lost");
        if (releaseOnLoss)
            target.Reset();
    };
    host.SetCallbacks(callbacks);
    Create();

    host.SimulateDeviceLost();
    host.Render3DEnvironment();
    host.SimulateDeviceRestored();
    calls.clear();
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"lost"}));
    EXPECT_NE(host.LastError().find("default-pool"), std::string::npos) << host.LastError();

    target.Reset();
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"lost", "reset", "move", "render"}));
    EXPECT_FALSE(host.IsDeviceLost());
}

TEST_F(DeviceHostTest, AResizedWindowResetsTheDeviceToItsNewSize)
{
    Create();
    windows.SetWindowPos(window, nullptr, 0, 0, 80, 60, win::SWP_NOMOVE | win::SWP_NOZORDER);
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"lost", "reset 80x60", "move", "render"}));
    gfx::SurfaceDesc desc;
    host.GetDevice()->GetBackBufferDesc(&desc);
    EXPECT_EQ(desc.width, 80u);
    EXPECT_EQ(desc.height, 60u);
}

TEST_F(DeviceHostTest, ShutdownRunsLostOnceAndTheDeviceOutlivesItsWindow)
{
    Create();
    // The window goes first, as at the end of the program; the device still
    // has its surface.
    windows.DestroyWindow(window);
    host.Render3DEnvironment();
    EXPECT_EQ(calls, (Calls{"move", "render"}));
    host.Shutdown();
    host.Shutdown();
    EXPECT_EQ(calls, (Calls{"move", "render", "lost"}));
    EXPECT_EQ(host.GetDevice(), nullptr);
}

} // namespace
