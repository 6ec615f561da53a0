// Every public operation that allocates, run with its 1st, 2nd, ...
// allocation failing until a run needs no failure. After each run the result
// is the old state or the complete new one, strings keep their raw
// invariants, no descriptor stays open, and LeakSanitizer (or valgrind) finds
// no lost block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "AllocHook.h"
#include "ErrorHandler.h"
#include "FakeClock.h"
#include "LxiOSALRuntime.h"
#include "StrA.h"
#include "StrW.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;
using Runtime = CLxiOSALRuntime;

// The units of s, one char each ("<20ac>" above 0xFF), after checking the raw
// invariants: terminator at the length, and a big-endian capacity record
// behind it exactly when the reckoned capacity exceeds the length.
std::string Checked(CStr const& s)
{
    unsigned int const length = s.GetLength();
    unsigned int const capacity = s.GetBuffSize();
    unsigned short const* pData = s.GetData();
    if (pData == nullptr) {
        EXPECT_EQ(0u, length + capacity);
        return "";
    }
    EXPECT_EQ(0u, pData[length]);
    if (capacity != length) {
        EXPECT_GE(capacity, length + 5);
        auto const* pRecord = reinterpret_cast<unsigned char const*>(pData + length + 1);
        EXPECT_EQ(capacity, (unsigned(pRecord[0]) << 24) | (unsigned(pRecord[1]) << 16) |
                                (unsigned(pRecord[2]) << 8) | pRecord[3]);
    }
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        char aUnit[8];
        std::snprintf(aUnit, sizeof(aUnit), "<%x>", pData[i]);
        text += pData[i] < 0x100 ? std::string(1, static_cast<char>(pData[i])) : aUnit;
    }
    return text;
}

template <typename Char>
std::string Narrow(Char const* pText)
{
    std::string text;
    for (; *pText != 0; ++pText)
        text += static_cast<char>(*pText);
    return text;
}

std::ptrdiff_t OpenDescriptors()
{
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

constexpr long long kNow = 1796373038;   // 2026-12-04 08:30:38 UTC
char const kLong[] = "a text of more units than the inline room";   // 41 units

// One operation: run() gets s holding `start` (on the inline buffer or on a
// heap block of its own) and returns the outcome to judge. A run without a
// failure must give `after`; one with a failure may give `after` or one of
// `kept`.
struct stSweepCase
{
    char const* name;
    char const* start;
    std::function<std::string(CStr& s)> run;
    std::string after;
    std::vector<std::string> kept;
};

// Runs in <root>/run with <root>/Data beside it, at a fixed instant.
class AllocSweep : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_root.empty());
        CStr stamp;
        Runtime::GetTimeStamp(stamp);
        m_stamp = Checked(stamp) + " ";
    }

    // Fails the 1st, 2nd, ... allocation of c.run until a run needs none;
    // returns how many allocations the operation makes.
    static unsigned int Sweep(stSweepCase const& c, bool heapStart)
    {
        std::ptrdiff_t const descriptors = OpenDescriptors();
        for (unsigned int n = 1;; ++n) {
            unsigned short aInline[32];
            CStr s(aInline, 31, true, false);
            s.Assign(c.start);
            if (heapStart)
                s.Compact();   // onto a block of its own, before anything fails
            lxitest::FailAllocation(n);
            std::string const outcome = c.run(s);
            bool const failed = lxitest::FailureInjected();
            lxitest::FailAllocation(0);
            bool const kept = std::find(c.kept.begin(), c.kept.end(), outcome) != c.kept.end();
            EXPECT_TRUE(outcome == c.after || (failed && kept))
                << c.name << (heapStart ? ", heap start" : "") << ", allocation " << n
                << (failed ? " failed" : " none failed") << ": " << outcome.substr(0, 200)
                << (outcome.size() > 200 ? "... (" + std::to_string(outcome.size()) + " chars)" : "");
            Checked(s);
            EXPECT_EQ(descriptors, OpenDescriptors()) << c.name;
            if (!failed)
                return n - 1;
        }
    }

    std::string Path(char const* pName) const { return m_logRoot.Path(pName); }
    // A log line: time stamp, blank, text.
    std::string Line(std::string const& text) const { return m_stamp + text + "\n"; }

    lxitest::FakeClock m_clock{kNow, 0};
    lxitest::LogRoot m_logRoot{true};
    std::string const& m_root = m_logRoot.Root();
    std::string m_stamp;   // the local time of kNow
};

