#pragma once
// An OpenGL 3.3 core context without a display: EGL on Mesa's surfaceless
// platform, falling back to the default EGL display with a 1x1 pbuffer. It is
// made current on the creating thread.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/Context.h"
#include "platform/gfx/Device.h"

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

// A device on a new headless context: what tests, benchmarks and the
// headless renderer draw with. Null with a message in `error` (saying
// whether the context or the device failed) when none can be made.
std::unique_ptr<Device> CreateHeadlessDevice(const PresentParameters& parameters, std::string* error);
std::unique_ptr<Device> CreateHeadlessDevice(std::uint32_t width, std::uint32_t height, std::string* error);

} // namespace gfx
