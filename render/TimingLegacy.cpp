#include "render/TimingLegacy.h"

#include <memory>

#include "objectmodel/StoredParams.h"
#include "render/Timelines.h"
#include "render/TimingSmart.h"

namespace {

constexpr std::int32_t kWrittenVersion = 2;
// Records before this version hold no period.
constexpr std::int32_t kFirstVersionWithPeriod = 2;

} // namespace

DS_TimeLineControl::DS_TimeLineControl() : kind(kContinuous), clockMode(0)
{
    fadeIn.QuietSet(kDefaultFadeHundredths);
    fadeOut.QuietSet(kDefaultFadeHundredths);
    period.QuietSet(kDefaultPeriodHundredths);
}

void DS_TimeLineControl::Save(ArchiveWriter ar) const
{
    WriteTimingRecordHeader(ar, kClassName, kWrittenVersion);
    WriteParamValue(ar, kind);
    WriteParamValue(ar, clockMode);
    WriteParamValue(ar, offLength.min);
    WriteParamValue(ar, offLength.max);
    WriteParamValue(ar, onLength.min);
    WriteParamValue(ar, onLength.max);
    WriteParamValue(ar, fadeIn);
    WriteParamValue(ar, fadeOut);
    WriteTimeIntervals(ar, intervals);
    WriteParamValue(ar, period);
}

void DS_TimeLineControl::Read(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    ReadParamValue(ar, kind);
    ReadParamValue(ar, clockMode);
    ReadParamValue(ar, offLength.min);
    ReadParamValue(ar, offLength.max);
    ReadParamValue(ar, onLength.min);
    ReadParamValue(ar, onLength.max);
    ReadAnnouncedValue(ar, fadeIn);
    ReadAnnouncedValue(ar, fadeOut);
    ReadTimeIntervals(ar, intervals);
    if (header.version >= kFirstVersionWithPeriod)
        ReadAnnouncedValue(ar, period);
}

void DS_TimeLineControl::ApplyTo(KXI_SmartTiming& timing) const
{
    timing.StoreValue(kind.value);
    switch (kind.value) {
    case kContinuous:
        timing.SetTimeline(std::make_unique<KXI_ContinuesTimeLine>());
        break;
    case kRandom: {
        // The lengths are taken as plain values, the fades whole (value,
        // scale and offset, then announced). The on length the timeline drew
        // at its construction stays until its next reset.
        auto random = std::make_unique<KXI_RandomTimeLine>();
        random->offLength = offLength;
        random->onLength = onLength;
        random->fadeIn = fadeIn;
        random->fadeOut = fadeOut;
        timing.SetTimeline(std::move(random));
        break;
    }
    case kManual: {
        auto manual = std::make_unique<KXI_ManualTimeLine>();
        manual->intervals = intervals;
        manual->period = period;
        timing.SetTimeline(std::move(manual));
        break;
    }
    default:
        break;
    }
    timing.clockMode.QuietSet(clockMode.value);
}

void ReadLegacyTiming(ArchiveReader ar, KXI_SmartTiming& timing)
{
    DS_TimeLineControl record;
    record.Read(ar);
    record.ApplyTo(timing);
}
