#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ErrorHandler.h"
#include "TestUtil.h"

namespace {

namespace fs = std::filesystem;

constexpr long long kNow = 1796373038;   // 2026-12-04 08:30:38 UTC
std::string const kStamp = "2026-12-04 08:30:38 ";

class ErrorHandler : public ::testing::Test
{
protected:
    lxitest::LogRoot m_root{true};
    lxitest::FakeClock m_clock{kNow, 0};
};

using ErrorHandlerDeathTest = ErrorHandler;

}  // namespace

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
        // Finished texts too long for one formatting are still logged whole; a
        // catalogue text whose own formatting fails leaves the message empty.
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

// A log that cannot be written: the notice (when it cannot be opened) and the
// whole line reach standard error, and what is in the way stays as it was.
TEST_F(ErrorHandler, UnwritableLog)
{
    auto const link = [&](std::string const& target) {
        fs::remove_all(m_root.Path("Data"));
        fs::create_directory(m_root.Path("Data"));
        fs::create_symlink(target, m_root.Path("Data/ErrorLog.log"));
    };
    struct Case { char const* name; std::function<void()> set; std::size_t units; bool notice; };
    Case const cases[] = {
        {"no Data", [&] { fs::remove_all(m_root.Path("Data")); }, 40, true},
        {"Data is a file", [&] { lxitest::WriteFile(m_root.Path("Data"), "kept"); }, 40, true},
        {"log is a directory", [&] { fs::remove(m_root.Path("Data")); fs::create_directories(m_root.Path("Data/ErrorLog.log")); }, 40, true},
        {"link to nowhere", [&] { link(m_root.Path("nowhere/log")); }, 40, true},
        {"full device", [&] { link("/dev/full"); }, 40, false},   // the close cannot flush the line
        {"full device, long line", [] {}, 50000, false},         // the write itself comes up short
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        std::string const line = kStamp + std::string(c.units, 'm') + "\n";
        EXPECT_EQ((c.notice ? lxitest::LogNotice() : "") + line,
                  lxitest::CaptureStderr([&] { CErrorHandler::LogMsg(CStr(std::string(c.units, 'm').c_str()), false); }));
    }
    EXPECT_FALSE(fs::exists(m_root.Path("nowhere")));
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

TEST_F(ErrorHandler, EightThreadsKeepEveryLineWhole)
{
    constexpr int kThreads = 8, kLines = 1000;
    CErrorHandler::LogMsg(CStr("start"), false);   // the log exists before the threads start
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int n = 0; n < kLines; ++n)
                CErrorHandler::LogMsg(L"load.cpp", 1, false, LXI_ERR_SOCKET_CONNECT_FAILED, L"worker", t, n);
        });
    for (std::thread& thread : threads)
        thread.join();
    std::vector<std::string> expected{kStamp + "start"}, lines;
    for (int t = 0; t < kThreads; ++t)
        for (int n = 0; n < kLines; ++n)
            expected.push_back(kStamp + "connect to host \"worker\" on port " + std::to_string(t) + " failed, errno=" +
                               std::to_string(n) + " in line 1, file: load.cpp");
    std::istringstream in(m_root.Log());   // a second mark or a torn unit shows as '?'
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(expected.begin(), expected.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_TRUE(expected == lines) << lines.size() << " lines";
}
