// Bad input at the system boundary: each gets a clear result, and nothing
// that was there before is lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "ErrorHandler.h"
#include "LxiOSALRuntime.h"
#include "StrA.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;
using Runtime = CLxiOSALRuntime;

// Runs check where permission bits hold: directly for an ordinary user; for
// root, which ignores them, in a child that has become "nobody". Returns
// check's report ("" when all was well), or "skip" when no such child can
// be had.
std::string Unprivileged(std::function<std::string()> const& check)
{
    if (geteuid() != 0)
        return check();
    int aPipe[2];
    if (pipe(aPipe) != 0)
        return "no pipe";
    std::fflush(nullptr);
    pid_t const child = fork();
    if (child == 0) {
        close(aPipe[0]);
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(77);
        std::string const report = check();
        ssize_t const written = write(aPipe[1], report.data(), report.size());
        _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    close(aPipe[1]);
    std::string report;
    char aBuffer[256];
    for (ssize_t n; (n = read(aPipe[0], aBuffer, sizeof(aBuffer))) > 0;)
        report.append(aBuffer, static_cast<std::size_t>(n));
    close(aPipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        return "skip";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? report : "child failed: " + report;
}

// Runs in a fresh <root>/run, open to every user, so the log is
// <root>/Data/ErrorLog.log.
class BadInput : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_dir.empty()); }
    std::string Path(std::string const& name) const { return m_root.Path(name); }
    lxitest::LogRoot m_root{false};
    std::string const& m_dir = m_root.Root();
};

// Every open form on a path that cannot be opened: null, errno from the
// system, the notice with the whole path, and nothing made or changed.
TEST_F(BadInput, OpensThatCannotSucceed)
{
    lxitest::WriteFile(Path("file"), "kept");
    fs::create_directory(Path("dir"));
    std::string longPath = m_dir;   // components of 200 units, 4,100 units in all
    while (longPath.size() < 4100)
        longPath += "/" + std::string(200, 'p');
    longPath.resize(4100);
    struct Case { std::string path; std::vector<char const*> modes; int error; };
    Case const cases[] = {
        {Path("100%d %ls/f.txt"), {"rb", "wb", "ab+", "rb+"}, ENOENT},   // "%" verbatim in the notice
        {Path("file/f.txt"), {"rb", "wb", "ab+"}, ENOTDIR},   // a file where a directory should be
        {Path("dir"), {"wb", "ab+", "rb+"}, EISDIR},
        {longPath, {"rb", "wb", "ab+"}, ENAMETOOLONG},
        {std::string(40000, 'q'), {"rb"}, ENAMETOOLONG},      // too long even to format the notice
        {"", {"rb", "wb"}, ENOENT},
    };
    for (Case const& c : cases) {
        for (char const* pMode : c.modes) {
            SCOPED_TRACE(c.path.substr(0, 60) + " " + pMode);
            CStr const path(c.path.c_str());
            errno = 0;
            EXPECT_EQ(nullptr, Runtime::FileOpen(c.path.c_str(), pMode));
            EXPECT_EQ(c.error, errno);
            errno = 0;
            EXPECT_EQ(nullptr, Runtime::FileOpen(path, pMode));
            EXPECT_EQ(c.error, errno);
            std::FILE* pFile = nullptr;
            EXPECT_EQ(lxitest::OpenNotice("FileOpenUtf16", c.path),
                      lxitest::CaptureStderr([&] { pFile = Runtime::FileOpenUtf16(path, pMode); }));
            EXPECT_EQ(nullptr, pFile);
            EXPECT_EQ(lxitest::OpenNotice("FileOpenUtf8", c.path),
                      lxitest::CaptureStderr([&] { pFile = Runtime::FileOpenUtf8(path, pMode); }));
            EXPECT_EQ(nullptr, pFile);
        }
    }
    EXPECT_FALSE(fs::exists(Path("100%d %ls")));
    EXPECT_EQ("kept", lxitest::ReadFile(Path("file")));
    EXPECT_TRUE(fs::is_empty(Path("dir")));
    // A directory opened for reading gives a stream that reads nothing.
    std::FILE* pFile = Runtime::FileOpenUtf16(CStr(Path("dir").c_str()), Runtime::s_readMode);
    ASSERT_NE(nullptr, pFile);
    char aByte;
    EXPECT_EQ(0u, Runtime::FileRead(&aByte, 1, 1, pFile));
    EXPECT_NE(0, std::ferror(pFile));
    EXPECT_EQ(0, Runtime::FileClose(pFile));
}

