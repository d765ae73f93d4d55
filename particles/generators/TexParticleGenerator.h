#pragma once
// DS_TexParticleGenerator: the generator with textures, two colours and an
// effect. Its links are resolved when its render object is made (on the
// clone); it borrows a shared render target, the mask surface, from the
// document's resource manager under its identity (a clone keeps the GUID, so
// it draws into the surface of the description it was copied from), and
// offers its subclasses three passes:
//   DrawMaskedLayer   layer 0 into the mask (cleared to transparent black)
//                     with "BlendMask", then the composite;
//   DrawJoinedLayers  layers 0..last into the mask (cleared to white with
//                     alpha 0) with "JoinMask"; the caller composites;
//   Composite         the mask over the picture with the blend mode's
//                     technique: 0 "CommonTex", 1 "Blend_ScreenTex",
//                     2 "Blend_ColorDodgeTex", 3 "Blend_SumTex"; modes 1 and
//                     2 read the picture drawn so far.
// The mask passes draw in the render-target picture mode with the canvas
// stretched over the mask; the composite draws the picture's quad through
// the camera, so the quads follow the camera as the picture does.
//
// Without an effect the masked draw and the joined draw go straight onto the
// current target with fixed-function blending and nothing is composited; a
// mask surface that could not be made (or begun) does the same for the
// masked draw and skips the joined draw. A texture entry without a texture
// skips the draws that need it. Whenever the composite cannot run, the blend
// modes that were handed the picture drawn so far (1 and 2) draw it back
// first, plain and opaque, so a missing resource never blacks it out.
//
// Stored section "DS_TexParticleGenerator" (written as version 3): texture
// links (int32 count, path and id each), the effect link, colour (int32),
// colour opacity (uint32), second colour, second opacity, blend mode; v >= 2
// vertical and horizontal mirror; v >= 3 texture-sets flag; then the
// DS_ParticleGenerator section.

#include <cstdint>
#include <string_view>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/SmartColor.h"
#include "particles/generators/ParticleGenerator.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "render/DocResManager.h"
#include "render/FileLink.h"

class DS_TexParticleGenerator : public DS_ParticleGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_TexParticleGenerator";
    static constexpr std::int32_t kWrittenVersion = 3;
    // The built-in effect that replaces linked bytes this platform cannot run.
    static constexpr std::string_view kBuiltinEffect = "generator-blend";

    enum BlendMode : std::int32_t { kBlendCommon = 0, kBlendScreen = 1, kBlendColorDodge = 2, kBlendSum = 3 };

    DS_TexParticleGenerator();
    // Copies every member; the effect is shared, the mask surface and the
    // identity stay the same.
    DS_TexParticleGenerator(const DS_TexParticleGenerator& other);

    void Save(ArchiveWriter ar) const override;
    // The first texture link with the texture-sets flag, when there is one.
    void GetPreviewImage(PreviewImage& out) const override;
    // Keeps the render object and resolves the textures and the effect.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // True for the blend modes that read the picture drawn so far.
    bool NeedsBackground() const override;

    // Borrows the mask surface and sizes it to the back buffer.
    void PrepareMaskSurface();
    void DrawMaskedLayer(DS_ABRender& renderer, DS_ParticlesObj& target, gfx::Texture* texture);
    void DrawJoinedLayers(std::size_t last, DS_ABRender& renderer, DS_ParticlesObj& target);
    void Composite(DS_ABRender& renderer);

    // The texture of loaded entry `index` (its first frame), or null.
    gfx::Texture* LoadedTexture(std::size_t index) const;
    // The built-in effect that stands in for linked bytes this platform
    // cannot run; each class that draws differently names its own.
    virtual std::string_view BuiltinEffectName() const { return kBuiltinEffect; }

    std::vector<DS_ImageFileLink> textureLinks;
    DS_HLSLEffectFile effectLink;
    ColorAndOpacity colour;
    ColorAndOpacity colour2;
    MediaParamT<std::int32_t> blendMode;
    MediaParamT<std::int32_t> mirrorV;
    MediaParamT<std::int32_t> mirrorH;
    std::int32_t textureSets = 0;

    // Run time.
    std::vector<TextureSetEntry*> loadedTextures;
    gfx::Ref<gfx::Effect> effect;
    RenderTargetPair* maskSurface = nullptr;
    GuidNameKey identity;
    DS_ParticlesObj* renderObject = nullptr;

protected:
    // Reads the DS_TexParticleGenerator section, header included.
    void ReadTexGeneratorSection(ArchiveReader ar);

private:
    bool HasUsableMask() const { return maskSurface && maskSurface->IsValid(); }
    // In the blend modes that take the picture drawn so far, draws it back
    // plain and opaque: what the passes do when the composite cannot run.
    void GivePictureBack(DS_ABRender& renderer) const;
    // Draws layer 0 onto the current target with the texture on stage 0.
    void DrawLayerStraight(DS_ABRender& renderer, DS_ParticlesObj& target, std::size_t layer, gfx::Texture* texture);
};
