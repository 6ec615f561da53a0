// Test seam for heap use: the test programs define CLxiOSALRuntime::Malloc,
// Realloc and Free themselves, and the dynamic linker binds the library's
// calls to them. Every block is counted and its size kept, and any one
// allocation can be made to fail; the shipped library is unchanged.
#ifndef LXIBASE_TESTS_ALLOCHOOK_H
#define LXIBASE_TESTS_ALLOCHOOK_H

namespace lxitest {

// Malloc + Realloc calls, and Free calls of a block, made while it lives.
class AllocCounter
{
public:
    AllocCounter();
    unsigned int Count() const;
    unsigned int Frees() const;

private:
    unsigned int m_allocs;
    unsigned int m_frees;
};

void FailAllocation(unsigned int n);   // the n-th Malloc/Realloc from now fails; 0 disarms
bool FailureInjected();                // the armed failure has happened
long BlockUnits(void const* pBlock);   // units a live block holds beyond a terminator; -1 if none

}  // namespace lxitest

#endif
