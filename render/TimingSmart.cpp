#include "render/TimingSmart.h"

#include "objectmodel/StoredParams.h"
#include "render/TimelineDepended.h"
#include "render/Timelines.h"

namespace {

constexpr std::u16string_view kRecordName = u"KXI_SmartTiming";
constexpr std::int32_t kWrittenVersion = 1;

// The timeline class of each kind, indexed by the selector.
constexpr std::u16string_view kClassNameOfKind[KXI_SmartTiming::kKindCount] = {
    KXI_ContinuesTimeLine::kClassName,
    KXI_RandomTimeLine::kClassName,
    KXI_ManualTimeLine::kClassName,
    KXI_DependedTimeLine::kClassName,
};

} // namespace

KXI_SmartTiming::KXI_SmartTiming() : MediaParamT<int>(kContinuous), clockMode(0)
{
    // The change handling of the initial kind creates the continuous
    // timeline and caches it.
    NotifyObservers(nullptr);
}

KXI_SmartTiming::KXI_SmartTiming(const KXI_SmartTiming& other)
    : DS_IOF_Item(other), MediaParamT<int>(other), clockMode(other.clockMode), flags(other.flags),
      defaultFadeIn(other.defaultFadeIn), defaultOnLength(other.defaultOnLength),
      defaultFadeOut(other.defaultFadeOut), lastGlobalTime(other.lastGlobalTime), objectClock(other.objectClock),
      m_current(other.m_current), m_cache(other.m_cache)
{
}

KXI_SmartTiming& KXI_SmartTiming::operator=(const KXI_SmartTiming& other)
{
    if (this == &other)
        return *this;
    SetValue(other.value, nullptr);
    clockMode.SetValue(other.clockMode.value, nullptr);
    m_current = other.m_current;
    m_cache = other.m_cache;
    flags = other.flags;
    defaultFadeIn = other.defaultFadeIn;
    defaultOnLength = other.defaultOnLength;
    defaultFadeOut = other.defaultFadeOut;
    lastGlobalTime = other.lastGlobalTime;
    objectClock = other.objectClock;
    return *this;
}

KXI_SmartTiming::~KXI_SmartTiming() = default;

std::u16string_view KXI_SmartTiming::ClassNameOfKind(int kind)
{
    return IsKind(kind) ? kClassNameOfKind[kind] : std::u16string_view();
}

KXI_Timing* KXI_SmartTiming::CachedTimeline(int kind) const
{
    return IsKind(kind) ? m_cache[static_cast<std::size_t>(kind)].get() : nullptr;
}

void KXI_SmartTiming::NotifyObservers(MediaControl* source)
{
    SwitchToSelectedKind();
    MediaParamT<int>::NotifyObservers(source);
}

void KXI_SmartTiming::SwitchToSelectedKind()
{
    // A selector outside the known kinds names no timeline: the current
    // one stays.
    if (!IsKind(value))
        return;
    DS_SafePtr<KXI_Timing>& slot = m_cache[static_cast<std::size_t>(value)];
    if (!slot.IsEmpty()) {
        m_current = slot;
        return;
    }
    std::unique_ptr<KXI_Timing> created = CreateObjectByClassName(kClassNameOfKind[value]);
    if (!created)
        return;
    slot = DS_SafePtr<KXI_Timing>(created.release());
    m_current = slot;
    m_current->LoadParams(*this);
}

void KXI_SmartTiming::SetTimeline(std::unique_ptr<KXI_Timing> timeline)
{
    // The current timeline is never null: nothing to install, nothing changes.
    if (!timeline)
        return;
    DS_SafePtr<KXI_Timing> handle(timeline.release());
    if (IsKind(value))
        m_cache[static_cast<std::size_t>(value)] = handle;
    m_current = handle;
}

void KXI_SmartTiming::Save(ArchiveWriter ar) const
{
    WriteTimingRecordHeader(ar, kRecordName, kWrittenVersion);
    ar->WriteLong(value);
    ar->WriteLong(clockMode.value);
    ar->WriteVersion(flags);
    if (m_current)
        m_current->Save(ar);
}

void KXI_SmartTiming::Read(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    ReadParamValue(ar, static_cast<MediaParamT<int>&>(*this));
    ReadParamValue(ar, clockMode);
    flags = ar.ReadInt();
    // Never null: a class the registry does not know refuses the document.
    m_current = DS_SafePtr<KXI_Timing>(ReadTimingObject(ar).release());
    m_current->Reset();
}
