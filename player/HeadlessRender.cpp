#include "player/HeadlessRender.h"

#include <exception>
#include <new>

extern "C" {
#include <stb/stb_image_write.h>
}

#include "objectmodel/DocumentError.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/ResourceAdapters.h"
#include "render/ResourceLoading.h"

namespace player {

namespace {

// The most frames one render plays: a day of frames at the shortest period.
constexpr double kMaxSeconds = 24.0 * 3600.0;

bool Play(WallpaperPlayer& player, gfx::Device& device, const DocumentSource& source,
          const HeadlessRenderOptions& options)
{
    player.SetMonitors({win::MonitorEntry{nullptr, win::RECT{0, 0, std::int32_t(options.width),
                                                             std::int32_t(options.height)}}});
    player.SetDeviceWindowSize(std::int32_t(options.width), std::int32_t(options.height));
    player.DeviceReset(device);
    player.LoadScene(source);
    player.SetPicturePosition(options.picturePosition);
    const double step = options.framePeriodMs / 1000.0;
    // Whole frames from 0 up to the last one at or before `seconds`, which
    // is the frame kept.
    const auto frames = static_cast<std::uint64_t>(options.seconds / step + 1e-9);
    for (std::uint64_t i = 0; i <= frames; ++i) {
        const double time = i == frames ? options.seconds : double(i) * step;
        player.FrameMove(time);
        if (player.FrameRender(device) != S_OK)
            return false;
        if (i != frames)
            device.Present();
    }
    return true;
}

} // namespace

bool RenderHeadless(const DocumentSource& source, const HeadlessRenderOptions& options, HeadlessFrame& frame,
                    std::string& error)
{
    if (options.width == 0 || options.height == 0 || options.framePeriodMs == 0) {
        error = "the size and the frame period must not be 0";
        return false;
    }
    if (!(options.seconds >= 0.0 && options.seconds <= kMaxSeconds)) {
        error = "the time must be between 0 and 86400 seconds";
        return false;
    }
    InstallPlayerDocumentClasses();
    InstallResourceFinders();
    auto device = gfx::CreateHeadlessDevice(options.width, options.height, &error);
    if (!device)
        return false;
    ResourceDeviceScope resourceDevice(device.get());
    try {
        WallpaperPlayer player;
        if (!Play(player, *device, source, options)) {
            error = "the scene drew no frame";
            return false;
        }
        gfx::Surface* backBuffer = nullptr;
        if (device->GetBackBuffer(&backBuffer) != gfx::kOk) {
            error = "no back buffer to read";
            return false;
        }
        const auto surface = gfx::Ref<gfx::Surface>::Adopt(backBuffer);
        frame.width = options.width;
        frame.height = options.height;
        if (device->ReadPixels(surface.Get(), &frame.pixels) != gfx::kOk) {
            error = "the frame could not be read back";
            return false;
        }
        return true;
    } catch (const DS_Error& failure) {
        error = failure.what();
    } catch (const DocumentOpenFailure&) {
        error = "Cannot open file: Wrong file format.";
    } catch (const std::bad_alloc&) {
        error = "out of memory";
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    return false;
}

bool WriteFramePng(const HeadlessFrame& frame, const std::string& path, std::string& error)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(frame.pixels.size() * 4);
    for (std::uint32_t pixel : frame.pixels) {
        rgba.push_back(std::uint8_t(pixel >> 16));
        rgba.push_back(std::uint8_t(pixel >> 8));
        rgba.push_back(std::uint8_t(pixel));
        rgba.push_back(0xFF);
    }
    if (!stbi_write_png(path.c_str(), int(frame.width), int(frame.height), 4, rgba.data(), int(frame.width) * 4)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace player
