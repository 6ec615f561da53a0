#include "TestUtil.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

#include "LxiOSALRuntime.h"

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned int> g_allocs{0}, g_frees{0}, g_failAt{0};
std::atomic<bool> g_clockArmed{false}, g_sleepArmed{false};
std::atomic<long long> g_seconds{0}, g_nanoseconds{0};
std::atomic<unsigned long long> g_sleptUs{0};
std::mutex g_lock;   // guards what follows
int g_counters = 0;   // live AllocCounters: while any, the sizes asked for are kept
std::string g_asked;

// Block sizes by address, inverted so that LeakSanitizer does not take them for references. Made on first use and
// never destroyed: the library's static strings take blocks before this program's statics are built, and free after.
using BlockMap = std::map<std::uintptr_t, unsigned int>;
BlockMap& Blocks() { static auto* s_pSizes = new BlockMap; return *s_pSizes; }
std::uintptr_t Key(void const* pBlock) { return ~reinterpret_cast<std::uintptr_t>(pBlock); }

void* Track(void* pOld, unsigned int size)
{
    unsigned int const n = ++g_allocs;
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_counters != 0)
        g_asked += std::to_string(size) + " ";
    if (n == g_failAt.load())
        return nullptr;
    void* const pBlock = pOld != nullptr ? std::realloc(pOld, size) : std::malloc(size);
    if (pBlock != nullptr && pOld != nullptr)
        Blocks().erase(Key(pOld));
    if (pBlock != nullptr)
        Blocks()[Key(pBlock)] = size;
    return pBlock;
}

}  // namespace

void* CLxiOSALRuntime::Malloc(unsigned int size) { return Track(nullptr, size); }
void* CLxiOSALRuntime::Realloc(void* pBlock, unsigned int size)
{
    return Track(pBlock, pBlock != nullptr && size == 0 ? 1u : size);
}

void CLxiOSALRuntime::Free(void* pBlock)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_frees += pBlock != nullptr ? 1u : 0u;   // calls with a block
    Blocks().erase(Key(pBlock));               // nullptr's key is no block's
    std::free(pBlock);
}

extern "C" int clock_gettime(clockid_t id, timespec* pTime) noexcept
{
    if (id == CLOCK_REALTIME && g_clockArmed.load()) {
        *pTime = timespec{static_cast<time_t>(g_seconds.load()), static_cast<long>(g_nanoseconds.load())};
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
    return pTime != nullptr ? *pTime = now.tv_sec : now.tv_sec;
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

AllocCounter::AllocCounter() : m_allocs(g_allocs.load()), m_frees(g_frees.load())
{
    std::lock_guard<std::mutex> lock(g_lock);
    m_asked = g_asked.size();
    ++g_counters;
}

AllocCounter::~AllocCounter()
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (--g_counters == 0)
        g_asked.clear();
}

unsigned int AllocCounter::Count() const { return g_allocs.load() - m_allocs; }
unsigned int AllocCounter::Frees() const { return g_frees.load() - m_frees; }

std::string AllocCounter::Sizes() const { std::lock_guard<std::mutex> lock(g_lock); return g_asked.substr(m_asked); }

void FailAllocation(unsigned int n) { g_failAt = n == 0 ? 0 : g_allocs.load() + n; }

bool FailureInjected() { unsigned int const at = g_failAt.load(); return at != 0 && g_allocs.load() >= at; }

long BlockUnits(void const* pBlock)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto const found = Blocks().find(Key(pBlock));
    return found == Blocks().end() ? -1 : static_cast<long>(found->second / 2) - 1;
}

FakeClock::FakeClock(long long s, long ns) { g_seconds = s; g_nanoseconds = ns; g_clockArmed = true; }
FakeClock::~FakeClock() { g_clockArmed = false; }
SleepRecorder::SleepRecorder() { g_sleptUs = 0; g_sleepArmed = true; }
SleepRecorder::~SleepRecorder() { g_sleepArmed = false; }
unsigned long long SleepRecorder::Microseconds() const { return g_sleptUs.load(); }

std::string ReadFile(std::string const& path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

void WriteFile(std::string const& path, std::string const& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Capture(std::FILE* pStream, std::function<void()> const& fn)
{
    int const fd = fileno(pStream), saved = dup(fd);
    std::FILE* pFile = std::tmpfile();
    std::fflush(pStream);
    dup2(fileno(pFile), fd);
    fn();
    std::fflush(pStream);
    dup2(saved, fd);
    close(saved);
    std::string const out = ReadFile("/proc/self/fd/" + std::to_string(fileno(pFile)));   // from its start
    std::fclose(pFile);
    return out;
}

std::string LogRoot::Log() const
{
    std::string const bytes = ReadFile(Path("Data/ErrorLog.log"));
    if (bytes.compare(0, 2, "\xFF\xFE") != 0)
        return bytes.empty() ? "" : "no mark";
    std::string text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text += i + 1 < bytes.size() && bytes[i + 1] == 0 ? bytes[i] : '?';
    return text;
}

LogRoot::LogRoot(bool withData) : m_oldDir(fs::current_path())
{
    char aTemplate[] = "/tmp/lxibase-XXXXXX";
    m_root = mkdtemp(aTemplate) != nullptr ? aTemplate : "/nonexistent";
    fs::create_directory(Path("run"));
    if (withData)
        fs::create_directory(Path("Data"));
    fs::current_path(Path("run"));
    m_oldZone = std::getenv("TZ") != nullptr ? std::getenv("TZ") : "";
    setenv("TZ", "UTC", 1);
    tzset();
}

LogRoot::~LogRoot()
{
    fs::current_path(m_oldDir);
    m_oldZone.empty() ? unsetenv("TZ") : setenv("TZ", m_oldZone.c_str(), 1);
    tzset();
    std::error_code error;
    fs::remove_all(m_root, error);
}

}  // namespace lxitest
