#include "render/Timing.h"

#include <cmath>
#include <limits>

#include "objectmodel/StoredParams.h"
#include "platform/crt/Random.h"

namespace {

constexpr std::u16string_view kTimingSectionName = u"KXI_Timing";
constexpr std::int32_t kTimingSectionVersion = 1;
constexpr float kSecondsPerHundredth = 0.01f;
constexpr float kHundredthsPerSecond = 100.0f;

} // namespace

KXI_Timing::KXI_Timing() = default;

void KXI_Timing::Save(ArchiveWriter ar) const
{
    WriteTimingSection(ar);
}

void KXI_Timing::ResolveLinks() {}

float KXI_Timing::Advance(float time)
{
    AdvanceClock(time);
    return time;
}

void KXI_Timing::Reset()
{
    ResetClock();
}

float KXI_Timing::GetValue() const
{
    return m_level;
}

float KXI_Timing::GetPhaseProgress() const
{
    return 0.0f;
}

float KXI_Timing::GetLength() const
{
    return 0.0f;
}

int KXI_Timing::GetState() const
{
    return m_state;
}

void KXI_Timing::SetIntParam(int) {}

void KXI_Timing::LoadParams(const KXI_SmartTiming&) {}

void KXI_Timing::AdvanceClock(float time)
{
    if (time < m_lastTime)
        m_lastTime = time;
    float step = time - m_lastTime;
    m_lastTime = time;
    if (step > kMaxStep)
        step = kMaxStep;
    m_step = speed.Scaled() * step;
    m_localClock += m_step;
}

void KXI_Timing::ResetClock()
{
    m_localClock = 0.0f;
    m_lastTime = 0.0f;
}

void WriteTimingRecordHeader(ArchiveWriter ar, std::u16string_view className, std::int32_t version)
{
    ar->WriteWideString(kxi_string(className));
    ar->WriteVersion(version);
}

void WriteTimingSection(ArchiveWriter ar)
{
    WriteTimingRecordHeader(ar, kTimingSectionName, kTimingSectionVersion);
}

void ReadTimingSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
}

PercentPair::PercentPair(std::uint32_t minimum, std::uint32_t maximum) : min(minimum), max(maximum) {}

PercentPair& PercentPair::operator=(const PercentPair& other)
{
    min.QuietSet(other.min.value);
    max.QuietSet(other.max.value);
    return *this;
}

float PickRandomPercent(const PercentPair& pair)
{
    // The range is taken in 64 bits: the full unsigned range (max - min + 1
    // = 2^32) neither wraps to a zero divisor nor turns negative.
    std::uint64_t hundredths = pair.min.value;
    if (pair.min.value < pair.max.value) {
        const std::uint64_t range = std::uint64_t(pair.max.value) - pair.min.value + 1;
        hundredths += static_cast<std::uint64_t>(crt::rand()) % range;
    }
    return static_cast<float>(hundredths) * kSecondsPerHundredth;
}

std::uint32_t SecondsToHundredths(float seconds)
{
    const float hundredths = seconds * kHundredthsPerSecond;
    if (!(hundredths > 0.0f))
        return 0;
    if (hundredths >= 4294967296.0f)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(hundredths);
}

void ReadAnnouncedValue(ArchiveReader ar, TimeParam& param)
{
    ReadChangedParamValue(ar, param);
    param.NotifyObservers(nullptr);
}
