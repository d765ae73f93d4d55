#include "render/TimelineDepended.h"

#include "objectmodel/StoredParams.h"
#include "render/RenderObjectRegistry.h"
#include "render/TimingSmart.h"

namespace {

constexpr std::int32_t kWrittenVersion = 2;
// Records before this version hold only the link and always mirror.
constexpr std::int32_t kFirstVersionWithWindow = 2;

// The phases of a delayed window, in time order, with the state each
// reports. Every boundary is passed strictly: at a boundary time the
// earlier phase still holds.
enum class WindowPhase { kBefore, kRising, kOn, kFalling, kAfter };

constexpr int kStateOfPhase[] = {
    kTimingOff,     // before
    kTimingRising,  // rising
    kTimingOn,      // on
    kTimingFalling, // falling
    kTimingOff,     // after
};

WindowPhase PhaseAt(const KXI_DependedTimeLine::Window& window, float time)
{
    if (time > window.end)
        return WindowPhase::kAfter;
    if (time > window.fadeOutStart)
        return WindowPhase::kFalling;
    if (time > window.onStart)
        return WindowPhase::kOn;
    if (time > window.fadeInStart)
        return WindowPhase::kRising;
    return WindowPhase::kBefore;
}

// Marks a timeline as asking for the duration of one question.
class AskingScope {
public:
    explicit AskingScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~AskingScope() { m_flag = false; }
    AskingScope(const AskingScope&) = delete;
    AskingScope& operator=(const AskingScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

KXI_DependedTimeLine::KXI_DependedTimeLine()
    : link(crt::Guid{}), mode(kMirror), m_linkObserver(&KXI_DependedTimeLine::ResolveLinks, this, &link)
{
    fadeIn.QuietSet(kDefaultFadeHundredths);
    fadeOut.QuietSet(kDefaultFadeHundredths);
}

void KXI_DependedTimeLine::Save(ArchiveWriter ar) const
{
    WriteTimingRecordHeader(ar, kClassName, kWrittenVersion);
    WriteParamValue(ar, link);
    WriteParamValue(ar, mode);
    WriteParamValue(ar, delay.min);
    WriteParamValue(ar, delay.max);
    WriteParamValue(ar, onLength.min);
    WriteParamValue(ar, onLength.max);
    WriteParamValue(ar, fadeIn);
    WriteParamValue(ar, fadeOut);
    KXI_Timing::Save(ar);
}

void KXI_DependedTimeLine::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadParamValue(ar, link);
    if (version >= kFirstVersionWithWindow) {
        ReadParamValue(ar, mode);
        ReadParamValue(ar, delay.min);
        ReadParamValue(ar, delay.max);
        ReadParamValue(ar, onLength.min);
        ReadParamValue(ar, onLength.max);
        ReadAnnouncedValue(ar, fadeIn);
        ReadAnnouncedValue(ar, fadeOut);
    } else {
        mode.StoreValue(kMirror);
    }
    ReadTimingSection(ar);
}

void KXI_DependedTimeLine::ResolveLinks()
{
    m_linked = FindRegisteredTiming(link.value);
    m_linkedGeneration = RenderObjectRegistryGeneration();
    m_windowOpen = false;
    m_previousLinkedState = kTimingOff;
}

KXI_Timing* KXI_DependedTimeLine::LinkedTimeline() const
{
    // The registry changed since the link was found: the linked object may
    // be gone. Look again rather than read through a stale pointer.
    const std::uint64_t generation = RenderObjectRegistryGeneration();
    if (m_linked && m_linkedGeneration != generation) {
        m_linked = FindRegisteredTiming(link.value);
        m_linkedGeneration = generation;
    }
    return m_linked ? m_linked->CurrentTimeline() : nullptr;
}

float KXI_DependedTimeLine::Advance(float time)
{
    if (mode.value != kDelayedWindow)
        return time;
    const KXI_Timing* linked = LinkedTimeline();
    if (!linked)
        return time;

    m_windowTime = time;
    const int linkedState = linked->GetState();
    if (m_windowOpen) {
        if (time > m_window.end)
            m_windowOpen = false;
    } else if (linkedState != kTimingOff && m_previousLinkedState == kTimingOff) {
        OpenWindow(time);
    }
    m_previousLinkedState = linkedState;
    return time;
}

void KXI_DependedTimeLine::OpenWindow(float time)
{
    m_window.fadeInStart = time + PickRandomPercent(delay);
    m_window.onStart = m_window.fadeInStart + fadeIn.Scaled();
    m_window.fadeOutStart = m_window.onStart + PickRandomPercent(onLength);
    m_window.end = m_window.fadeOutStart + fadeOut.Scaled();
    m_windowOpen = true;
}

float KXI_DependedTimeLine::GetValue() const
{
    if (m_asking)
        return 0.0f;
    AskingScope asking(m_asking);
    const KXI_Timing* linked = LinkedTimeline();
    if (!linked)
        return 0.0f;
    if (mode.value == kMirror)
        return linked->GetValue();
    return WindowLevel();
}

int KXI_DependedTimeLine::GetState() const
{
    if (m_asking)
        return kTimingOff;
    AskingScope asking(m_asking);
    const KXI_Timing* linked = LinkedTimeline();
    if (!linked)
        return kTimingOff;
    if (mode.value == kMirror)
        return linked->GetState();
    return WindowState();
}

float KXI_DependedTimeLine::WindowLevel() const
{
    const float u = m_windowTime;
    switch (PhaseAt(m_window, u)) {
    case WindowPhase::kRising:
        return (u - m_window.fadeInStart) / (m_window.onStart - m_window.fadeInStart);
    case WindowPhase::kOn:
        return 1.0f;
    case WindowPhase::kFalling:
        return 1.0f - (u - m_window.fadeOutStart) / (m_window.end - m_window.fadeOutStart);
    default:
        return 0.0f;
    }
}

int KXI_DependedTimeLine::WindowState() const
{
    return kStateOfPhase[static_cast<int>(PhaseAt(m_window, m_windowTime))];
}
