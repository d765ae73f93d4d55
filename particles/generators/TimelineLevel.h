#pragma once
// The level of an object's current timeline, 0 (off) to 1 (on); 1 for an
// object without one.

#include "render/ABObjConstructor.h"
#include "render/Timing.h"

inline float CurrentTimelineLevel(const DS_ABObj_Constructor& object)
{
    const KXI_Timing* timeline = object.timing.CurrentTimeline();
    return timeline ? timeline->GetValue() : 1.0f;
}

// The state of the current timeline (TimingState); on without one.
inline int CurrentTimelineState(const DS_ABObj_Constructor& object)
{
    const KXI_Timing* timeline = object.timing.CurrentTimeline();
    return timeline ? timeline->GetState() : kTimingOn;
}
