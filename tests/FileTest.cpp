#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "LxiOSALRuntime.h"
#include "TestFiles.h"

namespace {

using Runtime = CLxiOSALRuntime;

class FileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_root.Root().empty()); }
    std::string Path(char const* pName) const { return m_root.Path(pName); }
    lxitest::LogRoot m_root{false};
};

TEST_F(FileTest, ByteOrderMarks)
{
    // Writing modes write "Z" after the open and expect the file; reading
    // modes expect what the first read yields.
    struct Case { bool utf8; char const* mode; char const* before; std::string expected; };
    std::string const u16 = "\xFF\xFE", u8 = "\xEF\xBB\xBF";
    Case const cases[] = {
        {false, "wb", "old text", u16 + "Z"},
        {false, "ab+", nullptr, u16 + "Z"},
        {false, "ab+", "\xFF\xFE" "A", u16 + "AZ"},
        {false, "ab+", "xy", "xyZ"},
        {false, "rb", "\xFF\xFE" "AB", "AB"},
        {false, "rb", "\xFE\xFF" "AB", "\xFE\xFF" "AB"},
        {false, "rb", "\xFF", "\xFF"},
        {false, "rb", "", ""},
        {false, "w", "old", "Z"},
        {false, "a", "", "Z"},
        {false, "r+b", "\xFF\xFE" "A", "\xFF\xFE" "A"},
        {false, "rb+", "\xFF\xFE" "A", "\xFF\xFE" "A"},
        {true, "wb", "old", u8 + "Z"},
        {true, "ab+", nullptr, u8 + "Z"},
        {true, "ab+", "\xEF\xBB\xBF" "A", u8 + "AZ"},
        {true, "ab+", "x", "xZ"},
        {true, "rb", "\xEF\xBB\xBF" "AB", "AB"},
        {true, "rb", "\xEF\xBB\x41", "\xEF\xBB\x41"},
        {true, "rb", "\xEF\xBB", "\xEF\xBB"},
        {true, "a", "", "Z"},
    };
    std::string const path = Path("f.txt");
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.utf8 << " " << c.mode << " " << (c.before ? c.before : "-"));
        std::filesystem::remove(path);
        if (c.before != nullptr)
            lxitest::WriteFile(path, c.before);
        std::string const mode = c.mode;   // equal text, another pointer
        std::FILE* pFile = c.utf8 ? Runtime::FileOpenUtf8(CStr(path.c_str()), mode.c_str())
                                  : Runtime::FileOpenUtf16(CStr(path.c_str()), mode.c_str());
        ASSERT_NE(nullptr, pFile);
        char aBuffer[8];
        unsigned int const n = mode[0] == 'r' ? Runtime::FileRead(aBuffer, 1, sizeof(aBuffer), pFile)
                                              : Runtime::FileWrite("Z", 1, 1, pFile);
        EXPECT_EQ(0, Runtime::FileClose(pFile));
        EXPECT_EQ(c.expected, mode[0] == 'r' ? std::string(aBuffer, n) : lxitest::ReadFile(path));
    }
}

TEST_F(FileTest, Remove)
{
    lxitest::WriteFile(Path("f"), "x");
    EXPECT_EQ(0, Runtime::FileRemove(Path("f").c_str()));
    EXPECT_FALSE(std::filesystem::exists(Path("f")));
    EXPECT_EQ(0, Runtime::FileRemove(CStr(Path("f").c_str())));   // no such file
    // A failure other than a missing file: a directory that is not empty.
    std::filesystem::create_directory(Path("d"));
    lxitest::WriteFile(Path("d/f"), "x");
    errno = 0;
    EXPECT_EQ(-1, Runtime::FileRemove(CStr(Path("d").c_str())));
    EXPECT_EQ(ENOTEMPTY, errno);
}

TEST_F(FileTest, WriteTexts)
{
    std::FILE* pFile = Runtime::FileOpen(Path("t").c_str(), Runtime::s_writeMode);
    ASSERT_NE(nullptr, pFile);
    std::wstring const big(70000, L'\u20ac');
    EXPECT_TRUE(Runtime::FileWrite(CStr(), pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr(big.c_str()), pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr(""), CStr("ab"), pFile));   // an empty first text
    EXPECT_TRUE(Runtime::FileWrite(CStr("c"), CStr("d"), pFile));
    EXPECT_EQ(0, Runtime::FileClose(pFile));
    std::string expected;
    for (std::size_t i = 0; i < big.size(); ++i)
        expected += "\xAC\x20";
    EXPECT_EQ(expected + std::string("a\0b\0c\0d\0", 8), lxitest::ReadFile(Path("t")));

    // A full device: a write that must flush fails, a buffered one only later.
    pFile = Runtime::FileOpen(CStr("/dev/full"), Runtime::s_writeMode);
    ASSERT_NE(nullptr, pFile);
    EXPECT_EQ(0, Runtime::FileFlush(pFile));   // nothing buffered yet
    EXPECT_FALSE(Runtime::FileWrite(CStr(big.c_str()), pFile));
    EXPECT_FALSE(Runtime::FileWrite(CStr(big.c_str()), CStr("y"), pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr("z"), pFile));
    EXPECT_EQ(-1, Runtime::FileFlush(pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr("z"), pFile));
    EXPECT_EQ(-1, Runtime::FileClose(pFile));
}

}  // namespace
