#include "platform/app/FrameTimer.h"

namespace app {

namespace {

std::chrono::nanoseconds SteadyNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace

FrameTimer::FrameTimer(Clock clock) : clock_(clock ? std::move(clock) : Clock(SteadyNow)) { Reset(); }

void FrameTimer::Reset()
{
    base_ = Now();
    stoppedAt_ = base_;
    last_ = std::chrono::nanoseconds{0};
}

void FrameTimer::Start()
{
    if (!stopped_)
        return;
    base_ += Now() - stoppedAt_;
    stopped_ = false;
}

void FrameTimer::Stop()
{
    if (stopped_)
        return;
    stoppedAt_ = Now();
    stopped_ = true;
}

std::chrono::nanoseconds FrameTimer::Running() const { return (stopped_ ? stoppedAt_ : Now()) - base_; }

double FrameTimer::GetTime() const { return std::chrono::duration<double>(Running()).count(); }

void FrameTimer::GetTimeValues(double* time, float* elapsed)
{
    const std::chrono::nanoseconds now = Running();
    *time = std::chrono::duration<double>(now).count();
    *elapsed = static_cast<float>(std::chrono::duration<double>(now - last_).count());
    last_ = now;
}

} // namespace app