TEST_F(AllocSweep, EveryAllocatingOperation)
{
    // Sources are built before the sweep: only the operation's own blocks fail.
    CStr const sLong(kLong), sT("t"), sA("a"), sXyz("xyz");
    unsigned short const aUnits[] = {'u', 0x20AC, 'n', 'i', 't', 's', ' ', 'o', 'f', ' ', 'U', 'T',
                                     'F', '-', '1', '6', ' ', 't', 'h', 'a', 't', ' ', 'n', 'e',
                                     'e', 'd', ' ', 'h', 'e', 'a', 'p', '!'};
    std::string const units = "u<20ac>nits of UTF-16 that need heap!";
    std::string const wide = "wide <20ac> text, longer than the inline room";
    auto const utf8 =
        reinterpret_cast<unsigned char const*>("caf\xC3\xA9 \xE2\x82\xAC and UTF-8 beyond the inline room");
    std::string const fromUtf8 = "caf\xE9 <20ac> and UTF-8 beyond the inline room";
    std::string const spaces(4999, ' ');

    std::string const file = Path("f.txt"), missing = Path("no/such.txt"), removed = Path("r.txt");
    CStr const sFile(file.c_str()), sMissing(missing.c_str()), sRemoved(removed.c_str());
    std::string const marked = "\xEF\xBB\xBFhello";
    std::ofstream(file) << marked;
    // "read:" and what the stream yields, or "null"; then what reached stderr.
    auto const opened = [](std::function<std::FILE*()> const& open) {
        std::FILE* pFile = nullptr;
        std::string const err = lxitest::CaptureStderr([&] { pFile = open(); });
        if (pFile == nullptr)
            return "null" + err;
        char aBuffer[16];
        std::size_t const n = std::fread(aBuffer, 1, sizeof(aBuffer), pFile);
        Runtime::FileClose(pFile);
        return "read:" + std::string(aBuffer, n) + err;
    };

    CStr const sModule(LXITEST_MODULE_FALSE);
    CStr const sProgram("test"), sArguments("abcdefghijklmnopqrstuvwxyz = abcdefghijklmnopqrstuvwxyz");
    int sentinel = 0;
    auto* const pUntouched = reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel);

    std::string const message = "connect to host \"instrument-7\" on port 5025 failed, errno=111";
    std::string const located = message + " in line 7, file: ../src/SocketServer.cpp";
    CStr const sMessage(message.c_str());
    std::string const line = Line(located);
    CStr const sLocated(located.c_str());
    std::string const huge(40000, 'h');
    std::string const hugeLine = Line(huge);
    CStr const sHuge(huge.c_str());
    auto const logged = [&](std::function<void()> const& log) {
        fs::remove(m_root + "/Data/ErrorLog.log");
        std::string const err = lxitest::CaptureStderr(log);
        return "log:" + m_logRoot.Log() + "|err:" + err;
    };
    std::string const logNotice = lxitest::OpenNotice("FileOpenUtf16", "../Data/ErrorLog.log");

    char const* const kStart = "start";
    std::vector<stSweepCase> const cases = {
        // Assignments and edits of a string.
        {"Assign(CStr)", kStart, [&](CStr& s) { return Checked(s.Assign(sLong)); }, kLong, {kStart}},
        {"operator=", kStart, [&](CStr& s) { return Checked(s = sLong); }, kLong, {kStart}},
        {"Assign(char*)", kStart, [](CStr& s) { return Checked(s.Assign(kLong)); }, kLong, {kStart}},
        {"Assign(char*, n)", kStart, [](CStr& s) { return Checked(s.Assign(kLong, 35)); },
         std::string(kLong, 35), {kStart}},
        {"Assign(units, n)", kStart, [&](CStr& s) { return Checked(s.Assign(aUnits, 32)); }, units, {kStart}},
        {"Assign(wchar_t*)", kStart,
         [](CStr& s) { return Checked(s.Assign(L"wide \u20ac text, longer than the inline room")); },
         wide, {kStart}},
        {"Assign(wchar_t*, n)", kStart,
         [](CStr& s) { return Checked(s.Assign(L"wide \u20ac text, longer than the inline room", 35)); },
         wide.substr(0, 40), {kStart}},
        {"Assign(UTF-8, n)", kStart, [&](CStr& s) { return Checked(s.Assign(utf8, 42)); }, fromUtf8, {kStart}},
        {"Resize", kStart,
         [](CStr& s) { return Checked(s) + (s.Resize(100, false) >= 100 ? "+room" : ""); },
         "start+room", {kStart}},
        {"Compact", kStart, [](CStr& s) { s.Compact(); return Checked(s) + (s.GetBuffSize() == 5 ? "+fit" : ""); },
         "start+fit", {kStart}},
        {"SetTimeEfficient", kStart, [](CStr& s) { s.SetTimeEfficient(true, true); return Checked(s); },
         kStart, {}},
        {"Append", kStart, [&](CStr& s) { return Checked(s.Append(sLong)); }, kStart + std::string(kLong),
         {kStart}},
        {"Append itself", kStart, [](CStr& s) { return Checked(s.Append(s)); }, "startstart", {kStart}},
        {"Insert", kStart, [&](CStr& s) { return Checked(s.Insert(sLong, 2)); },
         "st" + std::string(kLong) + "art", {kStart}},
        {"CopyRange", kStart, [&](CStr& s) { return Checked(s.CopyRange(sLong, 2, 36)); },
         std::string(kLong).substr(2, 36), {kStart}},
        {"ReplaceRange", kStart, [&](CStr& s) { return Checked(s.ReplaceRange(1, 3, sLong)); },
         "s" + std::string(kLong) + "t", {kStart}},
        {"Replace first", kStart, [&](CStr& s) { return Checked(s.Replace(sT, sLong, 0, false)); },
         "s" + std::string(kLong) + "art", {kStart}},
        {"Replace by itself", kStart, [&](CStr& s) { return Checked(s.Replace(sT, s, 0, true)); },
         "sstartarstart", {kStart}},
        // Fifteen matches: the match list grows four times.
        {"Replace all", "a.a.a.a.a.a.a.a.a.a.a.a.a.a.a",
         [&](CStr& s) { return Checked(s.Replace(sA, sXyz, 0, true)); },
         "xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz.xyz", {"a.a.a.a.a.a.a.a.a.a.a.a.a.a.a"}},
        {"Format", kStart,
         [](CStr& s) { return Checked(s.Format(L"%ls on port %d of the bench", L"instrument-7", 5025)); },
         "instrument-7 on port 5025 of the bench", {kStart}},
        {"Format, 5,000 units", kStart, [](CStr& s) { return Checked(s.Format(L"%5000d", 7)); },
         spaces + "7", {kStart}},

        // Strings and copies built by the operation: a failure leaves them empty.
        {"CStr(char*)", kStart, [](CStr&) { return Checked(CStr(kLong)); }, kLong, {""}},
        {"CStr(wchar_t*)", kStart,
         [](CStr&) { return Checked(CStr(L"wide \u20ac text, longer than the inline room")); }, wide, {""}},
        {"CStr(UTF-8)", kStart, [&](CStr&) { return Checked(CStr(utf8)); }, fromUtf8, {""}},
        {"CStr(CStr)", kStart, [&](CStr&) { return Checked(CStr(sLong)); }, kLong, {""}},
        {"CStr(capacity)", kStart,
         [](CStr&) { CStr made(100u, false); return Checked(made) + (made.GetBuffSize() >= 100 ? "+room" : ""); },
         "+room", {""}},
        {"CStrA", kStart, [&](CStr&) { return Narrow(CStrA(sLong).GetDataA()); }, kLong, {""}},
        {"CStrW", kStart, [&](CStr&) { return Narrow(CStrW(sLong).GetDataW()); }, kLong, {""}},

        // Files: the right file opened, or null and the notice whole.
        {"FileOpen(CStr)", kStart,
         [&](CStr&) { return opened([&] { return Runtime::FileOpen(sFile, Runtime::s_readMode); }); },
         "read:" + marked, {"null"}},
        {"FileOpenUtf8", kStart,
         [&](CStr&) { return opened([&] { return Runtime::FileOpenUtf8(sFile, Runtime::s_readMode); }); },
         "read:hello", {"null" + lxitest::OpenNotice("FileOpenUtf8", file)}},
        {"FileOpenUtf16 wb", kStart,
         [&](CStr&) {
             std::ofstream(file) << marked;
             std::string const outcome =
                 opened([&] { return Runtime::FileOpenUtf16(sFile, Runtime::s_writeMode); });
             return outcome + lxitest::ReadFile(file);
         },
         "read:\xFF\xFE", {"null" + lxitest::OpenNotice("FileOpenUtf16", file) + marked}},
        {"FileOpenUtf16 missing", kStart,
         [&](CStr&) { return opened([&] { return Runtime::FileOpenUtf16(sMissing, Runtime::s_readMode); }); },
         "null" + lxitest::OpenNotice("FileOpenUtf16", missing), {}},
        {"FileRemove(CStr)", kStart,
         [&](CStr&) {
             std::ofstream(removed) << "x";
             short const result = Runtime::FileRemove(sRemoved);
             return std::to_string(result) + (fs::exists(removed) ? " kept" : " removed");
         },
         "0 removed", {"-1 kept"}},

        // Modules and processes.
        {"LoadDynLibrary", kStart,
         [&](CStr&) {
             ILxiModuleCtrlIfc* pInterface = pUntouched;
             bool const result = Runtime::LoadDynLibrary(sModule, pInterface);
             return std::string(result ? "true" : "false") + (pInterface == pUntouched ? "" : " stored");
         },
         "false stored", {"false"}},
        {"StartExecutable", kStart,
         [&](CStr&) { return std::string(Runtime::StartExecutable(sProgram, sArguments, sT) ? "true" : "false"); },
         "true", {"false"}},
        {"GetApplicationPath", kStart,
         [](CStr&) { CStr path; Runtime::GetApplicationPath(path); return Checked(path); },
         fs::canonical(LXITEST_BINARY_DIR).string(), {""}},

        // The error log: the whole line in the file, or on standard error.
        {"AddSourceLocation", kStart,
         [&](CStr& s) {
             CErrorHandler::AddSourceLocation(L"../src/SocketServer.cpp", 7, sMessage, s);
             return Checked(s);
         },
         located, {}},
        {"AddSourceLocation in place", kStart,
         [&](CStr& s) {
             s.Assign(sMessage);
             if (!s.Equals(sMessage))
                 return std::string("no start");   // this failure hit the set-up
             CErrorHandler::AddSourceLocation(L"../src/SocketServer.cpp", 7, s, s);
             return Checked(s);
         },
         located, {"no start", message}},
        {"LogMsg(CStr)", kStart,
         [&](CStr&) { return logged([&] { CErrorHandler::LogMsg(sLocated, false); }); },
         "log:" + line + "|err:", {"log:|err:" + logNotice + line}},
        // Too long to format: joined, and when that fails too, written to
        // standard error in pieces.
        {"LogMsg(CStr), 40,000 units", kStart,
         [&](CStr&) { return logged([&] { CErrorHandler::LogMsg(sHuge, false); }); },
         "log:" + hugeLine + "|err:", {"log:|err:" + logNotice + hugeLine, "log:|err:" + hugeLine}},
        {"LogMsg(id)", kStart,
         [&](CStr&) {
             return logged([] {
                 CErrorHandler::LogMsg(L"../src/SocketServer.cpp", 7, false, LXI_ERR_SOCKET_CONNECT_FAILED,
                                       L"instrument-7", 5025, 111);
             });
         },
         "log:" + line + "|err:",
         // A catalogue text that cannot be formatted leaves the message empty.
         {"log:|err:" + logNotice + line,
          "log:" + Line(" in line 7, file: ../src/SocketServer.cpp") + "|err:"}},
    };

    std::string report;
    for (stSweepCase const& c : cases) {
        unsigned int const fromInline = Sweep(c, false);
        unsigned int const fromHeap = Sweep(c, true);
        EXPECT_GE(fromInline + fromHeap, 1u) << c.name << " allocates nothing: the sweep proves nothing";
        report += "  " + std::string(c.name) + ": " + std::to_string(fromInline) +
                  (fromHeap != fromInline ? " (heap start " + std::to_string(fromHeap) + ")" : "") + "\n";
    }
    std::printf("allocations per operation:\n%s", report.c_str());
}

// A path copy that found no memory names no module. In a child, since the
// module put into the global scope there would stay for later tests.
TEST(AllocSweepDeathTest, FailedPathCopyLoadsNoOtherModule)
{
    auto const load = [] {
        CStr const sMissing("/nonexistent/liblxitest.so");
        // dlopen("") would give the program, whose scope now has an entry.
        if (dlopen(LXITEST_MODULE_TRUE, RTLD_NOW | RTLD_GLOBAL) == nullptr)
            std::_Exit(2);
        ILxiModuleCtrlIfc* pInterface = nullptr;
        lxitest::FailAllocation(1);
        bool const loaded = Runtime::LoadDynLibrary(sMissing, pInterface);
        std::_Exit(loaded || pInterface != nullptr || !lxitest::FailureInjected() ? 1 : 0);
    };
    EXPECT_EXIT(load(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
