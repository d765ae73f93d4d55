#pragma once
// Window timers: SetTimer and KillTimer over GLib timeouts.
//
// A timer is named by its window and id. Setting a timer that exists
// replaces it and starts its period afresh, so a handler that sets its timer
// again at every tick moves the next tick to one period from now. A timer
// repeats until it is killed or its window is destroyed. Periods below
// USER_TIMER_MINIMUM are raised to it.

#include <functional>
#include <map>
#include <utility>

#include "platform/win/MainLoop.h"
#include "platform/win/WindowTypes.h"

namespace win {

class TimerSet {
public:
    using Fire = std::function<void(HWND window, UINT_PTR id)>;

    TimerSet(MainLoop& loop, Fire fire) : loop_(loop), fire_(std::move(fire)) {}

    // Returns the id (non-zero) or 0 for id 0.
    UINT_PTR Set(HWND window, UINT_PTR id, UINT elapseMs);
    bool Kill(HWND window, UINT_PTR id);
    void KillAll(HWND window);
    bool Has(HWND window, UINT_PTR id) const { return timers_.count({window, id}) != 0; }

    static UINT ClampPeriod(UINT elapseMs);

private:
    using Key = std::pair<HWND, UINT_PTR>;

    MainLoop& loop_;
    Fire fire_;
    std::map<Key, MainLoop::Source> timers_;
};

} // namespace win
