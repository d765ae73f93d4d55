// Image effects per frame: the clock and the inputs of a road-A effect and
// of a road-B effect on a host that records its draws instead of drawing
// (the effects' own cost), and a whole 1920 x 1080 frame of a slide with
// seven effects (a render-target switch among them) on a headless device.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "effects/CentreDistortionFX.h"
#include "effects/EffectClasses.h"
#include "effects/FlowFieldFX.h"
#include "effects/LineDistortionFX.h"
#include "effects/WaterfallCloudFX.h"
#include "effects/PatternBrush.h"
#include "effects/WaterMoveFX.h"
#include "effects/WavesLightFX.h"
#include "objectmodel/DocumentClasses.h"
#include "objectmodel/SceneDocument.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/PictureScene.h"
#include "render/QuadTextured.h"
#include "render/RenderContext.h"
#include "render/RenderObject.h"
#include "render/ResourceLoading.h"
#include "render/SharedResource.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/DocumentWriter.h"

namespace {

constexpr std::uint32_t kWidth = 1920, kHeight = 1080;

// A renderer that only counts the draws.
class CountingHost : public DS_ABRender {
public:
    void PushView(std::uint32_t, std::uint32_t, int) override {}
    void PopView() override {}
    void DrawIndexedWithEffect(QuadBatchBuffer&, gfx::Effect&) override { ++draws; }
    void DrawWithEffect(TexturedQuad&, gfx::Effect&) override { ++draws; }
    void DrawIndexedOptionalEffect(QuadBatchBuffer&, gfx::Effect*, std::uint32_t, std::uint32_t) override {}
    void DrawColoredWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawSpriteList(MeshItem&) override {}
    void DrawTexturedBatch(DS_SpriteArrayObj&) override {}
    void DrawMeshList(TexturedBatch&) override {}
    void DrawMirrored(MirroredGrid&, int) override {}
    void SwitchRenderTarget(int&) override {}
    gfx::Texture* GetTargetTexture() override { return nullptr; }
    TexturedQuad& GetBackgroundQuad() override { return quad; }
    std::uint32_t GetWidth() const override { return kWidth; }
    std::uint32_t GetHeight() const override { return kHeight; }

    TexturedQuad quad;
    long draws = 0;
};

// A grid-drawing effect on road B (common inputs, its own input, then the
// grid or the picture by mode).
class RoadBEffect : public DS_FX_Constructor {
public:
    RoadBEffect() { effectLink.StorePathAndId(kxi_string(kCommonResModule), kCommonResMoveEffect); }
    void Attach(gfx::Ref<gfx::Texture>* holder) override { AttachWithGrid(holder); }
    void Apply(DS_ABRender& host) override
    {
        SetCommonParams(host);
        if (effect) {
            const float shift[2] = {Waveform(3) * 0.01f, 0.0f};
            effect->SetFloatArray("Direction", shift, 2);
        }
        DrawWithTechnique(host);
    }
    std::unique_ptr<DS_FX_Constructor> Clone() const override { return std::make_unique<RoadBEffect>(*this); }
};

struct HeadlessScene {
    explicit HeadlessScene(std::uint32_t width, std::uint32_t height)
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(width, height, &error);
        if (!device)
            return;
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        InstallRenderDocResManager();
        RegisterEffectClasses();
        manager = std::make_unique<DS_DocResManager>();
        current = std::make_unique<CurrentDocResManagerScope>(manager.get());
        context = std::make_unique<RenderContext>();
        contextScope = std::make_unique<CurrentRenderContextScope>(context.get());
    }

    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    std::unique_ptr<DS_DocResManager> manager;
    std::unique_ptr<CurrentDocResManagerScope> current;
    std::unique_ptr<RenderContext> context;
    std::unique_ptr<CurrentRenderContextScope> contextScope;
};

template <class Effect>
void RunEffectFrames(benchmark::State& state)
{
    HeadlessScene scene(64, 64);
    if (!scene.device) {
        state.SkipWithError("no headless device");
        return;
    }
    Effect description;
    description.mode.value = static_cast<std::int32_t>(state.range(0));
    auto object = description.CreateRenderObject();
    CountingHost host;
    float time = 0.0f;
    for (auto _ : state) {
        object->Update(time);
        object->Render(host);
        time += 0.016f;
    }
    // Draws per frame: 1 when the effect was attached and drew.
    state.counters["draws"] = benchmark::Counter(double(host.draws), benchmark::Counter::kAvgIterations);
}

