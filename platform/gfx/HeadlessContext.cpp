#include "platform/gfx/HeadlessContext.h"

#include <epoxy/egl.h>

#include "platform/crt/SoftwareRasteriser.h"

namespace gfx {

struct HeadlessContext::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;

    ~Egl()
    {
        if (display == EGL_NO_DISPLAY)
            return;
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context != EGL_NO_CONTEXT)
            eglDestroyContext(display, context);
        if (surface != EGL_NO_SURFACE)
            eglDestroySurface(display, surface);
        // The display is not terminated: EGL hands every caller the same
        // display for a platform, so terminating it here would pull it from
        // under any other context of this process.
    }
};

namespace {

constexpr EGLint kContextAttributes[] = {
    EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
    EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE,
};

bool HasClientExtension(const char* name)
{
    return epoxy_has_egl_extension(EGL_NO_DISPLAY, name);
}

EGLDisplay OpenSurfacelessDisplay()
{
    if (!HasClientExtension("EGL_MESA_platform_surfaceless") || !HasClientExtension("EGL_EXT_platform_base"))
        return EGL_NO_DISPLAY;
    return eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// Initialises `display` and makes a core context on it, current with no
// surface or with a 1x1 pbuffer.
bool MakeContext(EGLDisplay display, bool usePbuffer, std::string* error,
                 EGLSurface* surfaceOut, EGLContext* contextOut)
{
    if (display == EGL_NO_DISPLAY)
        return false;
    EGLint major = 0, minor = 0;
    // Initialising an already initialised display is harmless and counts nothing.
    if (!eglInitialize(display, &major, &minor)) {
        *error = "eglInitialize failed";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = "EGL has no desktop OpenGL";
        return false;
    }
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, usePbuffer ? EGL_PBUFFER_BIT : 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE,
    };
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) {
        *error = "no EGL config for desktop OpenGL";
        return false;
    }
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, kContextAttributes);
    if (context == EGL_NO_CONTEXT) {
        *error = "eglCreateContext for OpenGL 3.3 core failed";
        return false;
    }
    EGLSurface surface = EGL_NO_SURFACE;
    if (usePbuffer) {
        const EGLint pbufferAttributes[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
        surface = eglCreatePbufferSurface(display, config, pbufferAttributes);
    }
    if ((usePbuffer && surface == EGL_NO_SURFACE) || !eglMakeCurrent(display, surface, surface, context)) {
        if (surface != EGL_NO_SURFACE)
            eglDestroySurface(display, surface);
        eglDestroyContext(display, context);
        *error = "eglMakeCurrent failed";
        return false;
    }
    *surfaceOut = surface;
    *contextOut = context;
    return true;
}

} // namespace

HeadlessContext::HeadlessContext(std::unique_ptr<Egl> egl) : egl_(std::move(egl)) {}

HeadlessContext::~HeadlessContext() = default;

std::unique_ptr<HeadlessContext> HeadlessContext::Create(std::string* error)
{
    std::string ignored;
    std::string& message = error ? *error : ignored;
    message = "no EGL display";
    crt::KeepSoftwareRasterisingOnCallingThread();

    struct Attempt {
        bool surfaceless;
        bool pbuffer;
    };
    for (const Attempt attempt : {Attempt{true, false}, Attempt{false, true}}) {
        auto egl = std::make_unique<Egl>();
        egl->display = attempt.surfaceless ? OpenSurfacelessDisplay() : eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (MakeContext(egl->display, attempt.pbuffer, &message, &egl->surface, &egl->context))
            return std::unique_ptr<HeadlessContext>(new HeadlessContext(std::move(egl)));
    }
    message = "cannot create a headless OpenGL 3.3 core context: " + message;
    return nullptr;
}

bool HeadlessContext::MakeCurrent()
{
    return eglMakeCurrent(egl_->display, egl_->surface, egl_->surface, egl_->context);
}

std::unique_ptr<Device> CreateHeadlessDevice(const PresentParameters& parameters, std::string* error)
{
    std::string reason;
    std::unique_ptr<HeadlessContext> context = HeadlessContext::Create(&reason);
    std::unique_ptr<Device> device;
    if (!context)
        reason = "no headless OpenGL context: " + reason;
    else if (!(device = Device::Create(std::move(context), parameters, &reason)))
        reason = "no graphics device: " + reason;
    if (!device && error)
        *error = reason;
    return device;
}

std::unique_ptr<Device> CreateHeadlessDevice(std::uint32_t width, std::uint32_t height, std::string* error)
{
    PresentParameters parameters;
    parameters.backBufferWidth = width;
    parameters.backBufferHeight = height;
    return CreateHeadlessDevice(parameters, error);
}

} // namespace gfx
