#pragma once
// The SDL side of our windows: the video subsystem, held while anybody needs
// it, and the on-screen window behind a window of the desktop surface.
//
// The desktop window is an X11 window of type _NET_WM_WINDOW_TYPE_DESKTOP
// (the window manager keeps it below every other window and off the task
// bar), borderless, with an OpenGL surface. Without a display, SDL's
// offscreen driver (SDL_VIDEODRIVER=offscreen) gives the same window and GL
// surface with nothing shown.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win/WindowTypes.h"

struct SDL_Window;

namespace win {

// SDL's video subsystem with its GL library. Started once and kept for the
// rest of the process: stopping it terminates the EGL display, which unloads
// Mesa's driver while the driver still holds memory for the process, and
// starting it again costs far more than keeping it. Main thread only.
class SdlVideo {
public:
    // Starts the subsystem on first use; false with a message when SDL has
    // no usable video driver.
    static bool Start(std::string* error);
    static bool Running();
};

class NativeWindow {
public:
    struct Params {
        std::string title;
        RECT rect;           // virtual-screen pixels
        bool visible = false;
    };

    // Null with a message when SDL cannot make the window.
    static std::unique_ptr<NativeWindow> CreateDesktop(const Params& params, std::string* error);
    ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    SDL_Window* Sdl() const { return window_; }
    // SDL's id of the window, as its events carry it.
    std::uint32_t Id() const { return id_; }
    void SetVisible(bool visible);
    void SetRect(const RECT& rect);
    // What SDL reports of the window now.
    bool IsShown() const;
    RECT Rect() const;

private:
    explicit NativeWindow(SDL_Window* window);

    SDL_Window* window_;
    std::uint32_t id_;
};

} // namespace win
