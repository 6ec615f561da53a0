#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "AllocHook.h"
#include "Str.h"
#include "StrA.h"
#include "StrUtil.h"
#include "StrW.h"

namespace {

using Units = std::vector<unsigned short>;
using Bytes = std::vector<unsigned char>;
constexpr unsigned short kQ = '?';

Units UnitsOf(CStr const& s)
{
    return s.GetData() != nullptr ? Units(s.GetData(), s.GetData() + s.GetLength()) : Units();
}

// Decodes the first count bytes into a target with guard units behind the
// expected end; checks that exactly LengthOfUtf16FromUtf8 units are written.
Units Decode(unsigned char const* pSource, unsigned int count)
{
    unsigned int const n = CStrUtil::LengthOfUtf16FromUtf8(pSource, count);
    Units out(n + 2, 0xEEEE);
    CStrUtil::MemcpyUtf16FromUtf8(out.data(), pSource, count);
    EXPECT_EQ(Units(2, 0xEEEE), Units(out.begin() + n, out.end()));
    out.resize(n);
    return out;
}

Bytes Encode(Units const& in)
{
    unsigned int const count = static_cast<unsigned int>(in.size());
    unsigned int const n = CStrUtil::LengthOfUtf8FromUtf16(in.data(), count);
    Bytes out(n + 2, 0xEE);
    CStrUtil::MemcpyUtf8FromUtf16(out.data(), in.data(), count);
    EXPECT_EQ(Bytes(2, 0xEE), Bytes(out.begin() + n, out.end()));
    out.resize(n);
    return out;
}

char const* Data(CStrA const& a) { return a.GetDataA(); }
wchar_t const* Data(CStrW const& w) { return w.GetDataW(); }

// The copy holds the units (terminator included) and counts up to the first 0.
template <typename Copy>
void ExpectCopy(CStr const& s, std::vector<int> const& expected, unsigned int length)
{
    lxitest::AllocCounter counter;
    {
        Copy const copy(s);
        EXPECT_EQ(s.IsEmpty() ? 0u : 1u, counter.Count());
        ASSERT_NE(nullptr, Data(copy));
        std::vector<int> got;
        for (unsigned int i = 0; i <= s.GetLength(); ++i)
            got.push_back(static_cast<int>(static_cast<unsigned int>(Data(copy)[i]) & 0xFFFFu));
        EXPECT_EQ(expected, got);
        EXPECT_EQ(length, copy.GetLength());
        EXPECT_EQ(length == 0, copy.IsEmpty());
    }
    EXPECT_EQ(counter.Count(), counter.Frees());
}

template <typename Copy>
void ExpectEmptyAfterFailedAllocation(CStr const& s)
{
    lxitest::FailAllocation(1);
    Copy const copy(s);
    EXPECT_TRUE(lxitest::FailureInjected());
    lxitest::FailAllocation(0);
    ASSERT_NE(nullptr, Data(copy));
    EXPECT_EQ(0, Data(copy)[0]);
    EXPECT_EQ(0u, copy.GetLength());
    EXPECT_TRUE(copy.IsEmpty());
}

}  // namespace

TEST(StrConvert, Utf8Encoding)
{
    struct Case { Units in; Bytes out; };
    for (Case const& c : {Case{{}, {}}, Case{{0x7F}, {0x7F}}, Case{{0x80}, {0xC2, 0x80}},
                          Case{{0x7FF}, {0xDF, 0xBF}}, Case{{0x800}, {0xE0, 0xA0, 0x80}},
                          Case{{0xFFFF}, {0xEF, 0xBF, 0xBF}}, Case{{0xFEFF}, {0xEF, 0xBB, 0xBF}},
                          Case{{0xD83D, 0xDE00}, {0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}},
                          Case{{'a', 0, 0xE9, 0xDC00}, {'a', 0, 0xC3, 0xA9, 0xED, 0xB0, 0x80}}})
        EXPECT_EQ(c.out, Encode(c.in)) << c.in.size();
}

