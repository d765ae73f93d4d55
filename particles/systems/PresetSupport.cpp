#include "particles/systems/PresetSupport.h"

#include <cmath>
#include <limits>

#include "render/RenderContext.h"
#include "render/Timing.h"

namespace preset_systems {

float TimelineLevel(const KXI_SmartTiming& timing)
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline ? timeline->GetValue() : 1.0f;
}

bool TimelineOff(const KXI_SmartTiming& timing)
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline && timeline->GetState() == kTimingOff;
}

std::int32_t TakeBurstDue(float level, std::uint32_t burstCount, std::int32_t& emitted)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const float due = level * static_cast<float>(burstCount) - static_cast<float>(emitted);
    // 2^31 is the first float beyond the int range.
    std::int32_t n = 0;
    if (due >= 2147483648.0f)
        n = kMax;
    else if (due > 0.0f)
        n = static_cast<std::int32_t>(due);
    if (n > 0)
        emitted = emitted > kMax - n ? kMax : emitted + n;
    return n;
}

float LaunchLifetime(float range, float speed)
{
    if (speed > 0.0f)
        return range / speed;
    return range > 0.0f ? std::numeric_limits<float>::infinity() : 0.0f;
}

bool TakeFreshPlacement(KXI_RenderObjData& object)
{
    if (object.keepId != 0)
        return false;
    object.keepId = 1;
    return true;
}

float PictureWidth()
{
    const RenderContext* context = g_RenderContextTls;
    return context ? context->pictureWidth : 0.0f;
}

float PictureHeight()
{
    const RenderContext* context = g_RenderContextTls;
    return context ? context->pictureHeight : 0.0f;
}

math::Vec3 PictureCentre()
{
    return {PictureWidth() / 2.0f, PictureHeight() / 2.0f, 0.0f};
}

InnerParticleList::Handles AppendAndKeep(InnerParticleList& list, InnerParticleList::Handles fresh)
{
    InnerParticleList::Handles kept(fresh.begin(), fresh.end());
    list.Append(std::move(fresh));
    return kept;
}

void SetEnvelope(PercentParamQuad& envelope, std::uint32_t fadeInEnd, std::uint32_t fadeOutStart)
{
    envelope.percents[0].SetChangedValue(fadeInEnd, nullptr);
    envelope.percents[1].SetChangedValue(fadeOutStart, nullptr);
}

void WriteSectionHeader(ArchiveWriter ar, std::u16string_view name, std::int32_t version)
{
    ar->WriteWideString(kxi_string(name));
    ar->WriteVersion(version);
}

math::Vec3 ReadVec3(ArchiveReader ar)
{
    math::Vec3 v;
    v.x = ar.ReadFloat();
    v.y = ar.ReadFloat();
    v.z = ar.ReadFloat();
    return v;
}

void WriteVec3(ArchiveWriter ar, const math::Vec3& v)
{
    ar->WriteFloat(v.x);
    ar->WriteFloat(v.y);
    ar->WriteFloat(v.z);
}

} // namespace preset_systems
