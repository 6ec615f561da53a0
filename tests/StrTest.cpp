// Pinned examples of the string classes; the fuzz targets (run by CTest too) check random work against std::u16string.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <tuple>

#include "StrCheck.h"
#include "StrUtil.h"
#include "TestUtil.h"

using lxitest::Units;

TEST(Str, StorageRules)
{
    // After each step: length, capacity, the heap block's units beyond the terminator (-1: none), the bytes asked for.
    struct Case { char const* name; std::function<void(std::optional<CStr>&)> step; unsigned int length, capacity;
                  long block; char const* sizes; };
    std::string const s26(26, 'a'), s27(27, 'b'), s28(28, 'c'), s31(31, 'd');
    CStr const ab("ab"), bc("bc"), g("g"), a("a"), xyz("xyz");
    unsigned short aArray[33], aUnits[13] = {'h', 'e', 'l', 'l', 'o', 0}, aFull[4] = {'a', 'b', 'c', 0},
                   aOne[2] = {'z', 0};
    Case const cases[] = {
        // The record needs 5 units beyond the length: 26 keeps 31, 27 drops it.
        {"26 units", [&](auto& s) { s->Assign(s26.c_str()); }, 26, 31, -1, ""},
        {"then 31", [&](auto& s) { s->Assign(s31.c_str()); }, 31, 31, -1, ""},
        {"then 10", [&](auto& s) { s->Assign("0123456789"); }, 10, 31, -1, ""},
        {"then 27", [&](auto& s) { s->Assign(s27.c_str()); }, 27, 27, -1, ""},
        {"then 28 moves", [&](auto& s) { s->Assign(s28.c_str()); }, 28, 28, 28, "58 "},
        {"shorter keeps the block", [&](auto& s) { s->Assign("abc"); }, 3, 28, 28, ""},
        {"Replace keeps it", [&](auto& s) { s->Replace(bc, g, 0, true); }, 2, 28, 28, "8 "},   // the match list
        {"Clear keeps it", [&](auto& s) { s->Clear(); }, 0, 28, 28, ""},
        {"CopyRange beyond keeps it", [&](auto& s) { s->CopyRange(ab, 2, 1); }, 0, 28, 28, ""},
        // The match list takes 2, 4, 8 entries; the longer text is built in a block of its own.
        {"Replace that grows", [&](auto& s) { s->Assign("a.a.a.a.a").Replace(a, xyz, 0, true); }, 19, 28, 28, "8 16 32 40 "},
        {"Compact fits", [&](auto& s) { s->Assign("abcdef").Compact(); }, 6, 6, 6, "14 "},
        {"its own block attached", [&](auto& s) { s->Attach(s->GetData(), 6, false, false); }, 6, 6, 6, ""},
        {"exact growth", [&](auto& s) { s->Append(g); }, 7, 7, 7, "16 "},
        {"time-efficient", [&](auto& s) { s->SetTimeEfficient(true, true); }, 7, 16, 16, "34 "},
        {"power again", [&](auto& s) { s->SetTimeEfficient(true, true); }, 7, 32, 32, "66 "},
        {"off keeps it", [&](auto& s) { s->SetTimeEfficient(false, true); }, 7, 32, 32, ""},
        {"Compact, on", [&](auto& s) { s->SetTimeEfficient(true, false); s->Compact(); }, 7, 16, 16, "34 "},
        {"no room for the record", [&](auto& s) { s->Assign("abcdefghijkl"); }, 12, 12, 16, ""},
        {"then Compact asks 16", [&](auto& s) { s->Compact(); }, 12, 12, 16, "34 "},
        {"attached, text kept", [&](auto& s) { s->Attach(aUnits, 12, false, false); }, 5, 12, -1, ""},
        {"attached, full", [&](auto& s) { s->Attach(aFull, 3, false, false); }, 3, 3, -1, ""},
        {"attached, one unit", [&](auto& s) { s->Attach(aOne, 1, false, false); }, 1, 1, -1, ""},
        {"null buffer", [&](auto& s) { s->Attach(nullptr, 9, true, false); }, 0, 0, -1, ""},
        {"reserved 10", [&](auto& s) { s.emplace(10u, false); }, 0, 10, 10, "22 "},
        {"reserved 3: no record", [&](auto& s) { s.emplace(3u, false); }, 0, 0, 3, "8 "},
        {"reserved 5, power", [&](auto& s) { s.emplace(5u, true); }, 0, 16, 16, "34 "},
        {"reserved 0", [&](auto& s) { s.emplace(0u, true); }, 0, 0, -1, ""},
    };
    aArray[32] = 0xBEEF;
    std::optional<CStr> s(std::in_place, aArray, 31, true, false);
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        lxitest::AllocCounter counter;
        c.step(s);
        EXPECT_EQ(std::tuple(c.length, c.capacity, c.block, std::string(c.sizes)),
                  std::tuple(s->GetLength(), s->GetBuffSize(), lxitest::BlockUnits(s->GetData()), counter.Sizes()));
    }
    EXPECT_EQ(0xBEEF, aArray[32]);   // never written beyond capacity + 1 units
    EXPECT_EQ('b', aArray[0]);        // nor after the string left it
    CStr grows("a.a.a.a.a");   // the match list cannot grow: the text stays, the list's first block is freed
    lxitest::FailAllocation(2);
    EXPECT_EQ(u"a.a.a.a.a", lxitest::Text(grows.Replace(a, xyz, 0, true)));
    lxitest::FailAllocation(0);

    // Time-efficient growth from empty, one unit at a time: where a new block comes, and its capacity.
    CStr grown(0u, true);
    std::string blocks;
    for (unsigned int n = 1; n <= 70; ++n) {
        lxitest::AllocCounter counter;
        grown.Append(g);
        if (counter.Count() != 0)
            blocks += std::to_string(n) + ":" + std::to_string(grown.GetBuffSize()) + " ";
    }
    EXPECT_EQ("1:8 5:16 13:32 29:64 61:128 ", blocks);
    for (unsigned int n : {0x7FFFFFFCu, 0x7FFFFFFDu, 0xFFFFFFFFu})   // the largest power, also where n + 4 has none
        EXPECT_EQ(0x80000000u, CStr::FindNextPower(n)) << n;
}

