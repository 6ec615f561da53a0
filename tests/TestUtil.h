// What the tests share: seams for the heap and clocks (the programs define CLxiOSALRuntime's Malloc, Realloc, Free,
// time, clock_gettime and usleep, to which the dynamic linker binds the library's calls), files, log and console.
#ifndef LXIBASE_TESTS_TESTUTIL_H
#define LXIBASE_TESTS_TESTUTIL_H

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace lxitest {

// Malloc + Realloc calls, the bytes each asked for, and Free calls of a block, made while it lives.
class AllocCounter
{
public:
    AllocCounter();
    ~AllocCounter();
    AllocCounter(AllocCounter const&) = delete; AllocCounter& operator=(AllocCounter const&) = delete;
    unsigned int Count() const;
    std::string Sizes() const;   // "58 8 " for two calls
    unsigned int Frees() const;

private:
    unsigned int m_allocs, m_frees; std::size_t m_asked;
};

void FailAllocation(unsigned int n);   // the n-th Malloc/Realloc from now fails; 0 disarms
bool FailureInjected();                // the armed failure has happened
long BlockUnits(void const* pBlock);   // units a live block holds beyond a terminator; -1 if none

// While it lives, time() and clock_gettime(CLOCK_REALTIME) report this instant.
struct FakeClock { FakeClock(long long seconds, long nanoseconds); ~FakeClock(); };

// While it lives, usleep does not sleep but adds up the microseconds asked for.
struct SleepRecorder { SleepRecorder(); ~SleepRecorder(); unsigned long long Microseconds() const; };

std::string ReadFile(std::string const& path);
void WriteFile(std::string const& path, std::string const& bytes);
std::string Capture(std::FILE* pStream, std::function<void()> const& fn);   // what reached its descriptor
inline std::string CaptureStderr(std::function<void()> const& fn) { return Capture(stderr, fn); }
inline std::string LogNotice() { return "FileOpenUtf16: the file ../Data/ErrorLog.log failed to open!\n"; }

// While it lives, a fresh <root>/run is the working directory (the log: <root>/Data/ErrorLog.log), in UTC.
class LogRoot
{
public:
    explicit LogRoot(bool withData);
    ~LogRoot();
    LogRoot(LogRoot const&) = delete; LogRoot& operator=(LogRoot const&) = delete;
    std::string Path(std::string const& name) const { return m_root + "/" + name; }
    // The log after its mark, a char a unit ('?' above 0xFF or for a lone byte); "" for none, "no mark" without one.
    std::string Log() const;

private:
    std::string m_root, m_oldZone;
    std::filesystem::path m_oldDir;
};

}  // namespace lxitest

#endif
