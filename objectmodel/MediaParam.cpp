#include "objectmodel/MediaParam.h"

#include <algorithm>

MediaParam::~MediaParam()
{
    // A detaching control may not come back to this list; walk a fixed copy.
    const std::list<MediaControl*> observers = std::move(m_observers);
    m_observers.clear();
    for (MediaControl* control : observers) {
        if (control)
            control->Detach();
    }
}

void MediaParam::AddControl(MediaControl* control)
{
    if (control)
        m_observers.push_back(control);
}

void MediaParam::RemoveControl(MediaControl* control)
{
    if (m_notifyDepth > 0) {
        std::replace(m_observers.begin(), m_observers.end(), control, static_cast<MediaControl*>(nullptr));
        return;
    }
    m_observers.remove(control);
}

void MediaParam::NotifyObservers(MediaControl* source)
{
    ++m_notifyDepth;
    // List iterators stay valid when an observer appends; removed entries
    // are nulled rather than erased until the outermost walk ends.
    for (auto it = m_observers.begin(); it != m_observers.end(); ++it) {
        if (*it)
            (*it)->NotifyUnlessSource(source);
    }
    if (--m_notifyDepth == 0)
        DropRemovedEntries();
}

void MediaParam::HandleCommand(int, MediaControl*) {}

bool MediaParam::IsObservedBy(const MediaControl* control) const
{
    return std::find(m_observers.begin(), m_observers.end(), control) != m_observers.end();
}

void MediaParam::DropRemovedEntries()
{
    m_observers.remove(nullptr);
}

void KXI_MediaFloat::HandleCommand(int command, MediaControl* source)
{
    float next = value;
    if (command == kIncrement)
        next = value + 1.0f;
    else if (command == kDecrement)
        next = value - 1.0f;
    else
        return;
    if (next == value)
        return;
    SetValue(next, source);
}
