#pragma once
// KXI_Timing: the root of the timelines that switch scene objects on and off
// over time. A timeline turns the absolute time of the frame into a level
// between 0 and 1 (how visible or loud the object is), a state (on, off,
// rising, falling) and a local clock. The kinds (Timelines.h,
// TimelineDepended.h) are driven only through the virtual operations here;
// KXI_SmartTiming (TimingSmart.h) selects one kind per object and holds it.
//
// Also here: PercentPair, a range of lengths in hundredths of a second from
// which a timeline draws its phase lengths, and the stored `KXI_Timing`
// section that ends every timeline record.

#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"

class KXI_SmartTiming;

// The timelines' (and the legacy timing record's) default fade-in and
// fade-out, and the default period, in hundredths of a second.
inline constexpr std::uint32_t kDefaultFadeHundredths = 50;
inline constexpr std::uint32_t kDefaultPeriodHundredths = 1000;

// Reads a stored timing value with notification, then announces it once
// more, whether or not it changed.
void ReadAnnouncedValue(ArchiveReader ar, TimeParam& param);

// What a timeline reports through KXI_Timing::GetState.
enum TimingState : int {
    kTimingOn = 0,      // level 1
    kTimingOff = 1,     // level 0
    kTimingRising = 2,  // fading in
    kTimingFalling = 3, // fading out
};

class KXI_Timing : public DS_IOF_Item {
public:
    // The longest step one advance lets the local clock take: a frame gap
    // longer than this (a stall, a suspended machine) counts as this much.
    static constexpr float kMaxStep = 0.2f;

    KXI_Timing();

    // Writes the `KXI_Timing` section. Derived timelines write their own
    // record, which ends with this section.
    void Save(ArchiveWriter ar) const override;

    // Finds what the timeline depends on, once the scene's render objects
    // exist. Nothing to find in the base.
    virtual void ResolveLinks();
    // Takes the absolute time of the frame (seconds) and moves the timeline
    // on. Returns a time: the base returns `time` itself.
    virtual float Advance(float time);
    // Starts the timeline over: the local clock and the last time go to 0.
    virtual void Reset();
    // The level, 0 (off) to 1 (on).
    virtual float GetValue() const;
    // How far the current phase has run, 0 to 1. 0 in the base.
    virtual float GetPhaseProgress() const;
    // Seconds of the current phase; 0 for a timeline without phases.
    virtual float GetLength() const;
    // One of TimingState.
    virtual int GetState() const;
    // An integer setting the timeline may take from its owner (a slide's
    // duration for older documents). Ignored in the base.
    virtual void SetIntParam(int value);
    // Takes default lengths from the owning timing when the timeline is
    // created by a change of kind. Nothing in the base.
    virtual void LoadParams(const KXI_SmartTiming& owner);

    float LocalClock() const { return m_localClock; }
    float LastTime() const { return m_lastTime; }
    float LastStep() const { return m_step; }

    // Multiplies every step. No stored record holds it, so in a scene read
    // from a document it stays 1.
    MediaSpeedParam speed;

protected:
    // The clock step every timeline shares: a time that goes back restarts
    // from that time, the step is clamped to kMaxStep and multiplied by the
    // speed, and the local clock advances by it.
    void AdvanceClock(float time);
    void ResetClock();

    int m_state = kTimingOn;
    float m_level = 1.0f;
    float m_step = 0.0f;
    float m_localClock = 0.0f;
    float m_lastTime = 0.0f;
};

// The `KXI_Timing` section that ends every timeline record: class name and
// version 1, no fields. Read and ignored.
void WriteTimingSection(ArchiveWriter ar);
void ReadTimingSection(ArchiveReader ar);

// Writes the header of a timing record or section: class name and version.
void WriteTimingRecordHeader(ArchiveWriter ar, std::u16string_view className, std::int32_t version);

// A range of lengths in hundredths of a second, min then max.
struct PercentPair {
    PercentPair(std::uint32_t minimum, std::uint32_t maximum);
    PercentPair(const PercentPair&) = default;
    // Takes the other pair's values by quiet sets: the undo copies follow,
    // no other observer is told.
    PercentPair& operator=(const PercentPair& other);

    MediaParamT<std::uint32_t> min;
    MediaParamT<std::uint32_t> max;
};

// A length drawn evenly from the pair's range in steps of 0.01 s, in
// seconds, with the scene's random sequence (crt::rand). A range whose min
// is not below its max gives min.
float PickRandomPercent(const PercentPair& pair);

// Hundredths of a second from seconds, truncated; negative or NaN seconds
// give 0 and too many give the largest count.
std::uint32_t SecondsToHundredths(float seconds);

// Timeline records are polymorphic records of the timing registry: class
// name, version, then the class's body. These two are defined with the
// registration of the four timeline classes (TimingRegistry.cpp).
std::unique_ptr<KXI_Timing> ReadTimingObject(ArchiveReader ar);
// A new default timeline of the class registered under `className`, or null.
std::unique_ptr<KXI_Timing> CreateObjectByClassName(std::u16string_view className);
