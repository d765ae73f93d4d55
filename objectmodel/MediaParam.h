#pragma once

// Parameters: every editable or animatable value of a scene object is a
// parameter holding one value and a list of observers (controls, see
// MediaControl.h) that are told when the value changes.
//
//   MediaParam        the root: the observer list and the notification walk
//   MediaParamTB<T>   a value holder without undo
//   MediaParamT<T>    a value holder whose embedded undo controller is always
//                     its first observer
//   KXI_MediaFloat    a float that answers the +1 / -1 edit commands
//
// Owners read `value` directly. There are four ways to write it; each reader
// and owner uses the one its class calls for:
//   1. QuietSet(v)             store; only the own undo copy follows
//                              (MediaParamT only; constructors set defaults so)
//   2. SetValue(v, source)     store and notify everybody but `source`
//   3. SetChangedValue(v, src) store and notify only when v differs
//   4. StoreValue(v)           store, nothing else

#include <list>
#include <utility>

#include "objectmodel/MediaControl.h"
#include "objectmodel/UndoCtrl.h"
#include "objectmodel/ValueDiffers.h"

class MediaParam {
public:
    MediaParam() = default;
    // Observers are never copied: a copy starts with none of its own.
    MediaParam(const MediaParam&) {}
    MediaParam& operator=(const MediaParam&) { return *this; }

    // Tells every remaining observer to detach (they are not deleted).
    virtual ~MediaParam();

    // Removes every entry equal to `control`.
    virtual void RemoveControl(MediaControl* control);

    // Calls every observer in list order except `source` (null: everybody).
    // A control that stands twice is called twice.
    virtual void NotifyObservers(MediaControl* source);

    // A numbered edit command; does nothing for most parameters.
    virtual void HandleCommand(int command, MediaControl* source);

    // Appends `control` to the observers (it may stand more than once).
    void AddControl(MediaControl* control);

    const std::list<MediaControl*>& Observers() const { return m_observers; }
    bool IsObservedBy(const MediaControl* control) const;

private:
    void DropRemovedEntries();

    std::list<MediaControl*> m_observers;
    // While a notification walks the list, removed entries are only nulled
    // (and skipped), so an observer may leave or add controls safely.
    int m_notifyDepth = 0;
};

template <class T>
class MediaParamTB : public MediaParam {
public:
    using ValueType = T;

    // Numbers, vectors and points are set by their owners right away;
    // they start value-initialised rather than undefined.
    MediaParamTB() : value() {}
    explicit MediaParamTB(const T& initial) : value(initial) {}
    // Copies the value only.
    MediaParamTB(const MediaParamTB& other) : MediaParam(), value(other.value) {}
    MediaParamTB& operator=(const MediaParamTB& other)
    {
        value = other.value;
        return *this;
    }

    // Stores the value and notifies every observer but `source`, without
    // comparing.
    void SetValue(const T& newValue, MediaControl* source)
    {
        value = newValue;
        NotifyObservers(source);
    }

    // Stores and notifies only when `newValue` differs from the stored one.
    // Returns whether it did.
    bool SetChangedValue(const T& newValue, MediaControl* source)
    {
        if (!MediaValueDiffers(value, newValue))
            return false;
        SetValue(newValue, source);
        return true;
    }

    // Stores the value and tells nobody.
    void StoreValue(const T& newValue) { value = newValue; }

    T value;
};

template <class T>
class MediaParamT : public MediaParamTB<T> {
public:
    MediaParamT() : undo(*this) {}
    explicit MediaParamT(const T& initial) : MediaParamTB<T>(initial), undo(*this) {}
    // Copies the value only: the copy has its own undo controller, no other
    // observers and no history.
    MediaParamT(const MediaParamT& other) : MediaParamTB<T>(other), undo(*this) {}
    // Takes the other value by a quiet set; observers and history stay.
    MediaParamT& operator=(const MediaParamT& other)
    {
        QuietSet(other.value);
        return *this;
    }

    // The undo controller leaves the observer list before it is destroyed,
    // so the list never holds a dead control.
    ~MediaParamT() override { this->RemoveControl(&undo); }

    // Stores the value; only the own undo controller's copy follows. No other
    // observer runs.
    void QuietSet(const T& newValue)
    {
        this->value = newValue;
        undo.OnParamChanged(nullptr);
    }

    UndoCtrlT<T> undo;
};

// A float parameter that answers the edit commands 0 (+1) and 1 (-1).
class KXI_MediaFloat : public MediaParamT<float> {
public:
    enum Command { kIncrement = 0, kDecrement = 1 };

    KXI_MediaFloat() = default;
    explicit KXI_MediaFloat(float initial) : MediaParamT<float>(initial) {}

    // Sets value + 1 or value - 1 with a notification; does nothing when the
    // result equals the value (large magnitudes) or for another command.
    void HandleCommand(int command, MediaControl* source) override;
};
