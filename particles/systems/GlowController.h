#pragma once
// DS_GlowEffectCtrl: a sprite-effect controller that draws its sprites with
// a halo. Its render object, DS_GlowingObj, draws each frame:
//   1. the glow picture of every sprite into a 512 x 512 glow target shared
//      through the resource manager under the object's own key, combined by
//      maximum into the cleared target ("Blend_Max");
//   2. the glow target over the picture drawn so far, tinted by the glow
//      colour and scaled by brightness x the timeline's level
//      ("Blend_Screen" for blend mode 1, else "Blend_Normal"; "BlendColor");
//   3. the core picture of every sprite on top ("Common").
// The glowing object reads the picture drawn so far, so it asks the slide
// for one render-target switch (NeedsRenderTarget) while it has an effect
// and a glow target; without them it draws nothing that needs the switch.
// A glow or core picture that could not be loaded is not bound and its pass
// is skipped (the picture drawn so far is still passed on).
//
// The effect comes from the controller's effect link; bytes this platform
// cannot run take the built-in "generator-blend" effect (the shared module's
// RT_RCDATA 97). The glowing discharge derives from this class.
//
// Stored section "DS_GlowEffectCtrl" 1: int32 glow colour (COLORREF, stored
// as read), uint32 brightness (percent; set and announced when it
// differs), then the "DS_FXParticleSystemCtrl" section.

#include <array>
#include <memory>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "particles/systems/FXControllers.h"
#include "platform/gfx/Texture.h"

class RenderTargetPair;

class DS_GlowEffectCtrl : public DS_FXParticleSystemCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"DS_GlowEffectCtrl";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "generator-blend";

    DS_GlowEffectCtrl();
    DS_GlowEffectCtrl(const DS_GlowEffectCtrl& other) = default;

    // A DS_GlowingObj around a clone.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;
    // The effect, then the glow picture (second image) and the core picture
    // (sprite image), each the first texture of its entry.
    void FetchEffect() override;
    // Called at the start of every frame, before the clocks; nothing here.
    virtual void PrepareFrame();

    // (R, G, B) / 255 of the glow colour and brightness x the timeline level.
    std::array<float, 4> BlendColour() const;
    // "Blend_Screen" for blend mode 1, else "Blend_Normal".
    std::string_view BlendTechnique() const;

    void Save(ArchiveWriter ar) const override;
    void Load(ArchiveReader ar);

    SmartCOLORREF glowColour;
    // Percent; its float is the factor.
    UINTSclaleTo<float> brightness;
    gfx::Ref<gfx::Texture> glowTexture;
    gfx::Ref<gfx::Texture> coreTexture;

protected:
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
};

class DS_GlowingObj : public ParticleGeomArray {
public:
    static constexpr std::int32_t kGlowTargetSize = 512;

    // Owns `controller`: sprites, effect and pictures, and the shared glow
    // target under a new key.
    explicit DS_GlowingObj(std::unique_ptr<DS_GlowEffectCtrl> controller);
    ~DS_GlowingObj() override;

    void Render(DS_ABRender& renderer) override;
    int NeedsRenderTarget() const override;
    void Animate(float time) override;
    // Glowing objects take no part in the text export.
    void OnSpriteCommand(FrameTextWriter& record, int value) override;

    DS_GlowEffectCtrl& GlowController() const { return *m_glow; }
    const GuidNameKey& TargetKey() const { return m_key; }
    RenderTargetPair* GlowTarget() const { return m_target; }

private:
    // False when the glow target could not be drawn into.
    bool DrawGlowPass(DS_ABRender& renderer, gfx::Effect& effect);
    void DrawBlendPass(DS_ABRender& renderer, gfx::Effect& effect);
    void DrawCorePass(DS_ABRender& renderer, gfx::Effect& effect);

    DS_GlowEffectCtrl* m_glow;
    GuidNameKey m_key;
    // Owned by the resource manager.
    RenderTargetPair* m_target = nullptr;
};
