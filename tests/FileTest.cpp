#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "LxiOSALRuntime.h"
#include "TestUtil.h"

namespace {

using Runtime = CLxiOSALRuntime;
namespace fs = std::filesystem;

class FileTest : public ::testing::Test
{
protected:
    std::string Path(char const* pName) const { return m_root.Path(pName); }
    lxitest::LogRoot m_root{false};
};

}  // namespace

TEST_F(FileTest, ByteOrderMarks)
{
    // Writing modes write "Z" after the open and expect the file; reading
    // modes expect what the first read yields.
    struct Case { bool utf8; char const* mode; char const* before; std::string expected; };
    std::string const u16 = "\xFF\xFE", u8 = "\xEF\xBB\xBF";
    Case const cases[] = {
        {false, "wb", "old text", u16 + "Z"},         {false, "ab+", nullptr, u16 + "Z"},
        {false, "ab+", "\xFF\xFE" "A", u16 + "AZ"},   {false, "ab+", "xy", "xyZ"},
        {false, "rb", "\xFF\xFE" "AB", "AB"},         {false, "rb", "\xFE\xFF" "AB", "\xFE\xFF" "AB"},
        {false, "rb", "\xFF", "\xFF"},                {false, "w", "old", "Z"},
        {false, "r+b", "\xFF\xFE" "A", "\xFF\xFE" "A"}, {true, "wb", "old", u8 + "Z"},
        {true, "ab+", nullptr, u8 + "Z"},             {true, "ab+", "x", "xZ"},
        {true, "rb", "\xEF\xBB\xBF" "AB", "AB"},      {true, "rb", "\xEF\xBB\x41", "\xEF\xBB\x41"},
        {true, "rb", "", ""},                         {true, "a", "", "Z"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.utf8 << " " << c.mode << " " << (c.before ? c.before : "-"));
        fs::remove(Path("f"));
        if (c.before != nullptr)
            lxitest::WriteFile(Path("f"), c.before);
        std::string const mode = c.mode;   // equal text, another pointer
        CStr const path(Path("f").c_str());
        std::FILE* pFile = c.utf8 ? Runtime::FileOpenUtf8(path, mode.c_str()) : Runtime::FileOpenUtf16(path, mode.c_str());
        ASSERT_NE(nullptr, pFile);
        char aBuffer[8];
        unsigned int const n = mode[0] == 'r' ? Runtime::FileRead(aBuffer, 1, sizeof(aBuffer), pFile)
                                              : Runtime::FileWrite("Z", 1, 1, pFile);
        EXPECT_EQ(0, Runtime::FileClose(pFile));
        EXPECT_EQ(c.expected, mode[0] == 'r' ? std::string(aBuffer, n) : lxitest::ReadFile(Path("f")));
    }
}

TEST_F(FileTest, WriteAndRemove)
{
    std::FILE* pFile = Runtime::FileOpen(Path("t").c_str(), Runtime::s_writeMode);
    ASSERT_NE(nullptr, pFile);
    std::wstring const big(70000, L'\u20ac');
    EXPECT_TRUE(Runtime::FileWrite(CStr(), pFile) && Runtime::FileWrite(CStr(big.c_str()), pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr(""), CStr("ab"), pFile) && Runtime::FileWrite(CStr("c"), CStr("d"), pFile));
    EXPECT_EQ(0, Runtime::FileClose(pFile));
    std::string expected;
    for (std::size_t i = 0; i < big.size(); ++i)
        expected += "\xAC\x20";
    EXPECT_EQ(expected + std::string("a\0b\0c\0d\0", 8), lxitest::ReadFile(Path("t")));

    // A full device: a write that must flush fails, a buffered one only later.
    pFile = Runtime::FileOpen(CStr("/dev/full"), Runtime::s_writeMode);
    ASSERT_NE(nullptr, pFile);
    EXPECT_EQ(0, Runtime::FileFlush(pFile));
    EXPECT_FALSE(Runtime::FileWrite(CStr(big.c_str()), pFile) || Runtime::FileWrite(CStr(big.c_str()), CStr("y"), pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr("z"), pFile));
    EXPECT_EQ(-1, Runtime::FileFlush(pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr("z"), pFile));
    EXPECT_EQ(-1, Runtime::FileClose(pFile));

    EXPECT_EQ(0, Runtime::FileRemove(CStr(Path("t").c_str())));
    EXPECT_FALSE(fs::exists(Path("t")));
    EXPECT_EQ(0, Runtime::FileRemove(Path("t").c_str()));   // no such file
    lxitest::WriteFile(Path("d"), "");
    fs::create_directory(Path("e"));
    lxitest::WriteFile(Path("e/f"), "x");
    errno = 0;
    EXPECT_EQ(-1, Runtime::FileRemove(CStr(Path("e").c_str())));   // not empty
    EXPECT_EQ(ENOTEMPTY, errno);
}

// Every open form on a path that cannot be opened: null, errno from the
// system, the notice with the whole path, and nothing made or changed.
TEST_F(FileTest, OpensThatCannotSucceed)
{
    lxitest::WriteFile(Path("file"), "kept");
    fs::create_directory(Path("dir"));
    struct Case { std::string path; char const* mode; int error; };
    Case const cases[] = {
        {Path("100%d %ls/f"), "wb", ENOENT}, {Path("file/f"), "ab+", ENOTDIR}, {Path("dir"), "wb", EISDIR},
        {Path("dir"), "ab+", EISDIR},         {std::string(40000, 'q'), "rb", ENAMETOOLONG}, {"", "rb", ENOENT},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 60) + " " + c.mode);
        CStr const path(c.path.c_str());
        errno = 0;
        EXPECT_EQ(nullptr, Runtime::FileOpen(path, c.mode));
        EXPECT_EQ(c.error, errno);
        for (bool utf8 : {false, true}) {
            std::FILE* pFile = nullptr;
            std::string const notice = lxitest::CaptureStderr(
                [&] { pFile = utf8 ? Runtime::FileOpenUtf8(path, c.mode) : Runtime::FileOpenUtf16(path, c.mode); });
            EXPECT_EQ(std::string(utf8 ? "FileOpenUtf8" : "FileOpenUtf16") + ": the file " + c.path + " failed to open!\n",
                      notice);
            EXPECT_EQ(nullptr, pFile);
        }
    }
    EXPECT_FALSE(fs::exists(Path("100%d %ls")));
    EXPECT_EQ("kept", lxitest::ReadFile(Path("file")));
    EXPECT_TRUE(fs::is_empty(Path("dir")));
}

// Units beyond ASCII reach the system as "?", the same for every operation.
TEST_F(FileTest, PathsBeyondAscii)
{
    std::string const dir = Path("");
    std::wstring const wide = std::wstring(dir.begin(), dir.end()) + L"caf\u00e9\U0001F600.txt";
    CStr const path(wide.c_str());
    std::FILE* pFile = Runtime::FileOpenUtf16(path, Runtime::s_writeMode);
    ASSERT_NE(nullptr, pFile);
    EXPECT_EQ(0, Runtime::FileClose(pFile));
    EXPECT_EQ("\xFF\xFE", lxitest::ReadFile(Path("caf??.txt")));
    EXPECT_EQ(0, Runtime::FileRemove(path));
    EXPECT_FALSE(fs::exists(Path("caf??.txt")));
}
