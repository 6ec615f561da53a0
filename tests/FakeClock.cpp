#include "TestUtil.h"

#include <atomic>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_clockArmed{false}, g_sleepArmed{false};
std::atomic<long long> g_seconds{0};
std::atomic<long> g_nanoseconds{0};
std::atomic<unsigned long long> g_sleptUs{0};

}  // namespace

extern "C" int clock_gettime(clockid_t id, timespec* pTime) noexcept
{
    if (id == CLOCK_REALTIME && g_clockArmed.load()) {
        pTime->tv_sec = static_cast<time_t>(g_seconds.load());
        pTime->tv_nsec = g_nanoseconds.load();
        return 0;
    }
#if defined(__USE_TIME_BITS64) && defined(SYS_clock_gettime64)
    return static_cast<int>(syscall(SYS_clock_gettime64, id, pTime));
#else
    return static_cast<int>(syscall(SYS_clock_gettime, id, pTime));
#endif
}

extern "C" time_t time(time_t* pTime) noexcept   // through clock_gettime: armhf has no time system call
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (pTime != nullptr)
        *pTime = now.tv_sec;
    return now.tv_sec;
}

extern "C" int usleep(useconds_t microseconds)
{
    if (g_sleepArmed.load()) {
        g_sleptUs += microseconds;
        return 0;
    }
    timespec const wait{static_cast<time_t>(microseconds / 1000000u), static_cast<long>(microseconds % 1000000u) * 1000L};
    return nanosleep(&wait, nullptr);
}

namespace lxitest {

FakeClock::FakeClock(long long seconds, long nanoseconds)
{
    g_seconds = seconds;
    g_nanoseconds = nanoseconds;
    g_clockArmed = true;
}

FakeClock::~FakeClock() { g_clockArmed = false; }
SleepRecorder::SleepRecorder() { g_sleptUs = 0; g_sleepArmed = true; }
SleepRecorder::~SleepRecorder() { g_sleepArmed = false; }
unsigned long long SleepRecorder::Microseconds() const { return g_sleptUs.load(); }

}  // namespace lxitest
