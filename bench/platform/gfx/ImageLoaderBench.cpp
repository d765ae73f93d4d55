// Decoding a full-HD picture and making its texture: the CPU part (decode,
// round up to 2048 x 2048 and filter) and the upload to a headless device.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/gfx/HeadlessContext.h"
#include "platform/gfx/TextureLoaderDevice.h"

extern "C" {
#include <stb/stb_image_write.h>
}

namespace gfx {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// A picture with smooth gradients and some detail, as photographs have.
std::vector<std::uint8_t> Picture(bool jpeg) {
    std::vector<std::uint8_t> rgb(std::size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &rgb[(std::size_t(y) * kWidth + x) * 3];
            p[0] = std::uint8_t(x * 255 / kWidth);
            p[1] = std::uint8_t(y * 255 / kHeight);
            p[2] = std::uint8_t((x ^ y) & 0xFF);
        }
    std::vector<std::uint8_t> out;
    auto sink = [](void* context, void* data, int size) {
        auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
        bytes->insert(bytes->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    };
    if (jpeg)
        stbi_write_jpg_to_func(sink, &out, kWidth, kHeight, 3, rgb.data(), 90);
    else
        stbi_write_png_to_func(sink, &out, kWidth, kHeight, 3, rgb.data(), kWidth * 3);
    return out;
}

TextureLoadOptions PictureOptions() {
    TextureLoadOptions options;
    options.mipLevels = 1;
    return options;
}

void BM_DecodeAndSize(benchmark::State& state) {
    const auto file = Picture(state.range(0) != 0);
    for (auto _ : state) {
        std::string error;
        auto texture = PrepareTextureImage(file, PictureOptions(), error);
        benchmark::DoNotOptimize(texture);
    }
    state.SetLabel(state.range(0) ? "jpeg" : "png");
}
BENCHMARK(BM_DecodeAndSize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Upload(benchmark::State& state) {
    std::string error;
    auto device = CreateHeadlessDevice(16, 16, &error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::string reason;
    const auto image = PrepareTextureImage(Picture(state.range(0) != 0), PictureOptions(), reason);
    for (auto _ : state) {
        Texture* texture = nullptr;
        CreateTextureFromImage(*device, *image, 0, Pool::Managed, &texture);
        texture->Release();
    }
    state.SetLabel(state.range(0) ? "jpeg" : "png");
}
BENCHMARK(BM_Upload)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gfx
