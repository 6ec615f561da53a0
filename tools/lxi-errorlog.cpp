// lxi-errorlog: prints the stack's error log as UTF-8, and the texts of the
// error catalogue. The log is UTF-16 little-endian behind the mark FF FE, one
// line per error, as CErrorHandler appends it to "../Data/ErrorLog.log".
//
//   lxi-errorlog                    ../Data/ErrorLog.log, seen from bin/
//   lxi-errorlog --follow FILE      FILE, then each line appended to it
//   lxi-errorlog --id 110           "SetCurrentDirectory: failed!"
//
// A file that is missing, unreadable or not such a log (no mark, an odd
// number of bytes) gets a message on standard error and exit status 1;
// nothing of it is printed.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "LxiErrorLogIds.h"
#include "LxiOSALRuntime.h"
#include "Str.h"
#include "StrUtil.h"

namespace {

char const* const kDefaultLog = "../Data/ErrorLog.log";
unsigned int const kIds = LXI_ERR_START_BACKGROUND_PROCESS_FAILED + 1;
unsigned int const kFollowPollMs = 200;
unsigned short const kLineFeed = 0x000A;

char const* const kUsage =
    "Usage: lxi-errorlog [--follow] [FILE]\n"
    "       lxi-errorlog --id N\n"
    "       lxi-errorlog --catalogue\n"
    "\n"
    "Prints the error log of the LXI stack as UTF-8. The log is a UTF-16 file\n"
    "that starts with the mark FF FE; FILE defaults to ../Data/ErrorLog.log,\n"
    "the log as the stack's programs see it from their own directory.\n"
    "\n"
    "  -f, --follow     after the log, print each line appended to it (Ctrl-C ends)\n"
    "      --id N       print the catalogue text of error id N (0 to 154)\n"
    "      --catalogue  print every error id and its text\n"
    "  -h, --help       print this help\n"
    "\n"
    "Exit status: 0 on success; 1 when the file is missing, unreadable or not a\n"
    "UTF-16 log, or the id is unknown; 2 on a usage error.\n";

int Fail(std::string const& message, int status = 1)
{
    std::fprintf(stderr, "lxi-errorlog: %s\n", message.c_str());
    return status;
}

bool IsHighSurrogate(unsigned short unit) { return unit >= 0xD800u && unit <= 0xDBFFu; }
bool IsLowSurrogate(unsigned short unit) { return unit >= 0xDC00u && unit <= 0xDFFFu; }

// Control characters other than tab and line feed (NUL, escape sequences)
// would reach the terminal as commands, not text.
bool IsControl(unsigned short unit)
{
    return (unit < 0x20u && unit != 0x09u && unit != kLineFeed) || (unit >= 0x7Fu && unit < 0xA0u);
}

// Appends units as UTF-8. Runs of ordinary units go through CStrUtil; a
// surrogate pair becomes one 4-byte sequence (CStrUtil carries surrogates
// unit by unit), and a lone surrogate or a control character becomes "?".
void AppendUtf8(unsigned short const* pUnits, unsigned int count, std::string& out)
{
    unsigned int start = 0;
    auto const flushRun = [&](unsigned int end) {
        if (end == start)
            return;
        unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(pUnits + start, end - start);
        std::size_t const at = out.size();
        out.resize(at + bytes);
        CStrUtil::MemcpyUtf8FromUtf16(reinterpret_cast<unsigned char*>(&out[at]), pUnits + start,
                                      end - start);
    };
    for (unsigned int i = 0; i < count; ++i) {
        unsigned short const unit = pUnits[i];
        if (!IsControl(unit) && !IsHighSurrogate(unit) && !IsLowSurrogate(unit))
            continue;
        flushRun(i);
        if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(pUnits[i + 1])) {
            unsigned long const cp =
                0x10000ul + ((unit - 0xD800ul) << 10) + (pUnits[i + 1] - 0xDC00ul);
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
        } else {
            out += CStrUtil::s_replaceChar;
        }
        start = i + 1;
    }
    flushRun(count);
}

