#include "particles/engine/PartyBalloon.h"

#include "particles/engine/TreeRendering.h"
#include "platform/gfx/Effect.h"

KXI_PartyBalloon::KXI_PartyBalloon(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry)
    : KXI_PSTree_Leaf(std::move(nodeGeometry))
{
}

int KXI_PartyBalloon::CountScreenPasses() const
{
    return 0;
}

gfx::Texture* KXI_PartyBalloon::LightMap(std::size_t which) const
{
    if (which >= animatedTextures.size())
        return nullptr;
    return animatedTextures[which].CurrentTexture();
}

std::array<float, 3> KXI_PartyBalloon::LightMapsOpacity() const
{
    return {1.0f, LightMap(1) ? firstLightMapOpacity.Scaled() : 0.0f,
            LightMap(2) ? secondLightMapOpacity.Scaled() : 0.0f};
}

void KXI_PartyBalloon::Render(KXI_PtclSys_Mesh& mesh, int& batchIndex, gfx::Effect* effect, DS_ABRender& renderer,
                              int&)
{
    TreeBatch* batch = mesh.Batch(batchIndex++);
    const SpriteFrameInfo* picture = FirstTexture();
    if (!batch || !effect || !picture)
        return;
    gfx::Texture* const pictureTexture = picture->CurrentTexture();
    gfx::Texture* const highlight = LightMap(1);
    gfx::Texture* const shade = LightMap(2);
    effect->SetTexture("Texture0", pictureTexture);
    effect->SetTexture("Texture1", highlight ? highlight : pictureTexture);
    effect->SetTexture("Texture2", shade ? shade : pictureTexture);
    const std::array<float, 3> opacities = LightMapsOpacity();
    effect->SetFloatArray("LightMapsOpacity", opacities.data(), static_cast<std::uint32_t>(opacities.size()));
    DrawTreeBatch(renderer, *batch, effect, kTechnique);
}

// ---- stored form ------------------------------------------------------------------

void KXI_PartyBalloon::ReadBody(ArchiveReader ar, std::int32_t)
{
    firstLightMapOpacity.SetChangedValue(ar.ReadDword(), nullptr);
    secondLightMapOpacity.SetChangedValue(ar.ReadDword(), nullptr);
    ReadLeafSection(ar);
}

void KXI_PartyBalloon::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteLong(kWrittenVersion);
    ar->WriteDword(firstLightMapOpacity.value);
    ar->WriteDword(secondLightMapOpacity.value);
    WriteLeafSection(ar);
}
