#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ErrorHandler.h"
#include "FakeClock.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;

constexpr long long kNow = 1796373038;   // 2026-12-04 08:30:38 UTC
std::string const kStamp = "2026-12-04 08:30:38 ";

// Runs in <root>/run with <root>/Data beside it, in UTC at a fixed instant.
class ErrorHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_root.Root().empty()); }
    std::string Log() const { return m_root.Log(); }

    lxitest::LogRoot m_root{true};
    lxitest::TzGuard m_zone{"UTC"};
    lxitest::FakeClock m_clock{kNow, 0};
};

using ErrorHandlerDeathTest = ErrorHandlerTest;

TEST_F(ErrorHandlerTest, FirstCallCreatesTheLogAndLaterCallsAppend)
{
    std::string const out = lxitest::CaptureStderr([] {
        CErrorHandler::LogMsg(L"../src/Demo.cpp", 707, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED);
        CErrorHandler::LogMsg(CStr(), false);
    });
    EXPECT_EQ("", out);
    EXPECT_EQ(kStamp + "SetCurrentDirectory: failed! in line 707, file: ../src/Demo.cpp\n" + kStamp + "\n",
              Log());
}

TEST_F(ErrorHandlerTest, LineTexts)
{
    std::wstring const wide(40000, L'w');
    std::string const narrow(40000, 'w');
    struct Case { std::function<void()> log; std::string message; };
    Case const cases[] = {
        {[] { CErrorHandler::LogMsg(L"a.cpp", 0, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 0, file: a.cpp"},
        {[] { CErrorHandler::LogMsg(L"50%d%ls%%.cpp", 7, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 7, file: 50%d%ls%%.cpp"},
        {[] { CErrorHandler::LogMsg(L"f", 4294967295u, false, LXI_ERR_SOCKET_CONNECT_FAILED, L"h%s%n", 80, -5); },
         "connect to host \"h%s%n\" on port 80 failed, errno=-5 in line 4294967295, file: f"},
        {[] { CErrorHandler::LogMsg(L"f", 3, false, static_cast<enumLxiErrorLogId>(1000)); },
         " in line 3, file: f"},
        {[] { CErrorHandler::LogMsg(CStr("100% %n done"), false); }, "100% %n done"},
        // Finished texts too long for one formatting are still logged whole;
        // a catalogue text whose own formatting fails leaves the message empty.
        {[&] { CErrorHandler::LogMsg(CStr(wide.c_str()), false); }, narrow},
        {[&] { CErrorHandler::LogMsg(wide.c_str(), 5, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); },
         "SetCurrentDirectory: failed! in line 5, file: " + narrow},
        {[&] { CErrorHandler::LogMsg(L"f", 6, false, LXI_ERR_VENDOR_MESSAGE, wide.c_str()); },
         " in line 6, file: f"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.message.substr(0, 60));
        fs::remove(m_root.Path("Data/ErrorLog.log"));
        c.log();
        EXPECT_EQ(kStamp + c.message + "\n", Log());
    }
}

TEST_F(ErrorHandlerDeathTest, ExitFlagEndsWithStatus1AndTheLineOnceOnStderr)
{
    auto const log = [] { CErrorHandler::LogMsg(L"d.cpp", 9, true, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); };
    std::string const line = kStamp + "SetCurrentDirectory: failed! in line 9, file: d.cpp\n";
    // An ordinary exit: the exit handlers run.
    auto const logAfterHandler = [&] {
        std::atexit([] { std::fputs("handler", stderr); });
        log();
    };
    EXPECT_EXIT(logAfterHandler(), ::testing::ExitedWithCode(1), "^" + line + "handler$");
    EXPECT_EQ(line, Log());
    fs::remove_all(m_root.Path("Data"));
    EXPECT_EXIT(log(), ::testing::ExitedWithCode(1),
                "^FileOpenUtf16: the file \\.\\./Data/ErrorLog\\.log failed to open!\n" + line + "$");
}

TEST_F(ErrorHandlerTest, EightThreadsKeepEveryLineWhole)
{
    // Two first openers of an empty log would each write a mark, so the log
    // exists before the threads start.
    CErrorHandler::LogMsg(CStr("start"), false);
    constexpr int kThreads = 8, kLines = 1000;
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
            expected.push_back(kStamp + "connect to host \"worker\" on port " + std::to_string(t) +
                               " failed, errno=" + std::to_string(n) + " in line 1, file: load.cpp");
    std::string const text = Log();   // a second mark or a torn unit shows as '?'
    EXPECT_EQ('\n', text.back());
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::sort(expected.begin(), expected.end());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(expected.size(), lines.size());
    EXPECT_TRUE(expected == lines);
}

}  // namespace
