#include <gtest/gtest.h>

#include "Str.h"

TEST(StrStorage, DefaultIsEmptyWithoutBuffer)
{
    CStr s;
    EXPECT_EQ(nullptr, s.GetData());
    EXPECT_EQ(0u, s.GetLength());
    EXPECT_EQ(0u, s.GetBuffSize());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_FALSE(s.IsTimeEfficient());
}
