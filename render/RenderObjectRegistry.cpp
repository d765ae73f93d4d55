#include "render/RenderObjectRegistry.h"

RenderObjectRegistry* g_RenderObjectRegistry = nullptr;

namespace {

// Allocates the registry during static initialisation and frees it at exit,
// leaving the pointer null afterwards so that late callers do nothing.
struct RegistryLifetime {
    RegistryLifetime() { g_RenderObjectRegistry = new RenderObjectRegistry; }
    ~RegistryLifetime()
    {
        delete g_RenderObjectRegistry;
        g_RenderObjectRegistry = nullptr;
    }
};

const RegistryLifetime registryLifetime;

} // namespace

void RenderObjectRegistry::Register(const crt::Guid& guid, KXI_RenderObj* object, KXI_SmartTiming* timing)
{
    m_entries[guid] = Entry{object, timing};
    ++m_generation;
}

void RenderObjectRegistry::Unregister(const crt::Guid& guid)
{
    if (m_entries.erase(guid) != 0)
        ++m_generation;
}

void RenderObjectRegistry::UnregisterObject(const crt::Guid& guid, const KXI_RenderObj* object)
{
    const auto it = m_entries.find(guid);
    if (it == m_entries.end() || it->second.object != object)
        return;
    m_entries.erase(it);
    ++m_generation;
}

const RenderObjectRegistry::Entry* RenderObjectRegistry::Find(const crt::Guid& guid) const
{
    const auto it = m_entries.find(guid);
    return it == m_entries.end() ? nullptr : &it->second;
}

void RegisterRenderObject(const crt::Guid& guid, KXI_RenderObj* object, KXI_SmartTiming* timing)
{
    if (g_RenderObjectRegistry)
        g_RenderObjectRegistry->Register(guid, object, timing);
}

void UnregisterRenderObject(const crt::Guid& guid)
{
    if (g_RenderObjectRegistry)
        g_RenderObjectRegistry->Unregister(guid);
}

void UnregisterRenderObject(const crt::Guid& guid, const KXI_RenderObj* object)
{
    if (g_RenderObjectRegistry)
        g_RenderObjectRegistry->UnregisterObject(guid, object);
}

KXI_RenderObj* FindRenderObject(const crt::Guid& guid)
{
    const RenderObjectRegistry::Entry* entry = g_RenderObjectRegistry ? g_RenderObjectRegistry->Find(guid) : nullptr;
    return entry ? entry->object : nullptr;
}

KXI_SmartTiming* FindRegisteredTiming(const crt::Guid& guid)
{
    const RenderObjectRegistry::Entry* entry = g_RenderObjectRegistry ? g_RenderObjectRegistry->Find(guid) : nullptr;
    return entry && entry->object ? entry->timing : nullptr;
}

std::uint64_t RenderObjectRegistryGeneration()
{
    return g_RenderObjectRegistry ? g_RenderObjectRegistry->Generation() : 0;
}
