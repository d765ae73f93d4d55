#include "player/PlayerDevice.h"

#include <chrono>
#include <thread>
#include <utility>

#include "player/WallpaperPlayer.h"
#include "render/ResourceLoading.h"

namespace player {

bool ModifyPlayerDeviceSettings(app::DeviceSettings& settings)
{
    settings.behaviorFlags |= app::CreateFlags::Multithreaded;
    settings.swapEffect = app::SwapEffect::Discard;
    settings.presentationInterval = app::PresentInterval::One;
    return true;
}

PlayerDevice::PlayerDevice(WallpaperPlayer& player) : player_(player)
{
    host_.SetCallbacks(Callbacks());
}

PlayerDevice::~PlayerDevice()
{
    Release();
}

app::DeviceHost::Callbacks PlayerDevice::Callbacks()
{
    app::DeviceHost::Callbacks callbacks;
    callbacks.isDeviceAcceptable = [this](const app::DeviceCaps& caps, gfx::Format adapterFormat, gfx::Format,
                                          bool) { return IsDeviceAcceptable(caps, adapterFormat); };
    callbacks.modifyDeviceSettings = ModifyPlayerDeviceSettings;
    callbacks.deviceCreated = [](gfx::Device& device, const gfx::SurfaceDesc&) {
        SetResourceDevice(&device);
        return S_OK;
    };
    callbacks.deviceReset = [this](gfx::Device& device, const gfx::SurfaceDesc&) { return OnDeviceReset(device); };
    callbacks.deviceLost = [this] {
        if (attached_)
            player_.DeviceLost();
    };
    callbacks.frameMove = [this](double time, float) {
        if (attached_)
            player_.FrameMove(time);
    };
    callbacks.frameRender = [this](gfx::Device& device, double, float) {
        if (attached_)
            player_.FrameRender(device);
    };
    return callbacks;
}

// The scene needs bump-environment mapping and signed two-channel textures.
bool PlayerDevice::IsDeviceAcceptable(const app::DeviceCaps& caps, gfx::Format adapterFormat)
{
    return (caps.textureOpCaps & app::TexOpCaps::BumpEnvMap) != 0 &&
           host_.CheckDeviceFormat(caps.adapterOrdinal, caps.deviceType, adapterFormat, 0,
                                   gfx::ResourceType::Texture, gfx::Format::V8U8) == S_OK;
}

HRESULT PlayerDevice::OnDeviceReset(gfx::Device& device)
{
    SetResourceDevice(&device);
    // After a reset the window is drawn again at once. Only our own window
    // is asked: no other program's windows are made to repaint.
    if (attached_)
        windows_->InvalidateRect(window_);
    // During creation the player has no scene yet: it only takes the
    // render-target sizing and reads nothing.
    return player_.DeviceReset(device);
}

bool PlayerDevice::Fail(std::string message)
{
    lastError_ = std::move(message);
    return false;
}

bool PlayerDevice::InitDevice(win::WindowSystem& windows, win::HWND deviceWindow, win::HWND rectWindow,
                              std::vector<win::MonitorEntry> monitors)
{
    windows_ = &windows;
    window_ = deviceWindow;
    g_CurrentResourceCache = &cache_;
    // The monitors come first: the reset during creation sizes the render
    // targets after the largest of them.
    player_.SetMonitors(std::move(monitors));
    if (FAILED(host_.Init()))
        return Fail(host_.LastError());
    if (FAILED(host_.SetWindow(windows, deviceWindow)))
        return Fail(host_.LastError());
    if (FAILED(host_.CreateDevice(true, 0, 0)) || !host_.GetDevice())
        return Fail("no acceptable graphics device: " + host_.LastError());

    win::RECT windowRect;
    windows.GetWindowRect(rectWindow, &windowRect);
    player_.SetDeviceWindowSize(windowRect.Width(), windowRect.Height());
    const win::RECT unionRect = player_.UnionRect();
    windows.SetWindowPos(deviceWindow, nullptr, 0, 0, unionRect.Width(), unionRect.Height(),
                         win::SWP_NOZORDER | win::SWP_NOMOVE);
    // Alpha is never written to the back buffer.
    host_.GetDevice()->SetRenderState(gfx::RenderState::ColorWriteEnable, 0x7);
    attached_ = true;
    return true;
}

void PlayerDevice::RenderFrameStep()
{
    host_.Render3DEnvironment();
    gfx::Device* device = host_.GetDevice();
    if (device && device->TestCooperativeLevel() == gfx::kDeviceLost)
        std::this_thread::sleep_for(std::chrono::milliseconds(kLostDeviceBackOffMs));
}

void PlayerDevice::Release()
{
    // The player's lost-device work runs while it is still attached, so its
    // slides let go of their device resources before the device goes.
    host_.Shutdown();
    attached_ = false;
    SetResourceDevice(nullptr);
    if (g_CurrentResourceCache == &cache_)
        g_CurrentResourceCache = nullptr;
}

} // namespace player
