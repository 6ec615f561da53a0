// The error log: its lines, torn and unwritable logs, the exit flag, processes on one log and writers killed mid-line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <random>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "ErrorHandler.h"
#include "TestUtil.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
std::string const kStamp = "2026-12-04 08:30:38 ";

// Line n of writer w; every 100th is 10,000 characters, more than a stdio buffer.
std::string Line(int w, int n)
{
    std::string text = kStamp + "w" + std::to_string(w) + " n" + std::to_string(n) + " ";
    text.resize(n % 100 == 0 ? 10020 : 60, static_cast<char>('a' + (w + n) % 26));
    return text;
}

void Log(int w, int n) { CErrorHandler::LogMsg(CStr(Line(w, n).c_str() + kStamp.size()), false); }

struct ErrorHandler : ::testing::Test { lxitest::LogRoot m_root{true}; lxitest::FakeClock m_clock{1796373038, 0}; };

using ErrorHandlerDeathTest = ErrorHandler;

// While set, writev takes the next of these many bytes per call (-1: fails with EINTR); the next fstat fails.
std::vector<long> g_writes;
bool g_failStat = false, g_failLock = false;   // g_failLock: every flock fails, as on file systems without locks

}  // namespace

// The dynamic linker binds the library's calls to these definitions.
extern "C" ssize_t writev(int fd, iovec const* pPieces, int count)
{
    static auto const pNext = reinterpret_cast<ssize_t (*)(int, iovec const*, int)>(dlsym(RTLD_NEXT, "writev"));
    if (g_writes.empty())
        return pNext(fd, pPieces, count);
    long const take = g_writes.front();
    g_writes.erase(g_writes.begin());
    iovec const piece = {pPieces[0].iov_base, std::min<std::size_t>(pPieces[0].iov_len, static_cast<std::size_t>(take))};
    errno = EINTR;
    return take < 0 ? -1 : pNext(fd, &piece, 1);
}

extern "C" int fstat(int fd, struct stat* pInfo) noexcept
{
    static auto const pNext = reinterpret_cast<int (*)(int, struct stat*)>(dlsym(RTLD_NEXT, "fstat"));
    return std::exchange(g_failStat, false) ? -1 : pNext(fd, pInfo);
}

extern "C" int flock(int fd, int operation) noexcept
{
    static auto const pNext = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    return g_failLock ? (errno = ENOLCK, -1) : pNext(fd, operation);
}

