// Format of the error handler's location template against raw vswprintf into
// a stack buffer, and CErrorHandler::LogMsg against the raw per-line
// fopen + fwrite + fclose of the same line, in a temporary directory.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "BenchUtil.h"
#include "ErrorHandler.h"

namespace lxibench {

namespace {

wchar_t const kLocation[] = L"%ls in line %lu, file: %ls";

struct stFormatCase
{
    char const* pName;
    wchar_t const* pMessage;
    unsigned long line;
    wchar_t const* pFile;
    unsigned int expectedLength;
};

// "31": the longest output that fits the local buffer; "long": 88 characters,
// which Format reaches through heap buffers of 64 and 128.
stFormatCase const s_aFormatCases[] = {
    {"31", L"Timeout", 42, L"a.cpp", 31},
    {"long", L"connect to host \"192.168.1.17\" on port 4880 failed, errno=111", 412,
     L"Net.cpp", 88}};

__attribute__((noinline)) int RawFormat(wchar_t* pOut, std::size_t size, wchar_t const* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    int const written = std::vswprintf(pOut, size, pFormat, args);
    va_end(args);
    return written;
}

void FormatLxi(benchmark::State& state, stFormatCase const& format)
{
    unsigned int length = 0;
    for (auto _ : state) {
        // As the error handler does it: a string on a 32-unit stack array.
        unsigned short aMessage[32];
        CStr message(aMessage, 31, true, false);
        message.Format(kLocation, format.pMessage, format.line, format.pFile);
        benchmark::DoNotOptimize(message.GetData());
        length = message.GetLength();
    }
    if (length != format.expectedLength)
        state.SkipWithError("Format wrote an unexpected length");
}

void FormatRaw(benchmark::State& state, stFormatCase const& format)
{
    int length = 0;
    for (auto _ : state) {
        wchar_t aOut[128];
        length = RawFormat(aOut, 128, kLocation, format.pMessage, format.line, format.pFile);
        benchmark::DoNotOptimize(aOut);
    }
    if (length != static_cast<int>(format.expectedLength))
        state.SkipWithError("vswprintf wrote an unexpected length");
}

// A fresh directory tree <tmp>/Data and <tmp>/work; the working directory is
// <tmp>/work while the object lives, so "../Data/ErrorLog.log" lands inside.
class CLogDirectory
{
public:
    CLogDirectory()
    {
        char const* pTmp = std::getenv("TMPDIR");
        m_root = std::string(pTmp != nullptr && *pTmp != '\0' ? pTmp : "/tmp") + "/lxibench.XXXXXX";
        char* pOldCwd = getcwd(nullptr, 0);
        m_oldCwd = pOldCwd != nullptr ? pOldCwd : ".";
        std::free(pOldCwd);
        m_ok = mkdtemp(&m_root[0]) != nullptr && mkdir((m_root + "/Data").c_str(), 0700) == 0 &&
               mkdir((m_root + "/work").c_str(), 0700) == 0 &&
               chdir((m_root + "/work").c_str()) == 0;
    }
    ~CLogDirectory()
    {
        if (chdir(m_oldCwd.c_str()) != 0)
            std::perror("chdir");
        std::remove(LogPath().c_str());
        rmdir((m_root + "/Data").c_str());
        rmdir((m_root + "/work").c_str());
        rmdir(m_root.c_str());
    }
    bool IsReady() const { return m_ok; }
    std::string LogPath() const { return m_root + "/Data/ErrorLog.log"; }
    long LogSize() const
    {
        struct stat info;
        return stat(LogPath().c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1L;
    }

private:
    std::string m_root;
    std::string m_oldCwd;
    bool m_ok = false;
};

void LogLine()
{
    CErrorHandler::LogMsg(L"src/HiSlipServer.cpp", 412, false, LXI_ERR_SOCKET_CONNECT_FAILED,
                          L"192.168.1.17", 4880, 111);
}

void LogMsgLxi(benchmark::State& state)
{
    CLogDirectory directory;
    if (!directory.IsReady()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    for (auto _ : state)
        LogLine();
    // Every line in the file, none on standard error: 2 bytes of mark plus
    // lines of the same length (the time stamp has a fixed width).
    LogLine();
    long const size = directory.LogSize();
    if (size < 2 || (size - 2) % static_cast<long>(state.iterations() + 1) != 0)
        state.SkipWithError("LogMsg did not write every line to the file");
}

void LogMsgRaw(benchmark::State& state)
{
    CLogDirectory directory;
    if (!directory.IsReady()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    // The line exactly as LogMsg writes it, taken from the file after one call.
    LogLine();
    std::string line;
    if (std::FILE* pFile = std::fopen("../Data/ErrorLog.log", "rb")) {
        char aBuffer[512];
        line.assign(aBuffer, std::fread(aBuffer, 1, sizeof aBuffer, pFile));
        std::fclose(pFile);
    }
    std::remove("../Data/ErrorLog.log");
    if (line.size() < 4) {
        state.SkipWithError("no line to write");
        return;
    }
    line.erase(0, 2);   // the mark
    for (auto _ : state) {
        std::FILE* pFile = std::fopen("../Data/ErrorLog.log", "ab");
        if (pFile == nullptr) {
            state.SkipWithError("fopen failed");
            break;
        }
        std::fwrite(line.data(), 1, line.size(), pFile);
        std::fclose(pFile);
    }
}

int RegisterAll()
{
    for (stFormatCase const& format : s_aFormatCases) {
        Register("Format", "Format", format.pName, FormatLxi, format);
        Register("Format", "vswprintf", format.pName, FormatRaw, format);
    }
    Register("LogMsg", "LogMsg", "line", LogMsgLxi);
    Register("LogMsg", "RawFile", "line", LogMsgRaw);
    return 0;
}

int const s_registered = RegisterAll();

}  // namespace

}  // namespace lxibench
