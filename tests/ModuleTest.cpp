#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>
#include <vector>

#include "LxiOSALRuntime.h"
#include "StrA.h"
#include "TestUtil.h"

using Runtime = CLxiOSALRuntime;

// While set, readlink of "/proc/<pid>/exe" (the library's calls bind to this one) gives it, cut to fit; "" fails.
static char const* g_pFakeExe = nullptr;

extern "C" ssize_t readlink(char const* pPath, char* pBuffer, size_t size) noexcept
{
    if (g_pFakeExe != nullptr && pPath == "/proc/" + std::to_string(getpid()) + "/exe") {
        size_t const length = std::string(g_pFakeExe).copy(pBuffer, size);
        return length != 0 ? static_cast<ssize_t>(length) : -1;
    }
    static auto const pNext = reinterpret_cast<ssize_t (*)(char const*, char*, size_t)>(dlsym(RTLD_NEXT, "readlink"));
    return pNext(pPath, pBuffer, size);
}

TEST(Module, LoadDynLibrary)
{
    lxitest::LogRoot root(false);
    std::vector<std::string> paths = {LXITEST_MODULE_TRUE, LXITEST_MODULE_FALSE, LXITEST_MODULE_NONE,
                                      "/nonexistent/lxitest.so", "liblxitest-nowhere.so", ""};   // "": not the program
    // Cut copies of a module, down to one byte short of its last loaded segment: none may be mapped beyond the file.
    std::string const bytes = lxitest::ReadFile(LXITEST_MODULE_TRUE);
    auto const* pHeader = reinterpret_cast<ElfW(Ehdr) const*>(bytes.data());   // a heap block: aligned
    auto const* pSegments = reinterpret_cast<ElfW(Phdr) const*>(bytes.data() + pHeader->e_phoff);
    std::size_t loaded = 0;   // where the last loaded segment's bytes end
    for (auto const* p = pSegments; p != pSegments + pHeader->e_phnum; ++p)
        loaded = p->p_type == PT_LOAD ? std::max<std::size_t>(loaded, p->p_offset + p->p_filesz) : loaded;
    for (std::size_t size : {std::size_t{0}, std::size_t{64}, loaded - 1}) {
        paths.push_back(root.Path("cut" + std::to_string(paths.size()) + ".so"));
        lxitest::WriteFile(paths.back(), bytes.substr(0, size));
    }
    for (std::string const& path : paths) {
        SCOPED_TRACE(path);
        auto* pInterface = reinterpret_cast<ILxiModuleCtrlIfc*>(&root);   // a sentinel
        EXPECT_EQ(path == LXITEST_MODULE_TRUE, Runtime::LoadDynLibrary(CStr(path.c_str()), pInterface));
        void* pHandle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);   // stays loaded
        EXPECT_EQ(path.find("module") != std::string::npos, pHandle != nullptr);
        bool const stored = path == LXITEST_MODULE_TRUE || path == LXITEST_MODULE_FALSE;   // whatever the entry said
        EXPECT_EQ(stored ? dlsym(pHandle, "g_lxitestModuleObject") : &root, static_cast<void*>(pInterface));
    }
}

// A blank line runs nothing; the third text is not part of the command.
TEST(Module, StartExecutable)
{
    struct Case { wchar_t const* program; wchar_t const* arguments; bool result; };
    Case const cases[] = {
        {L"true", L"", true}, {L"exit", L"3", false}, {L"/nonexistent/lxitest-prog", L"", false},   // the shell's 127
        {L"", L"true", true}, {L"", L" \t", false}, {L"test", L"'\u00e9' = '?'", true},   // in the arguments; 8 bits
        {L"test", L"-n abcdefghijklmnopqrstuvwx", true},   // a line of 32 units, one beyond the inline room
    };
    for (Case const& c : cases)
        EXPECT_EQ(c.result, Runtime::StartExecutable(CStr(c.program), CStr(c.arguments), CStr(L"; false")))
            << c.program << " " << c.arguments;
}

// A directory that cannot be entered, as for a program directly under / (directory ""), ends the process: message 110.
TEST(ModuleDeathTest, ApplicationPathAndWorkingDirectory)
{
    lxitest::LogRoot root(true);
    std::string const message = "SetCurrentDirectory: failed! in line [0-9]+, file: \\.\\./src/LxiOSALRuntime\\.cpp";
    EXPECT_EXIT(Runtime::SetCurrentDirectoryToGivenPath(CStr("missing")), testing::ExitedWithCode(1), message);
    EXPECT_EXIT((g_pFakeExe = "/server", Runtime::SetWorkingDirectory()), testing::ExitedWithCode(1), message);
    Runtime::SetWorkingDirectory();
    EXPECT_EQ(std::filesystem::canonical(LXITEST_BINARY_DIR), std::filesystem::current_path());
    struct Case { std::string target; char const* held; std::string directory; };
    std::vector<Case> cases = {
        {"/opt/inst/bin/server", "", "/opt/inst/bin"}, {"/server", "/x/y", ""}, {"/o/b//server", "", "/o/b/"},
        {"", "/keep/me/server", "/keep/me"}, {"", "no-separator", ""},   // unreadable: the held text is cut
    };
    for (std::size_t length : {258u, 259u, 260u, 261u, 521u, 5000u})   // around the first buffer's 260 bytes
        cases.push_back({"/" + std::string(length - 3, 'd') + "/p", "", "/" + std::string(length - 3, 'd')});
    for (Case const& c : cases) {
        CStr held(c.held);
        g_pFakeExe = c.target.c_str();
        Runtime::GetApplicationPath(held);
        EXPECT_EQ(c.directory, CStrA(held).GetDataA()) << c.target.size();
    }
    g_pFakeExe = nullptr;
}
