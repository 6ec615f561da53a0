// Every platform operation that allocates, run with its 1st, 2nd, ... allocation failing until a run needs none: each
// outcome is one the row allows, no descriptor stays open, no block is lost. The fuzz targets sweep the strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "TestUtil.h"
#include "ErrorHandler.h"
#include "LxiOSALRuntime.h"
#include "StrA.h"

namespace fs = std::filesystem;
using Runtime = CLxiOSALRuntime;

TEST(AllocSweep, PlatformOperations)
{
    lxitest::LogRoot root(true);
    lxitest::FakeClock clock(1796373038, 0);
    std::string const file = root.Path("f.txt"), missing = root.Path("no/such.txt"), marked = "\xEF\xBB\xBFhello";
    lxitest::WriteFile(file, marked);
    CStr const sFile(file.c_str()), sMissing(missing.c_str()), sOne("x"), sModule(LXITEST_MODULE_FALSE), sNone,
        sProgram("true"), sArguments("; false # beyond the inline room");
    std::string const message = "connect to host \"instrument-7\" on port 5025 failed, errno=111";
    std::string const located = message + " in line 7, file: ../src/SocketServer.cpp", huge(40000, 'h');
    CStr const sMessage(message.c_str()), sHuge(huge.c_str());
    auto const line = [](std::string const& text) { return "2026-12-04 08:30:38 " + text + "\n"; };
    // What the stream opened yields ("null": none), then what reached standard error.
    auto const opened = [](std::FILE* (*open)(CStr const&, char const*), CStr const& path, char const* pMode) {
        std::FILE* pFile = nullptr;
        std::string const err = lxitest::CaptureStderr([&] { pFile = open(path, pMode); });
        if (pFile == nullptr)
            return "null" + err;
        char aBuffer[16];
        std::size_t const n = std::fread(aBuffer, 1, sizeof(aBuffer), pFile);
        Runtime::FileClose(pFile);
        return "read:" + std::string(aBuffer, n) + err;
    };
    auto const logged = [&root](std::function<void()> log) {   // stderr, then the log once written
        return [&root, log] { return ("err:" + lxitest::CaptureStderr(log)).append("|log:" + root.Log()); };
    };
    auto* const pSentinel = reinterpret_cast<ILxiModuleCtrlIfc*>(&root);

    // A run; its outcome without a failure, and the others a failure may give.
    struct Case { char const* name; std::function<std::string()> run; std::string after; std::vector<std::string> failed; };
    std::vector<Case> const cases = {
        {"FileOpen", [&] { return opened(Runtime::FileOpen, sFile, "rb"); }, "read:" + marked, {"null"}},
        {"FileOpenUtf16 wb", [&] {
             lxitest::WriteFile(file, marked);
             return opened(Runtime::FileOpenUtf16, sFile, "wb").append(lxitest::ReadFile(file));   // read once closed
         }, "read:\xFF\xFE", {"nullFileOpenUtf16: the file " + file + " failed to open!\n" + marked}},
        {"FileOpenUtf8 missing", [&] { return opened(Runtime::FileOpenUtf8, sMissing, "rb"); },
         "nullFileOpenUtf8: the file " + missing + " failed to open!\n", {}},
        {"FileRemove", [&] {   // a name of one character: its copy fails as surely as a longer one's
             lxitest::WriteFile("x", "x");
             return std::to_string(Runtime::FileRemove(sOne)).append(fs::exists("x") ? " kept" : "");
         }, "0", {"-1 kept"}},
        {"LoadDynLibrary", [&] {
             ILxiModuleCtrlIfc* pModule = pSentinel;
             return std::to_string(Runtime::LoadDynLibrary(sModule, pModule)).append(pModule == pSentinel ? "" : " stored");
         }, "0 stored", {"0"}},
        // A command line cut short ("true ") must not run.
        {"StartExecutable", [&] { return std::to_string(Runtime::StartExecutable(sProgram, sArguments, sNone)); }, "0", {}},
        {"GetApplicationPath", [] { CStr path; Runtime::GetApplicationPath(path); return std::string(CStrA(path).GetDataA()); },
         fs::canonical(LXITEST_BINARY_DIR).string(), {""}},
        {"AddSourceLocation", [&] {   // the message as its own result
             CStr result(sMessage);
             CErrorHandler::AddSourceLocation(L"../src/SocketServer.cpp", 7, result, result);
             return std::string(CStrA(result).GetDataA());
         }, located, {"", message, located.substr(message.size())}},   // "": the 8-bit copy failed
        {"LogMsg, 40,000 units", logged([&] { CErrorHandler::LogMsg(sHuge, false); }), "err:|log:" + line(huge),
         {"err:" + lxitest::LogNotice() + line(huge) + "|log:", "err:" + line(huge) + "|log:"}},
        {"LogMsg(id)", logged([] {
             CErrorHandler::LogMsg(L"../src/SocketServer.cpp", 7, false, LXI_ERR_SOCKET_CONNECT_FAILED, L"instrument-7", 5025, 111);
         }), "err:|log:" + line(located),
         {"err:" + lxitest::LogNotice() + line(located) + "|log:", "err:|log:" + line(located.substr(message.size()))}},
    };
    auto const fds = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    auto const open = fds();
    for (Case const& c : cases) {
        bool failed = true;
        for (unsigned int n = 1; failed; ++n) {
            fs::remove(root.Path("Data/ErrorLog.log"));   // each run on a new log
            lxitest::FailAllocation(n);
            std::string const outcome = c.run();
            failed = lxitest::FailureInjected();
            lxitest::FailAllocation(0);
            EXPECT_TRUE(outcome == c.after || (failed && std::count(c.failed.begin(), c.failed.end(), outcome) != 0))
                << c.name << ", allocation " << n << (failed ? " failed: " : ": ") << outcome.substr(0, 300);
            EXPECT_EQ(open, fds()) << c.name;
            EXPECT_TRUE(failed || n > 1) << c.name << " allocates nothing: the sweep proves nothing";
        }
    }
}
