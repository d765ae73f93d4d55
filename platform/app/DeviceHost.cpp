#include "platform/app/DeviceHost.h"

#include <SDL.h>

#include <algorithm>

namespace app {

namespace {

// The texture-stage operations the fixed-function pipeline carries out.
constexpr std::uint32_t kTextureOpCaps = TexOpCaps::Disable | TexOpCaps::SelectArg1 | TexOpCaps::SelectArg2 |
                                         TexOpCaps::Modulate | TexOpCaps::BumpEnvMap;

bool IsColorFormat(gfx::Format format)
{
    return format == gfx::Format::A8R8G8B8 || format == gfx::Format::X8R8G8B8;
}

} // namespace

// An OpenGL 3.3 core context on the window's surface.
struct DeviceHost::GlContext {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;

    ~GlContext()
    {
        if (context)
            SDL_GL_DeleteContext(context);
    }

    static std::unique_ptr<GlContext> Create(SDL_Window* window, std::string* error)
    {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        auto made = std::make_unique<GlContext>();
        made->window = window;
        made->context = SDL_GL_CreateContext(window);
        if (!made->context) {
            *error = std::string("no OpenGL 3.3 core context on the window: ") + SDL_GetError();
            return nullptr;
        }
        return made;
    }

    std::unique_ptr<gfx::Context> DeviceContext() const
    {
        SDL_Window* target = window;
        SDL_GLContext gl = context;
        return std::make_unique<gfx::WindowContext>(gfx::WindowContext::Callbacks{
            [target, gl] { return SDL_GL_MakeCurrent(target, gl) == 0; },
            [target] { SDL_GL_SwapWindow(target); },
            [target](std::uint32_t* width, std::uint32_t* height) {
                int w = 0, h = 0;
                SDL_GL_GetDrawableSize(target, &w, &h);
                *width = static_cast<std::uint32_t>(std::max(w, 0));
                *height = static_cast<std::uint32_t>(std::max(h, 0));
            },
        });
    }
};

DeviceHost::DeviceHost(FrameTimer::Clock clock) : timer_(std::move(clock)) {}

DeviceHost::~DeviceHost() { Shutdown(); }

HRESULT DeviceHost::Fail(HRESULT code, std::string message)
{
    lastError_ = std::move(message);
    return code;
}

HRESULT DeviceHost::Init()
{
    std::string error;
    return win::SdlVideo::Start(&error) ? S_OK : Fail(kErrorNoCompatibleDevices, error);
}

HRESULT DeviceHost::SetWindow(win::WindowSystem& windows, win::HWND window)
{
    if (device_)
        return Fail(gfx::kInvalidCall, "the device already renders into a window");
    std::shared_ptr<win::NativeWindow> surface = windows.GetNativeWindow(window);
    if (!surface)
        return Fail(E_INVALIDARG, "the window has no on-screen surface to render into");
    window_ = window;
    surface_ = std::move(surface);
    return S_OK;
}

HRESULT DeviceHost::CheckDeviceFormat(std::uint32_t adapterOrdinal, DeviceType deviceType, gfx::Format adapterFormat,
                                      std::uint32_t usage, gfx::ResourceType resourceType,
                                      gfx::Format checkFormat) const
{
    if (adapterOrdinal != 0 || deviceType != DeviceType::Hal)
        return gfx::kInvalidCall;
    if (adapterFormat != gfx::Format::X8R8G8B8)
        return gfx::kNotAvailable;
    const bool renderTarget = (usage & gfx::Usage::RenderTarget) != 0;
    const bool depthStencil = (usage & gfx::Usage::DepthStencil) != 0;
    bool supported = false;
    if (resourceType == gfx::ResourceType::Texture)
        supported = !depthStencil && gfx::IsTextureFormat(checkFormat) && (!renderTarget || IsColorFormat(checkFormat));
    else if (resourceType == gfx::ResourceType::Surface)
        supported = depthStencil ? checkFormat == gfx::Format::D24S8 : IsColorFormat(checkFormat);
    return supported ? S_OK : gfx::kNotAvailable;
}

HRESULT DeviceHost::CreateDevice(bool windowed, int width, int height)
{
    if (device_)
        return Fail(gfx::kInvalidCall, "the device exists already");
    if (!surface_)
        return Fail(gfx::kInvalidCall, "no window to render into");
    std::string error;
    std::unique_ptr<GlContext> context = GlContext::Create(surface_->Sdl(), &error);
    if (!context)
        return Fail(kErrorNoCompatibleDevices, error);

    caps_ = DeviceCaps{0, DeviceType::Hal, kTextureOpCaps};
    DeviceSettings settings;
    settings.windowed = windowed;
    settings.presentParameters.backBufferWidth = static_cast<std::uint32_t>(std::max(width, 0));
    settings.presentParameters.backBufferHeight = static_cast<std::uint32_t>(std::max(height, 0));
    if (callbacks_.isDeviceAcceptable &&
        !callbacks_.isDeviceAcceptable(caps_, settings.adapterFormat, settings.presentParameters.backBufferFormat,
                                       settings.windowed))
        return Fail(kErrorNoCompatibleDevices, "the device was not accepted");
    if (callbacks_.modifyDeviceSettings && !callbacks_.modifyDeviceSettings(settings))
        return Fail(kErrorCreatingDevice, "the device settings were refused");
    // The window is a desktop window: it cannot take the screen over.
    if (!settings.windowed)
        return Fail(kErrorNoCompatibleDevices, "only windowed devices can be made");
    // Not every driver lets the interval be chosen (the offscreen one does
    // not); frames are then shown as the driver does.
    SDL_GL_SetSwapInterval(settings.presentationInterval == PresentInterval::Immediate ? 0 : 1);

    std::unique_ptr<gfx::Device> device =
        gfx::Device::Create(context->DeviceContext(), settings.presentParameters, &error);
    if (!device)
        return Fail(kErrorCreatingDevice, "the device cannot be made: " + error);
    context_ = std::move(context);
    device_ = std::move(device);
    settings_ = settings;
    deviceLost_ = false;
    timer_.Reset();

    if (callbacks_.deviceCreated) {
        const HRESULT created = callbacks_.deviceCreated(*device_, BackBufferDesc());
        if (FAILED(created)) {
            Shutdown();
            return Fail(kErrorCreatingDeviceObjects, "the device-created callback failed");
        }
    }
    if (callbacks_.deviceReset) {
        const HRESULT reset = callbacks_.deviceReset(*device_, BackBufferDesc());
        if (FAILED(reset)) {
            Shutdown();
            return Fail(kErrorResettingDeviceObjects, "the device-reset callback failed");
        }
    }
    objectsReset_ = true;
    return S_OK;
}

gfx::SurfaceDesc DeviceHost::BackBufferDesc() const
{
    gfx::SurfaceDesc desc;
    device_->GetBackBufferDesc(&desc);
    return desc;
}

bool DeviceHost::WindowSizeChanged() const
{
    // A back buffer of a fixed size stays as it is asked.
    if (settings_.presentParameters.backBufferWidth != 0 || settings_.presentParameters.backBufferHeight != 0)
        return false;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(surface_->Sdl(), &width, &height);
    if (width <= 0 || height <= 0)
        return false;
    const gfx::SurfaceDesc desc = BackBufferDesc();
    return desc.width != static_cast<std::uint32_t>(width) || desc.height != static_cast<std::uint32_t>(height);
}

HRESULT DeviceHost::Reset3DEnvironment()
{
    if (objectsReset_) {
        // Cleared first: a deviceLost that throws is not run a second time.
        objectsReset_ = false;
        if (callbacks_.deviceLost)
            callbacks_.deviceLost();
    }
    const HRESULT reset = device_->Reset(settings_.presentParameters);
    if (FAILED(reset))
        return Fail(kErrorResettingDevice, reset == gfx::kInvalidCall
                                               ? "the device cannot be reset while default-pool resources are held"
                                               : "the device cannot be reset yet");
    deviceLost_ = false;
    if (callbacks_.deviceReset) {
        const HRESULT objects = callbacks_.deviceReset(*device_, BackBufferDesc());
        if (FAILED(objects))
            return Fail(kErrorResettingDeviceObjects, "the device-reset callback failed");
    }
    objectsReset_ = true;
    return S_OK;
}

void DeviceHost::Render3DEnvironment()
{
    if (!device_)
        return;
    if (deviceLost_) {
        const HRESULT level = device_->TestCooperativeLevel();
        if (level == gfx::kDeviceLost)
            return; // not yet: the caller backs off and tries again
        if (level == gfx::kDeviceNotReset && FAILED(Reset3DEnvironment()))
            return;
        deviceLost_ = false;
    }
    if (WindowSizeChanged() && FAILED(Reset3DEnvironment())) {
        // Keep trying at every step until the owners let go of their resources.
        deviceLost_ = true;
        return;
    }

    double time = 0;
    float elapsed = 0;
    timer_.GetTimeValues(&time, &elapsed);
    if (callbacks_.frameMove)
        callbacks_.frameMove(time, elapsed);
    // The callbacks may have shut the device down.
    if (!device_ || renderingPaused_)
        return;
    if (callbacks_.frameRender)
        callbacks_.frameRender(*device_, time, elapsed);
    if (device_ && device_->Present() == gfx::kDeviceLost)
        deviceLost_ = true;
}

void DeviceHost::Shutdown()
{
    if (!device_)
        return;
    if (objectsReset_) {
        objectsReset_ = false;
        if (callbacks_.deviceLost)
            callbacks_.deviceLost();
    }
    device_.reset();
    context_.reset();
    deviceLost_ = false;
}

void DeviceHost::Pause(bool pauseTime, bool pauseRendering)
{
    if (pauseTime)
        timer_.Stop();
    else
        timer_.Start();
    renderingPaused_ = pauseRendering;
}

void DeviceHost::SimulateDeviceLost()
{
    if (device_)
        device_->ForceDeviceLost();
}

void DeviceHost::SimulateDeviceRestored()
{
    if (device_)
        device_->AllowReset();
}

} // namespace app
