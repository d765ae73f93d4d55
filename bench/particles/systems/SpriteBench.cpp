// The sprite pipeline's per-frame work: one sprite array of 16383 sprites
// (the most one array holds) written into its batch, and drawn through a
// picture scene; and one 1920 x 1080 frame of a slide holding an explosion
// and a glowing sprite object (render-target hand-over, glow target, blend
// and core passes).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "objectmodel/SceneDocument.h"
#include "particles/systems/Explosion.h"
#include "particles/systems/GlowController.h"
#include "particles/systems/ParticleSystemClasses.h"
#include "particles/systems/SpriteArrayObj.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/BuiltinEffects.h"
#include "render/DocResManager.h"
#include "render/PictureScene.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/DocumentWriter.h"

namespace {

const LinkKey kPicture{u"pictures\\backdrop.bmp", 1};
const LinkKey kSprite{u"pictures\\sprite.bmp", 2};
const LinkKey kNoise{u"pictures\\noise.bmp", 3};
const LinkKey kGlowEffect{u"effects\\glow.fx", 4};
const LinkKey kExplosionEffect{u"effects\\explosion.fx", 5};

// Sprites laid out on a grid, drifting a little each frame.
class GridSprites : public DS_ParticleSystemCtrl {
public:
    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override { return std::make_unique<GridSprites>(*this); }
    void InitSprite(SpriteParticle& sprite) override
    {
        sprite.position = {float(next % 128) * 15.0f, float(next / 128) * 8.0f, 0.0f};
        ++next;
    }
    void UpdateSprite(SpriteParticle& sprite) override { sprite.position.x += animationStep; }
    std::uint32_t next = 0;
};

class GlowingSprites : public DS_GlowEffectCtrl {
public:
    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override { return std::make_unique<GlowingSprites>(*this); }
    void InitSprite(SpriteParticle& sprite) override
    {
        sprite.position = {float(next % 8) * 200.0f + 200.0f, float(next / 8) * 200.0f + 200.0f, 0.0f};
        sprite.halfWidth = sprite.halfHeight = 60.0f;
        ++next;
    }
    std::uint32_t next = 0;
};

ModuleResourceBlob Stored(std::u16string name, std::vector<std::uint8_t> bytes)
{
    ModuleResourceBlob blob(std::move(name));
    blob.SetBytes(std::move(bytes));
    return blob;
}

std::vector<std::uint8_t> EffectBytes(std::string_view name)
{
    const auto bytes = FindBuiltinEffectSource(name);
    return {bytes.begin(), bytes.end()};
}

// A headless device of the frame's size with a current manager holding the
// pictures and effects, a render context, and a picture scene showing the
// backdrop over the whole target.
struct Scene {
    explicit Scene(benchmark::State& state, std::uint32_t width, std::uint32_t height)
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(width, height, &error);
        if (!device) {
            state.SkipWithError(error.c_str());
            return;
        }
        RegisterParticleSystemClasses();
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        managerScope = std::make_unique<CurrentDocResManagerScope>(&manager);
        contextScope = std::make_unique<CurrentRenderContextScope>(&context);
        savedSizing = g_RenderTargetSizing;
        g_RenderTargetSizing = RenderTargetSizing{1, std::int32_t(width), std::int32_t(height)};