TEST_F(BadInput, UnreadableAndUnwritableFiles)
{
    lxitest::WriteFile(Path("secret"), "\xFF\xFEsecret");
    fs::permissions(Path("secret"), fs::perms::none);
    std::string const report = Unprivileged([&] {
        std::string out;
        for (char const* pMode : {"rb", "ab+", "wb"}) {
            errno = 0;
            std::FILE* pFile = Runtime::FileOpen(CStr(Path("secret").c_str()), pMode);
            if (pFile != nullptr || errno != EACCES)
                out += std::string(pMode) + " opened or errno " + std::to_string(errno) + "; ";
            if (pFile != nullptr)
                Runtime::FileClose(pFile);
            std::string const err = lxitest::CaptureStderr(
                [&] { pFile = Runtime::FileOpenUtf16(CStr(Path("secret").c_str()), pMode); });
            if (pFile != nullptr || err != lxitest::OpenNotice("FileOpenUtf16", Path("secret")))
                out += std::string(pMode) + " notice " + err + "; ";
        }
        return out;
    });
    if (report == "skip")
        GTEST_SKIP() << "running as root and cannot become nobody: permission bits do not apply";
    EXPECT_EQ("", report);
    fs::permissions(Path("secret"), fs::perms::owner_read);
    EXPECT_EQ("\xFF\xFEsecret", lxitest::ReadFile(Path("secret")));
}

// Non-ASCII units reach the system as "?" (the 8-bit copy): the path names
// another file, consistently for every operation.
TEST_F(BadInput, NonAsciiPaths)
{
    struct Case { wchar_t const* name; char const* system; };
    Case const cases[] = {
        {L"caf\u00e9.txt", "caf?.txt"},
        {L"\u4e2d\u6587.txt", "??.txt"},
        {L"\U0001F600.txt", "?.txt"},   // beyond U+FFFF: one "?" already in the string
    };
    for (Case const& c : cases) {
        std::wstring const wide = std::wstring(m_dir.begin(), m_dir.end()) + L"/" + c.name;
        CStr const path(wide.c_str());
        std::string const system = Path(c.system);
        SCOPED_TRACE(system);
        std::FILE* pFile = Runtime::FileOpenUtf16(path, Runtime::s_writeMode);
        ASSERT_NE(nullptr, pFile);
        EXPECT_TRUE(Runtime::FileWrite(path, pFile));
        EXPECT_EQ(0, Runtime::FileClose(pFile));
        EXPECT_TRUE(fs::exists(system));
        pFile = Runtime::FileOpenUtf16(path, Runtime::s_readMode);
        ASSERT_NE(nullptr, pFile);
        std::vector<unsigned short> units(path.GetLength() + 1);
        EXPECT_EQ(path.GetLength(), Runtime::FileRead(units.data(), 2, path.GetLength() + 1, pFile));
        EXPECT_EQ(0, Runtime::FileClose(pFile));
        EXPECT_TRUE(CStr(units.data(), path.GetLength(), false, false).Equals(path));
        EXPECT_EQ(0, Runtime::FileRemove(path));
        EXPECT_FALSE(fs::exists(system));
    }
}

TEST_F(BadInput, LoadingTruncatedSharedObjects)
{
    // The module, and the library itself, each with the name of an exported
    // function: its first copy lies in the dynamic string table, early in
    // the first loadable segment, so every cut below leaves the later
    // segments beyond the end of the file. (A copy with its segments whole
    // would load, and a second copy of the library would run its static
    // constructors over the first one's strings.)
    Dl_info info{};
    ASSERT_NE(0, dladdr(reinterpret_cast<void*>(&CStr::FindNextPower), &info));
    struct Case { std::string original; std::string name; };
    Case const cases[] = {{LXITEST_MODULE_TRUE, "GetILxiModuleCtrlIfc"},
                          {info.dli_fname, "_ZN4CStr13FindNextPowerEj"}};
    for (Case const& c : cases) {
        std::string const bytes = lxitest::ReadFile(c.original);
        std::size_t const at = bytes.find(c.name);
        ASSERT_NE(std::string::npos, at) << c.original;
        for (std::size_t size : {std::size_t{0}, std::size_t{16}, std::size_t{64}, at / 2, at + c.name.size()}) {
            std::string const path =
                Path("cut-" + std::to_string(size) + "-" + fs::path(c.original).filename().string());
            SCOPED_TRACE(path);
            lxitest::WriteFile(path, bytes.substr(0, size));
            int sentinel = 0;
            auto* pInterface = reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel);
            EXPECT_FALSE(Runtime::LoadDynLibrary(CStr(path.c_str()), pInterface));
            EXPECT_EQ(reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel), pInterface);
        }
    }
    // A bare name that no search finds; an empty path, which dlopen would
    // take for the program itself.
    for (std::string const& name : {std::string("liblxitest-nowhere.so"), std::string()}) {
        ILxiModuleCtrlIfc* pInterface = nullptr;
        EXPECT_FALSE(Runtime::LoadDynLibrary(CStr(name.c_str()), pInterface)) << name;
        EXPECT_EQ(nullptr, pInterface);
    }
}

