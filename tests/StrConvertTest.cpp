// Conversions through the string classes and null sources; StrFastPathTest.cpp
// checks the UTF-8 functions, and the fuzz targets them on any input.
#include <gtest/gtest.h>

#include <vector>

#include "AllocHook.h"
#include "Str.h"
#include "StrA.h"
#include "StrUtil.h"
#include "StrW.h"

namespace {

using Units = std::vector<unsigned short>;
constexpr unsigned short kQ = '?';

Units UnitsOf(CStr const& s)
{
    return s.GetData() != nullptr ? Units(s.GetData(), s.GetData() + s.GetLength()) : Units();
}

// The copy holds the units (terminator included), counts up to the first 0,
// and takes one block, none for an empty text.
template <typename Copy, typename Char>
void ExpectCopy(CStr const& s, Char const* (Copy::*data)() const, std::vector<int> const& expected,
                unsigned int length)
{
    lxitest::AllocCounter counter;
    Copy const copy(s);
    EXPECT_EQ(s.IsEmpty() ? 0u : 1u, counter.Count());
    std::vector<int> got;
    for (unsigned int i = 0; i <= s.GetLength(); ++i)
        got.push_back(static_cast<int>(static_cast<unsigned int>((copy.*data)()[i]) & 0xFFFFu));
    EXPECT_EQ(expected, got);
    EXPECT_EQ(length, copy.GetLength());
}

}  // namespace

TEST(StrConvert, NullPointersReadAndWriteNothing)
{
    Units const text{'a', 'b', 'c', 0};
    Units target(2, 0xEEEE);
    unsigned char const utf8[] = {'a', 'b'};
    CStrUtil::MemcpyUtf16FromAscii(target.data(), nullptr, 2);
    CStrUtil::MemcpyUtf16FromWChar(target.data(), nullptr, 2);
    CStrUtil::MemcpyUtf16FromUtf8(target.data(), nullptr, 2);
    EXPECT_EQ(Units(2, 0xEEEE), target);
    char aBytes[2] = {'x', 'x'};
    wchar_t aWide[2] = {L'x', L'x'};
    CStrUtil::MemcpyAsciiFromUtf16(aBytes, nullptr, 2);
    CStrUtil::MemcpyUtf8FromUtf16(reinterpret_cast<unsigned char*>(aBytes), nullptr, 2);
    CStrUtil::MemcpyWCharFromUtf16(aWide, nullptr, 2);
    EXPECT_TRUE(aBytes[0] == 'x' && aBytes[1] == 'x' && aWide[0] == L'x' && aWide[1] == L'x');
    CStrUtil::MemcpyAsciiFromUtf16(nullptr, text.data(), 2);
    CStrUtil::MemcpyWCharFromUtf16(nullptr, text.data(), 2);
    CStrUtil::MemcpyUtf8FromUtf16(nullptr, text.data(), 2);
    CStrUtil::MemcpyUtf16FromUtf8(nullptr, utf8, 2);
    EXPECT_EQ(0u, CStrUtil::LengthOfUtf8FromUtf16(nullptr, 5) + CStrUtil::LengthOfUtf16FromUtf8(nullptr, 5));
    EXPECT_EQ(0u, CStrUtil::StrlenUtf16(nullptr) + CStrUtil::StrlenUtf16(nullptr, 5));
    EXPECT_EQ(3u, CStrUtil::StrlenUtf16(text.data()));
    EXPECT_EQ(3u, CStrUtil::StrlenUtf16(text.data(), 10));
    Units const unterminated{'a', 'b'};   // exact heap block: no unit read at the limit
    EXPECT_EQ(2u, CStrUtil::StrlenUtf16(unterminated.data(), 2));
}

TEST(StrConvert, NarrowAndWide)
{
    // 8-bit text widens as Latin-1; wide characters beyond 16 bits become "?".
    EXPECT_EQ((Units{0xE9, 'A'}), UnitsOf(CStr("\xE9" "A")));
    wchar_t const aWide[] = {L'a', 0xD83D, 0xFFFF, 0x10000, static_cast<wchar_t>(0x80000041u), 0};
    EXPECT_EQ((Units{'a', 0xD83D, 0xFFFF, kQ, kQ}), UnitsOf(CStr(aWide)));

    unsigned short const aUnits[] = {'a', 0x7F, 0xE9, 0xD83D, 0, 'b'};
    CStr s;
    s.Assign(aUnits, 4);
    ExpectCopy(s, &CStrA::GetDataA, {'a', 0x7F, '?', '?', 0}, 4);
    ExpectCopy(s, &CStrW::GetDataW, {'a', 0x7F, 0xE9, 0xD83D, 0}, 4);
    s.Assign(aUnits + 3, 3);   // counts up to the first 0
    ExpectCopy(s, &CStrA::GetDataA, {'?', 0, 'b', 0}, 1);
    ExpectCopy(s, &CStrW::GetDataW, {0xD83D, 0, 'b', 0}, 1);
    ExpectCopy(CStr(), &CStrA::GetDataA, {0}, 0);
    ExpectCopy(CStr(20, false), &CStrW::GetDataW, {0}, 0);   // a buffer but no text
}

TEST(StrConvert, Utf8TerminatorCutsTheLastSequence)
{
    auto const utf8 = [](char const* p) { return reinterpret_cast<unsigned char const*>(p); };
    EXPECT_EQ((Units{'a', 0x2080}), UnitsOf(CStr(utf8("a\xE2\x82\0\xAC"))));   // the byte behind is not read
    EXPECT_EQ(1u, CStr(utf8("\xC3\0\xA9")).GetLength());
}
