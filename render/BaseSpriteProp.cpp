#include "render/BaseSpriteProp.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "render/DocResManager.h"

namespace {

// The sections of these versions store what they say.
constexpr std::int32_t kLegacyPictureVersion = 1;
constexpr std::int32_t kFirstVersionWithoutOwnRate = 3;
constexpr std::int32_t kFirstVersionWithImageKind = 4;
constexpr std::int32_t kFirstVersionWithFlips = 5;
constexpr std::int32_t kFirstVersionWithRedraw = 6;
constexpr std::int32_t kFirstVersionWithSpeed = 7;

constexpr std::uint32_t kDefaultColour = 0x00FFFFFF;
// Transparency percent -> alpha byte: value x -2.55 + 255.
constexpr float kTransparencyScale = -2.55f;
constexpr float kTransparencyOffset = 255.0f;
// Speed percent -> factor: value x 0.01.
constexpr float kSpeedScale = 0.01f;
constexpr std::uint32_t kDefaultSpeedPercent = 100;
constexpr float kMaxClockStep = 0.2f;

// A level as a factor in 0..1: a timeline never reports more, but a
// product must not leave the alpha byte.
float ClampedLevel(float level)
{
    if (!(level > 0.0f))
        return 0.0f;
    return level < 1.0f ? level : 1.0f;
}

void ReadLegacyPictures(ArchiveReader ar, std::vector<ModuleResourceBlob>& blobs, ModuleResourceBlob& blob)
{
    const std::size_t count = ar.ReadCount(kMinModuleBlobBytes);
    for (std::size_t i = 0; i < count; ++i) {
        ModuleResourceBlob record;
        ar->ReadModuleBlob(&record);
        blobs.push_back(std::move(record));
    }
    ar->ReadModuleBlob(&blob);
}

void ReadLegacyValues(ArchiveReader ar, std::vector<std::uint32_t>& values)
{
    const std::size_t count = ar.ReadCount(kInt32Bytes);
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(ar.ReadDword());
}

} // namespace

DS_BaseSpriteProp::DS_BaseSpriteProp()
    : spriteCount(1), spriteSize(0), transparency(kTransparencyScale, kTransparencyOffset, 0), blendMode(0),
      colour(kDefaultColour), flipV(0), flipU(0), redrawOnFrameChange(0)
{
    flipU.QuietSet(flipV.value);
    speed.Rescale(kSpeedScale, 0.0f);
    speed.QuietSet(kDefaultSpeedPercent);
}

DS_BaseSpriteProp::DS_BaseSpriteProp(const DS_BaseSpriteProp& other)
    : DS_ViewObjCtrl(other), spriteCount(other.spriteCount), spriteSize(other.spriteSize),
      transparency(other.transparency), blendMode(other.blendMode), colour(other.colour),
      brightnessRate(other.brightnessRate), brightnessMin(other.brightnessMin), brightnessMax(other.brightnessMax),
      scaleMin(other.scaleMin), scaleMax(other.scaleMax), spriteImage(other.spriteImage),
      secondImage(other.secondImage), frameLayoutValue(other.frameLayoutValue),
      frameLayoutFloat(other.frameLayoutFloat), frameCount(other.frameCount), frameRate(other.frameRate),
      framesInOneImage(other.framesInOneImage), imageKind(other.imageKind), flipV(other.flipV),
      flipU(other.flipU), redrawOnFrameChange(other.redrawOnFrameChange), legacyValues(other.legacyValues),
      legacyBlobs(other.legacyBlobs), legacyBlob(other.legacyBlob), speed(other.speed),
      objectStep(other.objectStep), objectClock(other.objectClock), lastObjectTime(other.lastObjectTime),
      spriteEvent(other.spriteEvent)
{
}

DS_BaseSpriteProp::~DS_BaseSpriteProp() = default;

void DS_BaseSpriteProp::Save(ArchiveWriter ar) const
{
    // The manager keeps what the links need, so the document written
    // carries their pictures.
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        manager->RegisterImage(spriteImage);
        manager->RegisterImage(secondImage);
    }
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    DS_ViewObjCtrl::Save(ar);
    WriteParamValue(ar, spriteCount);
    WriteParamValue(ar, spriteSize);
    WriteParamValue(ar, transparency);
    WriteParamValue(ar, blendMode);
    ar->WriteLong(static_cast<std::int32_t>(colour.value));
    for (float value : {brightnessRate, brightnessMin, brightnessMax, scaleMin, scaleMax})
        ar->WriteFloat(value);
    WriteFileLink(ar, spriteImage);
    WriteFileLink(ar, secondImage);
    ar->WriteDword(frameLayoutValue);
    ar->WriteFloat(frameLayoutFloat);
    ar->WriteDword(frameCount);
    ar->WriteFloat(frameRate);
    ar->WriteByte(framesInOneImage);
    ar->WriteLong(imageKind);
    WriteParamValue(ar, flipV);
    WriteParamValue(ar, flipU);
    WriteParamValue(ar, redrawOnFrameChange);
    WriteParamValue(ar, speed);
}

