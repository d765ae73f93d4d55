#include "effects/PatternBrush.h"

#include "objectmodel/ParamRecords.h"
#include "objectmodel/StoredParams.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/SharedResource.h"
#include "render/TimingSmart.h"

namespace {

constexpr float kDegreesToRadians = 3.1415927f / 180.0f;
// The timing mode in which the timeline's level is the effect's opacity.
constexpr std::int32_t kTimingModeOpacity = 1;
constexpr std::int32_t kPatternCategory = 6;

} // namespace

// ---- DS_PatternBrush

DS_PatternBrush::DS_PatternBrush()
{
    SetCommonResEffect(kCommonResPatternBrushEffect);
    SetSpeed(0.02f, 50);
    timing.clockMode.StoreValue(kTimingModeOpacity);
    MarkTimed(kPatternCategory);
}

std::unique_ptr<DS_FX_Constructor> DS_PatternBrush::Clone() const
{
    return std::make_unique<DS_PatternBrush>(*this);
}

void DS_PatternBrush::Attach(gfx::Ref<gfx::Texture>* holder)
{
    DS_FX_Constructor::Attach(holder);
    LoadPattern();
}

void DS_PatternBrush::LoadPattern()
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    const TextureSetEntry& entry =
        patternLink.GetExtension() == u".dll" ? manager->GetTextureSet(patternLink) : manager->GetTexture(patternLink);
    pattern.Init(entry);
}

void DS_PatternBrush::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    const float phase = Phase();
    if (phase < pattern.frameStart)
        pattern.frameStart = phase;
    const std::size_t frames = pattern.FrameCount();
    if (frames == 0)
        return;
    if (pattern.currentFrame < 0 || static_cast<std::size_t>(pattern.currentFrame) >= frames)
        pattern.currentFrame = 0;
    if (phase - pattern.frameStart > pattern.frameDurations[static_cast<std::size_t>(pattern.currentFrame)]) {
        pattern.frameStart = phase;
        pattern.currentFrame = static_cast<std::int32_t>((static_cast<std::size_t>(pattern.currentFrame) + 1) % frames);
    }
}

void DS_PatternBrush::Apply(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, width, height))
        return;
    float mix[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    if (timing.clockMode.value == kTimingModeOpacity)
        mix[3] = TimelineLevel();
    effect->SetFloatArray("mix_color", mix, 4);
    if (pattern.sourceWidth == 0 || pattern.sourceHeight == 0) {
        GivePictureBack(host); // no pattern to paint with
        return;
    }
    const auto frame = static_cast<std::size_t>(pattern.currentFrame);
    effect->SetTexture("Pattern", frame < pattern.frameTextures.size() ? pattern.frameTextures[frame].Get() : nullptr);

    const float patternWidth = static_cast<float>(pattern.sourceWidth);
    const float patternHeight = static_cast<float>(pattern.sourceHeight);
    const float k = tileSize.Scaled() == 0.0f ? 1.0f : tileSize.Scaled();
    tileCounts = {width / (patternWidth * k), height / (patternHeight * k)};
    const float aspect[2] = {patternWidth / patternHeight, 1.0f};
    effect->SetFloatArray("scale", aspect, 2);
    const float offset[2] = {offsetX.Scaled(), offsetY.Scaled()};
    effect->SetFloatArray("offset", offset, 2);

    float xs = width / (patternWidth * k);
    float ys = height / (patternHeight * k);
    if (flipX.value != 0)
        xs = -xs;
    if (flipY.value != 0)
        ys = -ys;
    math::Matrix scaling, rotation, transform;
    math::MatrixScaling(&scaling, xs, ys, 1.0f);
    math::MatrixRotationZ(&rotation, static_cast<float>(angle.value) * kDegreesToRadians);
    math::MatrixMultiply(&transform, scaling, rotation);
    const float coords[4] = {transform.m[0][0], transform.m[0][1], transform.m[1][0], transform.m[1][1]};
    effect->SetFloatArray("coord_transf", coords, 4);
    SetCommonParamsAndDraw(host);
}

void DS_PatternBrush::Load(ArchiveReader ar, DS_PatternBrush& fx)
{
    ar.ReadSectionHeader();
    fx.ReadBody(ar, kWrittenVersion);
}

void DS_PatternBrush::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadImageFileLink(ar, patternLink);
    ReadParamValue(ar, flipY);
    ReadParamValue(ar, flipX);
    ReadParamValue(ar, angle);
    ReadChangedParamValue(ar, tileSize);
    ReadChangedParamValue(ar, offsetX);
    ReadChangedParamValue(ar, offsetY);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_PatternBrush::SavePatternLevel(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterImage(patternLink);
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteFileLink(ar, patternLink);
    WriteParamValue(ar, flipY);
    WriteParamValue(ar, flipX);
    WriteParamValue(ar, angle);
    WriteParamValue(ar, tileSize);
    WriteParamValue(ar, offsetX);
    WriteParamValue(ar, offsetY);
    SaveFxLevel(ar);
}

void DS_PatternBrush::Save(ArchiveWriter ar) const
{
    SavePatternLevel(ar);
}

// ---- DS_PatternBrushC

void DS_PatternBrushC::ReadBody(ArchiveReader ar, std::int32_t)
{
    DS_PatternBrush::Load(ar, *this);
}

void DS_PatternBrushC::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kClassName, kWrittenVersion);
    SavePatternLevel(ar);
}

std::unique_ptr<DS_FX_Constructor> DS_PatternBrushC::Clone() const
{
    return std::make_unique<DS_PatternBrushC>(*this);
}

// ---- DS_BackgroundCopy

DS_BackgroundCopy::DS_BackgroundCopy()
{
    SetCommonResEffect(kCommonResBackgroundCopyEffect);
}

std::unique_ptr<DS_FX_Constructor> DS_BackgroundCopy::Clone() const
{
    return std::make_unique<DS_BackgroundCopy>(*this);
}

void DS_BackgroundCopy::Apply(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, width, height))
        return;
    float x = static_cast<float>(rectangle.centreX.value) / width;
    float y = static_cast<float>(rectangle.centreY.value) / height;
    if (flagX.value != 0)
        x += 1.0f;
    if (flagY.value != 0)
        y += 1.0f;
    const float offset[2] = {x, y};
    effect->SetFloatArray("offset", offset, 2);
    SetCommonParamsAndDraw(host);
}

void DS_BackgroundCopy::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadMediaRectangle(ar, rectangle);
    ReadParamValue(ar, flagY);
    ReadParamValue(ar, flagX);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_BackgroundCopy::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteMediaRectangle(ar, rectangle);
    WriteParamValue(ar, flagY);
    WriteParamValue(ar, flagX);
    SaveFxLevel(ar);
}
