#pragma once
// KXI_SmartTiming: the timing of one scene object. Its int value is the
// selector of the timeline kind:
//
//   0 KXI_ContinuesTimeLine   1 KXI_RandomTimeLine
//   2 KXI_ManualTimeLine      3 KXI_DependedTimeLine
//
// It creates and keeps one timeline per kind (the cache) and makes one of
// them current; it also carries the object's clock for the render object
// (clock mode, flag word, last global time, object clock).
//
// A change of the selector announced to its observers (SetValue,
// SetChangedValue, an undo step) switches to the cached timeline of the new
// kind, creating it on first use, so a kind chosen again finds its settings
// and its running state. A quiet set or a direct store of the selector
// switches nothing.
//
// Copying shares the timelines: the copy's current and cached handles refer
// to the very timeline objects of the original, so a description and the
// clone inside its render object drive one timeline.
//
// Stored record (inside the KXI_RenderObjData section): "KXI_SmartTiming",
// int32 version (written 1), selector int32 and clock mode int32 (stored
// directly, no switching), flag word int32, then one timeline record, which
// becomes the current timeline and is reset. A timeline class that the
// timing registry does not know refuses the document.

#include <array>
#include <cstdint>
#include <memory>

#include "objectmodel/IOFItem.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/SafePtr.h"
#include "render/Timing.h"

class KXI_SmartTiming : public DS_IOF_Item, public MediaParamT<int> {
public:
    enum Kind : int {
        kContinuous = 0,
        kRandom = 1,
        kManual = 2,
        kDepended = 3,
    };
    static constexpr int kKindCount = 4;

    // Clock mode in which the render object scales the object's clock step
    // by the level, unless kFlagUnscaledClock is set in the flag word.
    static constexpr int kClockScaledByLevel = 2;
    static constexpr std::int32_t kFlagUnscaledClock = 0x20;

    // Starts with a continuous timeline, current and cached as kind 0.
    KXI_SmartTiming();
    KXI_SmartTiming(const KXI_SmartTiming& other);
    // Takes selector and clock mode with their observers told (the selector
    // switches to its kind first), then shares the other's current and
    // cached timelines and copies the flag word and the remaining fields.
    // Assigning a timing to itself changes nothing.
    KXI_SmartTiming& operator=(const KXI_SmartTiming& other);
    ~KXI_SmartTiming() override;

    // The selector's change handling: switch to the timeline of the new
    // kind, then tell the selector's observers.
    void NotifyObservers(MediaControl* source) override;

    void Save(ArchiveWriter ar) const override;
    // Reads the whole record, header included.
    void Read(ArchiveReader ar);

    // Makes `timeline` current and keeps it in the cache slot of the
    // current kind, releasing what those held. A null timeline changes
    // nothing.
    void SetTimeline(std::unique_ptr<KXI_Timing> timeline);

    // The current timeline (never null once constructed).
    KXI_Timing* CurrentTimeline() const { return m_current.get(); }
    // The cached timeline of `kind`, or null (also for a kind outside 0-3).
    KXI_Timing* CachedTimeline(int kind) const;
    const DS_SafePtr<KXI_Timing>& CurrentHandle() const { return m_current; }

    int Selector() const { return value; }

    // The class name of the timeline of `kind`, or empty outside 0-3.
    static std::u16string_view ClassNameOfKind(int kind);

    MediaParamT<int> clockMode;
    std::int32_t flags = 0;
    // Lengths in seconds handed to a random timeline created by a change
    // of kind (KXI_Timing::LoadParams).
    float defaultFadeIn = 0.5f;
    float defaultOnLength = 1.0f;
    float defaultFadeOut = 0.5f;
    // Kept for the render object's clock.
    float lastGlobalTime = 0.0f;
    float objectClock = 0.0f;

private:
    static bool IsKind(int kind) { return kind >= 0 && kind < kKindCount; }
    // Makes the cached timeline of the selector's kind current, creating
    // it first when the cache holds none.
    void SwitchToSelectedKind();

    DS_SafePtr<KXI_Timing> m_current;
    std::array<DS_SafePtr<KXI_Timing>, kKindCount> m_cache;
};
