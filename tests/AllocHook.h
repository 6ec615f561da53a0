// Test seam for heap use: the test binary defines CLxiOSALRuntime::Malloc,
// Realloc and Free itself. The dynamic linker binds the library's own calls
// to these definitions, so every block a string takes is counted here and
// any one allocation can be made to fail; the shipped library is unchanged.
#ifndef LXIBASE_TESTS_ALLOCHOOK_H
#define LXIBASE_TESTS_ALLOCHOOK_H

namespace lxitest {

// Counts the Malloc and Realloc calls made while it lives.
class AllocCounter
{
public:
    AllocCounter();
    unsigned int Count() const;   // Malloc + Realloc calls so far
    unsigned int Frees() const;   // Free calls with a non-null block

private:
    unsigned int m_allocsAtStart;
    unsigned int m_freesAtStart;
};

// Makes the n-th Malloc/Realloc from now fail (1 = the next one); 0 disarms.
void FailAllocation(unsigned int n);
bool FailureInjected();   // the armed failure has happened

// Runs op with the 1st, 2nd, ... allocation failing, until a run needs no
// failure; returns how many allocations the operation makes.
template <typename Op>
unsigned int SweepAllocationFailures(Op op)
{
    for (unsigned int n = 1;; ++n) {
        FailAllocation(n);
        op();
        bool const failed = FailureInjected();
        FailAllocation(0);
        if (!failed)
            return n - 1;
    }
}

}  // namespace lxitest

#endif
