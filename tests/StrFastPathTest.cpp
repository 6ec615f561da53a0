// The word-at-a-time paths of the conversions and of the search against
// plain walks written out from their rules: same results for every input,
// nothing read at or beyond a count (inputs sit at the very end of their
// heap blocks, where AddressSanitizer sees any overread).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "Str.h"
#include "StrUtil.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Units = std::vector<unsigned short>;

// UTF-8 to UTF-16, one lead byte at a time; missing bytes count as 0.
Units PlainDecode(Bytes const& in)
{
    Units out;
    for (std::size_t pos = 0; pos < in.size();) {
        unsigned int const b = in[pos];
        auto const next = [&](std::size_t k) { return pos + k < in.size() ? in[pos + k] & 0x7Fu : 0u; };
        std::size_t const step = (b & 0xE0u) == 0xC0u ? 2 : (b & 0xF0u) == 0xE0u ? 3 : 1;
        out.push_back(static_cast<unsigned short>(
            b < 0x80u ? b : step == 2 ? ((b & 0x1Fu) << 6) | next(1)
                          : step == 3 ? ((b & 0x0Fu) << 12) | (next(1) << 6) | next(2) : '?'));
        pos += step;
    }
    return out;
}

Bytes PlainEncode(Units const& in)
{
    Bytes out;
    for (unsigned int u : in) {
        if (u < 0x80u) {
            out.push_back(static_cast<unsigned char>(u));
        } else if (u < 0x800u) {
            out.insert(out.end(), {static_cast<unsigned char>(0xC0u | (u >> 6)),
                                   static_cast<unsigned char>(0x80u | (u & 0x3Fu))});
        } else {
            out.insert(out.end(), {static_cast<unsigned char>(0xE0u | (u >> 12)),
                                   static_cast<unsigned char>(0x80u | ((u >> 6) & 0x3Fu)),
                                   static_cast<unsigned char>(0x80u | (u & 0x3Fu))});
        }
    }
    return out;
}

// Both directions through the library, each input and output in a block of
// exactly its size.
void ExpectConversions(Bytes const& source8, Units const& source16)
{
    Bytes const utf8(source8);   // copies hold exactly their elements
    Units const utf16(source16);
    auto const count8 = static_cast<unsigned int>(utf8.size());
    auto const count16 = static_cast<unsigned int>(utf16.size());
    Units const expected16 = PlainDecode(utf8);
    ASSERT_EQ(expected16.size(), CStrUtil::LengthOfUtf16FromUtf8(utf8.data(), count8));
    Units decoded(expected16.size());
    CStrUtil::MemcpyUtf16FromUtf8(decoded.data(), utf8.data(), count8);
    ASSERT_EQ(expected16, decoded);

    Bytes const expected8 = PlainEncode(utf16);
    ASSERT_EQ(expected8.size(), CStrUtil::LengthOfUtf8FromUtf16(utf16.data(), count16));
    Bytes encoded(expected8.size());
    CStrUtil::MemcpyUtf8FromUtf16(encoded.data(), utf16.data(), count16);
    ASSERT_EQ(expected8, encoded);
}

// The rolling-checksum search itself, for any checksum and length.
unsigned int PlainFind(Units const& text, unsigned int start, Units const& pattern,
                       unsigned int checksum, unsigned int length)
{
    unsigned int h = 0;
    for (unsigned int i = 0; text[start + i] != 0; ++i) {
        h = h * 2u + text[start + i];
        if (i >= length && length <= 31)
            h -= static_cast<unsigned int>(text[start + i - length]) << length;
        if (h != checksum || i + 1 < length || length == 0)
            continue;
        unsigned int k = 0;
        while (pattern[k] != 0 && pattern[k] == text[start + i + 1 - length + k])
            ++k;
        if (pattern[k] == 0)
            return start + i + 1 - length;
    }
    return CStr::NOT_FOUND;
}

unsigned int Checksum(Units const& pattern)
{
    unsigned int h = 0;
    for (std::size_t k = 0; pattern[k] != 0; ++k)
        h = h * 2u + pattern[k];
    return h;
}

TEST(StrFastPath, ConversionsOfEveryShortSequence)
{
    // Bytes of every class, units of every width: all sequences of up to 4.
    unsigned char const aByte[] = {0x00, 0x41, 0x7F, 0x80, 0xBF, 0xC3, 0xDF, 0xE3, 0xEF, 0xF0, 0xFF};
    unsigned short const aUnit[] = {0x0000, 0x0041, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD83D, 0xFFFF};
    for (unsigned int length = 0; length <= 4; ++length) {
        unsigned int combinations = 1;
        for (unsigned int k = 0; k < length; ++k)
            combinations *= sizeof aByte;
        for (unsigned int c = 0; c < combinations; ++c) {
            Bytes utf8;
            Units utf16;
            for (unsigned int k = 0, rest = c; k < length; ++k, rest /= sizeof aByte) {
                utf8.push_back(aByte[rest % sizeof aByte]);
                utf16.push_back(aUnit[rest % (sizeof aUnit / sizeof aUnit[0])]);
            }
            ExpectConversions(utf8, utf16);
        }
    }
}

