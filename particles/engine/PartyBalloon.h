#pragma once
// KXI_PartyBalloon: a tree leaf that draws its particles with three
// textures at once through the tree effect's "PartyBalloon" technique: its
// first texture is the picture, the second a light map added as a
// highlight, the third a light map that shades; each light map is weighed
// by its opacity. Spawning, update and quad building are the leaf's.
//
// A balloon never glows and never reads the picture drawn so far, whatever
// its glow mode: it costs no screen pass. A light map without a texture
// counts with opacity 0 (the picture stands in its slot); a balloon
// without a picture draws nothing.
//
// Stored record "KXI_PartyBalloon" (written as version 1): uint32 first and
// second light-map opacity (percent), then the whole leaf section.

#include <array>
#include <cstdint>
#include <string_view>

#include "objectmodel/ScaledParams.h"
#include "particles/engine/TreeLeaves.h"

class KXI_PartyBalloon : public KXI_PSTree_Leaf {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PartyBalloon";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr const char* kTechnique = "PartyBalloon";

    KXI_PartyBalloon() = default;
    explicit KXI_PartyBalloon(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry);

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    int CountScreenPasses() const override;
    // The batch with the picture and both light maps; no glow, no switch
    // of the render target.
    void Render(KXI_PtclSys_Mesh& mesh, int& batchIndex, gfx::Effect* effect, DS_ABRender& renderer,
                int& counter) override;

    // What "LightMapsOpacity" gets: the picture's weight 1, then each light
    // map's opacity (0 for a light map without a texture).
    std::array<float, 3> LightMapsOpacity() const;
    // The texture of light map `which` (1 or 2), or null without one.
    gfx::Texture* LightMap(std::size_t which) const;

    UINTSclaleTo<float> firstLightMapOpacity{0.01f, 0.0f, 0};
    UINTSclaleTo<float> secondLightMapOpacity{0.01f, 0.0f, 0};
};
