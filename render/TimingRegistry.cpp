// The timing registry's classes and its two entry points.
//
// The four timeline classes register here, next to the reads that use the
// registry, rather than each in its own source: the render library is a
// static library, and a source whose only job were to register a class
// would never be linked into a program that does not name that class. Every
// program that reads or creates a timeline goes through this file, so the
// registry is complete whenever it is used.

#include "objectmodel/ClassRegistry.h"
#include "render/TimelineDepended.h"
#include "render/Timelines.h"
#include "render/Timing.h"

namespace {

template <class Timeline>
void RegisterTimeline()
{
    RegisterFamilyClass<Timeline, KXI_Timing>(GetTimingClassRegistry(), Timeline::kClassName);
}

// The registry with the four timelines entered. Entered on first use as
// well as at start-up, so a timing built during another source's static
// initialisation still finds its classes.
const FamilyClassRegistry<KXI_Timing>& TimingRegistry()
{
    static const bool registered = [] {
        RegisterTimeline<KXI_ContinuesTimeLine>();
        RegisterTimeline<KXI_RandomTimeLine>();
        RegisterTimeline<KXI_ManualTimeLine>();
        RegisterTimeline<KXI_DependedTimeLine>();
        return true;
    }();
    static_cast<void>(registered);
    return GetTimingClassRegistry();
}

const bool registeredAtStart = (TimingRegistry(), true);

} // namespace

std::unique_ptr<KXI_Timing> ReadTimingObject(ArchiveReader ar)
{
    return ReadRegisteredObject(ar, TimingRegistry());
}

std::unique_ptr<KXI_Timing> CreateObjectByClassName(std::u16string_view className)
{
    return CreateDefaultByClassName(TimingRegistry(), className);
}
