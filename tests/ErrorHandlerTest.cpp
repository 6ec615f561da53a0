// The error log: its lines, a log that cannot be written, the exit flag, and
// several processes on one log, writers killed mid-line and torn logs: one
// mark, every line whole and on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <functional>
#include <random>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>
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

// Each line must be the next line of some writer, whole or cut short as the
// last one it wrote, and writer w must have finished[w] whole lines at least.
// Returns the count of lines cut short.
int Walk(std::string const& log, std::vector<int> const& finished)
{
    auto const writers = static_cast<int>(finished.size());
    int cut = 0;
    std::vector<int> whole(writers, 0);
    std::vector<std::string> next;
    for (int w = 0; w < writers; ++w)
        next.push_back(Line(w, 0));
    for (std::size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string const line = log.substr(at, end - at);
        int w = 0;
        while (w < writers && (line.empty() || next[w].compare(0, line.size(), line) != 0))
            ++w;
        if (w == writers) {
            ADD_FAILURE() << "stray line " << line.substr(0, 60);   // a second mark shows as '?'
            return cut;
        }
        if (line.size() < next[w].size())
            next[w].clear(), ++cut;
        else
            next[w] = Line(w, ++whole[w]);
    }
    for (int w = 0; w < writers; ++w)
        EXPECT_GE(whole[w], finished[w]) << "writer " << w;
    return cut;
}

class ErrorHandler : public ::testing::Test
{
protected:
    ~ErrorHandler() override { munmap(const_cast<int*>(m_pShared), 4096); }
    lxitest::LogRoot m_root{true};
    lxitest::FakeClock m_clock{1796373038, 0};   // kStamp
    int volatile* const m_pShared = static_cast<int*>(   // seen by the test and its writers
        mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
};

using ErrorHandlerDeathTest = ErrorHandler;

// While set, writev takes the next of these many bytes per call (-1: fails
// with EINTR), and fstat fails.
std::vector<long> g_writes;
bool g_failStat = false;

}  // namespace

// The dynamic linker binds the library's calls to these definitions.
extern "C" ssize_t writev(int fd, iovec const* pPieces, int count)
{
    static auto const pNext = reinterpret_cast<ssize_t (*)(int, iovec const*, int)>(dlsym(RTLD_NEXT, "writev"));
    if (g_writes.empty())
        return pNext(fd, pPieces, count);
    long const take = g_writes.front();
    g_writes.erase(g_writes.begin());
    iovec piece = pPieces[0];
    piece.iov_len = std::min<std::size_t>(piece.iov_len, static_cast<std::size_t>(take));
    errno = EINTR;
    return take < 0 ? -1 : pNext(fd, &piece, 1);
}

extern "C" int fstat(int fd, struct stat* pInfo) noexcept
{
    static auto const pNext = reinterpret_cast<int (*)(int, struct stat*)>(dlsym(RTLD_NEXT, "fstat"));
    return g_failStat ? -1 : pNext(fd, pInfo);
}

