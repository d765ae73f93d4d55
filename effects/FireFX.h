#pragma once
// DS_FireFX: animated fire over the effect's region. A flame pattern and a
// noise picture, both scrolled by the effect clock, make a flame coloured
// between two colours (the effect file fire.fx), drawn through the
// effect's own 8 x 8 grid. The flame light embeds a whole fire and draws it
// on a quad of its own with the technique "AsEffect" (DrawAsEffect).
//
// The grid's texture coordinates are the region coordinate, not the
// picture's: with the region's corners 0 top left, 1 bottom left, 2 top
// right and 3 bottom right, u runs from 0 to 1 / pattern width across and
// v from 0 at the top to 1 at the bottom, so the pattern is stretched over
// the region and repeats across it. A pattern width of 0 counts as 1.
//
// Apply always draws technique "Main" through the grid (the mode changes
// only what NeedsRenderTarget answers). With a non-zero mode the light has
// handed over the picture and cleared the target, so the picture is drawn
// back first, also when a texture is missing. Clip planes are switched off
// around the fire's draws and restored.
//
// Stored level "DS_FireFX" (written as version 3), then the
// DS_FX_Constructor level:
//   v1  nothing of its own
//   v2  the region (12 floats, into the base), colour 1, colour 2, spare
//       int, pattern link, noise link, an int32 into the base's extra int,
//       density, brightness, pattern width
//   v3  colour 1, colour 2, spare int, pattern link, noise link, density,
//       brightness, pattern width
// Colours, spare int and the version-2 base values stored directly; the
// three scaled values through their setters when they differ.

#include <array>

#include "effects/ImageEffect.h"
#include "objectmodel/SmartColor.h"
#include "render/FileLink.h"
#include "render/QuadTextured.h"
#include "render/SharedResource.h"

class DS_FireFX : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_FireFX";
    static constexpr std::int32_t kWrittenVersion = 3;
    static constexpr std::string_view kBuiltinEffect = "fire";
    // Cells of the grid along each axis.
    static constexpr std::int32_t kGridCells = 8;
    // Scroll speeds of the three noise lookups per unit of phase.
    static constexpr float kScrollRates[3] = {1.3f, 2.1f, 2.3f};

    DS_FireFX();
    DS_FireFX(const DS_FireFX& other) = default;
    // Every value of every level; textures, effect and grid buffers shared.
    DS_FireFX& operator=(const DS_FireFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The base attach, the pattern and noise textures, the 8 x 8 grid.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // The grid from the region with the region coordinates above.
    void RebuildQuadMesh() override;
    void Apply(DS_ABRender& host) override;

    // "WorldViewProj", "ViewProj", "Noise", "Pattern", "c11", "c12", "c13"
    // for an item drawn at `objectMatrix`.
    void SetFireTransforms(const math::Matrix& objectMatrix);
    // The flame light's draw: the transforms above only, technique
    // "AsEffect", the quad through the host.
    void DrawAsEffect(DS_ABRender& host, TexturedQuad& quad);

    // 1 / pattern width (1 for a width of 0).
    float PatternRepeat() const;

    SmartCOLORREF colour1{0x0000FFFFu};
    SmartCOLORREF colour2{0x000000FFu};
    MediaParamT<std::int32_t> spareInt;
    DS_ImageFileLink patternLink{kCommonResFirePicture, kxi_string(kCommonResModule)};
    DS_ImageFileLink noiseLink{kCommonResFireNoisePicture, kxi_string(kCommonResModule)};
    UINTSclaleTo<float> density{0.01f, -1.0f, 100};
    UINTSclaleTo<float> brightness{0.02f, 0.0f, 15};
    UINTSclaleTo<float> patternWidth{0.01f, 0.0f, 100};
    gfx::Ref<gfx::Texture> patternTexture;
    gfx::Ref<gfx::Texture> noiseTexture;

private:
    // Draws with clip planes off, restoring them after.
    template <class Draw>
    void WithoutClipPlanes(Draw&& draw);
};

// The first texture of the link's entry in the current resource manager;
// null without a manager or a picture.
gfx::Ref<gfx::Texture> FirstTextureOfLink(const DS_FileLink3& link);

// The (r, g, b) of a colour word, each byte / 255.
std::array<float, 3> ColourRefToFloats(COLORREF colour);
