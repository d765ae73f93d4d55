#pragma once
// Helpers for the timeline tests: stored timeline records written with the
// document writer, an archive that turns Save() calls back into bytes, a
// stand-in render object entered in the render-object registry, and a
// control that counts notifications.

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaControl.h"
#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "platform/crt/Random.h"
#include "render/RenderObjectRegistry.h"
#include "render/TimelineIntervals.h"
#include "render/TimingSmart.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/DocumentWriter.h"

namespace timing_test {

// Fixed seed for tests that draw random lengths.
struct SeededRandom {
    explicit SeededRandom(unsigned seed = 1) { crt::srand(seed); }
};

inline DocumentWriter& TimingSection(DocumentWriter& w)
{
    return w.Section(u"KXI_Timing", 1);
}

inline DocumentWriter& Intervals(DocumentWriter& w, std::initializer_list<TimeInterval> intervals)
{
    w.Count(intervals.size());
    for (const TimeInterval& i : intervals)
        w.Float(i.start).Float(i.end).Float(i.fadeInEnd).Float(i.fadeOutStart);
    return w;
}

inline DocumentWriter& ContinuousRecord(DocumentWriter& w)
{
    w.Section(u"KXI_ContinuesTimeLine", 1);
    return TimingSection(w);
}

struct RandomLengths {
    std::uint32_t offMin = 100, offMax = 100, onMin = 100, onMax = 100, fadeIn = 50, fadeOut = 50;
};

inline DocumentWriter& RandomRecord(DocumentWriter& w, const RandomLengths& l)
{
    w.Section(u"KXI_RandomTimeLine", 1).Dword(l.offMin).Dword(l.offMax).Dword(l.onMin).Dword(l.onMax);
    w.Dword(l.fadeIn).Dword(l.fadeOut);
    return TimingSection(w);
}

inline DocumentWriter& ManualRecord(DocumentWriter& w, std::uint32_t period, std::initializer_list<TimeInterval> list)
{
    w.Section(u"KXI_ManualTimeLine", 1).Dword(period);
    Intervals(w, list);
    return TimingSection(w);
}

struct WindowSettings {
    std::int32_t mode = 1;
    std::uint32_t delayMin = 0, delayMax = 0, onMin = 100, onMax = 100, fadeIn = 50, fadeOut = 50;
};

inline DocumentWriter& DependedRecord(DocumentWriter& w, std::int32_t version, const crt::Guid& link,
                                      const WindowSettings& s = {})
{
    w.Section(u"KXI_DependedTimeLine", version).Guid(link);
    if (version >= 2) {
        w.Long(s.mode).Dword(s.delayMin).Dword(s.delayMax).Dword(s.onMin).Dword(s.onMax);
        w.Dword(s.fadeIn).Dword(s.fadeOut);
    }
    return TimingSection(w);
}

inline DocumentWriter& SmartTimingHeader(DocumentWriter& w, std::int32_t selector, std::int32_t clockMode,
                                         std::int32_t flags)
{
    return w.Section(u"KXI_SmartTiming", 1).Long(selector).Long(clockMode).Int(flags);
}

using ::RecordingArchive;

// Stands in for a live render object: enters `timing` in the render-object
// registry under `guid` for its lifetime. The object pointer is only a key
// the registry keeps; nothing reads through it.
class RegisteredObject {
public:
    RegisteredObject(const crt::Guid& guid, KXI_SmartTiming& timing) : m_guid(guid)
    {
        RegisterRenderObject(m_guid, StandIn(), &timing);
    }
    ~RegisteredObject() { UnregisterRenderObject(m_guid, StandIn()); }
    RegisteredObject(const RegisteredObject&) = delete;
    RegisteredObject& operator=(const RegisteredObject&) = delete;

private:
    KXI_RenderObj* StandIn() { return reinterpret_cast<KXI_RenderObj*>(&m_standIn); }

    crt::Guid m_guid;
    int m_standIn = 0;
};

inline crt::Guid TestGuid(std::uint32_t n)
{
    crt::Guid guid;
    guid.Data1 = n;
    guid.Data4[7] = 0x5A;
    return guid;
}

// Counts the notifications of the parameter it watches.
class CountingControl final : public MediaControlT<MediaParam> {
public:
    explicit CountingControl(MediaParam& param) { BindWithoutNotice(&param); }
    void OnParamChanged(MediaControl*) override { ++count; }
    int count = 0;
};

} // namespace timing_test
