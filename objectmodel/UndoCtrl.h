#pragma once

// Undo history of parameters and paths.
//
// Every MediaParamT<T> embeds an UndoCtrlT<T>, its first observer, which keeps
// a copy of the value as of the last change (`Current()`) and a short
// history of earlier values. Which change becomes a history entry is decided
// outside the controller: on every change caused by a control (a non-null
// source that does not suppress undo) the controller reports itself to the
// installed undo sink, and the sink may call PushState(). The player installs
// no sink, so its histories stay empty and only the copies follow the values.
//
// UndoHistory<V> holds the entries (newest first, at most 20) and the cursor;
// UndoCtrlT<T> and the path controller share it.

#include <cstddef>
#include <deque>
#include <utility>

#include "objectmodel/MediaControl.h"
#include "objectmodel/ValueDiffers.h"

class UndoCtrl;

// What a host installs to decide which changes are recorded.
class UndoSink {
public:
    virtual ~UndoSink() = default;
    // A control changed the value that `controller` watches. The controller
    // still holds the value before the change; calling its PushState() now
    // records that value as the newest entry.
    virtual void ReportChange(UndoCtrl& controller, MediaControl& source) = 0;
};

// The installed sink, or null (the player never installs one).
extern UndoSink* g_UndoSink;

class UndoCtrl : public MediaControl {
public:
    // Reports a change caused by a control to the sink, when one is installed.
    void OnParamChanged(MediaControl* source) override;

    virtual void Undo() = 0;      // one entry back (older)
    virtual void Redo() = 0;      // one entry forward (newer)
    virtual void PushState() = 0; // records the current copy as the newest entry

protected:
    UndoCtrl() = default;
};

// History entries, newest first, with a cursor that is an entry or the end.
// Stepping exchanges the caller's current value with the entry reached, so an
// undo followed by a redo restores both the value and the entry.
template <class V>
class UndoHistory {
public:
    static constexpr std::size_t kMaxEntries = 20;

    // Drops the entries a redo could still reach, inserts `current` as the
    // newest entry (dropping the oldest beyond kMaxEntries) and puts the
    // cursor on it.
    void Push(const V& current)
    {
        m_entries.erase(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(m_cursor));
        m_entries.push_front(current);
        if (m_entries.size() > kMaxEntries)
            m_entries.pop_back();
        m_cursor = 0;
    }

    // Undo step: when the cursor is on an entry, moves it to the next older
    // position and exchanges `current` with the entry it left. Returns
    // whether a step was taken.
    bool StepBack(V& current)
    {
        if (m_cursor >= m_entries.size())
            return false;
        std::size_t entry = m_cursor++;
        std::swap(current, m_entries[entry]);
        return true;
    }

    // Redo step: when the cursor is not on the newest entry, moves it one
    // entry newer (from the end: the oldest) and exchanges `current` with
    // that entry. Returns whether a step was taken.
    bool StepForward(V& current)
    {
        if (m_entries.empty() || m_cursor == 0)
            return false;
        std::size_t entry = --m_cursor;
        std::swap(current, m_entries[entry]);
        return true;
    }

    std::size_t Size() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    // Entry index of the cursor; Size() means the end of the history.
    std::size_t Cursor() const { return m_cursor; }
    const V& Entry(std::size_t index) const { return m_entries.at(index); }

private:
    std::deque<V> m_entries;
    std::size_t m_cursor = 0; // == m_entries.size() at the end; 0 when empty
};

template <class T>
class MediaParamT;

// The undo controller of one MediaParamT<T>, embedded in it and bound by
// its constructor. Never copied: a copied parameter gets its own.
template <class T>
class UndoCtrlT : public UndoCtrl {
public:
    // Binding: watches `param` as its (first) observer and copies its value.
    explicit UndoCtrlT(MediaParamT<T>& param) : m_current(param.value), m_param(&param)
    {
        param.AddControl(this);
    }

    UndoCtrlT(const UndoCtrlT&) = delete;
    UndoCtrlT& operator=(const UndoCtrlT&) = delete;

    void Detach() override { m_param = nullptr; }

    // Reports to the sink first (while the copy still holds the old value),
    // then follows the parameter's value.
    void OnParamChanged(MediaControl* source) override
    {
        UndoCtrl::OnParamChanged(source);
        if (m_param)
            m_current = m_param->value;
    }

    void PushState() override { m_history.Push(m_current); }

    void Undo() override
    {
        m_history.StepBack(m_current);
        WriteBack();
    }

    void Redo() override
    {
        m_history.StepForward(m_current);
        WriteBack();
    }

    const T& Current() const { return m_current; }
    const UndoHistory<T>& History() const { return m_history; }
    MediaParamT<T>* Param() const { return m_param; }

private:
    // Writes the copy back into the parameter when it differs, telling every
    // observer but this controller.
    void WriteBack()
    {
        if (!m_param || !MediaValueDiffers(m_current, m_param->value))
            return;
        m_param->SetValue(m_current, this);
    }

    T m_current;
    MediaParamT<T>* m_param;
    UndoHistory<T> m_history;
};
