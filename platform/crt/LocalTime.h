#pragma once
// The local wall-clock time of day, as the C runtime's localtime gives it.

namespace crt {

struct LocalTimeOfDay {
    int hours = 0;   // 0..23
    int minutes = 0; // 0..59
    int seconds = 0; // 0..60 (a leap second)
};

// The current local time of day; false (and `out` untouched) when the clock
// or the time zone cannot be read.
bool ReadLocalTimeOfDay(LocalTimeOfDay& out);

} // namespace crt
