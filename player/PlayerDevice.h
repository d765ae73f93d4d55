#pragma once
// The wallpaper's graphics device: made on the manager window through the
// device host (platform/app), with the player's checks and settings, and
// driving the player through the host's seven callbacks.
//
// Creation runs the callbacks before the player is attached: the created and
// reset callbacks then only keep the device and the render-target sizing.
// Once InitDevice has succeeded the callbacks forward to the player (frame
// move, frame render, device lost and reset), until Release.
//
// While it exists the device is the one the scene code loads resources for
// (SetResourceDevice), and a resource cache of its own is the process's
// current cache until a document brings its own.
#include <memory>
#include <string>
#include <vector>

#include "platform/app/DeviceHost.h"
#include "platform/win/Monitor.h"
#include "platform/win/Window.h"
#include "render/ResourceCache.h"

namespace player {

class WallpaperPlayer;

class PlayerDevice {
public:
    // How long a render step backs off while the device is lost.
    static constexpr int kLostDeviceBackOffMs = 50;

    explicit PlayerDevice(WallpaperPlayer& player);
    ~PlayerDevice();
    PlayerDevice(const PlayerDevice&) = delete;
    PlayerDevice& operator=(const PlayerDevice&) = delete;

    // Makes the device on `deviceWindow` for the monitors given; the player
    // takes the monitor layout and the rectangle of `rectWindow`, and the
    // device window is sized to the monitors' union. False (LastError says
    // why) when no acceptable device can be made.
    bool InitDevice(win::WindowSystem& windows, win::HWND deviceWindow, win::HWND rectWindow,
                    std::vector<win::MonitorEntry> monitors);
    // One render step of the host; backs off briefly while the device is lost.
    void RenderFrameStep();
    void Pause(bool pauseTime, bool pauseRendering) { host_.Pause(pauseTime, pauseRendering); }
    // Detaches the player and releases the device.
    void Release();

    bool IsAttached() const { return attached_; }
    app::DeviceHost& Host() { return host_; }
    const std::string& LastError() const { return lastError_; }

private:
    app::DeviceHost::Callbacks Callbacks();
    bool IsDeviceAcceptable(const app::DeviceCaps& caps, gfx::Format adapterFormat);
    HRESULT OnDeviceReset(gfx::Device& device);
    bool Fail(std::string message);

    WallpaperPlayer& player_;
    ResourceCache cache_;
    app::DeviceHost host_;
    win::WindowSystem* windows_ = nullptr;
    win::HWND window_ = nullptr;
    bool attached_ = false;
    std::string lastError_;
};

// The device's settings as the player wants them: multithreaded behaviour,
// a discarding swap, presents paced by the display's refresh.
bool ModifyPlayerDeviceSettings(app::DeviceSettings& settings);

} // namespace player
