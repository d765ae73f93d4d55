#include "particles/generators/SingleRect.h"

#include "objectmodel/ParamRecords.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TimelineLevel.h"
#include "render/ABRender.h"

namespace {

constexpr float kSwayScale = 0.02f;

} // namespace

// ---- DS_SingleRectGN -------------------------------------------------------------

void DS_SingleRectGN::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteMediaQuad(ar, rect);
    DS_StaticGenerator::Save(ar);
}

void DS_SingleRectGN::ReadSingleRectSection(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    ReadMediaQuad(ar, rect);
    if (version < kFirstVersionWithoutExtras) {
        ar.ReadFloat();
        ar.ReadFloat();
    }
    ReadStaticSection(ar);
}

void DS_SingleRectGN::BuildGeometry(DS_ParticlesObj& target)
{
    DS_StaticGenerator::BuildGeometry(target);
    target.SetLayerCount(1);
    target.ResizeLayer(0, 1);
    BuildRect();
}

GenQuad BuildMirroredRectQuad(const MediaQuad& rect, bool mirrorTopBottom, bool mirrorLeftRight, std::uint32_t argb)
{
    GenQuad quad = BuildQuadFromCorners(rect);
    for (QuadBatchVertex& vertex : quad) {
        if (mirrorLeftRight)
            vertex.u = 1.0f - vertex.u;
        if (mirrorTopBottom)
            vertex.v = 1.0f - vertex.v;
        vertex.colour = argb;
    }
    return quad;
}

void DS_SingleRectGN::BuildRect()
{
    if (!renderObject || !renderObject->LockLayer(0))
        return;
    const std::uint32_t argb = PackVertexColor(colour.colour.value, static_cast<float>(colour.opacity.Scaled()));
    renderObject->SetQuad(0, 0, BuildMirroredRectQuad(rect, mirrorV.value != 0, mirrorH.value != 0, argb));
    renderObject->UnlockLayer(0);
}

// ---- DS_Plant ------------------------------------------------------------------------

DS_Plant::DS_Plant()
{
    swaySpeed.Rescale(kSwayScale, 0.0f);
}

void DS_Plant::ReadBody(ArchiveReader ar, std::int32_t)
{
    swaySpeed.StoreValue(ar.ReadDword());
    swaySpeed.UpdateScaled();
    frequency.QuietSet(ar.ReadDword());
    wMagnitude.QuietSet(ar.ReadDword());
    bMagnitude.QuietSet(ar.ReadDword());
    ReadSingleRectSection(ar);
}

void DS_Plant::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(swaySpeed.value);
    ar->WriteDword(frequency.value);
    ar->WriteDword(wMagnitude.value);
    ar->WriteDword(bMagnitude.value);
    DS_SingleRectGN::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_Plant::Clone() const
{
    return std::make_unique<DS_Plant>(*this);
}

void DS_Plant::Step(float localTime, DS_ParticlesObj&)
{
    swaySpeed.Advance(localTime);
}

math::Vec4 DS_Plant::SwayColour() const
{
    math::Vec4 colourFactor{1.0f, 1.0f, 1.0f, 1.0f};
    if (timing.clockMode.value == 1)
        colourFactor.w = CurrentTimelineLevel(*this);
    return colourFactor;
}

void DS_Plant::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    gfx::Texture* texture = LoadedTexture(0);
    if (!effect || !texture)
        return;
    effect->SetTechnique("Main");
    effect->SetTexture("Texture", texture);
    effect->SetFloat("Time", swaySpeed.Total());
    effect->SetFloat("Frequency", frequency.Scaled());
    effect->SetFloat("WMagnitude", wMagnitude.Scaled());
    effect->SetFloat("BMagnitude", bMagnitude.Scaled());
    const math::Vec4 colourFactor = SwayColour();
    const float components[4] = {colourFactor.x, colourFactor.y, colourFactor.z, colourFactor.w};
    effect->SetFloatArray("color", components, 4);
    target.DrawLayer(renderer, 0, effect.Get());
}
