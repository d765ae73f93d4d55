#include "render/LegacyTimeline.h"

#include <memory>

#include "render/Timelines.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"

void InstallLegacyRandomTimeline(KXI_SmartTiming& timing, const LegacyRandomTimes& times)
{
    std::unique_ptr<KXI_Timing> created = CreateObjectByClassName(KXI_RandomTimeLine::kClassName);
    auto* timeline = dynamic_cast<KXI_RandomTimeLine*>(created.get());
    if (!timeline)
        return;
    timeline->offLength.min.QuietSet(times.offMin);
    timeline->offLength.max.QuietSet(times.offMax);
    timeline->onLength.min.QuietSet(times.onMin);
    timeline->onLength.max.QuietSet(times.onMax);
    timeline->fadeIn.QuietSet(times.fadeIn);
    timeline->fadeOut.QuietSet(times.fadeOut);
    timing.StoreValue(KXI_SmartTiming::kRandom);
    timing.SetTimeline(std::move(created));
}
