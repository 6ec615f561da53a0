// The word-at-a-time paths of the conversions and of the search against
// plain walks written out from their rules (the decoding is the reference
// model's, StrModel.h): same results for every input, nothing read at or
// beyond a count (inputs sit at the very end of their heap blocks, where
// AddressSanitizer sees any overread).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Str.h"
#include "StrModel.h"
#include "StrUtil.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Units = std::vector<unsigned short>;

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
    std::u16string const decoding = lxitest::CStrModel::FromUtf8(utf8.data(), count8);
    Units const expected16(decoding.begin(), decoding.end());
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

TEST(StrFastPath, PinnedConversions)
{
    // Each unit alone: 1, 2 or 3 bytes, surrogates too.
    Units all(0x10000);
    for (unsigned int u = 0; u < all.size(); ++u)
        all[u] = static_cast<unsigned short>(u);
    EXPECT_EQ(0x80u + 2u * 0x780u + 3u * 0xF800u, PlainEncode(all).size());
    ExpectConversions(PlainEncode(all), all);
    EXPECT_EQ((Bytes{'a', 0, 0xC3, 0xA9, 0xEF, 0xBB, 0xBF, 0xED, 0xB0, 0x80}),
              PlainEncode({'a', 0, 0xE9, 0xFEFF, 0xDC00}));

    // Bytes are taken as they come: 4-byte leads and strays give "?", no
    // overlong or continuation check, a missing byte counts as 0.
    struct Case { Bytes in; Units out; };
    for (Case const& c : {Case{{0xF0, 0x9F, 0x98, 0x80}, {'?', '?', '?', '?'}}, Case{{0xC0, 0x80}, {0}},
                          Case{{0xC2, 0x41}, {0xC1}}, Case{{0xE2, 0x41, 0x41}, {0x3041}},
                          Case{{0xC2, 0xC3, 0xA9}, {0xC3, '?'}}, Case{{'a', 0xE2, 0x82}, {'a', 0x2080}}}) {
        auto const count = static_cast<unsigned int>(c.in.size());
        std::u16string const decoding = lxitest::CStrModel::FromUtf8(c.in.data(), count);
        EXPECT_EQ(c.out, Units(decoding.begin(), decoding.end()));
        ExpectConversions(c.in, {});
    }
}

TEST(StrFastPath, Conversions)
{
    // Bytes of every class, units of every width: all sequences of up to 4.
    unsigned char const aByte[] = {0x00, 0x41, 0x7F, 0x80, 0xBF, 0xC3, 0xDF, 0xE3, 0xEF, 0xF0, 0xFF};
    unsigned short const aUnit[] = {0x0000, 0x0041, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD83D, 0xFFFF};
    for (unsigned int c = 0; c < 1 + 11 + 11 * 11 + 11 * 11 * 11 + 11 * 11 * 11 * 11; ++c) {
        Bytes utf8;
        Units utf16;
        for (unsigned int rest = c; rest != 0; rest /= 11) {   // bijective base 11
            --rest;
            utf8.push_back(aByte[rest % 11]);
            utf16.push_back(aUnit[rest % 8]);
        }
        ExpectConversions(utf8, utf16);
    }

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

}  // namespace
