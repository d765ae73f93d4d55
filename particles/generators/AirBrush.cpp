#include "particles/generators/AirBrush.h"

#include <algorithm>

#include "particles/generators/ParticlesObj.h"
#include "particles/generators/TimelineLevel.h"
#include "render/ResourceLoadingFrames.h"

namespace {

constexpr float kFrameSpeedScale = 0.01f;
constexpr std::int32_t kFirstVersionWithChannels = 2;
constexpr std::int32_t kFirstVersionWithPairs = 3;
// x, y, z and the pair count.
constexpr std::size_t kMinStoredDabBytes = 16;
constexpr std::size_t kMinLegacyDabBytes = 12;

GenParticle DabAt(const math::Vec3& point)
{
    GenParticle dab;
    dab.Init(point.x, point.y, point.z);
    return dab;
}

GenParticle ReadDab(ArchiveReader ar, std::int32_t version)
{
    const float x = ar.ReadFloat();
    const float y = ar.ReadFloat();
    const float z = ar.ReadFloat();
    GenParticle dab = DabAt({x, y, z});
    if (version < kFirstVersionWithChannels)
        return dab;
    const bool pairs = version >= kFirstVersionWithPairs;
    const std::size_t count = ar.ReadCount(pairs ? 8 : 4);
    for (std::size_t k = 0; k < count; ++k) {
        const float first = ar.ReadFloat();
        const float second = pairs ? ar.ReadFloat() : 0.0f;
        if (k >= DS_AirBrush::kStoredPairs)
            continue;
        dab.channels[k] = first;
        if (pairs)
            dab.channels[k + DS_AirBrush::kStoredPairs] = second;
    }
    if (!pairs)
        dab.channels[GenParticle::kChannelCount - 1] = 0.0f;
    return dab;
}

void WriteDab(ArchiveWriter ar, const GenParticle& dab)
{
    ar->WriteFloat(dab.position.x);
    ar->WriteFloat(dab.position.y);
    ar->WriteFloat(dab.position.z);
    ar->WriteDword(DS_AirBrush::kStoredPairs);
    for (std::uint32_t k = 0; k < DS_AirBrush::kStoredPairs; ++k) {
        ar->WriteFloat(dab.channels[k]);
        ar->WriteFloat(dab.channels[k + DS_AirBrush::kStoredPairs]);
    }
}

} // namespace

// ---- DS_AirBrush ---------------------------------------------------------------------

std::int32_t DrawnDabCount(const GenParticleList& dabs)
{
    return static_cast<std::int32_t>(std::min<std::size_t>(dabs.size(), DS_ParticlesObj::kMaxLayerQuads));
}

void DS_AirBrush::ReadAirBrushSection(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadSectionHeader().version;
    brushSize.StoreValue(ar.ReadDword());
    const std::size_t minBytes = version < kFirstVersionWithChannels ? kMinLegacyDabBytes : kMinStoredDabBytes;
    ReadCountedVector(ar, dabs, minBytes, [version](ArchiveReader element) { return ReadDab(element, version); });
    ReadTexGeneratorSection(ar);
}

void DS_AirBrush::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(brushSize.value);
    ar->WriteDword(static_cast<std::uint32_t>(dabs.size()));
    for (const GenParticle& dab : dabs)
        WriteDab(ar, dab);
    DS_TexParticleGenerator::Save(ar);
}

void DS_AirBrush::AddParticleAt(const math::Vec3& point, const DabStroke&)
{
    dabs.push_back(DabAt(point));
    RebuildBrushQuads();
}

void DS_AirBrush::BuildGeometry(DS_ParticlesObj& target)
{
    DS_TexParticleGenerator::BuildGeometry(target);
    PrepareMaskSurface();
    target.SetLayerCount(1);
    target.ResizeLayer(0, 0);
}

std::int32_t DS_AirBrush::LockDabLayer()
{
    if (!renderObject)
        return -1;
    const std::int32_t count = DrawnDabCount(dabs);
    renderObject->ResizeLayer(0, count);
    return renderObject->LockLayer(0) ? count : -1;
}

void DS_AirBrush::RebuildBrushQuads()
{
    const std::int32_t count = LockDabLayer();
    if (count < 0)
        return;
    const float width = static_cast<float>(brushSize.value);
    const float level = CurrentTimelineLevel(*this);
    std::int32_t index = 0;
    for (const GenParticle& dab : dabs) {
        if (index >= count)
            break;
        renderObject->SetRotatedParticleQuad(index++, dab, width, width * aspect, level, colour);
    }
    renderObject->UnlockLayer(0);
}

void DS_AirBrush::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawMaskedLayer(renderer, target, LoadedTexture(0));
}

// ---- DS_CustomAirBrush ---------------------------------------------------------------

DS_CustomAirBrush::DS_CustomAirBrush()
{
    frameSpeed.Rescale(kFrameSpeedScale, 0.0f);
}

void DS_CustomAirBrush::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadImageFileLink(ar, image);
    frameSpeed.QuietSet(ar.ReadDword());
    ReadAirBrushSection(ar);
}

void DS_CustomAirBrush::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterImage(image);
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteFileLink(ar, image);
    ar->WriteDword(frameSpeed.value);
    DS_AirBrush::Save(ar);
}

std::unique_ptr<DS_ParticleGenerator> DS_CustomAirBrush::Clone() const
{
    return std::make_unique<DS_CustomAirBrush>(*this);
}

void DS_CustomAirBrush::BuildGeometry(DS_ParticlesObj& target)
{
    DS_AirBrush::BuildGeometry(target);
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        // An animated picture keeps its frames only when asked for as one.
        if (GetFileExtension(image.GetPath()) == u".gif") {
            frames = manager->GetAnimatedTexture(image, kFrameFilterDefault);
        } else {
            frames = SpriteFrameInfo{};
            frames.Init(manager->GetTexture(image));
        }
        aspect = frames.ratio;
    }
    RebuildAtCurrentLevel();
}

void DS_CustomAirBrush::RebuildAtCurrentLevel()
{
    m_builtLevel = CurrentTimelineLevel(*this);
    RebuildBrushQuads();
}

void DS_CustomAirBrush::Step(float localTime, DS_ParticlesObj&)
{
    frameSpeed.Advance(localTime);
    FrameSequence::Step(frames, frameSpeed.Total());
    if (CurrentTimelineLevel(*this) != m_builtLevel)
        RebuildAtCurrentLevel();
}

void DS_CustomAirBrush::Render(DS_ABRender& renderer, DS_ParticlesObj& target)
{
    DrawMaskedLayer(renderer, target, frames.CurrentTexture());
}
