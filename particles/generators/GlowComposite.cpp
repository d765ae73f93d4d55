#include "particles/generators/GlowComposite.h"

#include <cstdint>

#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TexParticleGenerator.h"
#include "platform/gfx/Device.h"
#include "render/ABRender.h"
#include "render/IdentityParallaxScope.h"
#include "render/PictureBack.h"
#include "render/ResourceLoading.h"

namespace {

constexpr std::uint32_t kMaskClear = 0x00000000u; // transparent black: nothing lit yet
constexpr int kMaskViewMode = 3;                  // canvas stretched over the mask

void ClearMask()
{
    if (gfx::Device* device = GetResourceDevice())
        device->Clear(0, nullptr, gfx::ClearFlags::Target, kMaskClear, 1.0f, 0);
}

void DrawMaskLayers(gfx::Effect& effect, DS_ABRender& renderer, DS_ParticlesObj& target,
                    std::initializer_list<GlowLayerDraw> draws)
{
    for (const GlowLayerDraw& draw : draws) {
        if (!draw.texture)
            continue;
        effect.SetTexture("Texture1", draw.texture);
        target.DrawLayer(renderer, draw.layer, &effect);
    }
}

} // namespace

void DrawGlowComposite(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target,
                       std::initializer_list<GlowLayerDraw> cores, std::initializer_list<GlowLayerDraw> glows)
{
    gfx::Effect* effect = generator.effect.Get();
    RenderTargetPair* mask = generator.maskSurface;
    gfx::Texture* picture = renderer.GetTargetTexture();
    if (!effect || !picture || !mask || !mask->IsValid() || FAILED(effect->SetTechnique("BlendMask_Max")) ||
        !mask->Begin(mask->CurrentTexture())) {
        DrawPictureBack(renderer);
        return;
    }
    renderer.PushView(static_cast<std::uint32_t>(mask->Width()), static_cast<std::uint32_t>(mask->Height()),
                      kMaskViewMode);
    ClearMask();
    DrawMaskLayers(*effect, renderer, target, cores);
    gfx::Texture* coreMask = mask->Swap();
    ClearMask();
    DrawMaskLayers(*effect, renderer, target, glows);
    mask->End();
    renderer.PopView();
    if (FAILED(effect->SetTechnique("Main"))) {
        DrawPictureBack(renderer);
        return;
    }
    effect->SetTexture("Texture1", picture);
    effect->SetTexture("Texture2", mask->CurrentTexture());
    effect->SetTexture("Texture3", coreMask);
    IdentityParallaxScope identityParallax;
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), *effect);
}

void DrawTwoLayerGlow(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target)
{
    gfx::Texture* texture = generator.LoadedTexture(0);
    if (!texture) {
        DrawPictureBack(renderer);
        return;
    }
    DrawGlowComposite(generator, renderer, target, {{0, texture}}, {{1, texture}});
}
