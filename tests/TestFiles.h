// Helpers for the tests that work with files, the working directory, the
// error log and the console (defined in TestUtil.cpp unless inline here).
#ifndef LXIBASE_TESTS_TESTFILES_H
#define LXIBASE_TESTS_TESTFILES_H

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

namespace lxitest {

std::string ReadFile(std::string const& path);
void WriteFile(std::string const& path, std::string const& bytes);
std::string Capture(std::FILE* pStream, std::function<void()> const& fn);   // what reached its descriptor
inline std::string CaptureStderr(std::function<void()> const& fn) { return Capture(stderr, fn); }
// The notice a failed FileOpenUtf16 or FileOpenUtf8 (pWhich) writes to stderr.
inline std::string OpenNotice(char const* pWhich, std::string const& path)
{
    return std::string(pWhich) + ": the file " + path + " failed to open!\n";
}
std::string MakeTempDir();   // a fresh directory under /tmp; "" on failure
// A UTF-16 log after its mark, one char per unit ('?' for a unit above 0xFF
// or a lone byte); "" for no file, "no mark" for a file without one.
std::string LogText(std::string const& path);

// While it lives, a fresh <root>/run is the working directory, so the error
// log is <root>/Data/ErrorLog.log (Data made on request). Both are open to
// every user; all is removed after, whatever permissions a test left.
class LogRoot
{
public:
    explicit LogRoot(bool withData);
    ~LogRoot();
    LogRoot(LogRoot const&) = delete;
    LogRoot& operator=(LogRoot const&) = delete;

    std::string const& Root() const { return m_root; }   // "" when no directory could be made
    std::string Path(std::string const& name) const { return m_root + "/" + name; }
    std::string Log() const { return LogText(Path("Data/ErrorLog.log")); }

private:
    std::string m_root;
    std::filesystem::path m_oldDir;
};

// While it lives, TZ names the given zone.
class TzGuard
{
public:
    explicit TzGuard(char const* pZone) : m_had(std::getenv("TZ") != nullptr)
    {
        m_old = m_had ? std::getenv("TZ") : "";
        setenv("TZ", pZone, 1);
        tzset();
    }
    ~TzGuard()
    {
        m_had ? setenv("TZ", m_old.c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    TzGuard(TzGuard const&) = delete;
    TzGuard& operator=(TzGuard const&) = delete;

private:
    bool m_had;
    std::string m_old;
};

}  // namespace lxitest

#endif
