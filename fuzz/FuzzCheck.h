// Checks for the libFuzzer targets: a failed check prints what failed and
// aborts, which libFuzzer reports as a crash with the input that caused it.
#ifndef LXIBASE_FUZZ_FUZZCHECK_H
#define LXIBASE_FUZZ_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

#define LXIFUZZ_CHECK(condition, ...)                                                      \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s: ", __FILE__, __LINE__, #condition); \
            std::fprintf(stderr, __VA_ARGS__);                                             \
            std::fprintf(stderr, "\n");                                                    \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

#endif