        DocResManagerRecord record;
        record.textureSetRecords[kPicture] = {Stored(u"backdrop.bmp", bmp_fixture::BmpPicture(width, height, [](std::uint32_t x, std::uint32_t y) {
            return ((x / 64 + y / 64) % 2) != 0 ? 0x203040u : 0x102030u;
        }))};
        record.textureSetRecords[kSprite] = {Stored(u"sprite.bmp", bmp_fixture::BmpPicture(16, 16, [](std::uint32_t x, std::uint32_t) {
            return 0xF08020u + x;
        }))};
        record.textureSetRecords[kNoise] = {Stored(u"noise.bmp", bmp_fixture::BmpPicture(64, 64, [](std::uint32_t x, std::uint32_t y) {
            return ((x * 37 + y * 91) % 256) * 0x010101u;
        }))};
        record.storedResources[kGlowEffect] = {Stored(u"glow.fx", EffectBytes("generator-blend"))};
        record.storedResources[kExplosionEffect] = {Stored(u"explosion.fx", EffectBytes("explosion"))};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), manager);

        light = std::make_unique<DS_2D_Light>();
        light->BackgroundLink().StorePathAndId(kPicture.path, kPicture.id);
        light->CreateDeviceObjects();
        QuadVertices view;
        view.FillTarget(*device);
        light->ApplyView(view);
        light->OnResetDevice();
        light->SetPictureMode(PicturePosition::kStretch);
    }
    ~Scene()
    {
        objects.clear();
        light.reset();
        g_RenderTargetSizing = savedSizing;
    }

    static void Link(DS_FileLink3& link, const LinkKey& key) { link.StorePathAndId(key.path, key.id); }

    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    DS_DocResManager manager;
    std::unique_ptr<CurrentDocResManagerScope> managerScope;
    RenderContext context;
    std::unique_ptr<CurrentRenderContextScope> contextScope;
    RenderTargetSizing savedSizing;
    std::unique_ptr<DS_2D_Light> light;
    RenderObjectList objects;
};

std::unique_ptr<DS_SpriteArrayObj> FullArray()
{
    GridSprites description;
    Scene::Link(description.spriteImage, kSprite);
    description.spriteCount.StoreValue(ParticleGeomArray::kMaxSprites);
    description.spriteSize.StoreValue(12);
    return std::make_unique<DS_SpriteArrayObj>(description.Clone());
}

void BM_SpriteArrayFill(benchmark::State& state)
{
    Scene scene(state, 64, 64);
    if (!scene.device)
        return;
    auto array = FullArray();
    float time = 0.0f;
    for (auto _ : state) {
        time += 0.03f;
        array->Animate(time);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * ParticleGeomArray::kMaxSprites);
}
BENCHMARK(BM_SpriteArrayFill);

void BM_SpriteArrayDraw(benchmark::State& state)
{
    Scene scene(state, 1920, 1080);
    if (!scene.device)
        return;
    auto array = FullArray();
    array->Animate(0.03f);
    for (auto _ : state) {
        scene.light->DrawTexturedBatch(*array);
        scene.device->Present(); // waits until the draw is done
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * ParticleGeomArray::kMaxSprites);
}
BENCHMARK(BM_SpriteArrayDraw);

void BM_ExplosionAndGlowFrame1080p(benchmark::State& state)
{
    Scene scene(state, 1920, 1080);
    if (!scene.device)
        return;
    DS_ExplosionConstructor explosion;
    Scene::Link(explosion.effectLink, kExplosionEffect);
    Scene::Link(explosion.spriteImage, kSprite);
    Scene::Link(explosion.secondImage, kNoise);
    explosion.spriteSize.StoreValue(600);
    GlowingSprites glow;
    Scene::Link(glow.effectLink, kGlowEffect);
    Scene::Link(glow.spriteImage, kSprite);
    Scene::Link(glow.secondImage, kSprite);
    glow.glowColour.StoreValue(0x00FFC040);
    glow.spriteCount.StoreValue(24);
    scene.objects.push_back(DS_SafePtr<KXI_RenderObj>(explosion.CreateRenderObject().release()));
    scene.objects.push_back(DS_SafePtr<KXI_RenderObj>(glow.CreateRenderObject().release()));
    float time = 0.0f;
    for (auto _ : state) {
        time += 0.03f;
        for (const auto& object : scene.objects)
            object->Update(time);
        scene.light->RenderFrame(scene.objects, false);
        scene.device->Present();
    }
}
BENCHMARK(BM_ExplosionAndGlowFrame1080p);

} // namespace
