// Mesa's software rasteriser frees a finished scene's fence while its worker
// thread may still be unlocking the fence's mutex, a write into freed memory
// that corrupted the player's heap after long runs. Devices therefore make
// the rasteriser draw on the calling thread. Under ThreadSanitizer, which
// sees the worker's lock and the waiting thread's destroy of that mutex
// without an order between them, these frames fail at once when a worker
// thread is left running.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gfx/Device.h"
#include "tests/platform/gfx/GfxTestSupport.h"

namespace gfx::test {
namespace {

TEST(RasteriserThreadsTest, FramesReadBackWhileTheEnvironmentAskedForWorkerThreads)
{
    // What a user's or a test run's environment may ask for.
    setenv("LP_NUM_THREADS", "2", 1);
    std::string error;
    auto device = MakeDevice(32, 32, &error);
    ASSERT_NE(device, nullptr) << error;
    EXPECT_STREQ(std::getenv("LP_NUM_THREADS"), "0") << "the device asks the rasteriser for no worker threads";

    // Every read-back waits for the rasteriser's fence of that frame.
    for (std::uint32_t frame = 0; frame < 300; ++frame) {
        const std::uint32_t colour = 0xFF000000u | (frame * 0x010305u & 0xFFFFFFu);
        ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, colour, 1.0f, 0), kOk);
        const auto pixels = ReadTarget(*device);
        ASSERT_EQ(pixels.size(), 32u * 32u);
        ASSERT_EQ(pixels[17 * 32 + 5], colour) << "frame " << frame;
    }
}

} // namespace
} // namespace gfx::test
