#include <gtest/gtest.h>

#include <string>

#include "AllocHook.h"
#include "Str.h"

namespace {
unsigned int const NF = CStr::NOT_FOUND;
}  // namespace

TEST(StrSearch, CompareTable)
{
    struct Case { char const* a; char const* b; bool equals, starts, ends; };
    Case const aCases[] = {
        {"", "", true, true, true},         {"abc", "abc", true, true, true},  {"ON", "on", false, false, false},
        {"abc", "", false, true, true},     {"", "a", false, false, false},    {"ab", "abc", false, false, false},
        {"abcab", "ab", false, true, true}, {"abd", "abc", false, false, false}, {"abc", "ab", false, true, false},
        {"abc", "bc", false, false, true},
    };
    for (Case const& c : aCases) {
        CStr const a(c.a), b(c.b);
        lxitest::AllocCounter counter;
        EXPECT_EQ(c.equals, a.Equals(b) && b.Equals(a)) << c.a << "/" << c.b;
        EXPECT_EQ(c.starts, a.StartsWith(b)) << c.a << "/" << c.b;
        EXPECT_EQ(c.ends, a.EndsWith(b)) << c.a << "/" << c.b;
        EXPECT_TRUE(a.Equals(a) && a.StartsWith(a) && a.EndsWith(a));
        EXPECT_EQ(0u, counter.Count());
    }
    CStr const none, reserved(10, false), text("a");
    EXPECT_TRUE(none.Equals(reserved) && reserved.Equals(none) && reserved.StartsWith(none));
    EXPECT_FALSE(none.StartsWith(text) || none.EndsWith(text) || text.Equals(none));
}

TEST(StrSearch, FindNextAndCount)
{
    // Patterns of 31, 32 and 40 units: the window drops departing units up
    // to 31, and from 32 on relies on the doubling to push them out.
    std::string p40;
    for (unsigned int i = 0; i < 40; ++i)
        p40 += static_cast<char>('A' + (i * 7) % 26);
    std::string const p31 = p40.substr(0, 31), p32 = p40.substr(0, 32);
    // "Q" is odd, so a window that failed to drop it would be off by one bit.
    std::string const t31 = "Q" + p31, t32 = "Q" + p32;
    // A near miss differing only in a unit that the checksum no longer sees.
    std::string const t40 = "Z" + p40.substr(1) + p40 + p40;
    struct Case { char const* text; char const* pattern; unsigned int start, next, count; };
    Case const aCases[] = {
        {"abcabc", "bc", 0, 1, 2}, {"abcabc", "bc", 2, 4, 1}, {"abcabc", "bc", 5, NF, 0},
        {"abc", "", 7, 7, 0},      {"abc", "", 1, 1, 3},      {"abc", "c", 3, NF, 0},
        {"aaaa", "aa", 0, 0, 2},   {"", "a", 0, NF, 0},       {"ab", "abc", 0, NF, 0},
        {t31.c_str(), p31.c_str(), 0, 1, 1}, {t32.c_str(), p32.c_str(), 0, 1, 1},
        {t40.c_str(), p40.c_str(), 0, 40, 2},
    };
    for (Case const& c : aCases) {
        CStr const text(c.text), pattern(c.pattern);
        lxitest::AllocCounter counter;
        EXPECT_EQ(c.next, text.FindNext(pattern, c.start)) << c.text << "/" << c.pattern;
        EXPECT_EQ(c.count, text.Count(pattern, c.start)) << c.text << "/" << c.pattern;
        EXPECT_EQ(0u, counter.Count());
    }
    CStr const none, abc("abc");
    unsigned int length = 9;
    EXPECT_EQ(0x2ABu, abc.CalcSubStrChksumAndLength(abc.GetData(), length));
    EXPECT_EQ(3u, length);
    EXPECT_EQ(0u, abc.CalcSubStrChksumAndLength(nullptr, length) + length);
    EXPECT_EQ(2u, abc.FindNext(none, 2));
    EXPECT_EQ(0u, abc.FindNext(abc, 0));
    EXPECT_EQ(NF, abc.FindNext(abc, 1));
    EXPECT_EQ(1u, none.Count(none, 0) + abc.Count(abc, 0));
}
