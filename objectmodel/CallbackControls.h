#pragma once

// Controls that call back into the object owning a value, and the list
// through which an object owns the callback controls it created.
//
//   DS_FunLightCtrl<T,O>    calls owner->*callback(value) on every change,
//                           and once when attached
//   SmartCalbackCtrl<O>     calls owner->*callback() on every change
//   CallbackControlList<O>  owns such controls (and optionally the owner)

#include <memory>
#include <vector>

#include "objectmodel/MediaControl.h"
#include "objectmodel/MediaParam.h"

template <class T, class O>
class DS_FunLightCtrl : public MediaControlT<MediaParamTB<T>> {
public:
    using Callback = void (O::*)(T);

    DS_FunLightCtrl(Callback callback, O* owner) : m_callback(callback), m_owner(owner) {}

    // Hands the watched value to the owner; the source does not matter.
    void OnParamChanged(MediaControl*) override
    {
        if (!this->m_param || !m_owner || !m_callback)
            return;
        (m_owner->*m_callback)(this->m_param->value);
    }

private:
    Callback m_callback;
    O* m_owner;
};

// Watches `param` from construction on (appended to its observers, without
// a call now) and calls the owner back on every change.
template <class O>
class SmartCalbackCtrl : public MediaControlT<MediaParam> {
public:
    using Callback = void (O::*)();

    SmartCalbackCtrl(Callback callback, O* owner, MediaParam* param) : m_callback(callback), m_owner(owner)
    {
        if (param)
            BindWithoutNotice(param);
    }

    void OnParamChanged(MediaControl*) override
    {
        if (!m_owner || !m_callback)
            return;
        (m_owner->*m_callback)();
    }

private:
    Callback m_callback;
    O* m_owner;
};

// The callback controls one object created on parameters. The list owns the
// controls (each leaves its parameter when deleted) and, when asked to, the
// owner object itself.
template <class O>
class CallbackControlList {
public:
    explicit CallbackControlList(O* owner) : m_owner(owner) {}
    // Takes ownership of the owner: it is deleted after the controls.
    explicit CallbackControlList(std::unique_ptr<O> owner) : m_owner(owner.get()), m_ownedOwner(std::move(owner)) {}

    CallbackControlList(const CallbackControlList&) = delete;
    CallbackControlList& operator=(const CallbackControlList&) = delete;

    ~CallbackControlList() { Clear(); }

    // Watches `param` with the owner's value callback; the callback runs
    // once now with the current value.
    template <class T>
    DS_FunLightCtrl<T, O>* AddValueCallback(MediaParamTB<T>* param, void (O::*callback)(T))
    {
        auto control = std::make_unique<DS_FunLightCtrl<T, O>>(callback, m_owner);
        DS_FunLightCtrl<T, O>* raw = control.get();
        m_controls.push_back(std::move(control));
        raw->AttachToParam(param);
        return raw;
    }

    // Watches `param` with the owner's member callback; nothing runs now.
    SmartCalbackCtrl<O>* AddMemberCallback(void (O::*callback)(), MediaParam* param)
    {
        auto control = std::make_unique<SmartCalbackCtrl<O>>(callback, m_owner, param);
        SmartCalbackCtrl<O>* raw = control.get();
        m_controls.push_back(std::move(control));
        return raw;
    }

    // Deletes every control in order; each leaves its parameter's list.
    void Clear()
    {
        for (auto& control : m_controls)
            control.reset();
        m_controls.clear();
    }

    O* Owner() const { return m_owner; }
    std::size_t Size() const { return m_controls.size(); }

private:
    O* m_owner;
    std::unique_ptr<O> m_ownedOwner;
    std::vector<std::unique_ptr<MediaControl>> m_controls;
};
