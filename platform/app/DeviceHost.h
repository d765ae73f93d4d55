#pragma once
// The device host: makes the graphics device on a window and drives it
// through seven callbacks, the way the player expects of its framework.
//
// Creating the device (CreateDevice), in this order:
//   1. isDeviceAcceptable (caps, adapter format, back-buffer format, windowed):
//      the caller checks what it needs, e.g. TexOpCaps::BumpEnvMap and
//      CheckDeviceFormat(..., Texture, V8U8); false ends creation;
//   2. modifyDeviceSettings (settings): may change them; false ends creation;
//   3. deviceCreated (device);
//   4. deviceReset (device, back buffer).
// The device is an OpenGL 3.3 core context on the window's SDL surface, made
// through platform/gfx; headless runs use SDL's offscreen driver, which makes
// the same context through EGL.
//
// One render step (Render3DEnvironment):
//   - a lost device is asked whether it can be reset; while it cannot, the
//     step ends here; when it can: deviceLost, the reset, deviceReset;
//   - a window whose size no longer matches the back buffer resets the device
//     the same way, to the new size;
//   - frameMove (time, elapsed), then, unless rendering is paused,
//     frameRender (device, time, elapsed) and the present. A present that
//     reports the device lost marks it lost.
// The time is the host's clock in seconds, which stands still while time is
// paused. deviceLost also runs at Shutdown, before the device goes.
//
// Exceptions from callbacks pass through; the host stays consistent.

#include <functional>
#include <memory>
#include <string>

#include "platform/app/DeviceSettings.h"
#include "platform/app/FrameTimer.h"
#include "platform/gfx/Device.h"
#include "platform/win/Window.h"

namespace app {

class DeviceHost {
public:
    struct Callbacks {
        std::function<bool(const DeviceCaps&, gfx::Format adapterFormat, gfx::Format backBufferFormat, bool windowed)>
            isDeviceAcceptable;
        std::function<bool(DeviceSettings&)> modifyDeviceSettings;
        std::function<HRESULT(gfx::Device&, const gfx::SurfaceDesc& backBuffer)> deviceCreated;
        std::function<HRESULT(gfx::Device&, const gfx::SurfaceDesc& backBuffer)> deviceReset;
        std::function<void()> deviceLost;
        std::function<void(double time, float elapsed)> frameMove;
        std::function<void(gfx::Device&, double time, float elapsed)> frameRender;
    };

    explicit DeviceHost(FrameTimer::Clock clock = {});
    // Shuts down: the deviceLost callback runs here, so what it uses must
    // still exist.
    ~DeviceHost();
    DeviceHost(const DeviceHost&) = delete;
    DeviceHost& operator=(const DeviceHost&) = delete;

    void SetCallbacks(Callbacks callbacks) { callbacks_ = std::move(callbacks); }

    // Starts the video system; fails when there is no usable video driver.
    HRESULT Init();
    // The window to render into: one with an on-screen surface. The host
    // keeps that surface for as long as the device lives.
    HRESULT SetWindow(win::WindowSystem& windows, win::HWND window);
    // A windowed device; width and height 0 take the window's size.
    HRESULT CreateDevice(bool windowed, int width, int height);
    void Render3DEnvironment();
    // Runs deviceLost (when the device was reset) and releases the device.
    void Shutdown();

    void Pause(bool pauseTime, bool pauseRendering);
    bool IsTimePaused() const { return timer_.IsStopped(); }
    bool IsRenderingPaused() const { return renderingPaused_; }
    double GetTime() const { return timer_.GetTime(); }

    gfx::Device* GetDevice() const { return device_.get(); }
    win::HWND GetHWND() const { return window_; }
    bool IsDeviceLost() const { return deviceLost_; }
    const DeviceCaps& Caps() const { return caps_; }
    const DeviceSettings& Settings() const { return settings_; }
    // Why the last failing call failed.
    const std::string& LastError() const { return lastError_; }

    // Whether a resource of `format` can be made with `usage`: S_OK or
    // gfx::kNotAvailable (gfx::kInvalidCall for an adapter that does not exist).
    // OpenGL 3.3 core, which every device here has, must support each format
    // the device maps (V8U8 is RG8_SNORM), so the answer follows from them.
    HRESULT CheckDeviceFormat(std::uint32_t adapterOrdinal, DeviceType deviceType, gfx::Format adapterFormat,
                              std::uint32_t usage, gfx::ResourceType resourceType, gfx::Format checkFormat) const;

    // For tests: the device reports itself lost from now on, then, after
    // SimulateDeviceRestored, that it can be reset.
    void SimulateDeviceLost();
    void SimulateDeviceRestored();

private:
    struct GlContext;

    HRESULT Fail(HRESULT code, std::string message);
    HRESULT Reset3DEnvironment();
    bool WindowSizeChanged() const;
    gfx::SurfaceDesc BackBufferDesc() const;

    Callbacks callbacks_;
    FrameTimer timer_;
    win::HWND window_ = nullptr;
    // Destroyed in reverse: the device, then its context, then the surface.
    std::shared_ptr<win::NativeWindow> surface_;
    std::unique_ptr<GlContext> context_;
    std::unique_ptr<gfx::Device> device_;
    DeviceCaps caps_;
    DeviceSettings settings_;
    bool objectsReset_ = false; // deviceReset ran and deviceLost has not since
    bool deviceLost_ = false;
    bool renderingPaused_ = false;
    std::string lastError_;
};

} // namespace app
