#include "effects/FireFX.h"

#include "objectmodel/ParamRecords.h"
#include "platform/math/MathFunctions.h"
#include "objectmodel/StoredParams.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/QuadTextured.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"
#include "render/ScreenInfo.h"

namespace {

constexpr std::int32_t kFirstVersionWithOwnFields = 2;
constexpr std::int32_t kVersionWithBaseFields = 2;
// The default speed value and its scale: a factor of 1.0.
constexpr float kSpeedScale = 0.02f;
constexpr std::uint32_t kDefaultSpeed = 50;

} // namespace

gfx::Ref<gfx::Texture> FirstTextureOfLink(const DS_FileLink3& link)
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return {};
    const TextureSetEntry& entry = manager->GetTexture(link);
    return entry.textures.empty() ? gfx::Ref<gfx::Texture>() : entry.textures.front();
}

std::array<float, 3> ColourRefToFloats(COLORREF colour)
{
    return {static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
            static_cast<float>((colour >> 16) & 0xFF) / 255.0f};
}

DS_FireFX::DS_FireFX()
{
    SetCommonResEffect(kCommonResFireEffect);
    SetSpeed(kSpeedScale, kDefaultSpeed);
}

std::unique_ptr<DS_FX_Constructor> DS_FireFX::Clone() const
{
    return std::make_unique<DS_FireFX>(*this);
}

float DS_FireFX::PatternRepeat() const
{
    const float width = patternWidth.Scaled();
    return width == 0.0f ? 1.0f : 1.0f / width;
}

void DS_FireFX::Attach(gfx::Ref<gfx::Texture>* holder)
{
    DS_FX_Constructor::Attach(holder);
    patternTexture = FirstTextureOfLink(patternLink);
    noiseTexture = FirstTextureOfLink(noiseLink);
    if (gfx::Device* device = GetResourceDevice())
        grid.BuildGrid(*device, kGridCells, kGridCells);
    RebuildQuadMesh();
}

void DS_FireFX::RebuildQuadMesh()
{
    if (!grid.vertices.Buffer())
        return;
    const float k = PatternRepeat();
    const float uv[4][2] = {{0.0f, 0.0f}, {0.0f, 1.0f}, {k, 0.0f}, {k, 1.0f}};
    TexturedQuadVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        const math::Vec3& corner = region.corners[i].value;
        corners[i] = {corner.x, corner.y, corner.z, uv[i][0], uv[i][1]};
    }
    FillGridFromCorners(grid, corners[0], corners[1], corners[2], corners[3]);
}

void DS_FireFX::SetFireTransforms(const math::Matrix& objectMatrix)
{
    if (!effect)
        return;
    if (const RenderContext* context = g_RenderContextTls) {
        const math::Matrix world = context->WorldMatrix(objectMatrix);
        math::Matrix worldView, worldViewProj, viewProj;
        math::MatrixMultiply(&worldView, world, context->view);
        math::MatrixMultiply(&worldViewProj, worldView, context->projection);
        math::MatrixMultiply(&viewProj, context->inverseView, context->projection);
        effect->SetMatrix("WorldViewProj", worldViewProj);
        effect->SetMatrix("ViewProj", viewProj);
    }
    effect->SetTexture("Noise", noiseTexture.Get());
    effect->SetTexture("Pattern", patternTexture.Get());
    const float p = Phase();
    const char* const names[3] = {"c11", "c12", "c13"};
    for (int i = 0; i < 3; ++i) {
        const float offset[2] = {0.0f, kScrollRates[i] * p};
        effect->SetFloatArray(names[i], offset, 2);
    }
}

template <class Draw>
void DS_FireFX::WithoutClipPlanes(Draw&& draw)
{
    gfx::Device* device = GetResourceDevice();
    std::uint32_t saved = 0;
    if (device) {
        device->GetRenderState(gfx::RenderState::ClipPlaneEnable, &saved);
        device->SetRenderState(gfx::RenderState::ClipPlaneEnable, 0);
    }
    draw();
    if (device)
        device->SetRenderState(gfx::RenderState::ClipPlaneEnable, saved);
}

void DS_FireFX::Apply(DS_ABRender& host)
{
    // With a non-zero mode the light cleared the target and handed the
    // picture over; the fire covers only its region, so the picture goes
    // back first, whatever the fire then lacks.
    if (mode.value != 0 && effect)
        RestoreComposite(host);
    if (!CanApply(host))
        return;
    WithoutClipPlanes([&] {
        SetFireTransforms(grid.header.world);
        const auto k1 = ColourRefToFloats(colour2.value);
        const auto c1 = ColourRefToFloats(colour1.value);
        const float k2[3] = {c1[0] - k1[0], c1[1] - k1[1], c1[2] - k1[2]};
        effect->SetFloatArray("ColorK1", k1.data(), 3);
        effect->SetFloatArray("ColorK2", k2, 3);
        // Positions are picture pixels: the mask is looked up at position /
        // picture size. Before a picture is known, the target stands in for it.
        const ScreenInfo& screen = GetScreenInfo();
        const bool pictureKnown = screen.pictureWidth > 0 && screen.pictureHeight > 0;
        const float pictureWidth = static_cast<float>(pictureKnown ? screen.pictureWidth : host.GetWidth());
        const float pictureHeight = static_cast<float>(pictureKnown ? screen.pictureHeight : host.GetHeight());
        if (pictureWidth > 0.0f && pictureHeight > 0.0f) {
            const float scaleFactor[2] = {1.0f / pictureWidth, 1.0f / pictureHeight};
            effect->SetFloatArray("bg_scale_factor", scaleFactor, 2);
        }
        effect->SetTexture("Mask", GetTextureHolder()->Get());
        effect->SetTexture("Background", host.GetTargetTexture());
        const float level = TimelineLevel();
        effect->SetFloat("Brightness", level * level * brightness.Scaled());
        effect->SetFloat("Density", level * (density.Scaled() + 1.0f) - 1.0f);
        effect->SetTechnique("Main");
        host.DrawIndexedWithEffect(grid, *effect);
    });
}

void DS_FireFX::DrawAsEffect(DS_ABRender& host, TexturedQuad& quad)
{
    if (!effect)
        return;
    WithoutClipPlanes([&] {
        SetFireTransforms(quad.node.world);
        effect->SetTechnique("AsEffect");
        host.DrawWithEffect(quad, *effect);
    });
}

void DS_FireFX::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version >= kFirstVersionWithOwnFields) {
        if (version == kVersionWithBaseFields)
            ReadMediaQuad(ar, region);
        ReadParamValue(ar, colour1);
        ReadParamValue(ar, colour2);
        ReadParamValue(ar, spareInt);
        ReadImageFileLink(ar, patternLink);
        ReadImageFileLink(ar, noiseLink);
        if (version == kVersionWithBaseFields)
            ReadParamValue(ar, extraInt);
        ReadChangedParamValue(ar, density);
        ReadChangedParamValue(ar, brightness);
        ReadChangedParamValue(ar, patternWidth);
    }
    DS_FX_Constructor::Load(ar, *this);
}

void DS_FireFX::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        manager->RegisterImage(patternLink);
        manager->RegisterImage(noiseLink);
    }
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, colour1);
    WriteParamValue(ar, colour2);
    WriteParamValue(ar, spareInt);
    WriteFileLink(ar, patternLink);
    WriteFileLink(ar, noiseLink);
    WriteParamValue(ar, density);
    WriteParamValue(ar, brightness);
    WriteParamValue(ar, patternWidth);
    SaveFxLevel(ar);
}
