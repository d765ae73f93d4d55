#include "platform/win/Timer.h"

#include <algorithm>
#include <chrono>

namespace win {

UINT TimerSet::ClampPeriod(UINT elapseMs) { return std::clamp(elapseMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM); }

UINT_PTR TimerSet::Set(HWND window, UINT_PTR id, UINT elapseMs)
{
    // Id 0 would read as failure to every caller, so it is refused.
    if (id == 0)
        return 0;
    const std::chrono::milliseconds period(ClampPeriod(elapseMs));
    // The old source goes first, so a replaced timer cannot fire once more.
    timers_.erase({window, id});
    timers_.emplace(Key{window, id}, loop_.AddTimeout(period, MainLoop::kPriorityTimers, [this, window, id] {
                        fire_(window, id);
                        return true;
                    }));
    return id;
}

bool TimerSet::Kill(HWND window, UINT_PTR id) { return timers_.erase({window, id}) != 0; }

void TimerSet::KillAll(HWND window)
{
    std::erase_if(timers_, [window](const auto& entry) { return entry.first.first == window; });
}

} // namespace win
