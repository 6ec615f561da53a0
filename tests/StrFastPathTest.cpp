// The word-at-a-time conversion paths against the plain rules on pinned
// inputs (the decoding is the reference model's, StrModel.h); inputs sit at
// the very end of their heap blocks, where AddressSanitizer sees any
// overread. Random inputs and the search are left to the fuzz targets.
#include <gtest/gtest.h>

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

}  // namespace