// Logs a line of `units` units; returns what reached standard error, with
// the 19-character stamp and its blank cut out after the first `at` chars.
std::string Log(std::size_t units, std::size_t at = 0)
{
    std::string const message(units, 'm');
    std::string const err =
        lxitest::CaptureStderr([&] { CErrorHandler::LogMsg(CStr(message.c_str()), false); });
    return err.size() >= at + 20 && err[at + 19] == ' ' ? err.substr(0, at) + err.substr(at + 20) : err;
}

std::string const kLogNotice = lxitest::OpenNotice("FileOpenUtf16", "../Data/ErrorLog.log");

// A log that cannot be written: the whole line reaches standard error, and
// what is in the way stays as it was.
TEST_F(BadInput, UnwritableLog)
{
    struct Case { char const* name; std::function<void()> set; std::size_t units; bool notice; };
    Case const cases[] = {
        {"Data is a file", [&] { lxitest::WriteFile(Path("Data"), "not a directory"); }, 40, true},
        {"log is a directory", [&] { fs::create_directories(Path("Data/ErrorLog.log")); }, 40, true},
        {"log links nowhere",
         [&] { fs::create_directory(Path("Data")); fs::create_symlink(Path("nowhere/log"), Path("Data/ErrorLog.log")); },
         40, true},
        // The close cannot flush the line; a line beyond the stream's buffer
        // comes up short in the write itself.
        {"full device", [&] { fs::create_directory(Path("Data")); fs::create_symlink("/dev/full", Path("Data/ErrorLog.log")); },
         40, false},
        {"full device, long line", [] {}, 50000, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        std::string const notice = c.notice ? kLogNotice : "";
        EXPECT_EQ(notice + std::string(c.units, 'm') + "\n", Log(c.units, notice.size()));
        if (fs::is_regular_file(Path("Data"))) {
            EXPECT_EQ("not a directory", lxitest::ReadFile(Path("Data")));
        }
        if (c.notice)
            fs::remove_all(Path("Data"));
    }
    EXPECT_FALSE(fs::exists(Path("nowhere")));
}

TEST_F(BadInput, NullFileText)
{
    fs::create_directory(Path("Data"));
    EXPECT_EQ("", lxitest::CaptureStderr(
                      [] { CErrorHandler::LogMsg(nullptr, 3, false, LXI_ERR_SET_CURRENT_DIRECTORY_FAILED); }));
    std::string const text = m_root.Log();
    EXPECT_EQ(" SetCurrentDirectory: failed! in line 3, file: \n", text.substr(std::min<std::size_t>(19, text.size())));
}

TEST_F(BadInput, ReadOnlyData)
{
    fs::create_directory(Path("Data"));
    auto const readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                          fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(Path("Data"), readOnly);
    std::string const report = Unprivileged([&] {
        // No log yet, and none can be made.
        std::string const err = Log(40, kLogNotice.size());
        std::string out = err == kLogNotice + std::string(40, 'm') + "\n" ? "" : "stderr: " + err;
        if (fs::exists(Path("Data/ErrorLog.log")))
            out += " log made";
        return out;
    });
    if (report == "skip")
        GTEST_SKIP() << "running as root and cannot become nobody: permission bits do not apply";
    EXPECT_EQ("", report);

    // A log that exists and may be written is still appended to.
    fs::permissions(Path("Data"), fs::perms::all);
    lxitest::WriteFile(Path("Data/ErrorLog.log"), "\xFF\xFE");
    fs::permissions(Path("Data/ErrorLog.log"), fs::perms::all);
    fs::permissions(Path("Data"), readOnly);
    EXPECT_EQ("", Unprivileged([&] {
        std::string const err = Log(3);
        return err.empty() && lxitest::ReadFile(Path("Data/ErrorLog.log")).size() == 2 + 2 * (20 + 4)
                   ? std::string()
                   : "not appended: " + err;
    }));
}

}  // namespace
