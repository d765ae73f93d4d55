#include "effects/ImageEffect.h"

#include <cmath>

#include "effects/BrushObject.h"
#include "objectmodel/StoredParams.h"
#include "particles/engine/PerlinNoise.h"
#include "platform/crt/Guid.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/EffectResolution.h"
#include "render/PictureBack.h"
#include "render/QuadTextured.h"
#include "render/RenderTargetPairTextures.h"
#include "render/ResourceLoading.h"
#include "render/ScreenInfo.h"
#include "render/SharedResource.h"
#include "render/Timing.h"

namespace {

// Sections from these versions on carry the scale, the region and extra
// int, and the phase offset.
constexpr std::int32_t kFirstVersionWithScale = 2;
constexpr std::int32_t kFirstVersionWithRegion = 3;
constexpr std::int32_t kFirstVersionWithPhaseOffset = 4;

// Cells of the grid that AttachWithGrid builds, along each axis.
constexpr std::int32_t kGridCells = 2;

// The waveform's constants, in single precision as the clock is.
constexpr float kTwoPi = 6.2831855f;
constexpr std::int32_t kNoiseOctaves = 3;
constexpr float kNoiseFrequency = 50.0f;
constexpr double kNoisePeriod = 75.0;
constexpr double kNoisePersistence = 0.5;

enum WaveformKind { kTriangle = 2, kSine = 3, kNoise = 4 };

} // namespace

void WriteLevelHeader(ArchiveWriter ar, std::u16string_view name, std::int32_t version)
{
    ar->WriteWideString(kxi_string(name));
    ar->WriteVersion(version);
}

bool HostPictureSize(const DS_ABRender& host, float& width, float& height)
{
    const std::uint32_t w = host.GetWidth();
    const std::uint32_t h = host.GetHeight();
    if (w == 0 || h == 0)
        return false;
    width = static_cast<float>(w);
    height = static_cast<float>(h);
    return true;
}

DS_FX_Constructor::DS_FX_Constructor()
{
    key.guid = crt::CreateGuid();
    key.flag = 1;
}

DS_FX_Constructor::DS_FX_Constructor(const DS_FX_Constructor& other)
    : DS_ABObj_Constructor(other), speed(other.speed), mode(other.mode), effectLink(other.effectLink),
      scale(other.scale), region(other.region), extraInt(other.extraInt), phaseOffset(other.phaseOffset),
      key(other.key), mask(other.mask), effect(other.effect), grid(other.grid)
{
}

DS_FX_Constructor::~DS_FX_Constructor() = default;

void DS_FX_Constructor::Restart()
{
    speed.ResetClock();
}

bool DS_FX_Constructor::AddBoundingRect(BoundingRectList& list) const
{
    const math::Vec3& first = region.corners[0].value;
    const math::Vec3& last = region.corners[3].value;
    list.push_back(BoundingRect{first.x, first.y, last.x - first.x, last.y - first.y});
    return false;
}

std::unique_ptr<KXI_RenderObj> DS_FX_Constructor::CreateRenderObject()
{
    return std::make_unique<DS_BrushObj>(Clone());
}

void DS_FX_Constructor::RenewResourceKey()
{
    mask.Reset();
    key.guid = crt::CreateGuid();
    key.name.clear();
    key.flag = 1;
}

void DS_FX_Constructor::Attach(gfx::Ref<gfx::Texture>* holder)
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        effect = ResolveEffectWithFallback(*manager, effectLink, BuiltinEffectName(),
                                           BuiltinEffectRule::ForUnrunnableBytesOnly)
                     .effect;
    else
        effect.Reset();
    SetTexture(holder);
}

void DS_FX_Constructor::AttachWithGrid(gfx::Ref<gfx::Texture>* holder)
{
    DS_FX_Constructor::Attach(holder);
    BuildRegionGrid();
}

void DS_FX_Constructor::BuildRegionGrid()
{
    if (gfx::Device* device = GetResourceDevice())
        grid.BuildGrid(*device, kGridCells, kGridCells);
    RebuildQuadMesh();
}

void DS_FX_Constructor::RebuildQuadMesh()
{
    if (!grid.vertices.Buffer())
        return;
    const ScreenInfo& screen = GetScreenInfo();
    if (screen.pictureWidth <= 0 || screen.pictureHeight <= 0)
        return;
    const float width = static_cast<float>(screen.pictureWidth);
    const float height = static_cast<float>(screen.pictureHeight);
    TexturedQuadVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        const math::Vec3& corner = region.corners[i].value;
        corners[i] = {corner.x, corner.y, corner.z, corner.x / width, corner.y / height};
    }
    FillGridFromCorners(grid, corners[0], corners[1], corners[2], corners[3]);
}

void DS_FX_Constructor::Update(float localTime)
{
    speed.Advance(localTime);
}

int DS_FX_Constructor::NeedsRenderTarget() const
{
    return mode.value;
}

void DS_FX_Constructor::SetTexture(gfx::Ref<gfx::Texture>* holder)
{
    if (holder == &mask)
        return;
    mask = holder ? *holder : gfx::Ref<gfx::Texture>();
}

bool DS_FX_Constructor::CanApply(const DS_ABRender& host) const
{
    float width = 0.0f, height = 0.0f;
    return effect && HostPictureSize(host, width, height);
}