void BM_RoadAEffectFrame(benchmark::State& state)
{
    RunEffectFrames<DS_MoveFX>(state);
}
BENCHMARK(BM_RoadAEffectFrame)->Arg(0)->Arg(1);

void BM_RoadBEffectFrame(benchmark::State& state)
{
    RunEffectFrames<RoadBEffect>(state);
}
BENCHMARK(BM_RoadBEffectFrame)->Arg(0)->Arg(1);

// The picture, a mask under an effect's key, and the slide's seven effects.
std::uint32_t Lagoon(std::uint32_t, std::uint32_t y)
{
    const std::uint32_t shade = 80 + (y * 150) / kHeight;
    return y > kHeight * 2 / 3 ? (0x20u << 16) | (shade << 8) | 0xB0u : (shade << 16) | (shade << 8) | 0xE0u;
}

void StorePicture(DS_DocResManager& manager, const LinkKey& link)
{
    ModuleResourceBlob stored(u"lagoon.bmp");
    stored.SetBytes(bmp_fixture::BmpPicture(kWidth, kHeight, Lagoon));
    DocResManagerRecord record;
    record.textureSetRecords[link] = {stored};
    DocumentWriter writer;
    writer.DocResManager(record);
    MemoryArchive archive(writer.Bytes());
    ReadDocResManagerRecord(archive.Reader(), manager);
}

// The lagoon picture, stored in the scene's manager, shown by a light over
// the whole 1920 x 1080 back buffer with the picture fitted.
const LinkKey kLagoonPicture{u"pictures\\lagoon.bmp", 104};

std::unique_ptr<DS_2D_Light> MakeLagoonLight(HeadlessScene& scene)
{
    StorePicture(*scene.manager, kLagoonPicture);
    auto light = std::make_unique<DS_2D_Light>();
    light->BackgroundLink().StorePathAndId(kLagoonPicture.path, kLagoonPicture.id);
    g_RenderTargetSizing = RenderTargetSizing{1, std::int32_t(kWidth), std::int32_t(kHeight)};
    light->CreateDeviceObjects();
    QuadVertices view;
    view.FillTarget(*scene.device);
    light->ApplyView(view);
    light->OnResetDevice();
    light->SetPictureMode(1);
    return light;
}

// Frames 0.03 s apart of `objects` over the light, three of them before
// timing; each frame waits for the device.
void TimeSlideFrames(benchmark::State& state, gfx::Device& device, DS_2D_Light& light, RenderObjectList& objects)
{
    float time = 0.0f;
    const auto frame = [&] {
        for (auto& object : objects)
            object->Update(time);
        light.RenderFrame(objects, false);
        device.Present();
        time += 0.03f;
    };
    for (int warm = 0; warm < 3; ++warm)
        frame();
    for (auto _ : state)
        frame();
}

void BM_ImageEffectSlideFrame1080p(benchmark::State& state)
{
    HeadlessScene scene(kWidth, kHeight);
    if (!scene.device) {
        state.SkipWithError("no headless device");
        return;
    }
    const std::unique_ptr<DS_2D_Light> light = MakeLagoonLight(scene);

    DS_WaterFX water;
    DS_WavesFX waves;
    DS_UnderwaterFX underwater;
    DS_MoveFX move;
    move.kind.value = 3;
    DS_LightFX flicker;
    flicker.flickerMode.value = 2;
    DS_PatternBrush pattern;
    DS_LightFX_II screen;
    screen.effectLink.StorePathAndId(kxi_string(kCommonResModule), kCommonResLightBlendEffect);
    screen.blendMode.value = 1;
    screen.strength.SetValue(40, nullptr);
    RenderObjectList objects;
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&screen, &flicker, &pattern, &move,
                                                                           &waves, &water, &underwater})
        objects.emplace_back(fx->CreateRenderObject().release());

    TimeSlideFrames(state, *scene.device, *light, objects);
}
BENCHMARK(BM_ImageEffectSlideFrame1080p)->Unit(benchmark::kMillisecond);

// ---- distortion effects

// Links `fx` to bytes of the other platform's effect language, as documents
// do for the classes without a default link: they play their built-in
// effect.
void LinkForeignEffect(DS_DocResManager& manager, DS_FX_Constructor& fx)
{
    const LinkKey key{u"effects\\foreign.fx", 77};
    auto& records = manager.GetResourceRecords(key);
    if (records.empty()) {
        ModuleResourceBlob bytes(u"foreign.fx");
        bytes.SetBytes({'f', 'l', 'o', 'a', 't', '4', ' ', 'm', 'a', 'i', 'n'});
        records.push_back(bytes);
    }
    if (fx.effectLink.Path().empty())
        fx.effectLink.StorePathAndId(key.path, key.id);
}

