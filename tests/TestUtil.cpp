#include "TestFiles.h"

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
    std::string out;
    std::rewind(pFile);
    for (int c; (c = std::fgetc(pFile)) != EOF;)
        out += static_cast<char>(c);
    std::fclose(pFile);
    return out;
}

std::string MakeTempDir()
{
    char aTemplate[] = "/tmp/lxibase-XXXXXX";
    return mkdtemp(aTemplate) != nullptr ? aTemplate : "";
}

std::string LogText(std::string const& path)
{
    std::string const bytes = ReadFile(path);
    if (bytes.empty())
        return "";
    if (bytes.compare(0, 2, "\xFF\xFE") != 0)
        return "no mark";
    std::string text;
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text += i + 1 < bytes.size() && bytes[i + 1] == 0 ? bytes[i] : '?';
    return text;
}

LogRoot::LogRoot(bool withData) : m_root(MakeTempDir()), m_oldDir(fs::current_path())
{
    if (m_root.empty())
        return;
    fs::permissions(m_root, fs::perms::all);
    fs::create_directory(m_root + "/run");
    fs::permissions(m_root + "/run", fs::perms::all);
    if (withData)
        fs::create_directory(m_root + "/Data");
    fs::current_path(m_root + "/run");
}

LogRoot::~LogRoot()
{
    fs::current_path(m_oldDir);
    if (m_root.empty())
        return;
    std::error_code error;
    for (auto const& entry : fs::recursive_directory_iterator(m_root, error))
        if (entry.is_directory() && !entry.is_symlink())
            fs::permissions(entry.path(), fs::perms::all, error);
    fs::remove_all(m_root, error);
}

}  // namespace lxitest
