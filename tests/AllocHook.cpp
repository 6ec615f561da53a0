#include "TestUtil.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>

#include "LxiOSALRuntime.h"

namespace {

std::atomic<unsigned int> g_allocs{0}, g_frees{0}, g_failAt{0};
std::atomic<bool> g_failed{false};
std::mutex g_lock;
// Block sizes by address, kept inverted so that LeakSanitizer does not take
// them for references. Made on first use, since the library's static strings
// take blocks before this program's statics are built, and never destroyed,
// since they free them after.
std::map<std::uintptr_t, unsigned int>& Sizes()
{
    static auto* s_pSizes = new std::map<std::uintptr_t, unsigned int>;
    return *s_pSizes;
}

std::uintptr_t Key(void const* pBlock)
{
    return ~reinterpret_cast<std::uintptr_t>(pBlock);
}

void* Track(void* pOld, unsigned int size)
{
    unsigned int const n = ++g_allocs;
    if (n == g_failAt.load()) {
        g_failed = true;
        return nullptr;
    }
    void* const pBlock = pOld != nullptr ? std::realloc(pOld, size) : std::malloc(size);
    std::lock_guard<std::mutex> lock(g_lock);
    if (pBlock != nullptr && pOld != nullptr)
        Sizes().erase(Key(pOld));
    if (pBlock != nullptr)
        Sizes()[Key(pBlock)] = size;
    return pBlock;
}

}  // namespace

void* CLxiOSALRuntime::Malloc(unsigned int size)
{
    return Track(nullptr, size);
}

void* CLxiOSALRuntime::Realloc(void* pBlock, unsigned int size)
{
    return pBlock == nullptr ? Malloc(size) : Track(pBlock, size != 0 ? size : 1u);
}

void CLxiOSALRuntime::Free(void* pBlock)
{
    if (pBlock == nullptr)
        return;
    ++g_frees;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        Sizes().erase(Key(pBlock));
    }
    std::free(pBlock);
}

namespace lxitest {

AllocCounter::AllocCounter() : m_allocs(g_allocs.load()), m_frees(g_frees.load()) {}
unsigned int AllocCounter::Count() const { return g_allocs.load() - m_allocs; }
unsigned int AllocCounter::Frees() const { return g_frees.load() - m_frees; }

void FailAllocation(unsigned int n)
{
    g_failed = false;
    g_failAt = n == 0 ? 0 : g_allocs.load() + n;
}

bool FailureInjected()
{
    return g_failed.load();
}

long BlockUnits(void const* pBlock)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto const found = Sizes().find(Key(pBlock));
    return found == Sizes().end() ? -1 : static_cast<long>(found->second / 2) - 1;
}

}  // namespace lxitest
