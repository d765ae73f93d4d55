// The device's hot paths: one full batch of textured quads into a
// full-HD target, and the per-draw choice of the generated program.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "platform/math/MathFunctions.h"

namespace gfx {
namespace {

struct QuadVertex { // FVF 0x142: XYZ | DIFFUSE | TEX1
    float x, y, z;
    std::uint32_t color;
    float u, v;
};

constexpr std::uint32_t kQuads = 16383; // one batch: 65532 vertices, 16-bit indices
constexpr std::uint32_t kWidth = 1920, kHeight = 1080;

std::unique_ptr<Device> MakeDevice(std::uint32_t width, std::uint32_t height, benchmark::State& state)
{
    std::string error;
    std::unique_ptr<Device> device = CreateHeadlessDevice(width, height, &error);
    if (!device)
        state.SkipWithError(error.c_str());
    return device;
}

template <typename T>
Ref<T> Adopt(T* object)
{
    return Ref<T>::Adopt(object);
}

// Quads of 24 x 24 pixels scattered over the target, alpha-blended with a
// 64 x 64 texture: the particle batches' draw.
void BM_DrawFullQuadBatch(benchmark::State& state)
{
    std::unique_ptr<Device> device = MakeDevice(kWidth, kHeight, state);
    if (!device)
        return;
    VertexBuffer* vb = nullptr;
    IndexBuffer* ib = nullptr;
    Texture* texture = nullptr;
    device->CreateVertexBuffer(kQuads * 4 * sizeof(QuadVertex), Usage::WriteOnly, 0x142, Pool::Managed, &vb);
    device->CreateIndexBuffer(kQuads * 6 * 2, Usage::WriteOnly, Format::Index16, Pool::Managed, &ib);
    device->CreateTexture(64, 64, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture);
    Ref<VertexBuffer> vertices = Adopt(vb);
    Ref<IndexBuffer> indices = Adopt(ib);
    Ref<Texture> picture = Adopt(texture);

    void* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    auto* v = static_cast<QuadVertex*>(data);
    for (std::uint32_t q = 0; q < kQuads; ++q) {
        const float x = float((q * 37) % (kWidth - 24)), y = float((q * 91) % (kHeight - 24));
        v[4 * q + 0] = {x, y + 24, 0, 0x80FFFFFF, 0, 1};
        v[4 * q + 1] = {x, y, 0, 0x80FFFFFF, 0, 0};
        v[4 * q + 2] = {x + 24, y + 24, 0, 0x80FFFFFF, 1, 1};
        v[4 * q + 3] = {x + 24, y, 0, 0x80FFFFFF, 1, 0};
    }
    vb->Unlock();
    ib->Lock(0, 0, &data, 0);
    auto* index = static_cast<std::uint16_t*>(data);
    for (std::uint32_t q = 0; q < kQuads; ++q) {
        const std::uint16_t base = std::uint16_t(4 * q);
        const std::uint16_t quad[6] = {base, std::uint16_t(base + 1), std::uint16_t(base + 2),
                                       std::uint16_t(base + 2), std::uint16_t(base + 1), std::uint16_t(base + 3)};
        std::memcpy(index + 6 * q, quad, sizeof quad);
    }
    ib->Unlock();
    LockedRect locked;
    texture->LockRect(0, &locked, nullptr, 0);
    std::memset(locked.bits, 0xC0, std::size_t(locked.pitch) * 64);
    texture->UnlockRect(0);

    math::Matrix projection;
    math::MatrixOrthoOffCenterLH(&projection, 0, kWidth, kHeight, 0, -5000, 5000);
    device->SetTransform(TransformState::Projection, projection);
    device->SetRenderState(RenderState::Lighting, kFalse);
    device->SetRenderState(RenderState::ZEnable, kFalse);
    device->SetRenderState(RenderState::CullMode, std::uint32_t(Cull::None));
    device->SetRenderState(RenderState::AlphaBlendEnable, kTrue);
    device->SetRenderState(RenderState::SrcBlend, std::uint32_t(Blend::SrcAlpha));
    device->SetRenderState(RenderState::DestBlend, std::uint32_t(Blend::InvSrcAlpha));
    device->SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(TextureOp::Modulate));
    device->SetTextureStageState(0, TextureStageState::AlphaOp, std::uint32_t(TextureOp::Modulate));
    device->SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    device->SetTextureStageState(0, TextureStageState::AlphaArg2, TextureArg::Diffuse);
    device->SetTexture(0, texture);
    device->SetFVF(0x142);
    device->SetStreamSource(0, vb, 0, sizeof(QuadVertex));
    device->SetIndices(ib);

    for (auto _ : state) {
        device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0);
        if (device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, kQuads * 4, 0, kQuads * 2) != kOk) {
            state.SkipWithError("draw refused");
            break;
        }
        device->Present(); // waits for the frame
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kQuads);
}
BENCHMARK(BM_DrawFullQuadBatch)->Unit(benchmark::kMillisecond);

// Choosing the program for a draw after a state change: building the key
// from the device state and finding it among the cached programs.
void BM_FixedFunctionProgramLookup(benchmark::State& state)
{
    std::unique_ptr<Device> device = MakeDevice(16, 16, state);
    if (!device)
        return;
    DeviceState deviceState(true);
    deviceState.SetRenderState(RenderState::Lighting, kFalse);
    const VertexLayout layout = *DecodeFvf(0x142);
    ProgramCache cache;
    bool built = false;
    const TextureOp ops[2] = {TextureOp::Modulate, TextureOp::SelectArg1};
    for (TextureOp op : ops) {
        deviceState.SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(op));
        cache.Find(MakeFixedFunctionKey(deviceState, layout, 1), &built);
    }
    std::uint32_t i = 0;
    for (auto _ : state) {
        deviceState.SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(ops[++i & 1]));
        benchmark::DoNotOptimize(cache.Find(MakeFixedFunctionKey(deviceState, layout, 1), &built));
    }
}
BENCHMARK(BM_FixedFunctionProgramLookup);

// A small draw through the whole device path, with a state change before
// each (the sprite and quad draws of the scene look like this).
void BM_SmallDrawWithStateChange(benchmark::State& state)
{
    std::unique_ptr<Device> device = MakeDevice(64, 64, state);
    if (!device)
        return;
    VertexBuffer* vb = nullptr;
    device->CreateVertexBuffer(4 * sizeof(QuadVertex), Usage::WriteOnly, 0x142, Pool::Managed, &vb);
    Ref<VertexBuffer> vertices = Adopt(vb);
    device->SetRenderState(RenderState::Lighting, kFalse);
    device->SetFVF(0x142);
    device->SetStreamSource(0, vb, 0, sizeof(QuadVertex));
    std::uint32_t i = 0;
    for (auto _ : state) {
        device->SetRenderState(RenderState::AlphaBlendEnable, ++i & 1);
        math::Matrix world;
        world.m[3][0] = float(i & 7);
        device->SetTransform(TransformState::World, world);
        device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
    }
    device->Present();
}
BENCHMARK(BM_SmallDrawWithStateChange);

} // namespace
} // namespace gfx
