#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "LxiOSALRuntime.h"
#include "StrA.h"
#include "TestFiles.h"

namespace {

using Runtime = CLxiOSALRuntime;

// While set, readlink of "/proc/<pid>/exe" yields this target, cut to the
// caller's buffer like the real call; "" makes it fail.
char const* g_pFakeExe = nullptr;

std::string Text(CStr const& text)
{
    return CStrA(text).GetDataA();
}

std::string RealPath(std::string const& path)
{
    char* pReal = realpath(path.c_str(), nullptr);
    std::string const real = pReal != nullptr ? pReal : "";
    std::free(pReal);
    return real;
}

// The object a test module hands out, found through the already loaded
// module; null when the module is not loaded.
ILxiModuleCtrlIfc* ModuleObject(char const* pPath)
{
    void* pHandle = dlopen(pPath, RTLD_NOW | RTLD_NOLOAD);
    if (pHandle == nullptr)
        return nullptr;
    void* pObject = dlsym(pHandle, "g_lxitestModuleObject");
    dlclose(pHandle);   // drops only the reference taken here
    return static_cast<ILxiModuleCtrlIfc*>(pObject);
}

}  // namespace

// The dynamic linker binds the library's readlink to this definition;
// unarmed it passes every call on.
extern "C" ssize_t readlink(char const* pPath, char* pBuffer, size_t size) noexcept
{
    if (g_pFakeExe != nullptr && pPath == "/proc/" + std::to_string(getpid()) + "/exe") {
        size_t const length = std::strlen(g_pFakeExe);
        if (length == 0) {
            errno = ENOENT;
            return -1;
        }
        std::memcpy(pBuffer, g_pFakeExe, std::min(length, size));
        return static_cast<ssize_t>(std::min(length, size));
    }
    using Readlink = ssize_t (*)(char const*, char*, size_t);
    static auto const pNext = reinterpret_cast<Readlink>(dlsym(RTLD_NEXT, "readlink"));
    return pNext(pPath, pBuffer, size);
}

TEST(ModuleLoad, EntryResultAndInterfacePointer)
{
    std::string const textFile = testing::TempDir() + "lxitest-" + std::to_string(getpid()) + ".txt";
    lxitest::WriteFile(textFile, "not a shared object\n");
    struct Case { std::string path; bool result; bool stored; bool loaded; };
    Case const cases[] = {
        {LXITEST_MODULE_TRUE, true, true, true},
        {LXITEST_MODULE_FALSE, false, true, true},   // what the entry stored stays
        {LXITEST_MODULE_NONE, false, false, true},   // no entry symbol, stays loaded
        {"/nonexistent/liblxitest.so", false, false, false},
        {textFile, false, false, false},
    };
    int sentinel = 0;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.path);
        auto* pInterface = reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel);
        EXPECT_EQ(c.result, Runtime::LoadDynLibrary(CStr(c.path.c_str()), pInterface));
        ILxiModuleCtrlIfc* const pObject = ModuleObject(c.path.c_str());
        EXPECT_EQ(c.loaded, pObject != nullptr);
        EXPECT_EQ(c.stored ? pObject : reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel), pInterface);
    }
    std::remove(textFile.c_str());
}

TEST(ModuleProcess, StartExecutable)
{
    struct Case { wchar_t const* program; wchar_t const* arguments; bool result; };
    Case const cases[] = {
        {L"true", L"", true},
        {L"false", L"", false},
        {L"exit", L"3", false},
        {L"/nonexistent/lxitest-program", L"", false},   // the shell's 127
        {L"", L"true", true},    // the whole command in the arguments: " true"
        {L"", L" \t", false},    // a blank line: nothing to start
        // Longer than the inline 31 units: runs whole, or the quote breaks.
        {L"test", L"\"$(echo abcdefghijklmnopqrstuvwxyz)\" = abcdefghijklmnopqrstuvwxyz", true},
        {L"test", L"\"$(echo abcdefghijklmnopqrstuvwxyz)\" = abcdefghijklmnopqrstuvwxy", false},
        {L"test", L"'\u00e9' = '?'", true},   // reaches the shell as its 8-bit copy
    };
    for (Case const& c : cases) {
        for (wchar_t const* pThird : {L"", L"ignored", L"false"}) {
            SCOPED_TRACE(testing::Message() << c.program << " " << c.arguments << " / " << pThird);
            EXPECT_EQ(c.result, Runtime::StartExecutable(CStr(c.program), CStr(c.arguments),
                                                         CStr(pThird)));
        }
    }
}

TEST(ModuleProcess, ApplicationPathIsTheBinaryDirectory)
{
    CStr path("unchanged");
    Runtime::GetApplicationPath(path);
    EXPECT_EQ(RealPath(LXITEST_BINARY_DIR), Text(path));

    char* pSaved = getcwd(nullptr, 0);
    ASSERT_NE(nullptr, pSaved);
    ASSERT_EQ(0, chdir("/"));
    Runtime::SetWorkingDirectory();
    char* pNow = getcwd(nullptr, 0);
    EXPECT_STREQ(Text(path).c_str(), pNow);
    EXPECT_EQ(0, chdir(pSaved));
    std::free(pNow);
    std::free(pSaved);
}

TEST(ModuleProcess, ApplicationPathOfAnyTarget)
{
    struct Case { std::string target; char const* held; std::string directory; };
    std::vector<Case> cases = {
        {"/opt/inst/bin/server", "", "/opt/inst/bin"},
        {"/server", "/x/y", ""},
        {"", "/keep/me/server", "/keep/me"},   // unreadable link: the held text is cut
        {"", "no-separator", ""},
    };
    // Around the first buffer's 260 bytes, and far beyond.
    for (size_t length : {258u, 259u, 260u, 261u, 262u, 521u, 5000u}) {
        std::string const directory = "/" + std::string(length - 3, 'd');
        cases.push_back({directory + "/p", "", directory});
    }
    for (Case const& c : cases) {
        SCOPED_TRACE(c.target.size());
        CStr path(c.held);
        g_pFakeExe = c.target.c_str();
        Runtime::GetApplicationPath(path);
        g_pFakeExe = nullptr;
        EXPECT_EQ(c.directory, Text(path));
    }
}

TEST(ModuleProcessDeathTest, FailedChdirEndsTheProcess)
{
    // base/work is the working directory, so the log goes to base/Data.
    std::string const base = std::string(LXITEST_BINARY_DIR) + "/chdir-test";
    for (char const* pDir : {"", "/Data", "/work"})
        mkdir((base + pDir).c_str(), 0755);
    auto const logText = [&] { return lxitest::LogText(base + "/Data/ErrorLog.log"); };
    // A missing directory, and an executable directly under /, whose
    // directory is the empty text.
    for (bool const underRoot : {false, true}) {
        std::string const before = logText();
        EXPECT_EXIT(
            {
                if (chdir((base + "/work").c_str()) != 0)
                    std::exit(2);
                g_pFakeExe = underRoot ? "/server" : nullptr;
                if (underRoot)
                    Runtime::SetWorkingDirectory();
                else
                    Runtime::SetCurrentDirectoryToGivenPath(CStr("missing-directory"));
                std::exit(0);
            },
            testing::ExitedWithCode(1),
            "SetCurrentDirectory: failed! in line [0-9]+, file: \\.\\./src/LxiOSALRuntime\\.cpp");
        std::string const added = logText().substr(before.size());
        EXPECT_EQ(1, std::count(added.begin(), added.end(), '\n')) << added;
        EXPECT_NE(std::string::npos, added.find(" SetCurrentDirectory: failed! in line ")) << added;
    }
}
