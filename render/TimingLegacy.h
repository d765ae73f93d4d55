#pragma once
// DS_TimeLineControl: the timing record of older documents, whose
// DS_ABObj_Constructor sections of version 2 and 3 carry it in place of a
// KXI_SmartTiming. It describes a continuous, random or manual timeline in
// one record; reading an object converts it into the object's timing.
//
// Stored record: "DS_TimeLineControl", int32 version v (written 2); kind
// int32 and clock mode int32 (stored directly); off min, off max, on min,
// on max (uint32 hundredths, stored directly); fade-in, fade-out (uint32
// hundredths, set when they differ and announced once more); the intervals
// (TimelineIntervals.h); for v >= 2 the period (uint32 hundredths, set when
// it differs and announced once more).

#include <cstdint>

#include "objectmodel/IOFItem.h"
#include "objectmodel/MediaParam.h"
#include "render/TimelineIntervals.h"
#include "render/Timing.h"

class KXI_SmartTiming;

class DS_TimeLineControl : public DS_IOF_Item {
public:
    static constexpr std::u16string_view kClassName = u"DS_TimeLineControl";

    enum Kind : int {
        kContinuous = 0,
        kRandom = 1,
        kManual = 2,
    };

    DS_TimeLineControl();

    void Save(ArchiveWriter ar) const override;
    // Reads the whole record, header included.
    void Read(ArchiveReader ar);

    // Gives `timing` the kind, the timeline and the clock mode this record
    // describes. A kind it does not know installs no timeline.
    void ApplyTo(KXI_SmartTiming& timing) const;

    MediaParamT<int> kind;
    MediaParamT<int> clockMode;
    PercentPair offLength{100, 100};
    PercentPair onLength{100, 100};
    TimeParam fadeIn;
    TimeParam fadeOut;
    TimeIntervalSet intervals;
    TimeParam period;
};

// The timing of a DS_ABObj_Constructor section of version 2 or 3: reads the
// DS_TimeLineControl record that follows and converts it into `timing`.
void ReadLegacyTiming(ArchiveReader ar, KXI_SmartTiming& timing);