bool DS_FX_Constructor::ReadyToApply(DS_ABRender& host)
{
    if (CanApply(host))
        return true;
    GivePictureBack(host);
    return false;
}

void DS_FX_Constructor::GivePictureBack(DS_ABRender& host)
{
    if (effect && NeedsRenderTarget() != 0)
        DrawPictureBack(host);
}

float DS_FX_Constructor::SamplingScale() const
{
    const float factor = scale.Scaled();
    return factor == 0.0f ? 1.0f : factor;
}

std::string_view DS_FX_Constructor::TechniqueName() const
{
    return mode.value != 0 ? "MainFX" : "Main";
}

void DS_FX_Constructor::SetCommonParams(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!effect || !HostPictureSize(host, width, height))
        return;
    const float aspect = width / height;
    const float s = SamplingScale();
    const float values[4] = {aspect / s, 1.0f / s, s / aspect, s};
    effect->SetFloatArray("Scale", values, 4);
    effect->SetTexture("Mask", GetTextureHolder()->Get());
    effect->SetTexture("Background", host.GetTargetTexture());
    effect->SetTechnique(TechniqueName());
}

void DS_FX_Constructor::DrawWithTechnique(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    if (mode.value != 0) {
        effect->SetTechnique("MainFX");
        host.DrawWithEffect(host.GetBackgroundQuad(), *effect);
        return;
    }
    effect->SetTechnique("Main");
    host.DrawIndexedWithEffect(grid, *effect);
}

void DS_FX_Constructor::SetCommonParamsAndDraw(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, width, height))
        return;
    effect->SetTechnique(TechniqueName());
    const float aspect = width / height;
    const float s = SamplingScale();
    const float values[2] = {aspect / s, 1.0f / s};
    effect->SetFloatArray("Scale", values, 2);
    effect->SetTexture("Mask", GetTextureHolder()->Get());
    effect->SetTexture("Background", host.GetTargetTexture());
    host.DrawWithEffect(host.GetBackgroundQuad(), *effect);
}

void DS_FX_Constructor::RestoreComposite(DS_ABRender& host)
{
    DrawPictureBack(host);
}

float DS_FX_Constructor::Waveform(int kind) const
{
    const float p = Phase();
    const float o = phaseOffset.Scaled();
    switch (kind) {
    case kTriangle: {
        const float x = p / kTwoPi + o;
        float f = x - std::floor(x);
        if (f > 0.5f)
            f = 1.0f - f;
        return (f - 0.25f) * 4.0f;
    }
    case kSine:
        return std::sin(o + p);
    case kNoise:
        return static_cast<float>(
            SumPerlinOctaves(kNoiseOctaves, (o + p) * kNoiseFrequency, kNoisePeriod, kNoisePersistence));
    default:
        return 0.0f;
    }
}

void DS_FX_Constructor::SetCommonResEffect(std::int32_t id)
{
    effectLink.StorePathAndId(kxi_string(kCommonResModule), id);
}

void DS_FX_Constructor::MarkTimed(std::int32_t categoryValue)
{
    timing.flags |= 1;
    category = categoryValue;
}

void DS_FX_Constructor::SetSpeed(float scaleFactor, std::uint32_t value)
{
    speed.Rescale(scaleFactor, 0.0f);
    speed.SetValue(value, nullptr);
}

float DS_FX_Constructor::TimelineLevel() const
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline ? timeline->GetValue() : 0.0f;
}

// ---- stored form

void DS_FX_Constructor::Load(ArchiveReader ar, DS_FX_Constructor& fx)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    ReadParamValue(ar, fx.speed);
    ReadParamValue(ar, fx.mode);
    ReadGuid(ar, &fx.key.guid);
    fx.key.name = ar.ReadWideString();
    fx.key.flag = ar.ReadByte();
    ReadFileLink(ar, fx.effectLink);
    if (version >= kFirstVersionWithScale)
        ReadChangedParamValue(ar, fx.scale);
    if (version >= kFirstVersionWithRegion) {
        for (auto& corner : fx.region.corners)
            ReadParamValue(ar, corner);
        ReadParamValue(ar, fx.extraInt);
    }
    if (version >= kFirstVersionWithPhaseOffset)
        ReadChangedParamValue(ar, fx.phaseOffset);
    else
        fx.phaseOffset.SetChangedValue(0, nullptr);
    ReadABObjConstructor(ar, fx);
}

void DS_FX_Constructor::SaveFxLevel(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        if (gfx::Device* device = GetResourceDevice())
            manager->GetGuidTexture(key) =
                CopyTextureResized(*device, mask.Get(), kSavedMaskSize, kSavedMaskSize, gfx::Format::Unknown);
        manager->RegisterLink(effectLink);
    }
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, speed);
    WriteParamValue(ar, mode);
    WriteGuid(ar, key.guid);
    ar->WriteWideString(key.name);
    ar->WriteByte(key.flag);
    WriteFileLink(ar, effectLink);
    WriteParamValue(ar, scale);
    for (const auto& corner : region.corners)
        WriteParamValue(ar, corner);
    WriteParamValue(ar, extraInt);
    WriteParamValue(ar, phaseOffset);
    WriteABObjConstructor(ar, *this);
}
