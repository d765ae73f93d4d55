// Quad filling: the per-frame work of a quad batch array's owner on one full
// batch of 16383 quads (lock, write every quad's corners, colour and
// texture coordinates, unlock, which sends the vertices to GL), and the
// once-per-growth index build of such a batch.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/QuadBatchArray.h"
#include "render/QuadBatchBuffer.h"

namespace {

constexpr std::int32_t kQuads = QuadBatchArray::kQuadsPerBatch;

std::unique_ptr<gfx::Device> MakeDevice(benchmark::State& state)
{
    std::string error;
    std::unique_ptr<gfx::Device> device = gfx::CreateHeadlessDevice(64, 64, &error);
    if (!device)
        state.SkipWithError(error.c_str());
    return device;
}

void WriteQuad(QuadBatchVertex* quad, float x, float y, std::uint32_t colour)
{
    const float corners[4][4] = {{x, y + 4, 0, 1}, {x, y, 0, 0}, {x + 4, y + 4, 1, 1}, {x + 4, y, 1, 0}};
    for (int i = 0; i < 4; ++i)
        quad[i] = {corners[i][0], corners[i][1], 0.0f, colour, corners[i][2], corners[i][3]};
}

void BM_QuadFill(benchmark::State& state)
{
    const auto device = MakeDevice(state);
    if (!device)
        return;
    QuadBatchArray array;
    if (!array.Resize(*device, kQuads)) {
        state.SkipWithError("the batch could not be made");
        return;
    }
    std::uint32_t frame = 0;
    for (auto _ : state) {
        array.LockAll();
        for (std::int32_t i = 0; i < kQuads; ++i) {
            QuadBatchVertex* quad = array.QuadVerticesAt(i);
            WriteQuad(quad, float(i % 128) * 4.0f, float(i / 128) * 4.0f, 0xFF000000u | (frame + std::uint32_t(i)));
        }
        array.UnlockAll();
        benchmark::ClobberMemory();
        ++frame;
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kQuads);
}
BENCHMARK(BM_QuadFill);

void BM_QuadBatchBuild(benchmark::State& state)
{
    const auto device = MakeDevice(state);
    if (!device)
        return;
    QuadBatchBuffer batch;
    for (auto _ : state) {
        if (!batch.BuildQuadIndices(*device, kQuads)) {
            state.SkipWithError("the batch could not be made");
            return;
        }
        benchmark::DoNotOptimize(batch.indices.Buffer());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kQuads);
}
BENCHMARK(BM_QuadBatchBuild);

} // namespace
