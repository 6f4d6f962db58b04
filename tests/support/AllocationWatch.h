#pragma once
// The largest single allocation made while a function runs, from any thread. Only the
// sanitizer build sees every allocation (through the allocator's hook); elsewhere
// AllocationsWatched() is false and the figure stays 0, so tests check it only when watched.
#include <sys/resource.h>

#include <atomic>
#include <cstddef>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define TP_WATCH_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TP_WATCH_ALLOCATIONS 1
#endif
#endif

#ifdef TP_WATCH_ALLOCATIONS
// The sanitizer runtime's hook (declared here: not every compiler ships its header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace allocation_watch {

inline std::atomic<bool> Watching{false};
inline std::atomic<size_t> Largest{0};

#ifdef TP_WATCH_ALLOCATIONS
inline void OnMalloc(const volatile void*, size_t size)
{
    if (!Watching.load(std::memory_order_relaxed))
        return;
    size_t seen = Largest.load(std::memory_order_relaxed);
    while (size > seen && !Largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}
inline void OnFree(const volatile void*) {}

inline bool Install()
{
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    return installed;
}
#else
inline bool Install() { return false; }
#endif

} // namespace allocation_watch

inline bool AllocationsWatched()
{
    return allocation_watch::Install();
}

inline size_t LargestAllocationDuring(const std::function<void()>& f)
{
    AllocationsWatched();
    allocation_watch::Largest = 0;
    allocation_watch::Watching = true;
    struct Stop {
        ~Stop() { allocation_watch::Watching = false; }
    } stop;
    f();
    return allocation_watch::Largest.load();
}

// The process's peak resident memory so far, in bytes.
inline size_t PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<size_t>(usage.ru_maxrss) * 1024;
}