TEST(StrConvert, Utf8DecodingTakesBytesAsTheyCome)
{
    struct Case { Bytes in; Units out; };
    for (Case const& c : {Case{{}, {}}, Case{{0xF0, 0x9F, 0x98, 0x80}, {kQ, kQ, kQ, kQ}},
                          Case{{0xC0, 0x80}, {0}}, Case{{0xE0, 0x80, 0x80}, {0}},
                          Case{{0xC1, 0xBF}, {0x7F}}, Case{{0xC2, 0x41}, {0xC1}},
                          Case{{0xE2, 0x41, 0x41}, {0x3041}}, Case{{0x80, 'a'}, {kQ, 'a'}},
                          Case{{0xC2, 0xC3, 0xA9}, {0xC3, kQ}}, Case{{0xFF, 0xFE, 0}, {kQ, kQ, 0}},
                          Case{{0xEF, 0xBB, 0xBF, 'a'}, {0xFEFF, 'a'}},
                          Case{{0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}, {0xD83D, 0xDE00}},
                          Case{{'a', 0xE2, 0x82, 0xAC, 'b'}, {'a', 0x20AC, 'b'}}})
        EXPECT_EQ(c.out, Decode(c.in.data(), static_cast<unsigned int>(c.in.size()))) << c.in.size();
}

TEST(StrConvert, Utf8DecodingReadsNothingBeyondTheCount)
{
    // A lead byte cut by the count gives one unit, whatever follows the count.
    struct Case { Bytes in; unsigned int units; };
    for (Case const& c : {Case{{0xC3}, 1}, Case{{'a', 0xC3}, 2}, Case{{0xE2}, 1},
                          Case{{0xE2, 0x82}, 1}, Case{{'a', 0xE2, 0x82}, 2}}) {
        unsigned int const count = static_cast<unsigned int>(c.in.size());
        Bytes const exact(c.in);   // an overread hits the heap guard under ASan
        Units const first = Decode(exact.data(), count);
        EXPECT_EQ(c.units, first.size());
        for (unsigned char next : {0x00, 0x80, 0xA9, 0xBF}) {
            Bytes longer(c.in);
            longer.insert(longer.end(), {next, next});
            EXPECT_EQ(first, Decode(longer.data(), count)) << count << " " << int(next);
        }
    }
}

TEST(StrConvert, Utf16RoundTripOfEveryUnit)
{
    Units all(0x10000);
    for (unsigned int u = 0; u < all.size(); ++u)
        all[u] = static_cast<unsigned short>(u);
    Bytes const utf8 = Encode(all);
    EXPECT_EQ(0x80u + 2u * 0x780u + 3u * 0xF800u, utf8.size());
    EXPECT_EQ(all, Decode(utf8.data(), static_cast<unsigned int>(utf8.size())));
}

TEST(StrConvert, ElementWiseCopies)
{
    Units const units{'A', 0x7F, 0x80, 0xE9, 0x141, 0xD83D, 0xDE00, 0};
    char ascii[8];
    CStrUtil::MemcpyAsciiFromUtf16(ascii, units.data(), 8);
    EXPECT_EQ(0, std::memcmp("A\x7F?????", ascii, 8));

    Units back(3, 0xEEEE);
    CStrUtil::MemcpyUtf16FromAscii(back.data(), "\xE9" "A", 2);
    EXPECT_EQ((Units{0xE9, 'A', 0xEEEE}), back);

    wchar_t wide[8];
    CStrUtil::MemcpyWCharFromUtf16(wide, units.data(), 8);
    for (unsigned int i = 0; i < 8; ++i)
        EXPECT_EQ(units[i], static_cast<unsigned int>(wide[i]));

    wchar_t const values[] = {L'a', 0xD83D, 0xFFFF, 0x10000, 0x10041, 0x1F600,
                              static_cast<wchar_t>(0x80000041u), 0};
    Units narrow(9, 0xEEEE);
    CStrUtil::MemcpyUtf16FromWChar(narrow.data(), values, 8);
    EXPECT_EQ((Units{'a', 0xD83D, 0xFFFF, kQ, kQ, kQ, kQ, 0, 0xEEEE}), narrow);
}

