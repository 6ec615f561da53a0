// Any bytes through every conversion, each against the plain rules
// (tests/StrCheck.h): as UTF-8 into units, and as units into UTF-8 (and back),
// 8-bit and wide text, each length function giving exactly what its converter
// writes. Sources and targets are blocks of exactly their size, so any read or
// write beyond them is seen by AddressSanitizer.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "StrA.h"
#include "StrCheck.h"
#include "StrUtil.h"
#include "StrW.h"
#include "TestUtil.h"

using lxitest::Units;

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size)
{
    auto const bytes = static_cast<unsigned int>(size), count = bytes / 2;
    std::vector<unsigned char> const utf8(pData, pData + size);
    std::vector<unsigned short> units(count);
    for (unsigned int i = 0; i < count; ++i)
        units[i] = static_cast<unsigned short>(pData[2 * i] | pData[2 * i + 1] << 8);

    Units const decoded = lxitest::FromUtf8(utf8.data(), bytes);
    unsigned int const length16 = CStrUtil::LengthOfUtf16FromUtf8(utf8.data(), bytes);
    std::vector<char16_t> out16(length16);
    CStrUtil::MemcpyUtf16FromUtf8(reinterpret_cast<unsigned short*>(out16.data()), utf8.data(), bytes);
    LXIFUZZ_CHECK(Units(out16.begin(), out16.end()) == decoded, "UTF-8 decoded to %u units, want %zu", length16,
                  decoded.size());
    CStr text;
    text.Assign(utf8.data(), bytes);
    LXIFUZZ_CHECK(lxitest::Text(text) == decoded, "%s", "Assign(UTF-8) differs from the decoder");

    Units const source(units.begin(), units.end());
    std::string const encoded = lxitest::ToUtf8(source);
    unsigned int const length8 = CStrUtil::LengthOfUtf8FromUtf16(units.data(), count);
    std::vector<unsigned char> out8(length8);
    CStrUtil::MemcpyUtf8FromUtf16(out8.data(), units.data(), count);
    LXIFUZZ_CHECK(std::string(out8.begin(), out8.end()) == encoded, "UTF-8 of %u units: %u bytes, want %zu", count,
                  length8, encoded.size());
    LXIFUZZ_CHECK(lxitest::FromUtf8(out8.data(), length8) == source, "%s", "the round trip changed the units");

    // 8-bit and wide copies, element by element, and the owning copies up to
    // their first 0.
    std::vector<char> narrow(count);
    std::vector<wchar_t> wide(count);
    std::vector<unsigned short> fromNarrow(bytes), fromWide(count / 2);
    CStrUtil::MemcpyAsciiFromUtf16(narrow.data(), units.data(), count);
    CStrUtil::MemcpyWCharFromUtf16(wide.data(), units.data(), count);
    CStrUtil::MemcpyUtf16FromAscii(fromNarrow.data(), reinterpret_cast<char const*>(utf8.data()), bytes);
    std::vector<wchar_t> values(count / 2);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<wchar_t>(units[2 * i] | static_cast<unsigned int>(units[2 * i + 1]) << 16);
    CStrUtil::MemcpyUtf16FromWChar(fromWide.data(), values.data(), static_cast<unsigned int>(values.size()));
    for (unsigned int i = 0; i < count; ++i) {
        LXIFUZZ_CHECK(narrow[i] == (units[i] < 0x80u ? static_cast<char>(units[i]) : '?'), "8-bit unit %u", i);
        LXIFUZZ_CHECK(static_cast<unsigned int>(wide[i]) == units[i], "wide unit %u", i);
    }
    for (unsigned int i = 0; i < bytes; ++i)
        LXIFUZZ_CHECK(fromNarrow[i] == utf8[i], "byte %u", i);
    for (std::size_t i = 0; i < values.size(); ++i)
        LXIFUZZ_CHECK(fromWide[i] == (units[2 * i + 1] == 0 ? units[2 * i] : '?'), "wide value %zu", i);
    text.Assign(units.data(), count);
    CStrA const copyA(text);
    CStrW const copyW(text);
    std::size_t const nul = lxitest::UpToNul(source).size();
    LXIFUZZ_CHECK(copyA.GetLength() == nul && copyW.GetLength() == nul, "%s", "copies counted past the first 0");
    long const blockA = lxitest::BlockUnits(copyA.GetDataA()), blockW = lxitest::BlockUnits(copyW.GetDataW());
    long const n = count;   // units copied, and their terminator
    LXIFUZZ_CHECK(blockA == (n + 1) / 2 - 1 && blockW == (n == 0 ? -1 : 2 * n + 1), "%s",
                  "copies not in blocks of exactly their size");
    LXIFUZZ_CHECK(std::equal(narrow.begin(), narrow.begin() + nul, copyA.GetDataA()) && copyA.GetDataA()[nul] == 0,
                  "%s", "CStrA");
    LXIFUZZ_CHECK(std::equal(wide.begin(), wide.begin() + nul, copyW.GetDataW()) && copyW.GetDataW()[nul] == 0, "%s",
                  "CStrW");
    return 0;
}
