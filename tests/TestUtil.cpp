#include "TestUtil.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lxitest {

std::string ReadFile(std::string const& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(std::string const& path, std::string const& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Capture(std::FILE* pStream, std::function<void()> const& fn)
{
    int const fd = fileno(pStream);
    std::fflush(pStream);
    std::FILE* pFile = std::tmpfile();
    int const saved = dup(fd);
    dup2(fileno(pFile), fd);
    fn();
    std::fflush(pStream);
    dup2(saved, fd);
    close(saved);
    std::rewind(pFile);
    std::string out;
    for (int c; (c = std::fgetc(pFile)) != EOF;)
        out += static_cast<char>(c);
    std::fclose(pFile);
    return out;
}

std::string LogText(std::string const& path)
{
    std::string const bytes = ReadFile(path);
    if (bytes.empty() || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return bytes.empty() ? "" : "no mark";
    std::string text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text += i + 1 < bytes.size() && bytes[i + 1] == 0 ? bytes[i] : '?';
    return text;
}

LogRoot::LogRoot(bool withData) : m_oldDir(fs::current_path())
{
    char aTemplate[] = "/tmp/lxibase-XXXXXX";
    m_root = mkdtemp(aTemplate) != nullptr ? aTemplate : "/nonexistent";
    fs::permissions(m_root, fs::perms::all);
    fs::create_directory(Path("run"));
    if (withData)
        fs::create_directory(Path("Data"));
    fs::current_path(Path("run"));
    char const* const pZone = std::getenv("TZ");
    m_oldZone = pZone != nullptr ? pZone : "";
    setenv("TZ", "UTC", 1);
    tzset();
}

LogRoot::~LogRoot()
{
    fs::current_path(m_oldDir);
    m_oldZone.empty() ? unsetenv("TZ") : setenv("TZ", m_oldZone.c_str(), 1);
    tzset();
    std::error_code error;
    for (auto const& entry : fs::recursive_directory_iterator(m_root, error))
        if (entry.is_directory() && !entry.is_symlink())
            fs::permissions(entry.path(), fs::perms::all, error);
    fs::remove_all(m_root, error);
}

}  // namespace lxitest
