// Hot paths of the painted generators, each warmed up before timing:
// sparkles stepping 5,000 dabs (their processes and both layers), the
// aurora's curtain of 10,000 dabs, twinkling stars stepping 10,000 dabs,
// and a line of 200 animated glyphs drawn through a picture scene's frame
// (one draw call per glyph).

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/particles/engine/HeadlessBench.h"
#include "particles/generators/AnimatedFont.h"
#include "particles/generators/Aurora.h"
#include "particles/generators/Bling.h"
#include "bench/particles/generators/GeneratorBenchSupport.h"
#include "particles/generators/ParticlesObj.h"

namespace {

using headless_bench::Headless;

template <class Brush>
void PaintDabs(Brush& brush, int count)
{
    brush.brushSize.StoreValue(16);
    for (int i = 0; i < count; ++i) {
        GenParticle dab;
        dab.Init(float(i % 1920), float((i / 1920) * 40 % 1080), 0.0f);
        dab.channels[GenParticle::kLife] = float(i) * 0.1f;
        brush.dabs.push_back(dab);
    }
}

using generator_bench::WarmThenStep;

void BM_BlingStep(benchmark::State& state)
{
    Headless headless(state, 64, 64);
    if (!headless.device)
        return;
    DS_Bling bling;
    bling.growTime.QuietSet(50);
    bling.shrinkTime.QuietSet(150);
    bling.lifeSpeed.QuietSet(50);
    bling.spinSpeed.QuietSet(25);
    PaintDabs(bling, 5000);
    DS_ParticlesObj object(bling.Clone());
    WarmThenStep(state, object);
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_BlingStep)->Unit(benchmark::kMicrosecond);

void BM_AuroraBuildCurtain(benchmark::State& state)
{
    Headless headless(state, 64, 64);
    if (!headless.device)
        return;
    DS_Aurora aurora;
    aurora.bandHeight.StoreValue(120);
    for (std::uint32_t value : {20u, 40u, 30u})
        aurora.waves[value % 3].amplitude.QuietSet(value);
    PaintDabs(aurora, 10000);
    DS_ParticlesObj object(aurora.Clone());
    auto& clone = static_cast<DS_Aurora&>(*object.Generator());
    clone.Step(0.1f, object);
    for (auto _ : state)
        clone.BuildCurtain();
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_AuroraBuildCurtain)->Unit(benchmark::kMicrosecond);

void BM_TwinklingStarsStep(benchmark::State& state)
{
    Headless headless(state, 64, 64);
    if (!headless.device)
        return;
    DS_TwinklingStars stars;
    stars.twinkleSpeed.QuietSet(100);
    PaintDabs(stars, 10000);
    DS_ParticlesObj object(stars.Clone());
    WarmThenStep(state, object);
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_TwinklingStarsStep)->Unit(benchmark::kMicrosecond);

void BM_AnimatedFontRender200Glyphs(benchmark::State& state)
{
    constexpr int kGlyphs = 200;
    Headless headless(state, 1920, 1080);
    if (!headless.device)
        return;
    auto light = headless.MakeGreyLight();
    DS_AnimatedFont font;
    font.keepId = 1;
    font.scale.QuietSet(100);
    for (int i = 0; i < kGlyphs; ++i) {
        GenParticle place;
        place.Init(float(i % 40) * 48.0f, float(i / 40) * 64.0f, 0.0f);
        font.emitters.push_back(place);
    }
    auto* object = new DS_ParticlesObj(font.Clone());
    auto& clone = static_cast<DS_AnimatedFont&>(*object->Generator());
    // Three frames of a 32 x 32 picture per glyph, as a stored glyph gives.
    std::vector<gfx::Ref<gfx::Texture>> frames;
    for (int f = 0; f < 3; ++f) {
        gfx::Texture* texture = nullptr;
        headless.device->CreateTexture(32, 32, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, &texture);
        frames.push_back(gfx::Ref<gfx::Texture>::Adopt(texture));
    }
    SpriteFrameInfo picture;
    picture.sourceWidth = picture.sourceHeight = 32;
    picture.frameTextures = frames;
    picture.frameDurations = {0.1f, 0.1f, 0.1f};
    clone.glyphPictures.assign(kGlyphs, picture);
    clone.effect = headless.manager.GetBuiltinEffect(DS_AnimatedFont::kBuiltinEffect);
    clone.BuildGlyphQuads(*object);
    clone.SetLineTransform(*object);
    const RenderObjectList objects{DS_SafePtr<KXI_RenderObj>(object)};
    float time = 0.0f;
    for (int i = 0; i < 10; ++i) {
        object->Animate(time += 0.03f);
        light->RenderFrame(objects, false);
    }
    for (auto _ : state) {
        object->Animate(time += 0.03f);
        light->RenderFrame(objects, false);
    }
    // One draw call per glyph (the animated-font tests pin that).
    state.counters["glyphs"] = kGlyphs;
}
BENCHMARK(BM_AnimatedFontRender200Glyphs)->Unit(benchmark::kMillisecond);

} // namespace
