#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "LxiOSALRuntime.h"
#include "StrA.h"
#include "TestUtil.h"

namespace {

using Runtime = CLxiOSALRuntime;

// While set, readlink of "/proc/<pid>/exe" yields this target, cut to the
// caller's buffer like the real call; "" makes it fail.
char const* g_pFakeExe = nullptr;

std::string Text(CStr const& text)
{
    return CStrA(text).GetDataA();
}

}  // namespace

// The dynamic linker binds the library's readlink to this definition.
extern "C" ssize_t readlink(char const* pPath, char* pBuffer, size_t size) noexcept
{
    if (g_pFakeExe != nullptr && pPath == "/proc/" + std::to_string(getpid()) + "/exe") {
        size_t const length = std::min(std::strlen(g_pFakeExe), size);
        std::memcpy(pBuffer, g_pFakeExe, length);
        errno = ENOENT;
        return length != 0 ? static_cast<ssize_t>(length) : -1;
    }
    using Readlink = ssize_t (*)(char const*, char*, size_t);
    static auto const pNext = reinterpret_cast<Readlink>(dlsym(RTLD_NEXT, "readlink"));
    return pNext(pPath, pBuffer, size);
}

TEST(Module, LoadDynLibrary)
{
    lxitest::LogRoot root(false);
    // Cut copies of a module and of the library itself (each named in its
    // dynamic string table, early in its first segment): segments beyond the
    // end of the file must not be mapped.
    Dl_info info{};
    ASSERT_NE(0, dladdr(reinterpret_cast<void*>(&CStr::FindNextPower), &info));
    std::vector<std::string> cut;
    for (auto const& file : {std::make_pair(LXITEST_MODULE_TRUE, "GetILxiModuleCtrlIfc"),
                             std::make_pair(info.dli_fname, "_ZN4CStr13FindNextPowerEj")}) {
        std::string const bytes = lxitest::ReadFile(file.first);
        std::size_t const at = bytes.find(file.second);
        ASSERT_NE(std::string::npos, at) << file.first;
        for (std::size_t size : {std::size_t{0}, std::size_t{64}, at / 2, at + 8}) {
            cut.push_back(root.Path("cut" + std::to_string(cut.size()) + ".so"));
            lxitest::WriteFile(cut.back(), bytes.substr(0, size));
        }
    }
    struct Case { std::string path; bool result; bool stored; };
    std::vector<Case> cases = {
        {LXITEST_MODULE_TRUE, true, true},   {LXITEST_MODULE_FALSE, false, true},   // what the entry stored stays
        {LXITEST_MODULE_NONE, false, false}, {"/nonexistent/liblxitest.so", false, false},
        {"liblxitest-nowhere.so", false, false}, {"", false, false},   // not the program itself
    };
    for (std::string const& path : cut)
        cases.push_back({path, false, false});
    int sentinel = 0;
    for (Case const& c : cases) {
        SCOPED_TRACE(c.path);
        auto* pInterface = reinterpret_cast<ILxiModuleCtrlIfc*>(&sentinel);
        EXPECT_EQ(c.result, Runtime::LoadDynLibrary(CStr(c.path.c_str()), pInterface));
        void* pHandle = c.path.empty() ? nullptr : dlopen(c.path.c_str(), RTLD_NOW | RTLD_NOLOAD);   // stays loaded
        EXPECT_EQ(c.path.find("module") != std::string::npos, pHandle != nullptr);
        void* pObject = pHandle != nullptr ? dlsym(pHandle, "g_lxitestModuleObject") : nullptr;
        EXPECT_EQ(c.stored ? pObject : &sentinel, static_cast<void*>(pInterface));
        if (pHandle != nullptr)
            dlclose(pHandle);
    }
}

TEST(Module, StartExecutable)
{
    struct Case { wchar_t const* program; wchar_t const* arguments; bool result; };
    Case const cases[] = {
        {L"true", L"", true},
        {L"exit", L"3", false},
        {L"/nonexistent/lxitest-program", L"", false},   // the shell's 127
        {L"", L"true", true},   // the whole command in the arguments
        {L"", L" \t", false},   // a blank line runs nothing
        // Longer than the inline 31 units: runs whole, or the comparison fails.
        {L"test", L"\"$(echo abcdefghijklmnopqrstuvwxyz)\" = abcdefghijklmnopqrstuvwxyz", true},
        {L"test", L"'\u00e9' = '?'", true},   // the 8-bit copy
    };
    for (Case const& c : cases)
        for (wchar_t const* pThird : {L"", L"false"})
            EXPECT_EQ(c.result, Runtime::StartExecutable(CStr(c.program), CStr(c.arguments), CStr(pThird)))
                << c.program << " " << c.arguments;
}

TEST(Module, ApplicationPath)
{
    CStr path("unchanged");
    Runtime::GetApplicationPath(path);
    char* pReal = realpath(LXITEST_BINARY_DIR, nullptr);
    EXPECT_STREQ(pReal, Text(path).c_str());
    std::free(pReal);
    {
        lxitest::LogRoot root(false);
        Runtime::SetWorkingDirectory();
        EXPECT_EQ(std::filesystem::current_path().string(), Text(path));
    }
    struct Case { std::string target; char const* held; std::string directory; };
    std::vector<Case> cases = {
        {"/opt/inst/bin/server", "", "/opt/inst/bin"}, {"/server", "/x/y", ""},
        {"", "/keep/me/server", "/keep/me"},   // unreadable: the held text is cut
        {"", "no-separator", ""},
    };
    for (std::size_t length : {258u, 259u, 260u, 261u, 521u, 5000u})   // around the first buffer's 260 bytes
        cases.push_back({"/" + std::string(length - 3, 'd') + "/p", "", "/" + std::string(length - 3, 'd')});
    for (Case const& c : cases) {
        SCOPED_TRACE(c.target.size());
        CStr held(c.held);
        g_pFakeExe = c.target.c_str();
        Runtime::GetApplicationPath(held);
        g_pFakeExe = nullptr;
        EXPECT_EQ(c.directory, Text(held));
    }
}

// A directory that cannot be entered, and an executable directly under /
// (whose directory is the empty text), end the process with message 110.
TEST(ModuleDeathTest, FailedChdirEndsTheProcess)
{
    lxitest::LogRoot root(true);
    for (bool const underRoot : {false, true}) {
        std::string const before = root.Log();
        EXPECT_EXIT(
            {
                g_pFakeExe = "/server";
                underRoot ? Runtime::SetWorkingDirectory() : Runtime::SetCurrentDirectoryToGivenPath(CStr("missing"));
                std::exit(0);
            },
            testing::ExitedWithCode(1), "SetCurrentDirectory: failed! in line [0-9]+, file: \\.\\./src/LxiOSALRuntime\\.cpp");
        std::string const added = root.Log().substr(before.size());
        EXPECT_TRUE(added.size() > 20 && added.find(" SetCurrentDirectory: failed! in line ") == 19) << added;
        EXPECT_EQ(1, std::count(added.begin(), added.end(), '\n')) << added;
    }
}