// Update plus Apply of one distortion effect per frame on the counting host,
// its region the whole picture (the waterfall with 4 layers).
template <class Effect>
void BM_DistortionEffectFrame(benchmark::State& state)
{
    HeadlessScene scene(64, 64);
    if (!scene.device) {
        state.SkipWithError("no headless device");
        return;
    }
    Effect description;
    LinkForeignEffect(*scene.manager, description);
    if constexpr (std::is_same_v<Effect, DS_WaterfallFX>)
        description.layerCount.value = 4;
    if constexpr (std::is_same_v<Effect, DS_CloudFX>) {
        // The clouds draw only over a cloud picture.
        const LinkKey cloud{u"pictures\\cloud.bmp", 105};
        StorePicture(*scene.manager, cloud);
        description.cloudLink.StorePathAndId(cloud.path, cloud.id);
    }
    auto object = description.CreateRenderObject();
    CountingHost host;
    float time = 0.0f;
    const auto frame = [&] {
        object->Update(time);
        object->Render(host);
        time += 0.016f;
    };
    for (int warm = 0; warm < 10; ++warm)
        frame();
    host.draws = 0;
    for (auto _ : state)
        frame();
    state.counters["draws"] = benchmark::Counter(double(host.draws), benchmark::Counter::kAvgIterations);
}
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_ExpandFX);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_RadialWaveFX);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_RotationFX);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_BendFX);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_PerspectiveFX);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_StretchFX);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_VarrowLinear);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_VarrowRadial);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_VarrowVortical);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_WaterfallFX);
BENCHMARK_TEMPLATE(BM_DistortionEffectFrame, DS_CloudFX);

// A 1920 x 1080 frame of the falls: clouds over the sky band, a waterfall of
// 16 layers with its noise pass, radial waves and a vortex on the lake.
void BM_WaterfallSlideFrame1080p(benchmark::State& state)
{
    HeadlessScene scene(kWidth, kHeight);
    if (!scene.device) {
        state.SkipWithError("no headless device");
        return;
    }
    const LinkKey picture = kLagoonPicture;
    const std::unique_ptr<DS_2D_Light> light = MakeLagoonLight(scene);

    const float w = float(kWidth), h = float(kHeight);
    const auto regionOf = [](DS_FX_Constructor& fx, float x0, float y0, float x1, float y1) {
        const math::Vec3 corners[4] = {{x0, y0, 0}, {x1, y0, 0}, {x0, y1, 0}, {x1, y1, 0}};
        for (int i = 0; i < 4; ++i)
            fx.region.corners[i].value = corners[i];
    };
    DS_CloudFX clouds; // the lagoon picture itself is the cloud picture
    clouds.cloudLink.StorePathAndId(picture.path, picture.id);
    clouds.density.SetValue(40, nullptr);
    regionOf(clouds, 0, 0, w, 0.3f * h);
    DS_WaterfallFX falls;
    falls.layerCount.value = 16;
    falls.noiseLink.StorePathAndId(picture.path, picture.id);
    falls.noiseAmplitude.SetValue(60, nullptr);
    falls.magnitude.SetValue(40, nullptr);
    falls.angle.SetValue(270, nullptr);
    regionOf(falls, 0.3f * w, 0.25f * h, 0.45f * w, 0.8f * h);
    DS_RadialWaveFX rings;
    rings.centre.value = {0.38f * w, 0.82f * h, 0.0f};
    DS_VarrowVortical vortex;
    vortex.amplitude.SetValue(8, nullptr);
    vortex.centre.value = {0.75f * w, 0.88f * h, 0.0f};
    regionOf(vortex, 0, 0.75f * h, w, h);
    RenderObjectList objects;
    for (DS_FX_Constructor* fx : std::initializer_list<DS_FX_Constructor*>{&vortex, &rings, &falls, &clouds}) {
        LinkForeignEffect(*scene.manager, *fx);
        objects.emplace_back(fx->CreateRenderObject().release());
    }

    TimeSlideFrames(state, *scene.device, *light, objects);
}
BENCHMARK(BM_WaterfallSlideFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace
