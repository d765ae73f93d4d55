#include "render/DocResManagerLosables.h"

#include <vector>

#include "platform/crt/Guid.h"
#include "render/DocResManager.h"

void LosableRegistry::Set(const LinkKey& name, KXI_LosableObj* object)
{
    if (!object) {
        m_entries.erase(name);
        return;
    }
    m_entries.emplace(name, object);
}

template <class Call>
void LosableRegistry::ForEachEntry(Call call)
{
    // Objects may come and go while they are called: walk a snapshot of
    // the names and look each one up again.
    std::vector<LinkKey> names;
    names.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        names.push_back(entry.first);
    for (const LinkKey& name : names) {
        const auto found = m_entries.find(name);
        if (found != m_entries.end())
            call(*found->second);
    }
}

void LosableRegistry::NotifyLost()
{
    ForEachEntry([](KXI_LosableObj& object) { object.OnLostDevice(); });
}

void LosableRegistry::NotifyReset()
{
    ForEachEntry([](KXI_LosableObj& object) { object.OnResetDevice(); });
}

LinkKey MakeGuidName()
{
    return LinkKey{crt::FormatGuidWide(crt::CreateGuid()), 0};
}

KXI_LosableObj::KXI_LosableObj()
{
    Register();
}

KXI_LosableObj::KXI_LosableObj(const KXI_LosableObj&)
{
    Register();
}

KXI_LosableObj::~KXI_LosableObj()
{
    if (const auto registry = m_registry.lock())
        registry->Set(m_name, nullptr);
}

void KXI_LosableObj::Register()
{
    m_name = MakeGuidName();
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return;
    m_registry = manager->LosableRegistryHandle();
    manager->Losables().Set(m_name, this);
}
