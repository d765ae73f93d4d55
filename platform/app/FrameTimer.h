#pragma once
// The frame clock: seconds since it was reset, standing still while it is
// stopped (the time spent stopped is left out once it runs again).

#include <chrono>
#include <functional>

namespace app {

class FrameTimer {
public:
    // Monotonic "now"; tests pass a clock of their own.
    using Clock = std::function<std::chrono::nanoseconds()>;

    explicit FrameTimer(Clock clock = {});

    // Time 0 is now; a stopped timer stays stopped.
    void Reset();
    void Start();
    void Stop();
    bool IsStopped() const { return stopped_; }

    double GetTime() const;
    // The time, and the step since the previous call (0 while stopped).
    void GetTimeValues(double* time, float* elapsed);

private:
    std::chrono::nanoseconds Now() const { return clock_(); }
    std::chrono::nanoseconds Running() const;

    Clock clock_;
    std::chrono::nanoseconds base_{0};      // "now" at time 0, moved on by stopped spans
    std::chrono::nanoseconds stoppedAt_{0}; // "now" when it was stopped
    std::chrono::nanoseconds last_{0};      // time of the previous GetTimeValues
    bool stopped_ = false;
};

} // namespace app
