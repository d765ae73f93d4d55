#include "platform/win/WindowNative.h"

#include <SDL.h>

#include <algorithm>
#include <optional>

#include "platform/crt/SoftwareRasteriser.h"

namespace win {

namespace {

bool& VideoStarted()
{
    static bool started = false;
    return started;
}

// Sets an SDL hint for the life of this object and puts the old value back.
class ScopedHint {
public:
    ScopedHint(const char* name, const char* value) : name_(name)
    {
        if (const char* old = SDL_GetHint(name))
            old_ = old;
        SDL_SetHint(name, value);
    }
    ~ScopedHint()
    {
        if (old_)
            SDL_SetHint(name_, old_->c_str());
        else
            SDL_ResetHint(name_);
    }
    ScopedHint(const ScopedHint&) = delete;
    ScopedHint& operator=(const ScopedHint&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

bool SdlVideo::Start(std::string* error)
{
    if (VideoStarted())
        return true;
    // A wallpaper must never keep the screen saver away, which SDL does by
    // default for its windows.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Before SDL loads the GL driver.
    crt::KeepSoftwareRasterisingOnCallingThread();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error)
            *error = std::string("SDL video cannot start: ") + SDL_GetError();
        return false;
    }
    // Held for good, so that destroying the last GL window does not unload
    // the GL library (and with it the driver). Without GL the windows that
    // need it fail when they are made, with SDL's reason.
    SDL_GL_LoadLibrary(nullptr);
    VideoStarted() = true;
    return true;
}

bool SdlVideo::Running() { return VideoStarted(); }

NativeWindow::NativeWindow(SDL_Window* window) : window_(window), id_(SDL_GetWindowID(window)) {}

std::unique_ptr<NativeWindow> NativeWindow::CreateDesktop(const Params& params, std::string* error)
{
    if (!SdlVideo::Start(error))
        return nullptr;
    // The window type is read when the window is made; other windows keep
    // the usual type.
    ScopedHint type(SDL_HINT_X11_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE_DESKTOP");
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR |
                         (params.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    SDL_Window* window = SDL_CreateWindow(params.title.c_str(), params.rect.left, params.rect.top,
                                          std::max(params.rect.Width(), 1), std::max(params.rect.Height(), 1), flags);
    if (!window) {
        if (error)
            *error = std::string("SDL cannot create the window: ") + SDL_GetError();
        return nullptr;
    }
    return std::unique_ptr<NativeWindow>(new NativeWindow(window));
}

NativeWindow::~NativeWindow() { SDL_DestroyWindow(window_); }

void NativeWindow::SetVisible(bool visible)
{
    if (visible)
        SDL_ShowWindow(window_);
    else
        SDL_HideWindow(window_);
}

void NativeWindow::SetRect(const RECT& rect)
{
    SDL_SetWindowPosition(window_, rect.left, rect.top);
    SDL_SetWindowSize(window_, std::max(rect.Width(), 1), std::max(rect.Height(), 1));
}

bool NativeWindow::IsShown() const { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0; }

RECT NativeWindow::Rect() const
{
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &width, &height);
    return {x, y, x + width, y + height};
}

} // namespace win
