#include "render/Timelines.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "render/TimingSmart.h"

namespace {

constexpr std::int32_t kWrittenVersion = 1;

void ReadStoredPair(ArchiveReader ar, PercentPair& pair)
{
    ReadParamValue(ar, pair.min);
    ReadParamValue(ar, pair.max);
}

void WritePair(ArchiveWriter ar, const PercentPair& pair)
{
    WriteParamValue(ar, pair.min);
    WriteParamValue(ar, pair.max);
}

} // namespace

// ---- KXI_ContinuesTimeLine ------------------------------------------------

void KXI_ContinuesTimeLine::Save(ArchiveWriter ar) const
{
    WriteTimingRecordHeader(ar, kClassName, kWrittenVersion);
    KXI_Timing::Save(ar);
}

void KXI_ContinuesTimeLine::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadTimingSection(ar);
}

// ---- KXI_RandomTimeLine ---------------------------------------------------

KXI_RandomTimeLine::KXI_RandomTimeLine()
{
    fadeIn.QuietSet(kDefaultFadeHundredths);
    fadeOut.QuietSet(kDefaultFadeHundredths);
    KXI_RandomTimeLine::Reset();
}

void KXI_RandomTimeLine::Save(ArchiveWriter ar) const
{
    WriteTimingRecordHeader(ar, kClassName, kWrittenVersion);
    WritePair(ar, offLength);
    WritePair(ar, onLength);
    WriteParamValue(ar, fadeIn);
    WriteParamValue(ar, fadeOut);
    KXI_Timing::Save(ar);
}

void KXI_RandomTimeLine::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadStoredPair(ar, offLength);
    ReadStoredPair(ar, onLength);
    ReadAnnouncedValue(ar, fadeIn);
    ReadAnnouncedValue(ar, fadeOut);
    ReadTimingSection(ar);
}

void KXI_RandomTimeLine::Reset()
{
    ResetClock();
    m_phaseEnd = 0.0f;
    m_rate = 0.0f;
    m_state = kTimingOff;
    // An off timeline shows nothing: a new or restarted object must not
    // flash at full level until its first fade-in begins.
    m_level = 0.0f;
    m_currentOnLength = PickRandomPercent(onLength);
}

float KXI_RandomTimeLine::Advance(float time)
{
    AdvanceClock(time);
    const float clock = m_localClock;
    if (clock > m_phaseEnd) {
        EnterNextPhase(clock);
        return clock;
    }
    if (m_state == kTimingRising)
        m_level = 1.0f - (m_phaseEnd - clock) * m_rate;
    else if (m_state == kTimingFalling)
        m_level = (m_phaseEnd - clock) * m_rate;
    return clock;
}

void KXI_RandomTimeLine::StartFade(float clock, float length)
{
    m_phaseEnd = clock + length;
    // A fade too short to move the clock keeps the previous rate: the
    // level it gives is never used, the next advance ends the fade.
    if (m_phaseEnd != clock)
        m_rate = 1.0f / (m_phaseEnd - clock);
}

// One transition per advance. Each new phase is measured from the current
// clock, so time that a long step carries past a phase end is dropped.
void KXI_RandomTimeLine::EnterNextPhase(float clock)
{
    switch (m_state) {
    case kTimingOn:
        m_state = kTimingFalling;
        m_level = 1.0f;
        StartFade(clock, fadeOut.Scaled());
        break;
    case kTimingOff:
        m_state = kTimingRising;
        m_level = 0.0f;
        StartFade(clock, fadeIn.Scaled());
        break;
    case kTimingRising:
        m_state = kTimingOn;
        m_level = 1.0f;
        m_rate = 0.0f;
        m_phaseEnd = clock + m_currentOnLength;
        break;
    default: // falling
        m_state = kTimingOff;
        m_level = 0.0f;
        m_rate = 0.0f;
        m_phaseEnd = clock + PickRandomPercent(offLength);
        m_currentOnLength = PickRandomPercent(onLength);
        break;
    }
}

float KXI_RandomTimeLine::GetPhaseProgress() const
{
    if (m_state != kTimingOn)
        return 0.0f;
    // An on phase of no length is over as soon as it starts.
    if (!(m_currentOnLength > 0.0f))
        return 1.0f;
    return 1.0f - (m_phaseEnd - m_localClock) / m_currentOnLength;
}

float KXI_RandomTimeLine::GetLength() const
{
    return fadeOut.Scaled() + fadeIn.Scaled() + m_currentOnLength;
}

