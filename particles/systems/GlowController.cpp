#include "particles/systems/GlowController.h"

#include "objectmodel/StoredParams.h"
#include "platform/crt/Guid.h"
#include "platform/gfx/Device.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/PictureBack.h"
#include "render/PictureFit.h"
#include "render/RenderTargetPair.h"
#include "render/ResourceLoading.h"

namespace {

constexpr float kBrightnessScale = 0.01f;
constexpr std::uint32_t kDefaultBrightness = 100;
constexpr std::uint32_t kTransparentBlack = 0x00000000u;

float ChannelOf(COLORREF colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFFu) / 255.0f;
}

} // namespace

// ---- DS_GlowEffectCtrl -------------------------------------------------------------------

DS_GlowEffectCtrl::DS_GlowEffectCtrl() : glowColour(0), brightness(kBrightnessScale, 0.0f, kDefaultBrightness) {}

std::unique_ptr<KXI_RenderObj> DS_GlowEffectCtrl::CreateRenderObject()
{
    std::unique_ptr<DS_GlowEffectCtrl> clone = CloneAs<DS_GlowEffectCtrl>(*this);
    if (!clone)
        return nullptr;
    return std::make_unique<DS_GlowingObj>(std::move(clone));
}

void DS_GlowEffectCtrl::FetchEffect()
{
    DS_FXParticleSystemCtrl::FetchEffect();
    glowTexture = FirstLinkedTexture(secondImage);
    coreTexture = FirstLinkedTexture(spriteImage);
}

void DS_GlowEffectCtrl::PrepareFrame() {}

std::array<float, 4> DS_GlowEffectCtrl::BlendColour() const
{
    const COLORREF colour = glowColour.value;
    const float level = timing.CurrentTimeline()->GetValue() * brightness.Scaled();
    return {ChannelOf(colour, 0), ChannelOf(colour, 8), ChannelOf(colour, 16), level};
}

std::string_view DS_GlowEffectCtrl::BlendTechnique() const
{
    return blendMode.value == 1 ? "Blend_Screen" : "Blend_Normal";
}

void DS_GlowEffectCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteLong(static_cast<std::int32_t>(glowColour.value));
    WriteParamValue(ar, brightness);
    DS_FXParticleSystemCtrl::Save(ar);
}

void DS_GlowEffectCtrl::Load(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    glowColour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    ReadChangedParamValue(ar, brightness);
    DS_FXParticleSystemCtrl::Load(ar);
}

// ---- DS_GlowingObj -----------------------------------------------------------------------

DS_GlowingObj::DS_GlowingObj(std::unique_ptr<DS_GlowEffectCtrl> controller)
    : ParticleGeomArray(std::move(controller)), m_glow(static_cast<DS_GlowEffectCtrl*>(&Controller()))
{
    m_key.guid = crt::CreateGuid();
    m_key.flag = 1;
    m_glow->FetchEffect();
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    m_target = manager->GetSharedRenderTarget(m_key);
    if (m_target && (m_target->Width() != kGlowTargetSize || m_target->Height() != kGlowTargetSize))
        m_target->Resize(kGlowTargetSize, kGlowTargetSize);
}

DS_GlowingObj::~DS_GlowingObj() = default;

int DS_GlowingObj::NeedsRenderTarget() const
{
    // Without an effect or a glow target nothing would pass the picture
    // drawn so far on: no switch is asked for.
    return m_glow->HeldEffect() && m_target && m_target->IsValid() ? 1 : 0;
}

void DS_GlowingObj::Animate(float time)
{
    m_glow->PrepareFrame();
    StepSprites(time);
    FillVertices(Controller());
}

void DS_GlowingObj::OnSpriteCommand(FrameTextWriter&, int) {}

void DS_GlowingObj::Render(DS_ABRender& renderer)
{
    gfx::Effect* effect = m_glow->HeldEffect();
    if (!effect || NeedsRenderTarget() == 0)
        return;
    // Without a glow target to draw into, the picture handed over comes
    // back plain instead of under a glow of an earlier frame.
    if (DrawGlowPass(renderer, *effect))
        DrawBlendPass(renderer, *effect);
    else
        DrawPictureBack(renderer);
    DrawCorePass(renderer, *effect);
    // The effect keeps no reference to a render target: default-pool
    // textures must all be gone before a lost device can be reset.
    effect->SetTexture("Texture1", nullptr);
    effect->SetTexture("Texture2", nullptr);
}

bool DS_GlowingObj::DrawGlowPass(DS_ABRender& renderer, gfx::Effect& effect)
{
    gfx::Device* device = GetResourceDevice();
    if (!device || !m_target->Begin(m_target->CurrentTexture()))
        return false;
    renderer.PushView(static_cast<std::uint32_t>(m_target->Width()), static_cast<std::uint32_t>(m_target->Height()),
                      PicturePosition::kRenderTarget);
    device->Clear(0, nullptr, gfx::ClearFlags::Target, kTransparentBlack, 1.0f, 0);
    if (gfx::Texture* glow = m_glow->glowTexture.Get()) {
        effect.SetTexture("Texture1", glow);
        effect.SetTechnique("Blend_Max");
        renderer.DrawColoredWithEffect(Quads(), effect);
    }
    m_target->End();
    renderer.PopView();
    return true;
}

void DS_GlowingObj::DrawBlendPass(DS_ABRender& renderer, gfx::Effect& effect)
{
    const std::array<float, 4> blendColour = m_glow->BlendColour();
    effect.SetTechnique(m_glow->BlendTechnique());
    effect.SetFloatArray("BlendColor", blendColour.data(), static_cast<std::uint32_t>(blendColour.size()));
    effect.SetTexture("Texture1", renderer.GetTargetTexture());
    effect.SetTexture("Texture2", m_target->CurrentTexture());
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), effect);
}

void DS_GlowingObj::DrawCorePass(DS_ABRender& renderer, gfx::Effect& effect)
{
    gfx::Texture* core = m_glow->coreTexture.Get();
    if (!core)
        return;
    effect.SetTechnique("Common");
    effect.SetTexture("Texture1", core);
    renderer.DrawColoredWithEffect(Quads(), effect);
}
