// One frame of the sprite scene objects at one full batch (16383 sprites):
// every sprite's update (with its edge rules, rebirths and turns) and the
// quads written into the batch. A flow with four wrap rules with fades,
// rain, and fog, over a 1920 x 1080 picture.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "objectmodel/SceneDocument.h"
#include "objects/AtmosphereSpriteConstructors.h"
#include "objects/FlowConstructor.h"
#include "particles/systems/SpriteArrayObj.h"
#include "platform/crt/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/DocResManager.h"
#include "render/ResourceLoading.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/DocumentWriter.h"

namespace {

const LinkKey kSprite{u"pictures\\sprite.bmp", 1};

// A headless device (the batch lives in its buffers) and a current manager
// holding the sprite picture, with a 1920 x 1080 picture size.
struct Scene {
    explicit Scene(benchmark::State& state)
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(64, 64, &error);
        if (!device) {
            state.SkipWithError(error.c_str());
            return;
        }
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        managerScope = std::make_unique<CurrentDocResManagerScope>(&manager);
        DocResManagerRecord record;
        ModuleResourceBlob picture(u"sprite.bmp");
        picture.SetBytes(bmp_fixture::BmpPicture(16, 16, [](std::uint32_t x, std::uint32_t) { return 0x80C0F0u + x; }));
        record.textureSetRecords[kSprite] = {picture};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), manager);
        manager.ScreenInfoRecord().pictureWidth = 1920;
        manager.ScreenInfoRecord().pictureHeight = 1080;
    }

    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    DS_DocResManager manager;
    std::unique_ptr<CurrentDocResManagerScope> managerScope;
};

void Fill(DS_ParticleSystemCtrl& description)
{
    description.spriteImage.StorePathAndId(kSprite.path, kSprite.id);
    description.spriteCount.StoreValue(ParticleGeomArray::kMaxSprites);
    description.spriteSize.StoreValue(24);
}

// Frames of 30 ms after 100 frames of warming up.
void RunFrames(benchmark::State& state, DS_ParticleSystemCtrl& description)
{
    crt::srand(1);
    std::unique_ptr<KXI_RenderObj> made = description.CreateRenderObject();
    float time = 0.0f;
    for (int frame = 0; frame < 100; ++frame)
        made->Update(time += 0.03f);
    for (auto _ : state) {
        made->Update(time += 0.03f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * ParticleGeomArray::kMaxSprites);
}

void BM_FlowFrameWithWrapRules(benchmark::State& state)
{
    Scene scene(state);
    if (!scene.device)
        return;
    DS_FlowConstructor flow;
    Fill(flow);
    flow.speed = 400.0f;
    flow.direction.SetValue(30, nullptr);
    flow.wobble.QuietSet(20);
    flow.changeRate.QuietSet(8);
    for (DS_BoundControl& side : flow.bounds) {
        side.fadeOutTime.StoreValue(200);
        side.fadeInTime.StoreValue(300);
        side.minDelay.StoreValue(100);
        side.maxDelay.StoreValue(500);
    }
    RunFrames(state, flow);
}
BENCHMARK(BM_FlowFrameWithWrapRules);

void BM_RainFrame(benchmark::State& state)
{
    Scene scene(state);
    if (!scene.device)
        return;
    DS_RainConstructor rain;
    Fill(rain);
    rain.brightnessRate = 1.0f;
    rain.brightnessMin = 0.2f;
    RunFrames(state, rain);
}
BENCHMARK(BM_RainFrame);

void BM_FogFrame(benchmark::State& state)
{
    Scene scene(state);
    if (!scene.device)
        return;
    DS_FogConstructor fog;
    Fill(fog);
    fog.brightnessRate = 0.3f;
    RunFrames(state, fog);
}
BENCHMARK(BM_FogFrame);

} // namespace
