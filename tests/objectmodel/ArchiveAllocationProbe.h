#pragma once
// Records the largest single allocation made on this thread while a probe
// is alive, to show that a document's stored sizes never drive a huge
// allocation. It watches through the address sanitizer's allocator hooks,
// which see every allocation without replacing the allocator, so it only
// measures in sanitizer builds (Available() is false otherwise).

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, std::size_t),
                                                         void (*freeHook)(const volatile void*));
#endif

class ArchiveAllocationProbe {
public:
    ArchiveAllocationProbe()
    {
        InstallHooksOnce();
        t_largest = 0;
        t_active = true;
    }
    ~ArchiveAllocationProbe() { t_active = false; }
    ArchiveAllocationProbe(const ArchiveAllocationProbe&) = delete;
    ArchiveAllocationProbe& operator=(const ArchiveAllocationProbe&) = delete;

    static bool Available()
    {
#if defined(__SANITIZE_ADDRESS__)
        return true;
#else
        return false;
#endif
    }

    std::size_t Largest() const { return t_largest; }

private:
    static void OnMalloc(const volatile void*, std::size_t size)
    {
        if (t_active && size > t_largest)
            t_largest = size;
    }
    static void OnFree(const volatile void*) {}

    static void InstallHooksOnce()
    {
#if defined(__SANITIZE_ADDRESS__)
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
        (void)installed;
#endif
    }

    static inline thread_local bool t_active = false;
    static inline thread_local std::size_t t_largest = 0;
};
