#pragma once
// g_RenderObjectRegistry: the process-wide map from a scene object's GUID to
// its live render object. A render object enters itself when it is built and
// leaves when it is destroyed; a depended timeline finds the object it
// follows here, by the GUID it stores.
//
// Each entry also keeps the address of the object's timing (the
// KXI_SmartTiming inside the description the render object owns): that is
// what a lookup is for, and it stays put for as long as the entry exists.
//
// Several render objects may carry one GUID (render objects made from clones
// of one description). The newest registration takes the key over; an object
// that goes away removes the entry only while the entry is still its own, so
// a newer object under the same GUID stays findable.
//
// The registry exists from static initialisation to process exit; before and
// after, `g_RenderObjectRegistry` is null and every call here does nothing
// (lookups find nothing). It is used by the thread that builds and plays the
// scene only; nothing is locked.

#include <cstdint>
#include <map>

#include "platform/crt/Guid.h"

class KXI_RenderObj;
class KXI_SmartTiming;

class RenderObjectRegistry {
public:
    struct Entry {
        KXI_RenderObj* object = nullptr;
        KXI_SmartTiming* timing = nullptr;
    };

    // Enters `object` under `guid`; a newer object takes over the key.
    void Register(const crt::Guid& guid, KXI_RenderObj* object, KXI_SmartTiming* timing);
    // Erases the entry of `guid` (nothing when there is none).
    void Unregister(const crt::Guid& guid);
    // Erases the entry of `guid` only when it belongs to `object`.
    void UnregisterObject(const crt::Guid& guid, const KXI_RenderObj* object);
    // The entry of `guid`, or null.
    const Entry* Find(const crt::Guid& guid) const;

    std::size_t Size() const { return m_entries.size(); }

    // Grows by one on every change of the map. Holders of a looked-up
    // timing compare it with the value they saw at lookup time to learn
    // that their entry may be gone.
    std::uint64_t Generation() const { return m_generation; }

private:
    std::map<crt::Guid, Entry> m_entries;
    std::uint64_t m_generation = 0;
};

extern RenderObjectRegistry* g_RenderObjectRegistry;

// Null-safe forms of the registry operations.
void RegisterRenderObject(const crt::Guid& guid, KXI_RenderObj* object, KXI_SmartTiming* timing);
void UnregisterRenderObject(const crt::Guid& guid);
// What a render object calls when it goes away: removes its own entry only.
void UnregisterRenderObject(const crt::Guid& guid, const KXI_RenderObj* object);
KXI_RenderObj* FindRenderObject(const crt::Guid& guid);
// The timing of the object registered under `guid`, or null.
KXI_SmartTiming* FindRegisteredTiming(const crt::Guid& guid);
// The registry's generation, or 0 when there is no registry.
std::uint64_t RenderObjectRegistryGeneration();
