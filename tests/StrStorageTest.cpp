// Pinned storage examples; the model test (StrModelTest.cpp) checks every
// operation's capacity, flags and record, and AllocSweepTest.cpp its failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "AllocHook.h"
#include "Str.h"

namespace {

std::string Units(unsigned int n)
{
    std::string s;
    for (unsigned int i = 0; i < n; ++i)
        s += static_cast<char>('a' + i % 26);
    return s;
}

}  // namespace

TEST(StrStorage, EmptyTextsTakeNoHeap)
{
    lxitest::AllocCounter counter;
    CStr a(""), b(L""), c(reinterpret_cast<unsigned char const*>("")), d(a);
    CStr e(static_cast<char const*>(nullptr)), f(static_cast<wchar_t const*>(nullptr));
    CStr g(static_cast<unsigned char const*>(nullptr));
    d.Assign("").Assign(L"").Assign(b);
    for (CStr const* p : {&a, &b, &c, &d, &e, &f, &g})
        EXPECT_EQ(nullptr, p->GetData());
    EXPECT_EQ(0u, counter.Count());
    EXPECT_EQ(0u, CStr().GetChar(0));
}

TEST(StrStorage, InlineBufferTakesUpTo31Units)
{
    unsigned short aBuffer[33];
    std::fill(std::begin(aBuffer), std::end(aBuffer), 0xBEEF);
    lxitest::AllocCounter counter;
    {
        CStr s(aBuffer, 31, true, false);
        // 27 and more leave no room for the record: the capacity falls to the length.
        struct Step { unsigned int length, buffSize; };
        for (Step step : {Step{26, 31}, Step{31, 31}, Step{10, 31}, Step{27, 27}, Step{10, 27}}) {
            s.Assign(Units(step.length).c_str());
            EXPECT_EQ(step.buffSize, s.GetBuffSize()) << step.length;
        }
        EXPECT_EQ(aBuffer, s.GetData());
        EXPECT_EQ(0u, counter.Count());
        EXPECT_EQ(0xBEEF, aBuffer[32]);   // never beyond capacity + 1 units

        s.Assign(Units(28).c_str());   // above the reckoned 27: to the heap
        EXPECT_NE(aBuffer, s.GetData());
        EXPECT_EQ(1u, counter.Count());
        s.Assign("xyz");
        EXPECT_EQ(u'a', aBuffer[0]);   // the array is idle now
    }
    EXPECT_EQ(1u, counter.Frees());
}

// FindNextPower doubles from 8 until 4 units beyond n fit; appending one unit
// at a time grows there, and the capacity reckons as the length whenever the
// record (5 units) does not fit.
TEST(StrStorage, TimeEfficientGrowth)
{
    auto const doubling = [](unsigned int n) {
        unsigned int power = 8;
        while (power < n + 4u)
            power <<= 1;
        return n == 0 ? 0u : power;
    };
    for (unsigned int n = 0; n < 70000; ++n)
        ASSERT_EQ(doubling(n), CStr::FindNextPower(n)) << n;
    EXPECT_EQ(0x80000000u, CStr::FindNextPower(0x7FFFFFFCu));
    EXPECT_EQ(0x80000000u, CStr::FindNextPower(0xFFFFFFFFu));

    CStr text(0u, true);
    CStr unit("x");
    std::string grewAt;
    for (unsigned int n = 1; n <= 3000; ++n) {
        unit.SetChar(0, static_cast<unsigned short>('a' + n % 26));
        lxitest::AllocCounter counter;
        text.Append(unit);
        if (counter.Count() != 0 && n < 70)
            grewAt += std::to_string(n) + ":" + std::to_string(text.GetBuffSize()) + " ";
        ASSERT_EQ(doubling(n) >= n + 5 ? doubling(n) : n, text.GetBuffSize());
        ASSERT_EQ('a' + n % 26, text.GetChar(n - 1));
        ASSERT_EQ(0, text.GetData()[n]);
    }
    EXPECT_EQ("1:8 5:16 13:32 29:64 61:128 ", grewAt);
}
