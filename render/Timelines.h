#pragma once
// The self-driven timelines:
//
//   KXI_ContinuesTimeLine  always on (level 1); only its clock runs.
//   KXI_RandomTimeLine     cycles off, fade-in, on, fade-out, drawing the
//                          off and on lengths at random from their ranges.
//   KXI_ManualTimeLine     a repeating period with on-intervals drawn by
//                          the author.
//
// The fourth kind, which follows another object, is KXI_DependedTimeLine
// (TimelineDepended.h). All four register in the timing registry under
// their class names, which documents store character for character.
//
// Stored records (after the record header: class name, int32 version):
//   "KXI_ContinuesTimeLine" (1): the KXI_Timing section.
//   "KXI_RandomTimeLine" (1): off min, off max, on min, on max (uint32
//       hundredths, stored directly); fade-in, fade-out (uint32 hundredths,
//       set when they differ and then announced once more); KXI_Timing.
//   "KXI_ManualTimeLine" (1): period (uint32 hundredths, set when it differs
//       and announced once more); the intervals (TimelineIntervals.h);
//       KXI_Timing.

#include <cstdint>

#include "render/TimelineIntervals.h"
#include "render/Timing.h"

class KXI_ContinuesTimeLine : public KXI_Timing {
public:
    static constexpr std::u16string_view kClassName = u"KXI_ContinuesTimeLine";

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
};

class KXI_RandomTimeLine : public KXI_Timing {
public:
    static constexpr std::u16string_view kClassName = u"KXI_RandomTimeLine";

    // Starts off (state 1) with level 0; the first advance that moves the
    // clock starts the fade-in.
    KXI_RandomTimeLine();

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Returns the local clock, not the time given.
    float Advance(float time) override;
    // Back to off with level 0 at clock 0, with a fresh on length drawn.
    void Reset() override;
    float GetPhaseProgress() const override;
    // Fade-out + fade-in + the current on length, in seconds.
    float GetLength() const override;
    // Takes the owner's default fade-in, on length and fade-out.
    void LoadParams(const KXI_SmartTiming& owner) override;

    float PhaseEnd() const { return m_phaseEnd; }
    float CurrentOnLength() const { return m_currentOnLength; }

    PercentPair offLength{100, 100};
    PercentPair onLength{100, 100};
    TimeParam fadeIn;
    TimeParam fadeOut;

private:
    // Leaves the current phase for the next one, measured from `clock`.
    void EnterNextPhase(float clock);
    // Starts a fade of `length` seconds at `clock`.
    void StartFade(float clock, float length);

    float m_phaseEnd = 0.0f;
    float m_rate = 0.0f; // 1 / the length of the current fade
    float m_currentOnLength = 0.0f;
};

class KXI_ManualTimeLine : public KXI_Timing {
public:
    static constexpr std::u16string_view kClassName = u"KXI_ManualTimeLine";

    // Starts off (state 1) with level 0 and a 10-second period.
    KXI_ManualTimeLine();

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // Returns the cycle time, not the time given.
    float Advance(float time) override;
    void Reset() override;
    // The length of the interval found by the last advance, or 0.
    float GetLength() const override;
    // A new period in hundredths of a second (a slide's duration).
    void SetIntParam(int hundredths) override;

    float CycleTime() const { return m_cycleTime; }

    TimeParam period;
    TimeIntervalSet intervals;

private:
    // State and level at the cycle time within `interval`.
    void FollowInterval(const TimeInterval& interval, float cycleTime);
    void SwitchOff();

    float m_currentIntervalLength = 0.0f;
    float m_cycleTime = 0.0f;
};

// Lengths of a random timeline that a reader installs in place of an older
// stored form, in hundredths of a second.
struct FixedRandomTimeline {
    std::uint32_t off = 0;
    std::uint32_t on = 0;
    std::uint32_t fadeIn = 0;
    std::uint32_t fadeOut = 0;
};

// Creates a random timeline through the timing registry with fixed off and
// on lengths and the given fades, and makes it `timing`'s current one under
// selector 1 (stored directly: the selector switches nothing). Nothing
// changes when the registry cannot make one.
void InstallFixedRandomTimeline(KXI_SmartTiming& timing, const FixedRandomTimeline& lengths);
