#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cwchar>
#include <dlfcn.h>
#include <thread>

#include "TestUtil.h"
#include "LxiOSALRuntime.h"
#include "StrA.h"

using Runtime = CLxiOSALRuntime;

// The library's own heap functions, found past the test program's hooks.
TEST(Runtime, HeapFunctions)
{
    auto const pMalloc = reinterpret_cast<decltype(&Runtime::Malloc)>(dlsym(RTLD_NEXT, "_ZN15CLxiOSALRuntime6MallocEj"));
    auto const pRealloc = reinterpret_cast<decltype(&Runtime::Realloc)>(dlsym(RTLD_NEXT, "_ZN15CLxiOSALRuntime7ReallocEPvj"));
    auto const pFree = reinterpret_cast<decltype(&Runtime::Free)>(dlsym(RTLD_NEXT, "_ZN15CLxiOSALRuntime4FreeEPv"));
    ASSERT_TRUE(pMalloc != nullptr && pRealloc != nullptr && pFree != nullptr && pMalloc != &Runtime::Malloc);
    void* p = std::strcpy(static_cast<char*>(pMalloc(4)), "abc");
    EXPECT_STREQ("abc", static_cast<char*>(p = pRealloc(p, 4096)));
    EXPECT_NE(nullptr, p = pRealloc(p, 0));   // null would mean failure with the block still valid
    pFree(p);
}

TEST(Runtime, Clocks)
{
    for (unsigned int ms : {0u, 1u, 4294967u, 4294968u, 0xFFFFFFFFu}) {   // beyond 32 bits of microseconds too
        lxitest::SleepRecorder recorder;
        Runtime::Sleep(ms);
        EXPECT_EQ(ms * 1000ull, recorder.Microseconds()) << ms;
    }
    lxitest::LogRoot utc(false);
    CStr stamp("an older text, longer than a stamp");
    struct Case { long long seconds; long nanoseconds; long long ms; char const* stamp; };   // ms: nearest, halves up
    Case const cases[] = {
        {1796373093, 999999999, 1000, "2026-12-04 08:31:33"}, {1796414709, 499500000, 500, "2026-12-04 20:05:09"},
        {0, 499499999, 499, "1970-01-01 00:00:00"},
    };
    for (Case const& c : cases) {
        lxitest::FakeClock clock(c.seconds, c.nanoseconds);
        Runtime::GetTimeStamp(stamp);
        EXPECT_STREQ(c.stamp, CStrA(stamp).GetDataA());
        EXPECT_EQ(c.seconds * 1000 + c.ms, Runtime::GetOSCurrentTime());
    }
}

// In order with the host's output; a fresh stream is not made wide (the host's printf would vanish), a wide one kept.
TEST(RuntimeDeathTest, Console)
{
    struct Case { std::FILE* pStream; void (*pWrite)(CStr const&); };
    for (Case c : {Case{stdout, &Runtime::WriteToStdOut}, Case{stderr, &Runtime::WriteToStdErr}})
        EXPECT_EQ("<1 50% %d %ls\n|2>", lxitest::Capture(c.pStream, [&] {
            std::fprintf(c.pStream, "<%d ", 1);
            c.pWrite(CStr("50% %d %ls\n"));
            c.pWrite(CStr());
            std::thread([&] { std::fputc('|', c.pStream); }).join();   // the stream is free again
            std::fprintf(c.pStream, "%d>", 2);
        }));
    CStr const text(L"caf\u00e9 \u20ac");
    EXPECT_EQ("caf? ?", lxitest::Capture(stdout, [&] { Runtime::WriteToStdOut(text); }));
    if (std::setlocale(LC_ALL, "C.UTF-8") != nullptr) {
        EXPECT_EQ("caf\xC3\xA9 \xE2\x82\xAC", lxitest::Capture(stderr, [&] { Runtime::WriteToStdErr(text); }));
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EXIT(
        {
            std::freopen("/dev/null", "w", stdout);
            std::string const out = lxitest::Capture(stdout, [] { Runtime::WriteToStdOut(CStr("x")); });
            std::freopen("/dev/null", "w", stderr);
            std::fwide(stderr, 1);
            std::string const wide = lxitest::Capture(stderr, [] { Runtime::WriteToStdErr(CStr("50% %d")); });
            std::exit(out == "x" && std::printf("y") == 1 && wide == "50% %d" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
