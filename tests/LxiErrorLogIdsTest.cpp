#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>

#include "LxiErrorLogIds.h"

namespace
{
const unsigned int kIds = 155;

const wchar_t* Text(unsigned int id)
{
    return CLxiErrorLogIds::GetFormatString(static_cast<enumLxiErrorLogId>(id));
}

// The conversions of a text in order, e.g. "%ls%d"; "?" marks one not in use.
std::wstring Conversions(const wchar_t* pText)
{
    std::wstring result;
    for (const wchar_t* p = pText; (p = std::wcschr(p, L'%')) != nullptr;)
    {
        const wchar_t* const known[] = {L"%ls", L"%.8X", L"%d", L"%s"};
        const wchar_t* pMatch = L"?";
        for (const wchar_t* pKnown : known)
            if (std::wcsncmp(p, pKnown, std::wcslen(pKnown)) == 0)
                pMatch = pKnown;
        result += pMatch;
        p += (pMatch[0] == L'?') ? 1 : std::wcslen(pMatch);
    }
    return result;
}
}   // namespace

TEST(LxiErrorLogIds, HoldsOneTextPerId)
{
    static_assert(LXI_ERR_START_BACKGROUND_PROCESS_FAILED == kIds - 1, "last id");
    static_assert(LXI_ERR_SET_CURRENT_DIRECTORY_FAILED == 110, "logged by the runtime");
    EXPECT_EQ(kIds, std::size(CLxiErrorLogIds::wFormatStrings));
    for (unsigned int id = 0; id < kIds; ++id)
    {
        ASSERT_NE(nullptr, Text(id)) << id;
        EXPECT_EQ(CLxiErrorLogIds::wFormatStrings[id], Text(id)) << id;
    }
}

// Guards every text and its position: 64-bit FNV-1a over the characters of all
// texts in id order, each text followed by a NUL (for ASCII texts this equals
// FNV-1a over their bytes).
TEST(LxiErrorLogIds, TextsMatchTheCatalogueDigest)
{
    std::uint64_t digest = 0xCBF29CE484222325u;
    for (unsigned int id = 0; id < kIds; ++id)
        for (const wchar_t* p = Text(id);; ++p)
        {
            digest = (digest ^ static_cast<std::uint32_t>(*p)) * 0x100000001B3u;
            if (*p == L'\0')
                break;
        }
    EXPECT_EQ(0x45E38D373223133Bu, digest);
    EXPECT_STREQ(L"SetCurrentDirectory: failed!", Text(LXI_ERR_SET_CURRENT_DIRECTORY_FAILED));
}

TEST(LxiErrorLogIds, SharesExactlyTheFourPairs)
{
    std::map<const wchar_t*, unsigned int> firstId;
    for (unsigned int id = 0; id < kIds; ++id)
    {
        const auto inserted = firstId.emplace(Text(id), id);
        const bool sharedPair = id == 3 || id == 5 || id == 90 || id == 145;
        EXPECT_EQ(sharedPair, !inserted.second) << id;
        if (!inserted.second)
        {
            EXPECT_EQ(id - 1, inserted.first->second) << id;
        }
    }
}

TEST(LxiErrorLogIds, TextsAreAsciiWithKnownConversions)
{
    for (unsigned int id = 0; id < kIds; ++id)
    {
        for (const wchar_t* p = Text(id); *p != L'\0'; ++p)
            EXPECT_TRUE(*p >= L' ' && *p < 0x7F) << id;
        const std::wstring conversions = Conversions(Text(id));
        EXPECT_EQ(std::wstring::npos, conversions.find(L'?')) << id;
        const bool narrow = id == 8 || id == 10 || id == 109;
        const bool hex = id == 99 || id == 103;
        EXPECT_EQ(narrow, conversions.find(L"%s") != std::wstring::npos) << id;
        EXPECT_EQ(hex, conversions.find(L"%.8X") != std::wstring::npos) << id;
    }
}

TEST(LxiErrorLogIds, FormatsWithThePlatformPrintf)
{
    wchar_t line[128];
    ASSERT_LT(0, std::swprintf(line, std::size(line), Text(99), 255u));
    EXPECT_STREQ(L"Error when reading from socket. Connection 0x000000FF will be closed.", line);
}

TEST(LxiErrorLogIds, IdBeyondTheTableYieldsAnEmptyText)
{
    for (unsigned int id : {kIds, 1000u, 0xFFFFFFFFu})
    {
        ASSERT_NE(nullptr, Text(id));
        EXPECT_STREQ(L"", Text(id)) << id;
    }
}
