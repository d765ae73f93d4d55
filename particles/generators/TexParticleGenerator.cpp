#include "particles/generators/TexParticleGenerator.h"

#include "particles/generators/ParticlesObj.h"
#include "platform/crt/Guid.h"
#include "platform/gfx/Device.h"
#include "render/ABRender.h"
#include "render/EffectResolution.h"
#include "render/PictureBack.h"
#include "render/IdentityParallaxScope.h"
#include "render/QuadTextured.h"
#include "render/RenderContext.h"
#include "render/RenderTargetPairTextures.h"
#include "render/ResourceLoading.h"

namespace {

constexpr std::uint32_t kMaskedClear = 0x00000000u; // transparent black
constexpr std::uint32_t kJoinedClear = 0x00FFFFFFu; // white, alpha 0
constexpr int kMaskViewMode = 3;                    // canvas stretched over the mask

void ClearMask(std::uint32_t colour)
{
    if (gfx::Device* device = GetResourceDevice())
        device->Clear(0, nullptr, gfx::ClearFlags::Target, colour, 1.0f, 0);
}

void SetStageTexture(gfx::Texture* texture)
{
    if (gfx::Device* device = GetResourceDevice())
        device->SetTexture(0, texture);
}

} // namespace

DS_TexParticleGenerator::DS_TexParticleGenerator()
{
    identity.guid = crt::CreateGuid();
    identity.flag = 1;
}

DS_TexParticleGenerator::DS_TexParticleGenerator(const DS_TexParticleGenerator& other) = default;

void DS_TexParticleGenerator::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterLink(effectLink);
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteFileLinkVector(ar, textureLinks);
    WriteFileLink(ar, effectLink);
    ar->WriteLong(static_cast<std::int32_t>(colour.colour.value));
    ar->WriteDword(colour.opacity.value);
    ar->WriteLong(static_cast<std::int32_t>(colour2.colour.value));
    ar->WriteDword(colour2.opacity.value);
    ar->WriteLong(blendMode.value);
    ar->WriteLong(mirrorV.value);
    ar->WriteLong(mirrorH.value);
    ar->WriteLong(textureSets);
    DS_ParticleGenerator::Save(ar);
}

void DS_TexParticleGenerator::ReadTexGeneratorSection(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    ReadImageLinkVector(ar, textureLinks);
    ReadFileLink(ar, effectLink);
    colour.colour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    colour.opacity.SetChangedValue(ar.ReadDword(), nullptr);
    colour2.colour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    colour2.opacity.SetChangedValue(ar.ReadDword(), nullptr);
    blendMode.StoreValue(ar.ReadLong());
    if (version >= 2) {
        mirrorV.StoreValue(ar.ReadLong());
        mirrorH.StoreValue(ar.ReadLong());
    } else {
        mirrorV.StoreValue(0);
        mirrorH.StoreValue(0);
    }
    if (version >= 3)
        textureSets = ar.ReadLong();
    ReadGeneratorSection(ar);
}

void DS_TexParticleGenerator::GetPreviewImage(PreviewImage& out) const
{
    out = PreviewImage{};
    if (textureLinks.empty())
        return;
    out.link = &textureLinks.front();
    out.imageKind = textureSets;
}

void DS_TexParticleGenerator::BuildGeometry(DS_ParticlesObj& target)
{
    renderObject = &target;
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    loadedTextures = textureSets != 0 ? manager->GetTextureSets(textureLinks) : manager->GetTextures(textureLinks);
    effect = ResolveEffectWithFallback(*manager, effectLink, BuiltinEffectName(), BuiltinEffectRule::ForUnrunnableBytesOnly)
                 .effect;
}

bool DS_TexParticleGenerator::NeedsBackground() const
{
    return blendMode.value == kBlendScreen || blendMode.value == kBlendColorDodge;
}

gfx::Texture* DS_TexParticleGenerator::LoadedTexture(std::size_t index) const
{
    if (index >= loadedTextures.size() || !loadedTextures[index] || loadedTextures[index]->textures.empty())
        return nullptr;
    return loadedTextures[index]->textures.front().Get();
}

