// StrlenUtf16, ConvertToBoolean and ConvertToInteger on any text, the integer
// against a plain reading of what it promises: the 8-bit copy up to its first
// 0 read as scanf "%i" does, refused beyond the range of int.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "StrCheck.h"
#include "StrUtil.h"

namespace {

bool ReadInteger(lxitest::Units const& text, int& value)
{
    std::string s;
    for (char16_t unit : lxitest::UpToNul(text))
        s += unit < 0x80 ? static_cast<char>(unit) : '?';
    s += '\0';   // ends every walk below
    std::size_t i = s.find_first_not_of(" \t\n\v\f\r");
    bool const negative = s[i] == '-';
    i += s[i] == '-' || s[i] == '+' ? 1 : 0;
    auto const digit = [&](std::size_t at) {
        char const c = s[at];
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    };
    int const base = s[i] != '0' ? 10 : (s[i + 1] == 'x' || s[i + 1] == 'X') && digit(i + 2) < 16 ? 16 : 8;
    i += base == 16 ? 2 : 0;
    unsigned long long magnitude = 0;
    std::size_t const first = i;
    for (; digit(i) < base; ++i)
        magnitude = std::min(magnitude * base + digit(i), 1ull << 32);   // saturates beyond any int
    if (i == first || magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return false;
    value = static_cast<int>(negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size)
{
    // One unit per byte, so digits, signs and blanks are common; 0xFF takes
    // the next two bytes as any unit.
    lxitest::Units units;
    for (std::size_t i = 0; i < size; ++i) {
        bool const wide = pData[i] == 0xFF && i + 2 < size;
        units += wide ? static_cast<char16_t>(pData[i + 1] << 8 | pData[i + 2]) : static_cast<char16_t>(pData[i]);
        i += wide ? 2 : 0;
    }
    auto const count = static_cast<unsigned int>(units.size());
    std::size_t const nul = lxitest::UpToNul(units).size();
    std::vector<unsigned short> const block(units.c_str(), units.c_str() + count + 1), limited(units.begin(), units.begin() + count / 2);
    LXIFUZZ_CHECK(CStrUtil::StrlenUtf16(block.data()) == nul, "%s", "StrlenUtf16");
    LXIFUZZ_CHECK(CStrUtil::StrlenUtf16(limited.data(), count / 2) == std::min<std::size_t>(nul, count / 2), "%s",
                  "StrlenUtf16 with a limit reads beyond it or stops wrong");

    CStr text;
    text.Assign(block.data(), count);
    static char const* const apTrue[] = {"true", "TRUE", "True", "ON", "On", "on", "YES", "Yes", "yes"};
    bool isTrue = false;
    for (char const* pWord : apTrue)
        isTrue = isTrue || units == lxitest::Units(pWord, pWord + std::strlen(pWord));
    LXIFUZZ_CHECK(CStrUtil::ConvertToBoolean(text) == isTrue, "%s", "ConvertToBoolean");

    int value = 12345, expected = 12345;
    bool const read = CStrUtil::ConvertToInteger(text, value), expectedRead = ReadInteger(units, expected);
    LXIFUZZ_CHECK(read == expectedRead && value == expected, "ConvertToInteger %d (%d), expected %d (%d)", value, read,
                  expected, expectedRead);
    return 0;
}
