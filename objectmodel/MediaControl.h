#pragma once

// Controls: the observers of parameters. A parameter (MediaParam.h) keeps a
// list of controls and tells each one when its value changes, except the
// control that caused the change. Controls keep derived data in step, call
// back into the object that owns a value, or keep its undo history.
//
// A parameter does not own its controls (except the undo control that
// MediaParamT<T> embeds) and a control does not own the parameter it
// watches. When the parameter dies first it calls Detach() on each control;
// when a bound control dies first it removes itself from the parameter.

class MediaParam;

class MediaControl {
public:
    virtual ~MediaControl() = default;

    // The watched parameter is being destroyed: forget it.
    virtual void Detach() {}

    // Whether changes this control causes stay out of the undo history.
    // No control of the system suppresses undo; the hook is for hosts.
    virtual bool SuppressesUndo() const { return false; }

    // The watched parameter changed. `source` is the control that caused the
    // change, or null (a document reader, a quiet set, the owner itself).
    virtual void OnParamChanged(MediaControl* source) = 0;

    // Called by the parameter for each observer: the causing control is not
    // told of its own change.
    void NotifyUnlessSource(MediaControl* source)
    {
        if (source == this)
            return;
        OnParamChanged(source);
    }

protected:
    MediaControl() = default;
    MediaControl(const MediaControl&) = default;
    MediaControl& operator=(const MediaControl&) = default;
};

// A control bound to one parameter of type P (a MediaParam or a subclass).
// It clears its pointer when the parameter goes first and leaves the
// parameter's list when it goes first.
template <class P>
class MediaControlT : public MediaControl {
public:
    MediaControlT() = default;
    MediaControlT(const MediaControlT&) = delete;
    MediaControlT& operator=(const MediaControlT&) = delete;

    ~MediaControlT() override { Unbind(); }

    void Detach() override { m_param = nullptr; }
    void OnParamChanged(MediaControl*) override {}

    // Leaves the parameter it watched, watches `param` (appended to its
    // observers) and takes up its current value at once through
    // OnParamChanged(null). A null `param` only unbinds.
    void AttachToParam(P* param)
    {
        Unbind();
        if (!param)
            return;
        BindWithoutNotice(param);
        OnParamChanged(nullptr);
    }

    P* WatchedParam() const { return m_param; }

protected:
    // Appends this control to `param`'s observers without calling it.
    void BindWithoutNotice(P* param)
    {
        m_param = param;
        m_param->AddControl(this);
    }

    void Unbind()
    {
        if (!m_param)
            return;
        m_param->RemoveControl(this);
        m_param = nullptr;
    }

    P* m_param = nullptr;
};