TEST_F(ErrorHandler, Lines)
{
    std::wstring const wide(40000, L'w');
    std::string const narrow(40000, 'w');
    struct Case { std::function<void()> log; std::string message; };
    Case const cases[] = {
        {[] { CErrorHandler::LogMsg(L"a.cpp", 0, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 0, file: a.cpp"},
        {[] { CErrorHandler::LogMsg(L"f", 4294967295u, false, LXI_ERR_SOCKET_CONNECT_FAILED, L"h%s%n", 80, -5); },
         "connect to host \"h%s%n\" on port 80 failed, errno=-5 in line 4294967295, file: f"},
        {[] { CErrorHandler::LogMsg(L"50%d%ls.cpp", 3, false, static_cast<enumLxiErrorLogId>(1000)); },
         " in line 3, file: 50%d%ls.cpp"},   // an unknown id: the location alone
        {[] { CErrorHandler::LogMsg(nullptr, 3, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 3, file: "},
        {[] { CErrorHandler::LogMsg(CStr("100% %n done"), false); }, "100% %n done"},
        {[] { CErrorHandler::LogMsg(CStr(), false); }, ""},
        // Texts too long for one formatting are still logged whole; a catalogue
        // text whose own formatting fails leaves the message empty.
        {[&] { CErrorHandler::LogMsg(CStr(wide.c_str()), false); }, narrow},
        {[&] { CErrorHandler::LogMsg(wide.c_str(), 5, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 5, file: " + narrow},
        {[&] { CErrorHandler::LogMsg(L"f", 6, false, LXI_ERR_VENDOR_MESSAGE, wide.c_str()); }, " in line 6, file: f"},
    };
    std::string expected;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.message.substr(0, 60));
        EXPECT_EQ("", lxitest::CaptureStderr(c.log));
        expected += kStamp + c.message + "\n";
        EXPECT_EQ(expected, m_root.Log());   // one mark, then each line appended
    }
}

// What was in the log stays, and a line after a torn end starts a line of its
// own; a log that cannot be written gets the notice (when it cannot be
// opened) and the whole line on standard error.
TEST_F(ErrorHandler, TornAndUnwritableLogs)
{
    std::string const path = m_root.Path("Data/ErrorLog.log"), x = kStamp + "x\n";
    std::string line;   // x in UTF-16
    for (char c : x)
        line += {c, '\0'};
    struct Case { char const* name; std::string before, between; };
    for (Case const& c : {Case{"half a mark", "\xFF"s, "\xFE"s}, Case{"mark only", "\xFF\xFE"s, ""s},
                          Case{"line cut short", "\xFF\xFE" "a\0"s, "\n\0"s}, Case{"no mark", "a\0"s, "\n\0"s},
                          Case{"cut at an odd byte", "\xFF\xFE" "a\0b"s, "\0\n\0"s},
                          Case{"cut in a line feed", "\xFF\xFE" "a\0\n"s, "\0"s}}) {
        lxitest::WriteFile(path, c.before);
        CErrorHandler::LogMsg(CStr("x"), false);
        EXPECT_EQ(c.before + c.between + line, lxitest::ReadFile(path)) << c.name;
    }
    auto const link = [&](std::string const& target) {
        fs::remove_all(m_root.Path("Data"));
        fs::create_directory(m_root.Path("Data"));
        fs::create_symlink(target, path);
    };
    struct Unwritable { char const* name; std::function<void()> set; std::size_t units; bool notice; };
    Unwritable const cases[] = {
        {"Data is a file", [&] { fs::remove_all(m_root.Path("Data")); lxitest::WriteFile(m_root.Path("Data"), ""); }, 40, true},
        {"log is a directory", [&] { fs::remove(m_root.Path("Data")); fs::create_directories(path); }, 40, true},
        {"link to nowhere", [&] { link(m_root.Path("nowhere/log")); }, 40, true},
        {"full device", [&] { link("/dev/full"); }, 40, false},
        {"full device, long line", [] {}, 50000, false},
    };
    for (Unwritable const& c : cases) {
        c.set();
        std::string const text(c.units, 'm');
        EXPECT_EQ((c.notice ? lxitest::LogNotice() : "") + kStamp + text + "\n",
                  lxitest::CaptureStderr([&] { CErrorHandler::LogMsg(CStr(text.c_str()), false); })) << c.name;
    }
    EXPECT_FALSE(fs::exists(m_root.Path("nowhere")));
}

// A write that is interrupted, or takes part of the line, goes on where it
// stopped; a log whose size cannot be read gets the line but no mark.
TEST_F(ErrorHandler, InterruptedAndShortWrites)
{
    g_writes = {-1, 1, 1, 3, 200};
    CErrorHandler::LogMsg(CStr("x"), false);
    EXPECT_TRUE(g_writes.empty());
    EXPECT_EQ(kStamp + "x\n", m_root.Log());
    g_writes = {0};
    EXPECT_EQ(kStamp + "y\n", lxitest::CaptureStderr([] { CErrorHandler::LogMsg(CStr("y"), false); }));
    fs::remove(m_root.Path("Data/ErrorLog.log"));
    g_failStat = true;
    CErrorHandler::LogMsg(CStr("z"), false);
    g_failStat = false;
    EXPECT_EQ(std::string("2\0", 2), lxitest::ReadFile(m_root.Path("Data/ErrorLog.log")).substr(0, 2));
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
    fs::remove_all(m_root.Path("Data"));
    EXPECT_EXIT(log(), ::testing::ExitedWithCode(1),
                "^FileOpenUtf16: the file \\.\\./Data/ErrorLog\\.log failed to open!\n" + line + "handler$");
}

TEST_F(ErrorHandler, EightProcessesStartTogetherOnANewLog)
{
    constexpr int kWriters = 8, kLines = 1000;
    ASSERT_NE(MAP_FAILED, m_pShared);
    for (int w = 0; w < kWriters; ++w)
        if (fork() == 0) {
            while (m_pShared[0] == 0)   // all go at once
                usleep(10);
            for (int n = 0; n < kLines; ++n)
                Log(w, n);
            std::_Exit(0);
        }
    m_pShared[0] = 1;
    for (int w = 0; w < kWriters; ++w)
        wait(nullptr);
    EXPECT_EQ(0, Walk(m_root.Log(), std::vector<int>(kWriters, kLines)));   // none cut short
}

TEST_F(ErrorHandler, WriterKilledAtRandomMomentsLosesNoFinishedLine)
{
    constexpr int kKills = 20;
    ASSERT_NE(MAP_FAILED, m_pShared);
    unsigned int const seed = std::random_device()();
    std::mt19937 moments(seed);
    for (int w = 0; w < kKills; ++w) {   // m_pShared[w]: lines whose LogMsg returned
        pid_t const pid = fork();
        if (pid == 0)
            for (int n = 0;; m_pShared[w] = ++n)   // the writer, until killed
                Log(w, n);
        ASSERT_GT(pid, 0);   // kill(-1) would reach every process
        for (int tries = 0; m_pShared[w] == 0 && tries < 100000; ++tries)
            usleep(100);   // until it has logged a line, then a random moment
        usleep(static_cast<useconds_t>(moments() % 5000));
        kill(pid, SIGKILL);
        EXPECT_EQ(pid, waitpid(pid, nullptr, 0));
    }
    Log(kKills, 0);   // started once more after the last kill
    m_pShared[kKills] = 1;
    int const cut = Walk(m_root.Log(), std::vector<int>(m_pShared, m_pShared + kKills + 1));
    std::printf("seed %u: %d kills, %d lines cut short\n", seed, kKills, cut);
}
