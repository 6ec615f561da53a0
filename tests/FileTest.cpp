#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

#include "LxiOSALRuntime.h"

namespace lxitest {

// Shared with the error handler tests.
std::string ReadFile(std::string const& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Everything written to descriptor 2 while fn runs.
std::string CaptureStderr(std::function<void()> const& fn)
{
    std::fflush(stderr);
    std::FILE* pFile = std::tmpfile();
    int const saved = dup(2);
    dup2(fileno(pFile), 2);
    fn();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string out;
    std::rewind(pFile);
    for (int c; (c = std::fgetc(pFile)) != EOF;)
        out += static_cast<char>(c);
    std::fclose(pFile);
    return out;
}

// A fresh directory under /tmp; "" on failure. The caller removes it.
std::string MakeTempDir()
{
    char aTemplate[] = "/tmp/lxibase-XXXXXX";
    return mkdtemp(aTemplate) != nullptr ? aTemplate : "";
}

}  // namespace lxitest

namespace {

using Runtime = CLxiOSALRuntime;

class FileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_dir.empty()); }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string Path(char const* pName) const { return m_dir + "/" + pName; }
    static void Put(std::string const& path, std::string const& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string m_dir = lxitest::MakeTempDir();
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
            Put(path, c.before);
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

TEST_F(FileTest, FailedOpenIsReportedOnStderr)
{
    std::string const path = Path("100%d %ls/missing.txt");   // no such directory
    for (bool utf8 : {false, true}) {
        std::FILE* pFile = reinterpret_cast<std::FILE*>(1);
        std::string const out = lxitest::CaptureStderr([&] {
            pFile = utf8 ? Runtime::FileOpenUtf8(CStr(path.c_str()), Runtime::s_readMode)
                         : Runtime::FileOpenUtf16(CStr(path.c_str()), Runtime::s_appendUpdateMode);
        });
        EXPECT_EQ(nullptr, pFile);
        EXPECT_EQ(std::string(utf8 ? "FileOpenUtf8" : "FileOpenUtf16") + ": the file " + path +
                      " failed to open!\n",
                  out);
    }
}

TEST_F(FileTest, Remove)
{
    Put(Path("f"), "x");
    EXPECT_EQ(0, Runtime::FileRemove(Path("f").c_str()));
    EXPECT_FALSE(std::filesystem::exists(Path("f")));
    EXPECT_EQ(0, Runtime::FileRemove(CStr(Path("f").c_str())));   // no such file
    // A failure other than a missing file: a directory that is not empty.
    std::filesystem::create_directory(Path("d"));
    Put(Path("d/f"), "x");
    errno = 0;
    EXPECT_EQ(-1, Runtime::FileRemove(CStr(Path("d").c_str())));
    EXPECT_EQ(ENOTEMPTY, errno);
    if (geteuid() != 0) {   // root ignores the permission bits
        std::filesystem::permissions(Path("d"), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
        EXPECT_EQ(-1, Runtime::FileRemove(Path("d/f").c_str()));
        std::filesystem::permissions(Path("d"), std::filesystem::perms::owner_all);
    }
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
