#pragma once
// A GL context that the device draws with. The device only needs the context
// to be current on the calling thread while it works, and a way to show the
// finished frame. Two kinds exist:
//  - HeadlessContext (HeadlessContext.h): EGL on Mesa without any display,
//    for tests, tools and headless runs; it has no window to show frames in.
//  - WindowContext (below): a context that a window owner (the SDL player)
//    created on its window and made current. It hands the device its present
//    callback and the size of the window's drawable; the device draws into
//    its own back buffer and copies it to the window's default framebuffer
//    before calling present.
// Either must be an OpenGL 3.3 (or later) core context.

#include <cstdint>
#include <functional>
#include <memory>

namespace gfx {

class Context {
public:
    virtual ~Context() = default;

    // Makes the context current on this thread; false when that fails.
    virtual bool MakeCurrent() = 0;
    // Whether frames can be shown (a window exists).
    virtual bool HasWindow() const = 0;
    // Shows the window's default framebuffer (swaps buffers). Called by the
    // device after it copied its back buffer there; never called without a window.
    virtual void Present() {}
    // Size in pixels of the window's default framebuffer (0 x 0 without one).
    virtual void DrawableSize(std::uint32_t* width, std::uint32_t* height) const
    {
        *width = 0;
        *height = 0;
    }
};

class WindowContext final : public Context {
public:
    struct Callbacks {
        std::function<bool()> makeCurrent;                        // may be empty: the context stays current
        std::function<void()> present;                            // swap the window's buffers
        std::function<void(std::uint32_t*, std::uint32_t*)> size; // drawable size in pixels
    };

    explicit WindowContext(Callbacks callbacks) : callbacks_(std::move(callbacks)) {}

    bool MakeCurrent() override { return !callbacks_.makeCurrent || callbacks_.makeCurrent(); }
    bool HasWindow() const override { return true; }
    void Present() override
    {
        if (callbacks_.present)
            callbacks_.present();
    }
    void DrawableSize(std::uint32_t* width, std::uint32_t* height) const override
    {
        if (callbacks_.size) {
            callbacks_.size(width, height);
            return;
        }
        Context::DrawableSize(width, height);
    }

private:
    Callbacks callbacks_;
};

} // namespace gfx