void DS_BaseSpriteProp::Load(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    DS_ViewObjCtrl::Load(ar);
    ReadParamValue(ar, spriteCount);
    if (version < kFirstVersionWithoutOwnRate)
        ReadParamValue(ar, animationRate);
    ReadParamValue(ar, spriteSize);
    // Announced, so that the alpha byte follows.
    ReadChangedParamValue(ar, transparency);
    ReadParamValue(ar, blendMode);
    colour.StoreValue(static_cast<COLORREF>(ar.ReadLong()));
    brightnessRate = ar.ReadFloat();
    brightnessMin = ar.ReadFloat();
    brightnessMax = ar.ReadFloat();
    scaleMin = ar.ReadFloat();
    scaleMax = ar.ReadFloat();
    if (version == kLegacyPictureVersion) {
        ReadLegacyPictures(ar, legacyBlobs, legacyBlob);
    } else {
        ReadImageFileLink(ar, spriteImage);
        ReadImageFileLink(ar, secondImage);
    }
    frameLayoutValue = ar.ReadDword();
    frameLayoutFloat = ar.ReadFloat();
    frameCount = ar.ReadDword();
    frameRate = ar.ReadFloat();
    framesInOneImage = ar.ReadByte();
    if (version == kLegacyPictureVersion) {
        ReadLegacyValues(ar, legacyValues);
        return;
    }
    if (version >= kFirstVersionWithImageKind)
        imageKind = ar.ReadLong();
    if (version >= kFirstVersionWithFlips) {
        ReadParamValue(ar, flipV);
        ReadParamValue(ar, flipU);
    }
    if (version >= kFirstVersionWithRedraw)
        ReadParamValue(ar, redrawOnFrameChange);
    if (version >= kFirstVersionWithSpeed) {
        ReadParamValue(ar, speed);
        // Nobody is told, but the factor is part of the speed's own value:
        // the object clock runs at the stored speed.
        speed.UpdateScaled();
    }
}

void DS_BaseSpriteProp::GetPreviewImage(PreviewImage& out) const
{
    // A strip of no frames shows its picture whole.
    const float frames = frameCount == 0 ? 1.0f : static_cast<float>(frameCount);
    out = PreviewImage{&spriteImage, imageKind, 0.0f, 1.0f / frames};
}

void DS_BaseSpriteProp::CollectFileLinks(FileLinkList& list) const
{
    list.emplace_back(std::make_unique<DS_ImageFileLink>(spriteImage), colour.value);
}

bool DS_BaseSpriteProp::CountLimitReached(std::int32_t counter) const
{
    return counter > kCountLimit;
}

void DS_BaseSpriteProp::InitSprite(SpriteParticle&) {}

void DS_BaseSpriteProp::UpdateSprite(SpriteParticle&) {}

std::uint32_t DS_BaseSpriteProp::NextFrameIndex(std::uint32_t index) const
{
    // A strip of no frames stays on its first.
    if (frameCount == 0)
        return 0;
    return (index + 1) % frameCount;
}

std::uint32_t DS_BaseSpriteProp::ActiveSpriteCount() const
{
    return spriteCount.value;
}

std::uint32_t DS_BaseSpriteProp::ApplyTimingAlpha(std::uint32_t argb) const
{
    const std::uint32_t alpha = argb >> 24;
    const auto scaled = static_cast<std::uint32_t>(TimingValue() * static_cast<float>(alpha));
    return (scaled << 24) | (argb & 0x00FFFFFFu);
}

float DS_BaseSpriteProp::TimingValue() const
{
    return ClampedLevel(timing.CurrentTimeline()->GetValue());
}

void DS_BaseSpriteProp::StepClocks(float time)
{
    StepAnimationClock(time);

    // A time that went back restarts the object clock from there.
    if (time < lastObjectTime)
        lastObjectTime = time;
    float step = time - lastObjectTime;
    if (!(step <= kMaxClockStep)) // also an undefined step
        step = kMaxClockStep;
    lastObjectTime = time;
    step = SpeedFactor() * step;
    objectStep = step;
    objectClock += step;
}

void DS_BaseSpriteProp::LoadTextures()
{
    if (!spriteImage.Path().empty())
        return;
    // Without a document's manager the pictures stay where they are, to be
    // turned into links once one is current.
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;

    const DS_ImageFileLink set = manager->ImportLegacyTextureSet(legacyBlobs, legacyValues);
    spriteImage.StorePathAndId(set.Path(), set.Id());
    if (legacyBlob.ResourceId() != 0) {
        const DS_ImageFileLink picture = manager->ImportLegacyBlob(legacyBlob);
        secondImage.StorePathAndId(picture.Path(), picture.Id());
    }
    legacyBlobs.clear();
    legacyValues.clear();
}
