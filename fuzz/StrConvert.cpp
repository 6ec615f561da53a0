// Any bytes through every conversion, each against the plain rules (tests/StrCheck.h): UTF-8 into units, units into
// UTF-8 and back, 8-bit and wide text, each length function giving exactly what its converter writes. Sources, targets
// and copies are blocks of exactly their size, so AddressSanitizer sees any access beyond them.
#include <cstdint>
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
    std::vector<unsigned short> units(count), wantFromWide(count / 2);
    std::vector<wchar_t> values(count / 2);   // the same bytes as 32-bit values
    std::string wantNarrow;
    for (unsigned int i = 0; i < count; ++i) {
        units[i] = static_cast<unsigned short>(pData[2 * i] | pData[2 * i + 1] << 8);
        wantNarrow += units[i] < 0x80u ? static_cast<char>(units[i]) : '?';
        if (i % 2 == 1) {
            values[i / 2] = static_cast<wchar_t>(units[i - 1] | static_cast<unsigned int>(units[i]) << 16);
            wantFromWide[i / 2] = units[i] == 0 ? units[i - 1] : u'?';
        }
    }
    Units const source(units.begin(), units.end()), decoded = lxitest::FromUtf8(utf8.data(), bytes);

    std::vector<unsigned short> out16(CStrUtil::LengthOfUtf16FromUtf8(utf8.data(), bytes));
    CStrUtil::MemcpyUtf16FromUtf8(out16.data(), utf8.data(), bytes);
    CStr text;
    text.Assign(utf8.data(), bytes);
    LXIFUZZ_CHECK(Units(out16.begin(), out16.end()) == decoded && lxitest::Text(text) == decoded, "%s", "UTF-8 decoding");
    // Units to UTF-8 and back: the bytes in pairs, and each byte as a unit (ASCII below 0x80, 2-byte, then 3-byte ones).
    Units text16;
    for (std::size_t i = 0; i < size; ++i)
        text16 += static_cast<char16_t>(pData[i] < 0x80 ? pData[i] : pData[i] < 0xC0 ? 0x80 + (pData[i] - 0x80) * 29 : 0x800 + (pData[i] - 0xC0) * 1000);
    for (Units const& from : {source, text16}) {
        std::vector<unsigned short> const in(from.begin(), from.end());
        auto const n16 = static_cast<unsigned int>(in.size());
        std::vector<unsigned char> out8(CStrUtil::LengthOfUtf8FromUtf16(in.data(), n16));
        CStrUtil::MemcpyUtf8FromUtf16(out8.data(), in.data(), n16);
        auto const n8 = static_cast<unsigned int>(out8.size());
        std::vector<unsigned short> back(CStrUtil::LengthOfUtf16FromUtf8(out8.data(), n8));
        CStrUtil::MemcpyUtf16FromUtf8(back.data(), out8.data(), n8);
        LXIFUZZ_CHECK(std::string(out8.begin(), out8.end()) == lxitest::ToUtf8(from) && back == in, "%s", "UTF-8 encoding");
    }

    std::vector<char> narrow(count);
    std::vector<wchar_t> wide(count);
    std::vector<unsigned short> fromNarrow(bytes), fromWide(values.size());
    CStrUtil::MemcpyAsciiFromUtf16(narrow.data(), units.data(), count);
    CStrUtil::MemcpyWCharFromUtf16(wide.data(), units.data(), count);
    CStrUtil::MemcpyUtf16FromAscii(fromNarrow.data(), reinterpret_cast<char const*>(utf8.data()), bytes);
    CStrUtil::MemcpyUtf16FromWChar(fromWide.data(), values.data(), static_cast<unsigned int>(values.size()));
    LXIFUZZ_CHECK(std::string(narrow.begin(), narrow.end()) == wantNarrow && std::equal(units.begin(), units.end(), wide.begin()),
                  "%s", "8-bit or wide copy of units");
    LXIFUZZ_CHECK(std::equal(utf8.begin(), utf8.end(), fromNarrow.begin()) && fromWide == wantFromWide, "%s",
                  "units from 8-bit or wide text");

    // The owning copies: exactly the units and the terminator, counted up to the first 0.
    text.Assign(units.data(), count);
    CStrA const copyA(text);
    CStrW const copyW(text);
    std::size_t const nul = lxitest::UpToNul(source).size();
    long const n = count;
    LXIFUZZ_CHECK(copyA.GetLength() == nul && copyW.GetLength() == nul && wantNarrow.compare(0, nul, copyA.GetDataA()) == 0 &&
                      std::equal(wide.begin(), wide.begin() + nul, copyW.GetDataW()) && copyW.GetDataW()[nul] == 0,
                  "%s", "CStrA or CStrW");
    LXIFUZZ_CHECK(lxitest::BlockUnits(copyA.GetDataA()) == (n + 1) / 2 - 1 &&
                      lxitest::BlockUnits(copyW.GetDataW()) == (n == 0 ? -1 : 2 * n + 1), "%s", "copies in blocks of another size");
    return 0;
}
