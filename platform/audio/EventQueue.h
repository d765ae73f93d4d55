#pragma once
// Hand-over of work from the audio thread to the main thread.
//
// The audio thread posts; the main loop calls Drain() (through
// Mixer::PollEvents) and the posted functions run there, in the order they
// were posted. An optional wake handler is called on the posting thread
// after each post so that a sleeping main loop can wake up (it must be safe
// to call from any thread, like g_main_context_wakeup, and must not call
// back into the sound layer: it may run while the mixer is locked).

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace audio {

class EventQueue {
public:
    void Post(std::function<void()> task);
    // Runs every task posted so far, on the calling thread; answers how many.
    // Tasks posted while they run wait for the next call.
    std::size_t Drain();
    void SetWakeHandler(std::function<void()> wake);

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    std::function<void()> wake_;
};

} // namespace audio