bool Write(std::string const& text)
{
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

// Reads a UTF-16 log from behind its mark and hands out whole lines as UTF-8.
// What is not yet a whole line (an unfinished unit, a line without its line
// feed) waits for the next read, so a line being appended is never split.
class CLogReader
{
public:
    explicit CLogReader(char const* pPath) : m_pPath(pPath) {}
    ~CLogReader() { Close(); }
    CLogReader(CLogReader const&) = delete;
    CLogReader& operator=(CLogReader const&) = delete;

    // Opens the file and checks its mark; with wholeUnits a regular file of
    // an odd size is refused too. False with the reason in error.
    bool Open(bool wholeUnits, std::string& error);
    // Reads to the current end of the file and prints the whole lines.
    bool ReadAppended(std::string& error);
    // Prints a last line that has no line feed, ending it with one. False
    // when the file ended inside a code unit.
    bool Finish(std::string& error);
    // The path now names another file or a shorter one: the log was replaced
    // or truncated.
    bool WasReplaced(struct stat const& now) const
    {
        return now.st_dev != m_device || now.st_ino != m_inode ||
               static_cast<unsigned long long>(now.st_size) < m_offset;
    }

private:
    void Close();
    std::string Describe(char const* pWhat) const { return std::string(m_pPath) + ": " + pWhat; }

    char const* m_pPath;
    std::FILE* m_pFile = nullptr;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    unsigned long long m_offset = 0;        // bytes consumed, mark included
    int m_pendingByte = -1;                 // low byte of an unfinished unit
    std::vector<unsigned short> m_line;     // units of the unfinished line
};

void CLogReader::Close()
{
    if (m_pFile != nullptr)
        CLxiOSALRuntime::FileClose(m_pFile);
    m_pFile = nullptr;
    m_offset = 0;
    m_pendingByte = -1;
    m_line.clear();
}

bool CLogReader::Open(bool wholeUnits, std::string& error)
{
    Close();
    m_pFile = CLxiOSALRuntime::FileOpen(m_pPath, CLxiOSALRuntime::s_readMode);
    if (m_pFile == nullptr) {
        error = "cannot open " + Describe(std::strerror(errno));
        return false;
    }
    struct stat info;
    if (fstat(fileno(m_pFile), &info) != 0) {
        error = "cannot read " + Describe(std::strerror(errno));
        return false;
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
    if (wholeUnits && S_ISREG(info.st_mode) && info.st_size % 2 != 0) {
        error = Describe("odd number of bytes (") + std::to_string(info.st_size) +
                "): not a UTF-16 error log";
        return false;
    }
    unsigned char mark[2] = {0, 0};
    unsigned int const got = CLxiOSALRuntime::FileRead(mark, 1, sizeof(mark), m_pFile);
    if (got < sizeof(mark) && std::ferror(m_pFile)) {
        error = "cannot read " + Describe(std::strerror(errno));
        return false;
    }
    if (got < sizeof(mark) ||
        std::memcmp(mark, CLxiOSALRuntime::s_ByteOrderMarkUtf16, sizeof(mark)) != 0) {
        error = Describe("no byte-order mark FF FE at the start: not a UTF-16 error log");
        return false;
    }
    m_offset = sizeof(mark);
    return true;
}

bool CLogReader::ReadAppended(std::string& error)
{
    unsigned char chunk[4096];
    std::string out;
    for (;;) {
        unsigned int const got = CLxiOSALRuntime::FileRead(chunk, 1, sizeof(chunk), m_pFile);
        m_offset += got;
        out.clear();
        for (unsigned int i = 0; i < got; ++i) {
            if (m_pendingByte < 0) {
                m_pendingByte = chunk[i];
                continue;
            }
            unsigned short const unit =
                static_cast<unsigned short>(m_pendingByte | (chunk[i] << 8));   // little-endian
            m_pendingByte = -1;
            m_line.push_back(unit);
            if (unit == kLineFeed) {
                AppendUtf8(m_line.data(), static_cast<unsigned int>(m_line.size()), out);
                m_line.clear();
            }
        }
        if (!Write(out)) {
            error = std::string("cannot write the output: ") + std::strerror(errno);
            return false;
        }
        if (got < sizeof(chunk))
            break;
    }
    if (std::ferror(m_pFile)) {
        error = "cannot read " + Describe(std::strerror(errno));
        return false;
    }
    std::clearerr(m_pFile);   // at the end for now; a follower reads on later
    return true;
}

bool CLogReader::Finish(std::string& error)
{
    if (m_pendingByte >= 0) {
        error = Describe("odd number of bytes: not a UTF-16 error log");
        return false;
    }
    if (m_line.empty())
        return true;
    std::string out;
    AppendUtf8(m_line.data(), static_cast<unsigned int>(m_line.size()), out);
    m_line.clear();
    out += '\n';
    if (!Write(out)) {
        error = std::string("cannot write the output: ") + std::strerror(errno);
        return false;
    }
    return true;
}

int PrintLog(char const* pPath, bool follow)
{
    CLogReader reader(pPath);
    std::string error;
    if (!reader.Open(true, error) || !reader.ReadAppended(error))
        return Fail(error);
    if (!follow)
        return reader.Finish(error) ? 0 : Fail(error);

    // Polls the path: appended lines are printed as they arrive; a log that
    // was replaced or truncated is read again from its start once it holds
    // its mark; while the path names no file, nothing happens.
    for (;;) {
        CLxiOSALRuntime::Sleep(kFollowPollMs);
        struct stat now;
        if (stat(pPath, &now) != 0)
            continue;
        if (reader.WasReplaced(now)) {
            if (now.st_size < 2)
                continue;
            if (!reader.Open(false, error))
                return Fail(error);
        }
        if (!reader.ReadAppended(error))
            return Fail(error);
    }
}

std::string CatalogueText(unsigned int id)
{
    CStr const text(CLxiErrorLogIds::GetFormatString(static_cast<enumLxiErrorLogId>(id)));
    std::string out;
    AppendUtf8(text.GetData(), text.GetLength(), out);
    return out;
}

int PrintCatalogue()
{
    std::string out;
    for (unsigned int id = 0; id < kIds; ++id) {
        char number[16];
        std::snprintf(number, sizeof(number), "%3u  ", id);
        out += number + CatalogueText(id) + '\n';
    }
    return Write(out) ? 0 : Fail("cannot write the output");
}

int PrintId(char const* pText)
{
    // Digits only: strtoul alone would take "-1", " 7" or "7x".
    char* pEnd = nullptr;
    errno = 0;
    unsigned long const id = std::strtoul(pText, &pEnd, 10);
    if (*pText < '0' || *pText > '9' || *pEnd != '\0' || errno != 0)
        return Fail(std::string("--id needs a number, not \"") + pText + "\"", 2);
    if (id >= kIds)
        return Fail("no error id " + std::string(pText) + " (ids run from 0 to " +
                    std::to_string(kIds - 1) + ")");
    return Write(CatalogueText(static_cast<unsigned int>(id)) + '\n')
               ? 0
               : Fail("cannot write the output");
}

}  // namespace

int main(int argc, char** argv)
{
    bool follow = false;
    bool catalogue = false;
    char const* pId = nullptr;
    char const* pPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string const arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "-f" || arg == "--follow") {
            follow = true;
        } else if (arg == "--catalogue") {
            catalogue = true;
        } else if (arg == "--id") {
            if (++i == argc)
                return Fail("--id needs a number\n" + std::string(kUsage), 2);
            pId = argv[i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail("unknown option " + arg + "\n" + kUsage, 2);
        } else if (pPath == nullptr) {
            pPath = argv[i];
        } else {
            return Fail("one file at a time\n" + std::string(kUsage), 2);
        }
    }
    int const uses = (pId != nullptr) + catalogue + (follow || pPath != nullptr);
    if (uses > 1)
        return Fail("--id, --catalogue and a log are separate uses\n" + std::string(kUsage), 2);
    if (pId != nullptr)
        return PrintId(pId);
    if (catalogue)
        return PrintCatalogue();
    return PrintLog(pPath != nullptr ? pPath : kDefaultLog, follow);
}