// The documented paths without heap: empty texts, and work within room.
TEST(Str, NoHeapWithinRoom)
{
    CStr room(100u, false), x("X");
    lxitest::AllocCounter counter;
    CStr a(""), b(L""), c(reinterpret_cast<unsigned char const*>("")), d(a), none, e(static_cast<char const*>(nullptr));
    d.Assign("").Assign(L"").Assign(b).Append(none).Insert(a, 0).Format(L"%ls", L"");
    d.Assign(static_cast<char const*>(nullptr), 5).Assign(static_cast<wchar_t const*>(nullptr), 5);   // null: no text
    for (CStr const* p : {&a, &b, &c, &d, &e})
        EXPECT_EQ(nullptr, p->GetData());
    room.Assign("  one two three  ").Trim().ReplaceRange(0, 4, x).CopyRange(room, 1, 100).Cut(4, 3);
    room.Format(L"%31d", 1).Append(x).Insert(x, 2).SetChar(0, 'y');
    EXPECT_TRUE(room.GetLength() == 33 && room.GetBuffSize() == 100 && room.StartsWith(room) && room.EndsWith(x));
    EXPECT_TRUE(room.Count(x, 0) == 2 && !room.Equals(x) && room.FindNext(x, 3) == 32);
    EXPECT_EQ(0u, counter.Count());
    // One heap block of the right size for each output the scan can size (88 characters being a log line's); a longer
    // one that it cannot, one more.
    std::wstring const message(40, L'm'), file(30, L'f'), text(60, L't');
    room.Format(L"%32d", 1).Format(L"%88d", 2).Format(L"%ls in line %lu, file: %ls", message.c_str(), 7ul, file.c_str());
    room.Format(L"%*d", -100, 3).Format(L"%64d", 4).Format(L"%ls%d", text.c_str(), -1000000);
    EXPECT_EQ("256 512 512 512 512 256 512 ", counter.Sizes());
}

TEST(Str, Search)
{
    unsigned int const NF = CStr::NOT_FOUND;
    // Patterns of 31 and 40 units; the text near-misses with a unit the checksum no longer sees.
    std::string const p40 = "AHOVCJQXELSZGNUBIPWDKRYFMTAHOVCJQXELSZGN", t40 = "Z" + p40.substr(1) + p40 + p40;
    std::string const t31 = "Q" + p40.substr(0, 31);
    struct Case { std::string text, pattern; unsigned int start, next, count; };
    for (Case const& c : {Case{"abcabc", "bc", 2, 4, 1}, Case{"abc", "", 7, 7, 0}, Case{"abc", "", 1, 1, 3},
                          Case{"aaaa", "aa", 0, 0, 2}, Case{t40, p40, 0, 40, 2}, Case{t31, p40.substr(0, 31), 0, 1, 1}}) {
        CStr const text(c.text.c_str()), pattern(c.pattern.c_str());
        EXPECT_EQ(c.next, text.FindNext(pattern, c.start)) << c.text;
        EXPECT_EQ(c.count, text.Count(pattern, c.start)) << c.text;
    }
    // The engine with a checksum and length of the caller's: a window of that length with that checksum, where the
    // whole pattern follows (never before the window is full: "xa" has the checksum 0x151).
    CStr const abc("abc"), text("xabcabd");
    unsigned int length = 9;
    EXPECT_TRUE(abc.CalcSubStrChksumAndLength(abc.GetData(), length) == 0x2ABu && length == 3u);
    struct Engine { unsigned int start, checksum, length, found; };
    for (Engine const& e : {Engine{0, 0x2AB, 3, 1}, Engine{2, 0x2AB, 3, NF}, Engine{0, 0x124, 2, 1},
                            Engine{0, 0x2AC, 3, NF}, Engine{0, 0x151, 3, NF}, Engine{0, 0, 0, NF}, Engine{8, 0x2AB, 3, NF}})
        EXPECT_EQ(e.found, text.FindNextWithChecksum(abc.GetData(), e.start, e.checksum, e.length)) << e.checksum;
    // A window of 32 units, whose first unit the doubling has pushed out of the checksum, in a longer pattern.
    CStr const first32(p40.substr(0, 32).c_str()), pattern(p40.c_str()), text120(t40.c_str());
    unsigned int const sum32 = first32.CalcSubStrChksumAndLength(first32.GetData(), length);
    EXPECT_EQ(40u, text120.FindNextWithChecksum(pattern.GetData(), 0, sum32, 32));
}

