// Generator hot paths: the particle step with the three processes every
// emitted particle gets, emission along the emitters, the fan of radial rays
// that is rebuilt on every Render, and one masked draw with its composite at
// 1920 x 1080 (the memory of that mask surface is reported as a counter).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "particles/generators/ParticlesObj.h"
#include "particles/generators/RadialRays.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/PictureFit.h"
#include "render/QuadTextured.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"

namespace {

class BenchGenerator : public DS_ParticleGenerator {
public:
    BenchGenerator()
    {
        emissionSwitch.StoreValue(1);
        lifetime.SetValue(1000, nullptr);
        particleSpeed.SetValue(50, nullptr);
    }
    void Render(DS_ABRender&, DS_ParticlesObj&) override {}
    void BuildGeometry(DS_ParticlesObj&) override {}
    std::unique_ptr<DS_ParticleGenerator> Clone() const override { return std::make_unique<BenchGenerator>(*this); }
};

void BM_UpdateGenParticles(benchmark::State& state)
{
    BenchGenerator generator;
    GenParticle source;
    GenParticleList particles;
    for (int i = 0; i < 10000; ++i) {
        GenParticle& particle = particles.emplace_back();
        particle.Init(float(i % 100), float(i / 100), 0.0f);
        generator.InitParticle(particle, source);
    }
    for (auto _ : state) {
        UpdateGenParticles(0.001f, particles);
        benchmark::DoNotOptimize(particles.front().position);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(particles.size()));
}
BENCHMARK(BM_UpdateGenParticles);

void BM_EmitAlongEmitters(benchmark::State& state)
{
    BenchGenerator generator;
    generator.emissionRate.SetValue(1000, nullptr);
    GenParticle& emitter = generator.emitters.emplace_back();
    emitter.Init(0, 0, 0);
    float time = 0.0f;
    for (auto _ : state) {
        emitter.position = {time, time, 0.0f};
        time += 1.0f;
        generator.EmitAlongEmitters(time); // 1000 particles
        state.PauseTiming();
        generator.particles.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_EmitAlongEmitters);

// A headless device as the resource device with a current manager.
struct HeadlessScope {
    explicit HeadlessScope(std::uint32_t width, std::uint32_t height)
    {
        device = gfx::CreateHeadlessDevice(width, height, &error);
        if (!device)
            return;
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        manager = std::make_unique<DS_DocResManager>();
        current = std::make_unique<CurrentDocResManagerScope>(manager.get());
    }
    ~HeadlessScope()
    {
        current.reset();
        manager.reset();
        resourceDevice.reset();
    }

    std::string error;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    std::unique_ptr<DS_DocResManager> manager;
    std::unique_ptr<CurrentDocResManagerScope> current;
};

DS_RadialRays LightBeams(std::uint32_t count)
{
    DS_RadialRays rays;
    rays.length.StoreValue(484);
    rays.width.StoreValue(39);
    rays.count.StoreValue(count);
    rays.random.StoreValue(1);
    rays.variation.QuietSet(12);
    rays.rotationSpeed.QuietSet(4);
    rays.timingFloor.QuietSet(25);
    rays.position.StoreValue({960.0f, 10.0f, 0.0f});
    return rays;
}

void BM_BuildRays(benchmark::State& state)
{
    HeadlessScope scope(64, 64);
    if (!scope.device) {
        state.SkipWithError(scope.error.c_str());
        return;
    }
    DS_ParticlesObj object(LightBeams(std::uint32_t(state.range(0))).Clone());
    auto& rays = static_cast<DS_RadialRays&>(*object.Generator());
    float time = 0.0f;
    for (auto _ : state) {
        object.Animate(time += 0.016f);
        rays.BuildRays(object);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildRays)->Arg(15)->Arg(16383);

// Draws what the generator passes ask for, straight through the device, with
// the canvas stretched over the target: enough for the mask pass and the
// composite to cost what they cost in a frame.
class DirectRenderer : public DS_ABRender {
public:
    DirectRenderer(gfx::Device& device, std::uint32_t width, std::uint32_t height) : m_device(device)
    {
        m_background.Build(device);
        m_background.SetSize(float(width), float(height));
        m_projection = OrthoOverTarget(float(width), float(height));
    }
    void PushView(std::uint32_t, std::uint32_t, int) override {}
    void PopView() override {}
    void DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect* effect, std::uint32_t,
                                   std::uint32_t quads) override
    {
        Prepare();
        m_device.SetIndices(batch.indices.Buffer());
        m_device.SetFVF(QuadBatchVertex::kFvf);
        m_device.SetStreamSource(0, batch.vertices.Buffer(), 0, sizeof(QuadBatchVertex));
        Passes(effect, [&] {
            m_device.DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, 4 * quads, 0, 2 * quads);
        });
    }
    void DrawWithEffect(TexturedQuad& quad, gfx::Effect& effect) override
    {
        Prepare();
        quad.BindStream(m_device);
        Passes(&effect, [&] { quad.DrawStrip(m_device); });
    }
    gfx::Texture* GetTargetTexture() override { return nullptr; }
    TexturedQuad& GetBackgroundQuad() override { return m_background; }
    std::uint32_t GetWidth() const override { return 0; }
    std::uint32_t GetHeight() const override { return 0; }
    void DrawIndexedWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawColoredWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawSpriteList(MeshItem&) override {}
    void DrawTexturedBatch(DS_SpriteArrayObj&) override {}
    void DrawMeshList(TexturedBatch&) override {}
    void DrawMirrored(MirroredGrid&, int) override {}
    void SwitchRenderTarget(int&) override {}

private:
    void Prepare()
    {
        m_device.SetTransform(gfx::TransformState::Projection, m_projection);
        m_device.SetTransform(gfx::TransformState::View, math::Matrix{});
        m_device.SetTransform(gfx::TransformState::World, math::Matrix{});
    }
    template <class Draw>
    void Passes(gfx::Effect* effect, Draw draw)
    {
        if (!effect) {
            draw();
            return;
        }
        std::uint32_t passes = 0;
        effect->Begin(&passes, 0);
        for (std::uint32_t pass = 0; pass < passes; ++pass) {
            effect->BeginPass(pass);
            draw();
            effect->EndPass();
        }
        effect->End();
    }

    gfx::Device& m_device;
    PictureQuad m_background;
    math::Matrix m_projection;
};

void BM_LightBeamsMaskAndComposite1080p(benchmark::State& state)
{
    constexpr std::uint32_t width = 1920, height = 1080;
    HeadlessScope scope(width, height);
    if (!scope.device) {
        state.SkipWithError(scope.error.c_str());
        return;
    }
    DS_ParticlesObj object(LightBeams(15).Clone());
    auto& rays = static_cast<DS_RadialRays&>(*object.Generator());
    rays.effect = scope.manager->GetBuiltinEffect(DS_TexParticleGenerator::kBuiltinEffect);
    TextureSetEntry beam;
    gfx::Texture* raw = nullptr;
    scope.device->CreateTexture(256, 64, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, &raw);
    beam.textures = {gfx::Ref<gfx::Texture>::Adopt(raw)};
    rays.loadedTextures = {&beam};
    DirectRenderer renderer(*scope.device, width, height);
    float time = 0.0f;
    for (auto _ : state) {
        object.Animate(time += 0.03f);
        object.Render(renderer);
        scope.device->Present();
    }
    const RenderTargetPair* mask = rays.maskSurface;
    state.counters["mask_bytes"] =
        mask ? double(2) * double(mask->Width()) * double(mask->Height()) * 4.0 : 0.0;
}
BENCHMARK(BM_LightBeamsMaskAndComposite1080p)->Unit(benchmark::kMillisecond);

} // namespace
