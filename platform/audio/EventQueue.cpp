#include "platform/audio/EventQueue.h"

#include <utility>

namespace audio {

void EventQueue::Post(std::function<void()> task)
{
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        wake = wake_;
    }
    if (wake)
        wake();
}

std::size_t EventQueue::Drain()
{
    std::deque<std::function<void()>> ready;
    {
        std::lock_guard lock(mutex_);
        ready.swap(tasks_);
    }
    for (auto& task : ready)
        task();
    return ready.size();
}

void EventQueue::SetWakeHandler(std::function<void()> wake)
{
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

} // namespace audio