TEST(StrConvert, NullPointersAndLimits)
{
    Units const text{'a', 'b', 'c', 0};
    Units target(2, 0xEEEE);
    unsigned char const utf8[] = {'a', 'b'};
    CStrUtil::MemcpyUtf16FromAscii(target.data(), nullptr, 2);
    CStrUtil::MemcpyUtf16FromWChar(target.data(), nullptr, 2);
    CStrUtil::MemcpyUtf16FromUtf8(target.data(), nullptr, 2);
    EXPECT_EQ(Units(2, 0xEEEE), target);
    CStrUtil::MemcpyAsciiFromUtf16(nullptr, text.data(), 2);
    CStrUtil::MemcpyWCharFromUtf16(nullptr, text.data(), 2);
    CStrUtil::MemcpyUtf8FromUtf16(nullptr, text.data(), 2);
    CStrUtil::MemcpyUtf16FromUtf8(nullptr, utf8, 2);
    EXPECT_EQ(0u, CStrUtil::LengthOfUtf8FromUtf16(nullptr, 5));
    EXPECT_EQ(0u, CStrUtil::LengthOfUtf16FromUtf8(nullptr, 5));
    EXPECT_EQ(0u, CStrUtil::StrlenUtf16(nullptr));
    EXPECT_EQ(0u, CStrUtil::StrlenUtf16(nullptr, 5));

    EXPECT_EQ(3u, CStrUtil::StrlenUtf16(text.data()));
    EXPECT_EQ(3u, CStrUtil::StrlenUtf16(text.data(), 10));
    EXPECT_EQ(0u, CStrUtil::StrlenUtf16(text.data(), 0));
    Units const unterminated{'a', 'b'};   // exact heap block: no unit read at the limit
    EXPECT_EQ(2u, CStrUtil::StrlenUtf16(unterminated.data(), 2));
}

TEST(StrConvert, NarrowAndWideCopies)
{
    CStr const accented(L"a\u00e9b");
    ExpectCopy<CStrA>(accented, {'a', '?', 'b', 0}, 3);
    ExpectCopy<CStrW>(accented, {'a', 0xE9, 'b', 0}, 3);
    unsigned short const pair[] = {0xD83D, 0xDE00};
    CStr surrogates;
    surrogates.Assign(pair, 2);
    ExpectCopy<CStrW>(surrogates, {0xD83D, 0xDE00, 0}, 2);

    unsigned short const inner[] = {'a', 0, 'b'};
    CStr zeroInside;
    zeroInside.Assign(inner, 3);
    ExpectCopy<CStrA>(zeroInside, {'a', 0, 'b', 0}, 1);
    ExpectCopy<CStrW>(zeroInside, {'a', 0, 'b', 0}, 1);
    zeroInside.Assign(inner + 1, 2);
    ExpectCopy<CStrA>(zeroInside, {0, 'b', 0}, 0);
    ExpectCopy<CStrW>(zeroInside, {0, 'b', 0}, 0);

    ExpectCopy<CStrA>(CStr(), {0}, 0);
    ExpectCopy<CStrW>(CStr(20, false), {0}, 0);   // a buffer but no text
    ExpectEmptyAfterFailedAllocation<CStrA>(accented);
    ExpectEmptyAfterFailedAllocation<CStrW>(accented);
}

TEST(StrConvert, StringConstructors)
{
    EXPECT_EQ((Units{0xE9, 'A'}), UnitsOf(CStr("\xE9" "A")));
    EXPECT_EQ((Units{'x', kQ, 0xD83D}), UnitsOf(CStr(L"x\U0001F600\xD83D")));
    auto const utf8 = [](char const* p) { return reinterpret_cast<unsigned char const*>(p); };
    EXPECT_EQ((Units{'a', 0xE9, 0x20AC}), UnitsOf(CStr(utf8("a\xC3\xA9\xE2\x82\xAC"))));

    // The terminator cuts the last sequence; the byte behind it is not read.
    Units const cut = UnitsOf(CStr(utf8("a\xE2\x82\0\xAC")));
    EXPECT_EQ(2u, cut.size());
    EXPECT_EQ(cut, UnitsOf(CStr(utf8("a\xE2\x82\0\x80"))));
    EXPECT_EQ(1u, CStr(utf8("\xC3\0\xA9")).GetLength());

    lxitest::AllocCounter counter;
    EXPECT_TRUE(CStr(static_cast<wchar_t const*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CStr(static_cast<unsigned char const*>(nullptr)).IsEmpty());
    EXPECT_EQ(0u, counter.Count());
}
