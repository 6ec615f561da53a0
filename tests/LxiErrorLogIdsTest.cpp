#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <map>

#include "LxiErrorLogIds.h"

namespace
{
const unsigned int kIds = 155;

const wchar_t* Text(unsigned int id)
{
    return CLxiErrorLogIds::GetFormatString(static_cast<enumLxiErrorLogId>(id));
}
}   // namespace

// Guards every text and its position: 64-bit FNV-1a over the characters of all
// texts in id order, each text followed by a NUL (for ASCII texts this equals
// FNV-1a over their bytes).
TEST(LxiErrorLogIds, TextsMatchTheCatalogueDigest)
{
    static_assert(LXI_ERR_START_BACKGROUND_PROCESS_FAILED == kIds - 1, "last id");
    ASSERT_EQ(kIds, std::size(CLxiErrorLogIds::wFormatStrings));
    std::uint64_t digest = 0xCBF29CE484222325u;
    for (unsigned int id = 0; id < kIds; ++id)
    {
        ASSERT_EQ(CLxiErrorLogIds::wFormatStrings[id], Text(id)) << id;
        for (const wchar_t* p = Text(id);; ++p)
        {
            digest = (digest ^ static_cast<std::uint32_t>(*p)) * 0x100000001B3u;
            if (*p == L'\0')
                break;
        }
    }
    EXPECT_EQ(0x45E38D373223133Bu, digest);
    EXPECT_STREQ(L"SetCurrentDirectory: failed!", Text(LXI_ERR_SET_CURRENT_DIRECTORY_FAILED));
}

// Each of the four shared texts is stored once, for an id and the one before.
TEST(LxiErrorLogIds, SharesExactlyTheFourPairs)
{
    std::map<const wchar_t*, unsigned int> firstId;
    for (unsigned int id = 0; id < kIds; ++id)
    {
        const auto inserted = firstId.emplace(Text(id), id);
        const bool sharedPair = id == 3 || id == 5 || id == 90 || id == 145;
        EXPECT_EQ(sharedPair, !inserted.second) << id;
        EXPECT_TRUE(inserted.second || inserted.first->second == id - 1) << id;
    }
}

TEST(LxiErrorLogIds, IdBeyondTheTableYieldsAnEmptyText)
{
    for (unsigned int id : {kIds, 1000u, 0xFFFFFFFFu})
    {
        ASSERT_NE(nullptr, Text(id));
        EXPECT_STREQ(L"", Text(id)) << id;
    }
}
