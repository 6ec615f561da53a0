// A failed check of a fuzz target prints what failed and aborts, which
// libFuzzer reports as a crash with the input that caused it.
#ifndef LXIBASE_FUZZ_FUZZCHECK_H
#define LXIBASE_FUZZ_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

#define LXIFUZZ_CHECK(condition, ...)                                                                    \
    ((condition) ? void(0)                                                                               \
                 : (std::fprintf(stderr, "%s:%d: check failed: ", __FILE__, __LINE__),                  \
                    std::fprintf(stderr, __VA_ARGS__), std::fprintf(stderr, "\n"), std::abort()))

#endif
