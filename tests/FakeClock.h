// Test seam for the clocks and sleeping: the test program defines time,
// clock_gettime and usleep itself, and the dynamic linker binds the library's
// calls to them. Unarmed they pass through, so real sleeps keep working.
#ifndef LXIBASE_TESTS_FAKECLOCK_H
#define LXIBASE_TESTS_FAKECLOCK_H

namespace lxitest {

// While it lives, time() and clock_gettime(CLOCK_REALTIME) report this instant.
struct FakeClock
{
    FakeClock(long long seconds, long nanoseconds);
    ~FakeClock();
};

// While it lives, usleep does not sleep but adds up the microseconds asked for.
struct SleepRecorder
{
    SleepRecorder();
    ~SleepRecorder();
    unsigned long long Microseconds() const;
};

}  // namespace lxitest

#endif
