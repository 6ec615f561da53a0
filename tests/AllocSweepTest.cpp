// Every platform operation that allocates, run with its 1st, 2nd, ...
// allocation failing until a run needs no failure: each failure gives one of
// the outcomes the row allows, no descriptor stays open, and LeakSanitizer
// (or valgrind) finds no lost block. The string operations' failures are
// checked by the fuzz targets.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "ErrorHandler.h"
#include "LxiOSALRuntime.h"
#include "StrA.h"
#include "StrW.h"

namespace {

namespace fs = std::filesystem;
using Runtime = CLxiOSALRuntime;

struct stSweepCase
{
    char const* name;
    std::function<std::string()> run;   // the outcome to judge
    std::string after;                  // without a failure
    std::vector<std::string> failed;    // also allowed after a failure
};

std::string Opened(std::function<std::FILE*()> const& open)   // what the stream yields, or "null"; then stderr
{
    std::FILE* pFile = nullptr;
    std::string const err = lxitest::CaptureStderr([&] { pFile = open(); });
    if (pFile == nullptr)
        return "null" + err;
    char aBuffer[16];
    std::size_t const n = std::fread(aBuffer, 1, sizeof(aBuffer), pFile);
    Runtime::FileClose(pFile);
    return "read:" + std::string(aBuffer, n) + err;
}

}  // namespace

TEST(AllocSweep, PlatformOperations)
{
    lxitest::LogRoot root(true);
    lxitest::FakeClock clock(1796373038, 0);
    std::string const file = root.Path("f.txt"), missing = root.Path("no/such.txt"), marked = "\xEF\xBB\xBFhello";
    CStr const sFile(file.c_str()), sMissing(missing.c_str()), sModule(LXITEST_MODULE_FALSE), sNone;
    char const kLong[] = "a text of more units than the inline room";
    CStr const sLong(kLong), sProgram("true"), sArguments("; false # beyond the inline room");
    std::string const message = "connect to host \"instrument-7\" on port 5025 failed, errno=111";
    std::string const located = message + " in line 7, file: ../src/SocketServer.cpp", huge(40000, 'h');
    CStr const sMessage(message.c_str()), sLocated(located.c_str()), sHuge(huge.c_str());
    auto const line = [](std::string const& text) { return "2026-12-04 08:30:38 " + text + "\n"; };
    auto const logged = [&](std::function<void()> const& log) {
        fs::remove(root.Path("Data/ErrorLog.log"));
        std::string const err = lxitest::CaptureStderr(log);
        return "log:" + root.Log() + "|err:" + err;
    };
    std::string const notice = lxitest::LogNotice();
    int sentinel = 0;

    std::vector<stSweepCase> const cases = {
        {"CStrA", [&] { return std::string(CStrA(sLong).GetDataA()); }, kLong, {""}},
        {"CStrW", [&] { CStrW const copy(sLong); return std::string(copy.GetDataW(), copy.GetDataW() + copy.GetLength()); },
         kLong, {""}},
        {"FileOpen", [&] { lxitest::WriteFile(file, marked); return Opened([&] { return Runtime::FileOpen(sFile, "rb"); }); },
         "read:" + marked, {"null"}},
        {"FileOpenUtf8", [&] { return Opened([&] { return Runtime::FileOpenUtf8(sFile, "rb"); }); }, "read:hello",
         {"nullFileOpenUtf8: the file " + file + " failed to open!\n"}},
        {"FileOpenUtf16 wb",
         [&] {
             lxitest::WriteFile(file, marked);
             std::string const outcome = Opened([&] { return Runtime::FileOpenUtf16(sFile, "wb"); });
             return outcome + lxitest::ReadFile(file);
         },
         "read:\xFF\xFE", {"nullFileOpenUtf16: the file " + file + " failed to open!\n" + marked}},
        {"FileOpenUtf16 missing", [&] { return Opened([&] { return Runtime::FileOpenUtf16(sMissing, "rb"); }); },
         "nullFileOpenUtf16: the file " + missing + " failed to open!\n", {}},
        {"FileRemove",
         [&] {
             lxitest::WriteFile(file, "x");
             std::string const result = std::to_string(Runtime::FileRemove(sFile));
             return result + (fs::exists(file) ? " kept" : "");
         },
         "0", {"-1 kept"}},
        {"LoadDynLibrary",
         [&] {
             auto* pInterface = reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel);
             bool const result = Runtime::LoadDynLibrary(sModule, pInterface);
             return std::string(result ? "true" : "false") + (pInterface == reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel) ? "" : " stored");
         },
         "false stored", {"false"}},
        // A command line cut short ("true ") must not run.
        {"StartExecutable", [&] { return std::string(Runtime::StartExecutable(sProgram, sArguments, sNone) ? "true" : "false"); },
         "false", {}},
        {"GetApplicationPath", [] { CStr path; Runtime::GetApplicationPath(path); return std::string(CStrA(path).GetDataA()); },
         fs::canonical(LXITEST_BINARY_DIR).string(), {""}},
        {"AddSourceLocation",
         [&] {
             unsigned short aInline[32];
             CStr result(aInline, 31, true, false);
             CErrorHandler::AddSourceLocation(L"../src/SocketServer.cpp", 7, sMessage, result);
             return std::string(CStrA(result).GetDataA());
         },
         located, {""}},
        {"LogMsg(CStr)", [&] { return logged([&] { CErrorHandler::LogMsg(sLocated, false); }); },
         "log:" + line(located) + "|err:", {"log:|err:" + notice + line(located)}},
        {"LogMsg, 40,000 units", [&] { return logged([&] { CErrorHandler::LogMsg(sHuge, false); }); },
         "log:" + line(huge) + "|err:", {"log:|err:" + notice + line(huge), "log:|err:" + line(huge)}},
        {"LogMsg(id)",
         [&] {
             return logged([] {
                 CErrorHandler::LogMsg(L"../src/SocketServer.cpp", 7, false, LXI_ERR_SOCKET_CONNECT_FAILED, L"instrument-7", 5025, 111);
             });
         },
         "log:" + line(located) + "|err:",
         {"log:|err:" + notice + line(located), "log:" + line(located.substr(message.size())) + "|err:"}},
    };
    for (stSweepCase const& c : cases) {
        auto const descriptors = std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
        unsigned int n = 1;
        for (;; ++n) {
            lxitest::FailAllocation(n);
            std::string const outcome = c.run();
            bool const failed = lxitest::FailureInjected();
            lxitest::FailAllocation(0);
            bool const allowed =
                outcome == c.after || (failed && std::find(c.failed.begin(), c.failed.end(), outcome) != c.failed.end());
            EXPECT_TRUE(allowed) << c.name << ", allocation " << n << (failed ? " failed: " : ": ") << outcome.substr(0, 300);
            EXPECT_EQ(descriptors, std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator())) << c.name;
            if (!failed)
                break;
        }
        EXPECT_GT(n, 1u) << c.name << " allocates nothing: the sweep proves nothing";
    }
}
