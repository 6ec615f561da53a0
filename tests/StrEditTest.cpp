// Pinned edits, the string as its own source, and what the edits allocate;
// the model test checks every edit after random steps, and AllocSweepTest.cpp
// each allocation failure.
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>

#include "AllocHook.h"
#include "Str.h"

namespace {

using Edit = std::function<void(CStr&)>;
struct Case { char const* before; Edit edit; std::string after; };

std::string Text(CStr const& s)
{
    std::string out;
    for (unsigned int i = 0; i < s.GetLength(); ++i)
        out += static_cast<char>(s.GetChar(i));
    return out;
}

}  // namespace

TEST(StrEdit, Table)
{
    CStr const xy("xy"), b("b"), N("N"), X("X"), xyz("xyz"), empty(2u, false), abcdef("abcdef");
    wchar_t const aX[] = {L'x', 0};
#define E(...) [&](CStr& s) { s.__VA_ARGS__; }
    Case const aCases[] = {
        {"abc", E(Append(xy)), "abcxy"},           {"abc", E(Append(empty).Insert(empty, 1)), "abc"},
        {"abc", E(Insert(xy, 0)), "xyabc"},         {"abc", E(Insert(xy, 1)), "axybc"},
        {"abc", E(Insert(xy, 100)), "abcxy"},       {"xyz", E(CopyRange(abcdef, 2, 3)), "cde"},
        {"", E(CopyRange(abcdef, 4, 10)), "ef"},    {"abcde", E(ReplaceRange(1, 2, xyz)), "axyzde"},
        {"abc", E(ReplaceRange(10, 5, X)), "abcX"}, {"abc", E(ReplaceRange(1, 100, CStr())), "a"},
        {"abcdefg", E(Cut(2, 3)), "cde"},           {"abcdefg", E(Cut(5, 10)), "fg"},
        {"abcdefg", E(Cut(7, 1)), ""},              {"abcdefg", E(Cut(0, 0)), ""},
        {"aaaaa", E(Replace(CStr("aa"), b, 0, true)), "bba"},
        {"banana", E(Replace(CStr("a"), xyz, 0, false)), "bxyznana"},
        {"banana", E(Replace(CStr("na"), N, 3, true)), "banaN"},
        {"bananabanana", E(Replace(CStr("an"), CStr(), 0, true)), "baba"},
        {"bab", E(Replace(CStr(), N, 0, true).Replace(b, N, 3, true)), "bab"},
        {"  ab c \t", E(Trim()), "ab c"},          {"  ab c \t", E(TrimLeft()), "ab c \t"},
        {"  ab c \t", E(TrimRight()), "  ab c"},   {" \t\r\n", E(TrimLeft()), ""},
        {" \t\r\n", E(TrimRight()), ""},           {"xxaxx", E(Trim(aX)), "a"},
        {"old", E(Format(L"%ls=%d", L"n", -5)), "n=-5"},
        // This very string as source, pattern or replacement.
        {"abc", E(Append(s)), "abcabc"},            {"abc", E(Insert(s, 1)), "aabcbc"},
        {"abcd", E(CopyRange(s, 1, 2)), "bc"},      {"abc", E(ReplaceRange(1, 1, s)), "aabcc"},
        {"abc", E(Replace(s, xyz, 0, true)), "xyz"}, {"abcb", E(Replace(b, s, 0, true)), "aabcbcabcb"},
    };
#undef E
    for (Case const& c : aCases) {
        CStr owned(c.before), timeEfficient(c.before);   // exact and power-of-two buffers
        timeEfficient.SetTimeEfficient(true, true);
        unsigned short aInline[32];
        CStr attached(aInline, 31, true, false);
        attached.Assign(c.before);
        for (CStr* p : {&owned, &timeEfficient, &attached}) {
            c.edit(*p);
            EXPECT_EQ(c.after, Text(*p)) << c.before;
        }
        EXPECT_EQ(aInline, attached.GetData());   // every case fits the array
    }
}

TEST(StrEdit, ShrinkingAndShortFormatsAllocateNothing)
{
    CStr s(100u, false), small("abc");
    s.Assign("  one two three  ");
    CStr const x("X");
    unsigned short* const p = s.GetData();
    lxitest::AllocCounter counter;
    s.Trim().ReplaceRange(0, 4, x).CopyRange(s, 1, 100).Cut(4, 3);
    EXPECT_EQ("thr", Text(s));
    s.Format(L"%31d", 1);
    small.CopyRange(s, 31, 1);
    EXPECT_EQ(0u, counter.Count());
    EXPECT_EQ(p, s.GetData());
    EXPECT_EQ(100u, s.GetBuffSize());
    // Emptied, small keeps its buffer; its capacity 3 cannot be recorded.
    EXPECT_TRUE(small.IsEmpty() && small.GetData() != nullptr && small.GetBuffSize() == 0);
    for (int width : {32, 63}) {
        lxitest::AllocCounter one;
        s.Format(L"%*d", width, 7);
        EXPECT_EQ(1u, one.Count());
        EXPECT_EQ(static_cast<unsigned int>(width), s.GetLength());
    }
}

TEST(StrEdit, ReplaceShrinksInPlaceAndGrowsThroughOneBlock)
{
    CStr s(64u, false);
    s.Assign("a.a.a.a.a");
    unsigned short* const p = s.GetData();
    // The position list takes 1, 2, 3 blocks for 1, 2, 4 matches (capacities
    // 2, 4, 8), and a growing text one temporary block more.
    struct Step { char const* pattern; char const* replacement; bool all; unsigned int allocs; };
    Step const aSteps[] = {{"a", "b", true, 3},  {"b", "", false, 1},   {".b", "xx", true, 3},
                           {"xx", "a", true, 3}, {"a", "bb", false, 2}, {"a", "cc", true, 3},
                           {"z", "y", true, 0}};
    for (Step const& step : aSteps) {
        CStr const pattern(step.pattern), replacement(step.replacement);
        lxitest::AllocCounter counter;
        s.Replace(pattern, replacement, 0, step.all);
        EXPECT_EQ(step.allocs, counter.Count()) << step.pattern;
    }
    EXPECT_EQ("bbcccccc", Text(s));
    EXPECT_TRUE(p == s.GetData() && s.GetBuffSize() == 64);
}

TEST(StrEdit, FormatLiteralZero)
{
    CStr s("old");
    EXPECT_EQ("0", Text(s.Format(L"%d", 0)));   // not taken for an argument list
    EXPECT_EQ("0", Text(s.Format(L"%u", 0u)));
    EXPECT_EQ("0", Text(s.Format(L"%ld", 0L)));
    EXPECT_EQ("1", Text(s.Format(L"%d", true)));
    wchar_t aExpected[32];
    std::swprintf(aExpected, 32, L"%p", static_cast<void*>(nullptr));
    EXPECT_TRUE(s.Format(L"%p", nullptr).Equals(CStr(aExpected)));
}
