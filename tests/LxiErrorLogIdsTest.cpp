#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "LxiErrorLogIds.h"

// Every text and its position: 64-bit FNV-1a over the characters of all texts in id order, each followed by a NUL;
// four texts are each stored once for an id and the one before; ids beyond the table give an empty text.
TEST(LxiErrorLogIds, Catalogue)
{
    unsigned int const kIds = LXI_ERR_START_BACKGROUND_PROCESS_FAILED + 1;
    std::uint64_t digest = 0xCBF29CE484222325u;
    std::map<wchar_t const*, unsigned int> firstId;
    for (unsigned int id = 0; id < kIds; ++id) {
        wchar_t const* const pText = CLxiErrorLogIds::GetFormatString(static_cast<enumLxiErrorLogId>(id));
        ASSERT_EQ(CLxiErrorLogIds::wFormatStrings[id], pText) << id;
        for (wchar_t const c : std::wstring(pText) + L'\0')
            digest = (digest ^ static_cast<std::uint32_t>(c)) * 0x100000001B3u;
        EXPECT_EQ(id == 3 || id == 5 || id == 90 || id == 145 ? id - 1 : id, firstId.emplace(pText, id).first->second);
    }
    EXPECT_EQ(0x45E38D373223133Bu, digest);
    for (unsigned int id : {kIds, 0xFFFFFFFFu})
        EXPECT_STREQ(L"", CLxiErrorLogIds::GetFormatString(static_cast<enumLxiErrorLogId>(id)));
}