void DS_TexParticleGenerator::PrepareMaskSurface()
{
    DS_DocResManager* manager = CurrentDocResManager();
    gfx::Device* device = GetResourceDevice();
    if (!manager || !device)
        return;
    maskSurface = manager->GetSharedRenderTarget(identity);
    if (!maskSurface)
        return;
    const gfx::SurfaceDesc back = GetBackBufferDesc(*device);
    const auto width = static_cast<std::int32_t>(back.width);
    const auto height = static_cast<std::int32_t>(back.height);
    if (!maskSurface->IsValid() || maskSurface->Width() != width || maskSurface->Height() != height)
        maskSurface->Resize(width, height);
}

void DS_TexParticleGenerator::DrawLayerStraight(DS_ABRender& renderer, DS_ParticlesObj& target, std::size_t layer,
                                                gfx::Texture* texture)
{
    SetStageTexture(texture);
    target.DrawLayer(renderer, layer, nullptr);
}

void DS_TexParticleGenerator::DrawMaskedLayer(DS_ABRender& renderer, DS_ParticlesObj& target, gfx::Texture* texture)
{
    if (!texture) {
        GivePictureBack(renderer);
        return;
    }
    if (!effect || !HasUsableMask()) {
        GivePictureBack(renderer);
        DrawLayerStraight(renderer, target, 0, texture);
        return;
    }
    effect->SetTechnique("BlendMask");
    if (!maskSurface->Begin(maskSurface->CurrentTexture())) {
        GivePictureBack(renderer);
        DrawLayerStraight(renderer, target, 0, texture);
        return;
    }
    renderer.PushView(static_cast<std::uint32_t>(maskSurface->Width()), static_cast<std::uint32_t>(maskSurface->Height()),
                      kMaskViewMode);
    ClearMask(kMaskedClear);
    effect->SetTexture("Texture1", texture);
    target.DrawLayer(renderer, 0, effect.Get());
    maskSurface->End();
    renderer.PopView();
    Composite(renderer);
}

void DS_TexParticleGenerator::DrawJoinedLayers(std::size_t last, DS_ABRender& renderer, DS_ParticlesObj& target)
{
    if (!effect) {
        GivePictureBack(renderer);
        for (std::size_t layer = 0; layer <= last && layer < target.LayerCount(); ++layer)
            if (gfx::Texture* texture = LoadedTexture(layer))
                DrawLayerStraight(renderer, target, layer, texture);
        return;
    }
    if (!HasUsableMask()) {
        GivePictureBack(renderer);
        return;
    }
    effect->SetTechnique("JoinMask");
    if (!maskSurface->Begin(maskSurface->CurrentTexture())) {
        GivePictureBack(renderer);
        return;
    }
    renderer.PushView(static_cast<std::uint32_t>(maskSurface->Width()), static_cast<std::uint32_t>(maskSurface->Height()),
                      kMaskViewMode);
    ClearMask(kJoinedClear);
    for (std::size_t layer = 0; layer <= last && layer < target.LayerCount(); ++layer) {
        gfx::Texture* texture = LoadedTexture(layer);
        if (!texture)
            continue;
        effect->SetTexture("Texture1", texture);
        target.DrawLayer(renderer, layer, effect.Get());
    }
    maskSurface->End();
    renderer.PopView();
}

void DS_TexParticleGenerator::GivePictureBack(DS_ABRender& renderer) const
{
    // The blend modes that read the picture drawn so far were handed it:
    // with no composite to draw it back through, it comes back plain.
    if (NeedsBackground())
        DrawPictureBack(renderer);
}

void DS_TexParticleGenerator::Composite(DS_ABRender& renderer)
{
    if (!effect || !HasUsableMask())
        return;
    gfx::Texture* mask = maskSurface->CurrentTexture();
    switch (blendMode.value) {
    case kBlendCommon:
        effect->SetTechnique("CommonTex");
        effect->SetTexture("Texture1", mask);
        break;
    case kBlendScreen:
        effect->SetTechnique("Blend_ScreenTex");
        effect->SetTexture("Texture1", renderer.GetTargetTexture());
        effect->SetTexture("Texture2", mask);
        break;
    case kBlendColorDodge:
        effect->SetTechnique("Blend_ColorDodgeTex");
        effect->SetTexture("Texture1", renderer.GetTargetTexture());
        effect->SetTexture("Texture2", mask);
        break;
    case kBlendSum:
        effect->SetTechnique("Blend_SumTex");
        effect->SetTexture("Texture1", mask);
        break;
    default:
        // Another mode keeps the technique and textures the effect had.
        break;
    }
    IdentityParallaxScope identityParallax;
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), *effect);
}
