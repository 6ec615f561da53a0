#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <dlfcn.h>
#include <string>

#include "AllocHook.h"
#include "FakeClock.h"
#include "LxiOSALRuntime.h"
#include "StrA.h"
#include "TestFiles.h"

namespace {

using Runtime = CLxiOSALRuntime;

// The library's own definition of a symbol: the test binary interposes the
// heap functions, so a plain call would reach the test's versions.
template <typename Fn>
Fn LibrarySymbol(char const* pName)
{
    void* pLib = dlopen("liblxibase.so.1", RTLD_NOLOAD | RTLD_NOW);
    if (pLib == nullptr)
        return nullptr;
    void* pSym = dlsym(pLib, pName);
    dlclose(pLib);
    return reinterpret_cast<Fn>(pSym);
}

class LocaleGuard
{
public:
    explicit LocaleGuard(char const* pName) : m_old(std::setlocale(LC_ALL, nullptr))
    {
        m_ok = std::setlocale(LC_ALL, pName) != nullptr;
    }
    ~LocaleGuard() { std::setlocale(LC_ALL, m_old.c_str()); }
    bool m_ok;

private:
    std::string m_old;
};

}  // namespace

TEST(Runtime, LibraryHeapFunctions)
{
    auto const pMalloc = LibrarySymbol<void* (*)(unsigned int)>("_ZN15CLxiOSALRuntime6MallocEj");
    auto const pRealloc = LibrarySymbol<void* (*)(void*, unsigned int)>("_ZN15CLxiOSALRuntime7ReallocEPvj");
    auto const pFree = LibrarySymbol<void (*)(void*)>("_ZN15CLxiOSALRuntime4FreeEPv");
    ASSERT_TRUE(pMalloc != nullptr && pRealloc != nullptr && pFree != nullptr);
    ASSERT_NE(pMalloc, &Runtime::Malloc);   // not the test binary's hook

    lxitest::AllocCounter counter;
    auto* p = static_cast<char*>(pMalloc(4));
    ASSERT_NE(nullptr, p);
    std::memcpy(p, "abc", 4);
    p = static_cast<char*>(pRealloc(p, 4096));
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("abc", p);
    // A null result means failure with the block still valid: size 0 must
    // not free the block and return null.
    void* pShrunk = pRealloc(p, 0);
    ASSERT_NE(nullptr, pShrunk);
    pFree(pShrunk);
    pFree(nullptr);
    EXPECT_EQ(0u, counter.Count());
}

TEST(Runtime, StaticTexts)
{
    EXPECT_STREQ(" ", CStrA(Runtime::s_sSpace).GetDataA());
    EXPECT_STREQ("/", CStrA(Runtime::s_PathSeparator).GetDataA());
}

TEST(Runtime, SleepHandsTheWholeDurationToUsleep)
{
    Runtime::Sleep(0);   // real, returns at once
    lxitest::SleepRecorder recorder;
    Runtime::Sleep(1);
    ASSERT_EQ(1000u, recorder.Microseconds()) << "usleep is not interposed";
    for (unsigned int ms : {0u, 4294967u, 4294968u, 0xFFFFFFFFu}) {
        unsigned long long const before = recorder.Microseconds();
        Runtime::Sleep(ms);
        EXPECT_EQ(ms * 1000ull, recorder.Microseconds() - before) << ms;
    }
}

TEST(Runtime, TimeStampIsLocalTime)
{
    struct Case { char const* zone; long long seconds; char const* text; };
    CStr stamp("an older text, longer than a stamp");
    for (Case c : {Case{"UTC", 1796373093, "2026-12-04 08:31:33"},
                   Case{"UTC", 1796414709, "2026-12-04 20:05:09"},
                   Case{"XYZ-02", 1796373093, "2026-12-04 10:31:33"},   // UTC+2
                   Case{"UTC", 0, "1970-01-01 00:00:00"}}) {
        lxitest::TzGuard zone(c.zone);
        lxitest::FakeClock clock(c.seconds, 999999999);
        Runtime::GetTimeStamp(stamp);
        EXPECT_STREQ(c.text, CStrA(stamp).GetDataA()) << c.zone;
        EXPECT_EQ(19u, stamp.GetLength());
    }
}

TEST(Runtime, CurrentTimeRoundsToTheNearestMillisecond)
{
    struct Case { long nanoseconds; long long ms; };
    for (Case c : {Case{0, 1700000000000}, Case{499999999, 1700000000500},
                   Case{499500000, 1700000000500}, Case{499499999, 1700000000499},
                   Case{999499999, 1700000000999}, Case{999600000, 1700000001000}}) {
        lxitest::FakeClock clock(1700000000, c.nanoseconds);
        EXPECT_EQ(c.ms, Runtime::GetOSCurrentTime()) << c.nanoseconds;
    }
    long long const real = Runtime::GetOSCurrentTime();   // the real clock again
    EXPECT_GT(real, 1700000000000);
}

TEST(Runtime, ConsoleKeepsTheHostOutputInOrder)
{
    struct Case { std::FILE* pStream; void (*pWrite)(CStr const&); };
    for (Case c : {Case{stdout, &Runtime::WriteToStdOut}, Case{stderr, &Runtime::WriteToStdErr}}) {
        std::string const out = lxitest::Capture(c.pStream, [&] {
            std::fprintf(c.pStream, "<%d ", 1);
            c.pWrite(CStr("50% %d %ls\n"));
            c.pWrite(CStr());
            std::fprintf(c.pStream, "%d>", 2);
        });
        EXPECT_EQ("<1 50% %d %ls\n2>", out);
        EXPECT_EQ("", lxitest::Capture(c.pStream, [&] { c.pWrite(CStr("")); }));
    }
}

TEST(Runtime, ConsoleConvertsWithTheLocale)
{
    CStr const text(L"caf\u00e9 \u20ac");
    {
        LocaleGuard locale("C");
        EXPECT_EQ("caf? ?", lxitest::Capture(stdout, [&] { Runtime::WriteToStdOut(text); }));
    }
    LocaleGuard locale("C.UTF-8");
    if (!locale.m_ok)
        GTEST_SKIP() << "no C.UTF-8 locale";
    EXPECT_EQ("caf\xC3\xA9 \xE2\x82\xAC", lxitest::Capture(stderr, [&] { Runtime::WriteToStdErr(text); }));
}

TEST(RuntimeDeathTest, ConsoleOrientation)
{
    // freopen gives an unoriented stream in the child. Wide output would
    // orient it and swallow the host's later printf.
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "w", stdout);
            std::string const out = lxitest::Capture(stdout, [] {
                Runtime::WriteToStdOut(CStr("x"));
                std::printf("y");
            });
            std::exit(out == "xy" && std::fwide(stdout, 0) <= 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    // A stream the host made wide is written with the wide functions.
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "w", stderr);
            if (std::fwide(stderr, 1) <= 0)
                std::exit(2);
            std::string const out = lxitest::Capture(stderr, [] { Runtime::WriteToStdErr(CStr("50% %d")); });
            std::exit(out == "50% %d" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
