#pragma once
// Two image effects that slide pictures over their region along the
// direction of DS_DirectionBased:
//
//   DS_WaterfallFX  falling water: translucent copies of the picture, one per
//                   layer, each sliding once along the direction per phase
//                   unit and fading in and out over its cycle, the layers
//                   evenly staggered; optionally over a pass that ripples
//                   the picture with a scrolling noise picture. At most
//                   kMaxLayers layer records are kept, whatever count the
//                   document stores (the stagger follows the kept count).
//   DS_CloudFX      clouds from a cloud picture drifting along the
//                   direction, projected onto a tilted plane by its
//                   CloudPerspective; the cloud picture's first frame is
//                   taken at attach.
//
// Both draw their grid over the region (the cloud the background quad when
// its mode is set). Their mode makes the light hand them a cleared target:
// with a mode set, Apply first draws the picture back (RestoreComposite), so
// that everything outside their region stays. A missing noise or cloud
// picture skips only the pass that reads it.
//
// Stored levels, after the class name and version 1, then the
// "DS_DirectionBased" level:
//   "DS_WaterfallFX"  uint32 translucency, uint32 layer count, uint32 noise
//                     amplitude, uint32 spare, uint32 threshold, the noise
//                     picture link, 4-byte base colour, int32 hidden flag
//   "DS_CloudFX"      4-byte colours 1 and 2, the cloud and second picture
//                     links, uint32 threshold, uint32 density, then the
//                     perspective: uint32 horizon, height, shift, int32 flip
//                     flag, uint32 spare 1, spare 2
// Scaled values through their setters when they differ; the layer count,
// colours and flags directly.

#include <vector>

#include "effects/EffectBases.h"
#include "objectmodel/SmartColor.h"
#include "render/FileLink.h"

class DS_WaterfallFX : public DS_DirectionBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_WaterfallFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "waterfall";
    // The most layer records kept: a stored count above it draws this many.
    static constexpr std::uint32_t kMaxLayers = 64;

    struct Layer {
        float shiftX = 0.0f;
        float shiftY = 0.0f;
        float translucency = 0.0f;
    };

    DS_WaterfallFX();
    DS_WaterfallFX(const DS_WaterfallFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The layer records to the (capped) count, the noise picture's first
    // frame, then the base attach with the grid.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // The clock, then each layer's shift and translucency and the noise's
    // shift.
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    UINTSclaleTo<float> translucency{-0.01f, 1.0f, 0};
    MediaParamT<std::uint32_t> layerCount;
    UINTSclaleTo<float> noiseAmplitude{0.0001f, 0.0f, 0};
    // Stored and read; nothing in playback uses it.
    UINTSclaleTo<float> spare{1.0f, 0.0f, 0};
    UINTSclaleTo<float> threshold{-0.001f, 1.0f, 0};
    DS_ImageFileLink noiseLink;
    SmartCOLORREF baseColour;
    MediaParamT<std::int32_t> hidden;
    std::vector<Layer> layers;
    gfx::Ref<gfx::Texture> noiseTexture;
    std::array<float, 2> noiseShift{};

private:
    void DrawNoise(DS_ABRender& host, float width, float height);
    void DrawLayers(DS_ABRender& host);
};

// The tilted plane the clouds lie on.
struct CloudPerspective {
    UINTSclaleTo<float> horizon{0.02f, 1.0f, 0};
    UINTSclaleTo<float> height{0.25f, 0.0f, 0};
    UINTSclaleTo<float> shift{0.01f, 0.0f, 0};
    MediaParamT<std::int32_t> flip;
    // Stored and read; not used in playback.
    UINTSclaleTo<float> spare1{0.1f, 1.0f, 0};
    UINTSclaleTo<float> spare2{0.01f, 0.0f, 0};

    // "PX_Transform", "PY_TransformH", "PY_TransformZ" and "tex_shift".
    void SetParams(gfx::Effect& effect) const;
    void Read(ArchiveReader ar);
    void Write(ArchiveWriter ar) const;
};

class DS_CloudFX : public DS_DirectionBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_CloudFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "cloud";

    DS_CloudFX();
    DS_CloudFX(const DS_CloudFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The cloud picture's first frame, then the base attach with the grid.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // The grid over the region with the region's own coordinates (corner 0
    // (0, 0), 1 (0, 1), 2 (1, 0), 3 (1, 1)), and the mask's shift from them.
    void RebuildQuadMesh() override;
    void Apply(DS_ABRender& host) override;

    SmartCOLORREF colour1;
    SmartCOLORREF colour2;
    DS_ImageFileLink cloudLink;
    // Stored and read; not used in playback.
    DS_ImageFileLink secondLink;
    UINTSclaleTo<float> threshold{0.02f, 1.0f, 0};
    UINTSclaleTo<float> density{0.02f, 0.0f, 0};
    CloudPerspective perspective;
    gfx::Ref<gfx::Texture> cloudTexture;
    std::array<float, 4> maskShift{};
};
