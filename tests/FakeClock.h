// Test seam for the clocks and for sleeping: the test binary defines time,
// clock_gettime and usleep itself, and the dynamic linker binds the library's
// calls to these definitions. Unarmed they pass through to the kernel, so
// GoogleTest's own timers and real sleeps keep working.
#ifndef LXIBASE_TESTS_FAKECLOCK_H
#define LXIBASE_TESTS_FAKECLOCK_H

namespace lxitest {

// While it lives, time() and clock_gettime(CLOCK_REALTIME) report this instant.
class FakeClock
{
public:
    FakeClock(long long seconds, long nanoseconds);
    ~FakeClock();
    FakeClock(FakeClock const&) = delete;
    FakeClock& operator=(FakeClock const&) = delete;
};

// While it lives, usleep does not sleep but adds up the microseconds asked for.
class SleepRecorder
{
public:
    SleepRecorder();
    ~SleepRecorder();
    SleepRecorder(SleepRecorder const&) = delete;
    SleepRecorder& operator=(SleepRecorder const&) = delete;
    unsigned long long Microseconds() const;   // requested so far
};

}  // namespace lxitest

#endif
