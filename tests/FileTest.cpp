#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "LxiOSALRuntime.h"
#include "TestUtil.h"

using Runtime = CLxiOSALRuntime;
namespace fs = std::filesystem;

// Writes "Z" and expects the file, or expects what the first read yields; non-ASCII units reach the system as "?".
TEST(FileTest, ByteOrderMarksAndFailedOpens)
{
    lxitest::LogRoot root(false);
    std::string const dir = root.Path(""), file = root.Path("caf??"), u16 = "\xFF\xFE", u8 = "\xEF\xBB\xBF";
    CStr const path((std::wstring(dir.begin(), dir.end()) + L"caf\u00e9\U0001F600").c_str());
    struct Case { bool utf8; std::string mode; char const* before; std::string expected; };   // mode: not the literal
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
        c.before != nullptr ? lxitest::WriteFile(file, c.before) : static_cast<void>(fs::remove(file));
        std::FILE* pFile = (c.utf8 ? &Runtime::FileOpenUtf8 : &Runtime::FileOpenUtf16)(path, c.mode.c_str());
        ASSERT_NE(nullptr, pFile);
        std::string read(8, '\0');
        read.resize(c.mode[0] == 'r' ? Runtime::FileRead(&read[0], 1, 8, pFile) : Runtime::FileWrite("Z", 1, 1, pFile));
        Runtime::FileClose(pFile);
        EXPECT_EQ(c.expected, c.mode[0] == 'r' ? read : lxitest::ReadFile(file));
    }

    // Every open form on a path that cannot be opened: null, errno from the system and the notice with the whole path.
    lxitest::WriteFile(root.Path("file"), "kept");
    fs::create_directory(root.Path("dir"));
    struct Failure { std::string path; char const* mode; int error; };
    Failure const failures[] = {
        {root.Path("100%d %ls/f"), "wb", ENOENT}, {root.Path("file/f"), "ab+", ENOTDIR},
        {root.Path("dir"), "wb", EISDIR}, {root.Path("dir"), "ab+", EISDIR},
        {std::string(40000, 'q'), "rb", ENAMETOOLONG}, {"", "rb", ENOENT},
    };
    for (Failure const& c : failures) {
        SCOPED_TRACE(c.path.substr(0, 60) + " " + c.mode);
        CStr const sPath(c.path.c_str());
        errno = 0;
        EXPECT_TRUE(Runtime::FileOpen(sPath, c.mode) == nullptr && errno == c.error) << errno;
        for (auto const open : {&Runtime::FileOpenUtf8, &Runtime::FileOpenUtf16})
            EXPECT_EQ((open == &Runtime::FileOpenUtf8 ? "FileOpenUtf8: the file " : "FileOpenUtf16: the file ") + c.path +
                      " failed to open!\n", lxitest::CaptureStderr([&] { EXPECT_EQ(nullptr, open(sPath, c.mode)); }));
    }
}

TEST(FileTest, WriteAndRemove)
{
    lxitest::LogRoot root(false);
    std::string const file = root.Path("t");
    std::FILE* pFile = Runtime::FileOpen(file.c_str(), Runtime::s_writeMode);
    ASSERT_NE(nullptr, pFile);
    CStr const big(std::wstring(70000, L'\u2020').c_str());   // each unit two bytes ' '
    EXPECT_TRUE(Runtime::FileWrite(CStr(), pFile) && Runtime::FileWrite(big, pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr(""), CStr("ab"), pFile) && Runtime::FileWrite(CStr("c"), CStr("d"), pFile));
    EXPECT_EQ(0, Runtime::FileClose(pFile));
    EXPECT_EQ(std::string(140000, ' ') + std::string("a\0b\0c\0d\0", 8), lxitest::ReadFile(file));

    // A full device: a write that must flush fails, a buffered one only later.
    ASSERT_NE(nullptr, pFile = Runtime::FileOpen(CStr("/dev/full"), Runtime::s_writeMode));
    EXPECT_TRUE(Runtime::FileFlush(pFile) == 0 && !Runtime::FileWrite(big, pFile) &&
                !Runtime::FileWrite(big, CStr("y"), pFile));
    EXPECT_TRUE(Runtime::FileWrite(CStr("z"), pFile) && Runtime::FileFlush(pFile) == -1 &&
                Runtime::FileWrite(CStr("z"), pFile) && Runtime::FileClose(pFile) == -1);

    std::string const fifo = root.Path("fifo");   // fstat knows its size (0), though it cannot seek: marked
    int const reader = mkfifo(fifo.c_str(), 0600) == 0 ? open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    ASSERT_NE(nullptr, pFile = Runtime::FileOpenUtf16(CStr(fifo.c_str()), "ab+"));
    char aMark[4] = {};
    EXPECT_TRUE(Runtime::FileClose(pFile) == 0 && read(reader, aMark, 4) == 2 && aMark == std::string("\xFF\xFE"));
    close(reader);

    EXPECT_TRUE(Runtime::FileRemove(CStr(file.c_str())) == 0 && !fs::exists(file));
    EXPECT_EQ(0, Runtime::FileRemove(file.c_str()));   // no such file
    fs::create_directories(root.Path("e/f"));
    EXPECT_TRUE(Runtime::FileRemove(CStr(root.Path("e").c_str())) == -1 && errno == ENOTEMPTY) << errno;
}
