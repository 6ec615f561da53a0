#include "AllocHook.h"

#include <atomic>
#include <cstdlib>

#include "LxiOSALRuntime.h"

namespace {

std::atomic<unsigned int> g_allocs{0};
std::atomic<unsigned int> g_frees{0};
std::atomic<unsigned int> g_failAt{0};   // absolute allocation number, 0 = none
std::atomic<bool> g_failed{false};

bool ShouldFail()
{
    unsigned int const n = ++g_allocs;
    if (g_failAt.load() != 0 && n == g_failAt.load()) {
        g_failed = true;
        return true;
    }
    return false;
}

}  // namespace

void* CLxiOSALRuntime::Malloc(unsigned int size)
{
    return ShouldFail() ? nullptr : std::malloc(size);
}

void* CLxiOSALRuntime::Realloc(void* pBlock, unsigned int size)
{
    return ShouldFail() ? nullptr : std::realloc(pBlock, size != 0 ? size : 1u);
}

void CLxiOSALRuntime::Free(void* pBlock)
{
    if (pBlock != nullptr)
        ++g_frees;
    std::free(pBlock);
}

namespace lxitest {

AllocCounter::AllocCounter() : m_allocsAtStart(g_allocs.load()), m_freesAtStart(g_frees.load()) {}

unsigned int AllocCounter::Count() const
{
    return g_allocs.load() - m_allocsAtStart;
}

unsigned int AllocCounter::Frees() const
{
    return g_frees.load() - m_freesAtStart;
}

void FailAllocation(unsigned int n)
{
    g_failed = false;
    g_failAt = n == 0 ? 0 : g_allocs.load() + n;
}

bool FailureInjected()
{
    return g_failed.load();
}

}  // namespace lxitest
