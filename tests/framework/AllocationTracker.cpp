// Replaces the program's global operator new so that the archive tests can check that
// a damaged length never turns into a huge allocation.
#include <atomic>
#include <cstdlib>
#include <new>

#include "ArchiveTestSupport.h"

namespace {
std::atomic<bool> g_tracking{false};
std::atomic<size_t> g_largest{0};
}  // namespace

size_t LargestAllocation()
{
    return g_largest.load();
}

void TrackAllocations(bool on)
{
    g_largest = 0;
    g_tracking = on;
}

void* operator new(size_t size)
{
    if (g_tracking.load(std::memory_order_relaxed)) {
        size_t seen = g_largest.load();
        while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return ::operator new(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}
