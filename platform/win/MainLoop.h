#pragma once
// The program's one main loop: GLib's default main context, so that every
// other GLib user of the process (the GTK user interface) runs in the same
// loop. Each iteration waits in poll() for the next file-descriptor event,
// wake-up or source deadline; nothing here spins.
//
// Sources are owned through MainLoop::Source handles: dropping the handle
// removes the source. A source may drop its own handle from inside its
// callback; the callback's captured state lives until the callback returns.
//
// Priorities follow the order in which Windows hands out work: posted
// messages and input first, then the toolkit's own redraws, then WM_PAINT,
// then timers, which only fire when nothing else is waiting.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

struct _GSource;
struct _GMainContext;

namespace win {

class MainLoop {
public:
    // GLib priorities (lower runs first).
    static constexpr int kPriorityMessages = 0;   // G_PRIORITY_DEFAULT
    static constexpr int kPriorityPaint = 130;    // after G_PRIORITY_HIGH_IDLE + 20, the toolkit's redraw
    static constexpr int kPriorityTimers = 200;   // G_PRIORITY_DEFAULT_IDLE

    class Source {
    public:
        Source() = default;
        explicit Source(_GSource* source) : source_(source) {}
        Source(Source&& other) noexcept : source_(other.source_) { other.source_ = nullptr; }
        Source& operator=(Source&& other) noexcept;
        Source(const Source&) = delete;
        Source& operator=(const Source&) = delete;
        ~Source() { Reset(); }

        void Reset();
        explicit operator bool() const { return source_ != nullptr; }

    private:
        _GSource* source_ = nullptr;
    };

    // A source that the loop asks, at every iteration, whether it has work.
    struct Polled {
        std::function<bool()> ready;     // work is waiting
        std::function<int()> waitLimit;  // longest wait in ms before asking again; -1: until woken
        std::function<void()> dispatch;  // do the work
    };

    MainLoop();
    ~MainLoop();
    MainLoop(const MainLoop&) = delete;
    MainLoop& operator=(const MainLoop&) = delete;

    // Runs iterations until Quit; returns the code given to Quit.
    int Run();
    // Ends Run after the current iteration. Any thread.
    void Quit(int exitCode);
    // One iteration; with mayBlock it waits for the next event or deadline.
    // Returns whether any source was dispatched.
    bool Iterate(bool mayBlock);
    // Wakes a waiting iteration. Any thread.
    void Wakeup();
    // Iterations run so far by Run and Iterate.
    std::uint64_t Iterations() const { return iterations_; }

    // Calls `callback` every `interval` (from its last dispatch) while it returns true.
    Source AddTimeout(std::chrono::milliseconds interval, int priority, std::function<bool()> callback);
    // Calls `callback` when `fd` is readable, hung up or in error, while it
    // returns true. The descriptor stays the caller's.
    Source AddReadWatch(int fd, int priority, std::function<bool()> callback);
    Source AddPolled(int priority, Polled polled);

private:
    _GMainContext* context_;
    std::atomic<bool> quit_ = false;
    std::atomic<int> exitCode_ = 0;
    std::uint64_t iterations_ = 0;
};

} // namespace win