TEST(StrFastPath, ConversionsOfRandomRuns)
{
    // Runs of ASCII, 2-byte and 3-byte text with stray bytes, of every length
    // and offset around the word size, cut at every point.
    std::mt19937 random(7);
    for (int round = 0; round < 4000; ++round) {
        Units utf16;
        unsigned int const length = random() % 70;
        unsigned int const mix = random() % 4;
        for (unsigned int k = 0; k < length; ++k) {
            unsigned int const kind = random() % 8 < 5 + mix ? 0 : random() % 4;
            utf16.push_back(static_cast<unsigned short>(
                kind == 0 ? 1 + random() % 0x7F : kind == 1 ? 0x80 + random() % 0x780
                          : kind == 2 ? 0x800 + random() % 0xF800 : random() % 3 == 0 ? 0 : random()));
        }
        Bytes utf8 = PlainEncode(utf16);
        if (!utf8.empty() && round % 3 == 0)
            utf8[random() % utf8.size()] = static_cast<unsigned char>(random());
        utf8.resize(utf8.empty() ? 0 : random() % (utf8.size() + 1));
        ExpectConversions(utf8, utf16);
    }
}

TEST(StrFastPath, SearchAgreesWithTheChecksumWalk)
{
    // Few distinct units make many partial matches; 0 units end the text
    // early. Patterns up to 40 units cross the 32-unit checksum window.
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        unsigned int const alphabet = 1 + random() % 3;
        Units text(random() % 90);
        for (unsigned short& u : text)
            u = random() % 200 == 0 ? 0 : static_cast<unsigned short>('a' + random() % alphabet);
        Units pattern(1 + random() % (round % 5 == 0 ? 40 : 6));
        for (unsigned short& u : pattern)
            u = static_cast<unsigned short>('a' + random() % alphabet);
        pattern.push_back(0);
        CStr s;
        s.Assign(text.data(), static_cast<unsigned int>(text.size()));
        text.push_back(0);
        auto const length = static_cast<unsigned int>(pattern.size() - 1);
        unsigned int const checksum = Checksum(pattern);
        for (unsigned int start = 0; start < text.size(); ++start) {
            ASSERT_EQ(PlainFind(text, start, pattern, checksum, length),
                      s.FindNextWithChecksum(pattern.data(), start, checksum, length));
            // A checksum or length that does not belong to the pattern.
            unsigned int const otherLength = random() % (length + 2);
            ASSERT_EQ(PlainFind(text, start, pattern, checksum + round % 2, otherLength),
                      s.FindNextWithChecksum(pattern.data(), start, checksum + round % 2, otherLength));
        }
    }
}

TEST(StrFastPath, NextPowerAndUnitAppends)
{
    auto const doubling = [](unsigned int n) {
        unsigned int power = 1;
        while (n != 0 && power < n + 4u)
            power <<= 1;
        return n == 0 ? 0u : power;
    };
    for (unsigned int n : {0u, 1u, 4u, 5u, 12u, 13u, 1000u, 0x7FFFFFFCu})
        EXPECT_EQ(doubling(n), CStr::FindNextPower(n)) << n;
    for (unsigned int n = 0; n < 70000; ++n)
        ASSERT_EQ(doubling(n), CStr::FindNextPower(n)) << n;
    EXPECT_EQ(0x80000000u, CStr::FindNextPower(0xFFFFFFFFu));

    // One unit at a time: the capacity follows the powers, the text is exact.
    CStr text;
    text.SetTimeEfficient(true, false);
    CStr unit("x");
    for (unsigned int n = 1; n <= 3000; ++n) {
        unit.SetChar(0, static_cast<unsigned short>('a' + n % 26));
        text.Append(unit);
        ASSERT_EQ(n, text.GetLength());
        // The record needs 5 units beyond the text; without it the
        // capacity reckons as the length.
        ASSERT_EQ(doubling(n) >= n + 5 ? doubling(n) : n, text.GetBuffSize());
        ASSERT_EQ('a' + n % 26, text.GetChar(n - 1));
        ASSERT_EQ(0, text.GetData()[n]);
    }
}

}  // namespace
