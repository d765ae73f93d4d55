#pragma once
// Older records kept their on/off timing as loose numbers in their own body
// (thousandths of a second). The readers turn them into a random timeline;
// each class maps its own numbers, this installs the result.

#include <cstdint>

class KXI_SmartTiming;

// Lengths of a random timeline in hundredths of a second.
struct LegacyRandomTimes {
    std::uint32_t fadeIn = 0;
    std::uint32_t fadeOut = 0;
    std::uint32_t onMin = 0;
    std::uint32_t onMax = 0;
    std::uint32_t offMin = 0;
    std::uint32_t offMax = 0;
};

// The stored legacy numbers are thousandths, the timeline's hundredths:
// integer division by this.
inline constexpr std::uint32_t kLegacyTimeDivisor = 10;

// Creates a "KXI_RandomTimeLine" with `times` and makes it the current
// timeline of `timing` with the random selector. The selector is stored
// directly (a quiet store switches nothing), so the timeline lands in the
// cache slot of the random kind.
void InstallLegacyRandomTimeline(KXI_SmartTiming& timing, const LegacyRandomTimes& times);
