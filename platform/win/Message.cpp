#include "platform/win/Message.h"

namespace win {

void MessageQueue::Post(const MSG& message)
{
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
    }
    if (wake_)
        wake_();
}

void MessageQueue::PostQuit(int exitCode)
{
    {
        std::lock_guard lock(mutex_);
        // A second request keeps the first position and takes the later code,
        // as a repeated PostQuitMessage does.
        if (!quitAfter_)
            quitAfter_ = messages_.size();
        exitCode_ = exitCode;
    }
    if (wake_)
        wake_();
}

std::optional<MSG> MessageQueue::Take()
{
    std::lock_guard lock(mutex_);
    if (messages_.empty())
        return std::nullopt;
    MSG message = messages_.front();
    messages_.pop_front();
    if (quitAfter_ && *quitAfter_ > 0)
        --*quitAfter_;
    return message;
}

std::optional<int> MessageQueue::TakeQuit()
{
    std::lock_guard lock(mutex_);
    if (!quitAfter_ || *quitAfter_ > 0)
        return std::nullopt;
    quitAfter_.reset();
    return exitCode_;
}

bool MessageQueue::HasWork() const
{
    std::lock_guard lock(mutex_);
    return !messages_.empty() || (quitAfter_ && *quitAfter_ == 0);
}

std::size_t MessageQueue::Size() const
{
    std::lock_guard lock(mutex_);
    return messages_.size();
}

} // namespace win