void KXI_RandomTimeLine::LoadParams(const KXI_SmartTiming& owner)
{
    fadeIn.SetChangedValue(SecondsToHundredths(owner.defaultFadeIn), nullptr);
    fadeOut.SetChangedValue(SecondsToHundredths(owner.defaultFadeOut), nullptr);
    const std::uint32_t onHundredths = SecondsToHundredths(owner.defaultOnLength);
    onLength.max.QuietSet(onHundredths);
    onLength.min.QuietSet(onHundredths);
}

// ---- KXI_ManualTimeLine ---------------------------------------------------

KXI_ManualTimeLine::KXI_ManualTimeLine()
{
    period.QuietSet(kDefaultPeriodHundredths);
    m_state = kTimingOff;
    m_level = 0.0f;
}

void KXI_ManualTimeLine::Save(ArchiveWriter ar) const
{
    WriteTimingRecordHeader(ar, kClassName, kWrittenVersion);
    WriteParamValue(ar, period);
    WriteTimeIntervals(ar, intervals);
    KXI_Timing::Save(ar);
}

void KXI_ManualTimeLine::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadAnnouncedValue(ar, period);
    ReadTimeIntervals(ar, intervals);
    ReadTimingSection(ar);
}

void KXI_ManualTimeLine::Reset()
{
    ResetClock();
    SwitchOff();
    m_cycleTime = 0.0f;
}

void KXI_ManualTimeLine::SwitchOff()
{
    m_state = kTimingOff;
    m_level = 0.0f;
    m_currentIntervalLength = 0.0f;
}

float KXI_ManualTimeLine::Advance(float time)
{
    AdvanceClock(time);
    const float periodSeconds = period.Scaled();
    // A period of no length holds no time at which to be on.
    if (!(periodSeconds > 0.0f)) {
        m_cycleTime = 0.0f;
        SwitchOff();
        return m_cycleTime;
    }
    m_cycleTime = static_cast<float>(std::fmod(double(m_cycleTime) + double(m_step), double(periodSeconds)));

    const float cycleTime = m_cycleTime;
    const TimeInterval* interval = intervals.FirstEndingAtOrAfter(cycleTime);
    // An interval that starts within three seconds is the one to come.
    // Three single-precision additions, as the look-ahead was always
    // computed: the rounding at large cycle times is part of the behaviour.
    const float horizon = ((cycleTime + 1.0f) + 1.0f) + 1.0f;
    if (!interval || interval->start > horizon) {
        SwitchOff();
        return m_cycleTime;
    }
    FollowInterval(*interval, cycleTime);
    return m_cycleTime;
}

void KXI_ManualTimeLine::FollowInterval(const TimeInterval& interval, float u)
{
    m_currentIntervalLength = interval.end - interval.start;
    if (u < interval.start || u > interval.end) {
        m_state = kTimingOff;
        m_level = 0.0f;
    } else if (u < interval.fadeInEnd) {
        m_state = kTimingRising;
        m_level = (u - interval.start) / (interval.fadeInEnd - interval.start);
    } else if (u < interval.fadeOutStart) {
        m_state = kTimingOn;
        m_level = 1.0f;
    } else {
        m_state = kTimingFalling;
        // A fade-out of no length is complete at the interval's end.
        const float fadeLength = interval.end - interval.fadeOutStart;
        m_level = fadeLength > 0.0f ? 1.0f - (u - interval.fadeOutStart) / fadeLength : 0.0f;
    }
}

float KXI_ManualTimeLine::GetLength() const
{
    return m_currentIntervalLength;
}

void KXI_ManualTimeLine::SetIntParam(int hundredths)
{
    period.SetChangedValue(static_cast<std::uint32_t>(hundredths), nullptr);
}

void InstallFixedRandomTimeline(KXI_SmartTiming& timing, const FixedRandomTimeline& lengths)
{
    std::unique_ptr<KXI_Timing> created = CreateObjectByClassName(KXI_RandomTimeLine::kClassName);
    auto* timeline = dynamic_cast<KXI_RandomTimeLine*>(created.get());
    if (!timeline)
        return;
    timeline->offLength.min.QuietSet(lengths.off);
    timeline->offLength.max.QuietSet(lengths.off);
    timeline->onLength.min.QuietSet(lengths.on);
    timeline->onLength.max.QuietSet(lengths.on);
    timeline->fadeIn.QuietSet(lengths.fadeIn);
    timeline->fadeOut.QuietSet(lengths.fadeOut);
    // Stored directly: the selector switches nothing, so the timeline set
    // next lands in slot 1 of the cache.
    timing.StoreValue(KXI_SmartTiming::kRandom);
    timing.SetTimeline(std::move(created));
}
