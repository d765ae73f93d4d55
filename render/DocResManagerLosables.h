#pragma once
// The objects that hold default-pool device resources (render-target
// textures), which a lost device takes away: each is a KXI_LosableObj that
// enters itself, under a fresh GUID name, in the losable registry of the
// resource manager current on its thread when it is made. The manager tells
// every registered object when the device is lost (release) and when it has
// been reset (rebuild), in name order.
//
// An object stays with the registry it entered for its whole life and leaves
// that same registry when it is destroyed, whichever manager is current on
// the thread by then. The registry may go first (its manager destroyed
// before the object): the object then has nothing to leave.

#include <map>
#include <memory>

#include "objectmodel/DocResRecord.h"

class KXI_LosableObj;

class LosableRegistry {
public:
    LosableRegistry() = default;
    LosableRegistry(const LosableRegistry&) = delete;
    LosableRegistry& operator=(const LosableRegistry&) = delete;

    // With an object, enters (name, object) unless the name is taken;
    // without one (null), removes the entry of that name.
    void Set(const LinkKey& name, KXI_LosableObj* object);

    // KXI_LosableObj::OnLostDevice / OnResetDevice of every entry, in name
    // order. An object that leaves during the walk is not called after it
    // left; one that enters during the walk is not called.
    void NotifyLost();
    void NotifyReset();

    std::size_t Size() const { return m_entries.size(); }
    bool Contains(const LinkKey& name) const { return m_entries.contains(name); }

private:
    template <class Call>
    void ForEachEntry(Call call);

    std::map<LinkKey, KXI_LosableObj*> m_entries;
};

// A fresh name: the registry form of a new GUID as path, id 0.
LinkKey MakeGuidName();

class KXI_LosableObj {
public:
    // Takes a fresh name and enters the registry of the thread's current
    // resource manager; without a current manager it is never told of a
    // lost device.
    KXI_LosableObj();
    // A copy is another object: it gets a name and an entry of its own.
    KXI_LosableObj(const KXI_LosableObj& other);
    // Name and registration stay with the object.
    KXI_LosableObj& operator=(const KXI_LosableObj&) { return *this; }
    // Leaves the registry it entered.
    virtual ~KXI_LosableObj();

    virtual void OnLostDevice() = 0;
    virtual void OnResetDevice() = 0;
    virtual void OnViewResize() {}

    const LinkKey& Name() const { return m_name; }
    // Whether the registry this object entered still exists.
    bool IsRegistered() const { return !m_registry.expired(); }

private:
    void Register();

    LinkKey m_name;
    std::weak_ptr<LosableRegistry> m_registry;
};
