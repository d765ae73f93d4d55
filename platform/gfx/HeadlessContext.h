#pragma once
// An OpenGL 3.3 core context without a display: EGL on Mesa's surfaceless
// platform, falling back to the default EGL display with a 1x1 pbuffer. It is
// made current on the creating thread.

#include <memory>
#include <string>

#include "platform/gfx/Context.h"

namespace gfx {

class HeadlessContext final : public Context {
public:
    // Null with a message in `error` when no context can be made.
    static std::unique_ptr<HeadlessContext> Create(std::string* error);
    ~HeadlessContext() override;

    bool MakeCurrent() override;
    bool HasWindow() const override { return false; }

private:
    struct Egl;
    explicit HeadlessContext(std::unique_ptr<Egl> egl);
    std::unique_ptr<Egl> egl_;
};

} // namespace gfx
