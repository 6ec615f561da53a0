#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

#include "Str.h"
#include "StrUtil.h"

TEST(StrUtilHelpers, WhiteSpaceSets)
{
    for (unsigned int u = 0; u <= 0xFFFFu; ++u) {
        bool const expected = u == 0x20u || (u >= 0x09u && u <= 0x0Du);
        ASSERT_EQ(expected, CStrUtil::IsWhiteSpace(static_cast<unsigned short>(u), nullptr)) << u;
    }
    // An own set replaces the default; elements beyond 16 bits never match their low half.
    wchar_t const aSet[] = {L',', static_cast<wchar_t>(0x1003B), static_cast<wchar_t>(-1), 0};
    EXPECT_TRUE(CStrUtil::IsWhiteSpace(u',', aSet));
    for (unsigned short u : {u' ', u';', u'\0', u'\xFFFF'})
        EXPECT_FALSE(CStrUtil::IsWhiteSpace(u, aSet)) << u;
}

TEST(StrUtilHelpers, Scans)
{
    unsigned short const aLead[] = {' ', '\t', 'a', 'b', ' '};
    unsigned short const aTrail[] = {'a', 'b', ' ', ' ', 'c'};
    unsigned short const aBlank[] = {' ', ' ', '\r'};
    wchar_t const aB[] = {L'b', 0};
    struct Case { unsigned short const* pText; unsigned int count; wchar_t const* pSet; bool wanted;
                  bool forward; int expected; };   // expected index, -1 for null
    Case const aCases[] = {
        {aLead, 4, nullptr, false, true, 2},   {aLead, 4, nullptr, true, false, 1},
        {aTrail, 4, nullptr, false, false, 1}, {aBlank, 3, nullptr, false, true, -1},
        {aBlank, 3, nullptr, false, false, -1}, {aTrail, 5, aB, true, true, 1},
        {aLead, 0, nullptr, false, false, -1}, {nullptr, 4, nullptr, true, false, -1},
    };
    for (Case const& c : aCases) {
        unsigned short const* p = c.forward ? CStrUtil::ScanWhiteSpaceForward(c.pText, c.count, c.pSet, c.wanted)
                                            : CStrUtil::ScanWhiteSpaceReverse(c.pText, c.count, c.pSet, c.wanted);
        EXPECT_EQ(c.expected < 0 ? nullptr : c.pText + c.expected, p) << (&c - aCases);
    }
}

// fuzz/StrHelpers.cpp checks both readings on any text against plain ones.
TEST(StrUtilHelpers, BooleansAndIntegers)
{
    for (char const* p : {"true", "TRUE", "True", "ON", "on", "YES", "Yes"})
        EXPECT_TRUE(CStrUtil::ConvertToBoolean(CStr(p))) << p;
    for (char const* p : {"tRUE", "oN", "1", " true", "true ", "false", "", "tru"})
        EXPECT_FALSE(CStrUtil::ConvertToBoolean(CStr(p))) << p;
    EXPECT_EQ(&CStrUtil::s_sTrue, &CStrUtil::ConvertBoolean(true));
    EXPECT_EQ(&CStrUtil::s_sFalse, &CStrUtil::ConvertBoolean(false));
    EXPECT_TRUE(CStrUtil::ConvertBoolean(false).Equals(CStr("false")));
    EXPECT_TRUE(CStrUtil::ConvertToBoolean(CStrUtil::ConvertBoolean(true)));

    struct Case { CStr text; bool read; int value; };
    Case const aCases[] = {
        {" -17", true, -17}, {"+5", true, 5}, {"0x1F", true, 31}, {"010", true, 8}, {"12abc", true, 12},
        {"08", true, 0}, {"2147483647", true, INT_MAX}, {"-0x80000000", true, INT_MIN},
        // Out of range for int: refused rather than wrapped.
        {"2147483648", false, 0}, {"-2147483649", false, 0}, {"0xFFFFFFFF", false, 0},
        {"99999999999999999999999", false, 0}, {"abc", false, 0}, {"", false, 0}, {"- 5", false, 0},
        {L"\u0661", false, 0},   // Arabic-Indic one reads as "?"
    };
    for (Case const& c : aCases) {
        int value = -12345;
        errno = EDOM;   // the caller's errno survives
        EXPECT_EQ(c.read, CStrUtil::ConvertToInteger(c.text, value)) << (&c - aCases);
        EXPECT_EQ(c.read ? c.value : -12345, value) << (&c - aCases);
        EXPECT_EQ(EDOM, errno);
    }
}