TEST_F(ErrorHandler, Lines)
{
    std::wstring const wide(40000, L'w');
    std::pair<std::function<void()>, std::string> const cases[] = {
        {[] { CErrorHandler::LogMsg(L"f", 4294967295u, false, LXI_ERR_SOCKET_CONNECT_FAILED, L"h%s%n", 80, -5); },
         "connect to host \"h%s%n\" on port 80 failed, errno=-5 in line 4294967295, file: f"},
        {[] { CErrorHandler::LogMsg(L"50%d%ls-ab.cpp", 3, false, static_cast<enumLxiErrorLogId>(1000)); },
         " in line 3, file: 50%d%ls-ab.cpp"},   // an unknown id: the location alone, 32 units
        {[] { CErrorHandler::LogMsg(nullptr, 3, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 3, file: "},
        {[] { CErrorHandler::LogMsg(CStr("100% %n done"), false); }, "100% %n done"},
        {[] { CErrorHandler::LogMsg(CStr(), false); }, ""},
        // A file name too long for one formatting is logged whole; a catalogue text that cannot be formatted: none.
        {[&] { CErrorHandler::LogMsg(wide.c_str(), 5, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 5, file: " + std::string(40000, 'w')},
        {[&] { CErrorHandler::LogMsg(L"f", 6, false, LXI_ERR_VENDOR_MESSAGE, wide.c_str()); }, " in line 6, file: f"},
    };
    std::string expected;
    for (auto const& [log, message] : cases) {
        EXPECT_EQ("", lxitest::CaptureStderr(log)) << message.substr(0, 60);
        expected += kStamp + message + "\n";
        EXPECT_EQ(expected, m_root.Log());   // one mark, then each line appended
    }
}

// Interrupted and short writes go on where they stopped; a line after a torn end starts a line of its own; a log
// that cannot be written: the notice (if it cannot be opened) and the whole line on standard error.
TEST_F(ErrorHandler, ShortTornAndUnwritableLogs)
{
    std::string const path = m_root.Path("Data/ErrorLog.log");
    std::string line;   // the line of "x" in UTF-16
    for (char c : kStamp + "x\n")
        line += {c, '\0'};
    struct Torn { std::string before, between; std::vector<long> writes; };   // writes: as g_writes
    Torn const torn[] = {{""s, ""s, {}}, {"\xFF"s, "\xFE"s, {}}, {"\xFF\xFE"s, ""s, {}}, {"a\0"s, "\n\0"s, {}},
        {"\xFF\xFE" "a\0"s, "\n\0"s, {}}, {"\xFF\xFE" "a\0\n"s, "\0"s, {}},
        {"\xFF\xFE" "a\0b"s, "\0\n\0"s, {1, -1, 1, 3, 200}}};   // short writes within and across the prefix and line
    for (auto const& [before, between, writes] : torn) {
        lxitest::WriteFile(path, before);
        g_writes = writes;
        g_failStat = before.empty();   // a log whose size is unknown gets no mark
        g_failLock = before.size() == 2;   // one without locks still gets the line
        CErrorHandler::LogMsg(CStr("x"), false);
        EXPECT_EQ(before + between + line, lxitest::ReadFile(path));
    }
    struct Unwritable { char const* name; std::function<void()> set; bool notice; };
    Unwritable const cases[] = {
        {"write takes nothing", [] { g_writes = {0}; }, false},
        {"link to nowhere", [&] { fs::remove(path); fs::create_symlink(m_root.Path("nowhere/log"), path); }, true},
        {"full device", [&] { fs::remove(path); fs::create_symlink("/dev/full", path); }, false},
    };
    std::string const text(40, 'm');
    for (Unwritable const& c : cases) {
        c.set();
        EXPECT_EQ((c.notice ? lxitest::LogNotice() : "") + kStamp + text + "\n",
                  lxitest::CaptureStderr([&] { CErrorHandler::LogMsg(CStr(text.c_str()), false); })) << c.name;
    }
}

TEST_F(ErrorHandlerDeathTest, ExitFlagEndsWithStatus1AndTheLineOnceOnStderr)
{
    auto const log = [] {
        std::atexit([] { std::fputs("handler", stderr); });   // an ordinary exit: handlers run
        CErrorHandler::LogMsg(L"d.cpp", 9, true, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED);
    };
    std::string const line = kStamp + "SetCurrentDirectory: failed! in line 9, file: d.cpp\n";
    EXPECT_EXIT(log(), ::testing::ExitedWithCode(1), "^" + line + "handler$");
    EXPECT_EQ(line, m_root.Log());
}

// Eight processes start together on a new log, then writers are killed at random moments: one mark, and each line
// is the next of some writer, whole or, as its last, cut short; every line a writer finished is there.
TEST_F(ErrorHandler, ProcessesOnOneLog)
{
    constexpr int kWriters = 8, kLines = 1000, kKills = 20, kAll = kWriters + kKills + 1;
    // [w]: the lines of writer w whose LogMsg returned; [kAll]: the first writers go
    auto* const pShared =
        static_cast<int volatile*>(mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    for (int w = 0; w < kWriters; ++w)
        if (fork() == 0) {
            while (pShared[kAll] == 0)   // all at once
                usleep(10);
            for (int n = 0; n < kLines; pShared[w] = ++n)
                Log(w, n);
            std::_Exit(0);
        }
    pShared[kAll] = 1;
    for (int w = 0; w < kWriters; ++w)
        wait(nullptr);
    std::random_device moments;
    for (int w = kWriters; w < kAll - 1; ++w) {
        pid_t const pid = fork();
        if (pid == 0)
            for (int n = 0;; pShared[w] = ++n)   // the writer, until killed
                Log(w, n);
        ASSERT_GT(pid, 0);   // kill(-1) would reach every process
        for (int tries = 0; pShared[w] == 0 && tries < 100000; ++tries)
            usleep(100);   // until it has logged a line, then a random moment
        usleep(static_cast<useconds_t>(moments() % 5000));
        kill(pid, SIGKILL);
        EXPECT_EQ(pid, waitpid(pid, nullptr, 0));
    }
    Log(kAll - 1, 0);   // started once more after the last kill
    pShared[kAll - 1] = 1;
    std::string const log = m_root.Log();
    int whole[kAll] = {};   // per writer: whole lines, and whether its last was cut short
    bool cut[kAll] = {};
    for (std::size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string const line = log.substr(at, end - at);
        int w = 0;
        while (w < kAll && (line.empty() || cut[w] || Line(w, whole[w]).compare(0, line.size(), line) != 0))
            ++w;
        ASSERT_LT(w, kAll) << "stray line " << line.substr(0, 60);   // a second mark shows as '?'
        cut[w] = line.size() < Line(w, whole[w]).size();
        whole[w] += cut[w] ? 0 : 1;
    }
    for (int w = 0; w < kAll; ++w)
        EXPECT_GE(whole[w], pShared[w]) << "writer " << w;
    munmap(const_cast<int*>(pShared), 4096);
}
