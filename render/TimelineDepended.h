#pragma once
// KXI_DependedTimeLine: a timeline that follows another scene object, named
// by the GUID of its render object (RenderObjectRegistry.h).
//
//   mode 0  mirror: level and state are those of the linked object's
//           current timeline.
//   mode 1  delayed window: each time the linked timeline leaves off, a
//           window opens after a random delay: fade-in, on for a random
//           length, fade-out. Level and state follow the window.
//   other   off.
//
// The link is resolved once the scene's render objects exist
// (ResolveLinks), and again whenever the link parameter changes. A GUID that
// no live render object carries leaves the timeline unlinked: level 0,
// state off, and advancing does nothing. When the linked render object goes
// away the timeline becomes unlinked; it never reads a destroyed object.
//
// Timelines that mirror each other in a loop (or an object that mirrors
// itself) would ask one another for their level forever: a timeline asked
// again while it is already asking answers as an unlinked one.
//
// Stored record "KXI_DependedTimeLine" (written as version 2): the link as a
// GUID string (stored directly); for version 2 or later: mode int32, delay
// min and max, on min and max (uint32 hundredths, stored directly), fade-in,
// fade-out (uint32 hundredths, set when they differ and announced once
// more); versions 0 and 1 have none of these and mirror (mode 0); then the
// KXI_Timing section.

#include <cstdint>

#include "objectmodel/CallbackControls.h"
#include "platform/crt/Guid.h"
#include "render/Timing.h"

class KXI_DependedTimeLine : public KXI_Timing {
public:
    static constexpr std::u16string_view kClassName = u"KXI_DependedTimeLine";

    enum Mode : int {
        kMirror = 0,
        kDelayedWindow = 1,
    };

    // The times of a delayed window, in the absolute time of the advances.
    struct Window {
        float fadeInStart = 0.0f;
        float onStart = 0.0f;
        float fadeOutStart = 0.0f;
        float end = 0.0f;
    };

    KXI_DependedTimeLine();
    KXI_DependedTimeLine(const KXI_DependedTimeLine&) = delete;
    KXI_DependedTimeLine& operator=(const KXI_DependedTimeLine&) = delete;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Looks the link up in the render-object registry; closes the window.
    void ResolveLinks() override;
    // Opens and closes the window in mode 1; changes nothing otherwise (the
    // local clock does not run in any mode). Returns `time`.
    float Advance(float time) override;
    float GetValue() const override;
    int GetState() const override;

    bool IsLinked() const { return LinkedTimeline() != nullptr; }
    bool WindowOpen() const { return m_windowOpen; }
    const Window& CurrentWindow() const { return m_window; }

    MediaParamT<crt::Guid> link;
    MediaParamT<int> mode;
    PercentPair delay{0, 0};
    PercentPair onLength{100, 100};
    TimeParam fadeIn;
    TimeParam fadeOut;

private:
    // The current timeline of the linked object, or null when unlinked.
    KXI_Timing* LinkedTimeline() const;
    void OpenWindow(float time);
    float WindowLevel() const;
    int WindowState() const;

    bool m_windowOpen = false;
    Window m_window;
    float m_windowTime = 0.0f; // the time of the last mode-1 advance
    int m_previousLinkedState = kTimingOff;

    // The linked object's timing (not owned) and the registry generation at
    // which it was known to be registered.
    mutable KXI_SmartTiming* m_linked = nullptr;
    mutable std::uint64_t m_linkedGeneration = 0;
    // Set while this timeline asks the timeline it mirrors.
    mutable bool m_asking = false;

    SmartCalbackCtrl<KXI_DependedTimeLine> m_linkObserver;
};