TEST(Str, Conversions)
{
    // UTF-8 both ways (the fuzz targets' rules; the library decodes): each unit alone, surrogates as three bytes;
    // bytes as they come (four-byte leads and strays "?", no check of what follows a lead, a cut sequence ends there).
    Units const units = {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xD83D, 0xDE00};
    std::string const utf8 = "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xED\xA0\xBD\xED\xB8\x80";
    EXPECT_EQ(utf8, lxitest::ToUtf8(units));
    struct Case { std::string bytes; Units units; };
    for (Case const& c : {Case{"\xF0\x9F\x98\x80", u"????"}, Case{std::string("\xC0\x80", 2), Units(1, 0)},
                          Case{"\xC2\x41", u"\xC1"}, Case{"\xE2\x41\x41", u"\x3041"}, Case{"\xC2\xC3\xA9", u"\xC3?"},
                          Case{"a\xE2\x82", u"a\x2080"}, Case{"\xEF\xBB\xBF", u"\xFEFF"}}) {
        auto const* pBytes = reinterpret_cast<unsigned char const*>(c.bytes.data());
        auto const count = static_cast<unsigned int>(c.bytes.size());
        EXPECT_TRUE(c.units == lxitest::FromUtf8(pBytes, count) && c.units == lxitest::Text(CStr().Assign(pBytes, count))) << c.bytes;
    }
}

TEST(Str, WhiteSpaceBooleansAndIntegers)
{
    for (unsigned int u = 0; u <= 0xFFFFu; ++u)
        ASSERT_EQ(u == 0x20u || (u >= 0x09u && u <= 0x0Du), CStrUtil::IsWhiteSpace(static_cast<unsigned short>(u), nullptr)) << u;
    wchar_t const aSet[] = {L',', static_cast<wchar_t>(0x1003B), 0}, aB[] = {L'b', 0};   // 0x1003B is no ';'
    EXPECT_TRUE(CStrUtil::IsWhiteSpace(u',', aSet) && !CStrUtil::IsWhiteSpace(u' ', aSet) && !CStrUtil::IsWhiteSpace(u';', aSet));
    unsigned short const aText[] = {' ', '\t', 'a', 'b', ' '};
    EXPECT_EQ(aText + 1, CStrUtil::ScanWhiteSpaceReverse(aText, 4, nullptr, true));
    EXPECT_EQ(aText + 3, CStrUtil::ScanWhiteSpaceForward(aText, 5, aB, true));
    EXPECT_EQ(nullptr, CStrUtil::ScanWhiteSpaceForward(nullptr, 5, nullptr, true));

    for (char const* pWord : {"true", "TRUE", "True", "ON", "On", "on", "YES", "Yes", "yes"})
        EXPECT_TRUE(CStrUtil::ConvertToBoolean(CStr(pWord))) << pWord;
    for (char const* pWord : {"tRUE", "1", " true", "true ", "false", "", "tru"})
        EXPECT_FALSE(CStrUtil::ConvertToBoolean(CStr(pWord))) << pWord;
    EXPECT_EQ(&CStrUtil::s_sTrue, &CStrUtil::ConvertBoolean(true));
    EXPECT_EQ(u"false", lxitest::Text(CStrUtil::ConvertBoolean(false)));
    // What each text reads as; none: refused (a digit beyond ASCII reads as "?").
    struct Case { CStr text; std::optional<int> value; };
    Case const cases[] = {{" -17", -17}, {"+5", 5}, {"0x1F", 31}, {"010", 8}, {"12abc", 12}, {"08", 0},
                          {"2147483647", INT_MAX}, {"-0x80000000", INT_MIN}, {"2147483648", {}}, {"-2147483649", {}},
                          {"99999999999999999999999", {}}, {"abc", {}}, {"- 5", {}}, {L"\u0661", {}}};
    for (Case const& c : cases) {
        int value = -12345;   // kept when refused
        errno = EDOM;         // the caller's errno survives
        EXPECT_EQ(c.value.has_value(), CStrUtil::ConvertToInteger(c.text, value)) << &c - cases;
        EXPECT_EQ(c.value.value_or(-12345), value) << &c - cases;
        EXPECT_EQ(EDOM, errno);
    }
}
