// Helpers for the tests that work with files, the working directory and
// standard error (defined in FileTest.cpp unless inline here).
#ifndef LXIBASE_TESTS_TESTFILES_H
#define LXIBASE_TESTS_TESTFILES_H

#include <filesystem>
#include <functional>
#include <string>

namespace lxitest {

std::string ReadFile(std::string const& path);
std::string CaptureStderr(std::function<void()> const& fn);   // what reached descriptor 2
std::string MakeTempDir();   // a fresh directory under /tmp; "" on failure

// While it lives, a fresh <root>/run is the working directory, so the error
// log is <root>/Data/ErrorLog.log (Data made on request); all removed after.
class LogRoot
{
public:
    explicit LogRoot(bool withData) : m_root(MakeTempDir()), m_oldDir(std::filesystem::current_path())
    {
        if (m_root.empty())
            return;
        std::filesystem::create_directory(m_root + "/run");
        if (withData)
            std::filesystem::create_directory(m_root + "/Data");
        std::filesystem::current_path(m_root + "/run");
    }
    ~LogRoot()
    {
        std::filesystem::current_path(m_oldDir);
        if (!m_root.empty())
            std::filesystem::remove_all(m_root);
    }
    LogRoot(LogRoot const&) = delete;
    LogRoot& operator=(LogRoot const&) = delete;

    std::string const& Root() const { return m_root; }   // "" when no directory could be made

private:
    std::string m_root;
    std::filesystem::path m_oldDir;
};

}  // namespace lxitest

#endif
