// StrlenUtf16, ConvertToBoolean and ConvertToInteger on arbitrary text, the
// integer against a plain reading of what it promises: the 8-bit copy up to
// its first 0 read as scanf "%i" does, refused beyond the range of int.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "Str.h"
#include "StrUtil.h"

namespace {

bool ReadInteger(std::u16string const& text, int& value)
{
    std::string s;
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i)
        s += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    s += '\0';   // ends every walk below
    std::size_t i = 0;
    while (s[i] != 0 && std::strchr(" \t\n\v\f\r", s[i]) != nullptr)
        ++i;
    bool const negative = s[i] == '-';
    if (s[i] == '-' || s[i] == '+')
        ++i;
    unsigned int base = 10;
    if (s[i] == '0') {
        base = 8;
        if ((s[i + 1] == 'x' || s[i + 1] == 'X') && std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            base = 16;
            i += 2;
        }
    }
    unsigned long long magnitude = 0;
    std::size_t digits = 0;
    for (;; ++i, ++digits) {
        char const c = s[i];
        unsigned int const digit = c >= '0' && c <= '9' ? c - '0'
                                   : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                   : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
        if (digit >= base)
            break;
        magnitude = std::min(magnitude * base + digit, 1ull << 32);   // saturates beyond any int
    }
    if (digits == 0 || magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return false;
    value = static_cast<int>(negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size)
{
    // One unit per byte, so digits, signs and blanks are common; 0xFF takes
    // the next two bytes as any unit.
    std::u16string units;
    for (std::size_t i = 0; i < size; ++i) {
        bool const wide = pData[i] == 0xFF && i + 2 < size;
        units += wide ? static_cast<char16_t>(pData[i + 1] << 8 | pData[i + 2]) : static_cast<char16_t>(pData[i]);
        i += wide ? 2 : 0;
    }
    unsigned int const count = static_cast<unsigned int>(units.size());
    std::size_t const nul = std::min(units.find(u'\0'), units.size());

    // Limited: a block of exactly count units, no terminator to stop at.
    std::unique_ptr<unsigned short[]> const block(new unsigned short[count + 1]);
    std::memcpy(block.get(), units.c_str(), (count + 1) * 2u);
    unsigned int const limit = count / 2;
    std::unique_ptr<unsigned short[]> const limited(new unsigned short[limit]);
    std::memcpy(limited.get(), units.data(), limit * 2u);
    LXIFUZZ_CHECK(CStrUtil::StrlenUtf16(block.get()) == nul, "%s", "StrlenUtf16");
    LXIFUZZ_CHECK(CStrUtil::StrlenUtf16(block.get(), count) == nul, "%s", "StrlenUtf16 to the count");
    LXIFUZZ_CHECK(CStrUtil::StrlenUtf16(limited.get(), limit) == std::min<std::size_t>(nul, limit), "%s",
                  "StrlenUtf16 below the count");

    CStr text;
    text.Assign(block.get(), count);
    static char const* const apTrue[] = {"true", "TRUE", "True", "ON", "On", "on", "YES", "Yes", "yes"};
    bool isTrue = false;
    for (char const* pWord : apTrue)
        isTrue = isTrue || units == std::u16string(pWord, pWord + std::strlen(pWord));
    LXIFUZZ_CHECK(CStrUtil::ConvertToBoolean(text) == isTrue, "%s", "ConvertToBoolean");

    int value = 12345, expected = 12345;
    bool const read = CStrUtil::ConvertToInteger(text, value);
    bool const expectedRead = ReadInteger(units, expected);
    LXIFUZZ_CHECK(read == expectedRead && value == expected, "ConvertToInteger %d (%d), expected %d (%d)", value, read,
                  expected, expectedRead);
    return 0;
}
