// lxi-errorlog: prints the stack's error log as UTF-8, and the texts of the
// error catalogue (usage below; manual page lxi-errorlog.1). The log is
// UTF-16 little-endian behind the mark FF FE, one line per error, as
// CErrorHandler appends it to "../Data/ErrorLog.log"; CLogDecoder turns it
// into the lines printed.
//
// A file that is missing, unreadable or not such a log gets a message on
// standard error and exit status 1, and nothing of it is printed; usage
// errors exit with 2.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <getopt.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "LogDecoder.h"
#include "LxiErrorLogIds.h"
#include "LxiOSALRuntime.h"
#include "Str.h"

#ifndef LXIBASE_VERSION
#error "the build defines LXIBASE_VERSION, the version of lxibase"
#endif

namespace {

char const* const kDefaultLog = "../Data/ErrorLog.log";
unsigned int const kIds = LXI_ERR_START_BACKGROUND_PROCESS_FAILED + 1;
unsigned int const kPollMs = 200;   // --follow where inotify is not to be had

char const* const kUsage =
    "Usage: lxi-errorlog [-f] [-n N] [FILE]\n"
    "       lxi-errorlog --id N\n"
    "       lxi-errorlog --catalogue\n"
    "\n"
    "Prints the error log of the LXI stack as UTF-8. The log is a UTF-16 file\n"
    "that starts with the mark FF FE; FILE defaults to ../Data/ErrorLog.log,\n"
    "the log as the stack's programs see it from their own directory.\n"
    "\n"
    "  -f, --follow      after the log, print each line appended to it; a log\n"
    "                    that is replaced or emptied is read from its start\n"
    "                    (Ctrl-C ends)\n"
    "  -n, --lines=N     print only the last N lines of the log\n"
    "  -i, --id=N        print the catalogue text of error id N (0 to 154)\n"
    "  -c, --catalogue   print every error id and its text\n"
    "  -h, --help        print this help\n"
    "  -V, --version     print the version\n"
    "\n"
    "Exit status: 0 on success; 1 when the file is missing, unreadable or not a\n"
    "UTF-16 log, or the id is unknown; 2 on a usage error.\n";

option const kOptions[] = {
    {"follow", no_argument, nullptr, 'f'},   {"lines", required_argument, nullptr, 'n'},
    {"id", required_argument, nullptr, 'i'}, {"catalogue", no_argument, nullptr, 'c'},
    {"help", no_argument, nullptr, 'h'},     {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0}};
// Leading ':': a missing value is told apart from an unknown option.
char const* const kShortOptions = ":fn:i:chV";

int Fail(std::string const& message)
{
    static_cast<void>(std::fprintf(stderr, "lxi-errorlog: %s\n", message.c_str()));
    return 1;
}

int UsageError(std::string const& message)
{
    static_cast<void>(std::fprintf(stderr, "lxi-errorlog: %s\nTry 'lxi-errorlog --help' for more information.\n",
                                   message.c_str()));
    return 2;
}

bool Write(std::string const& text)
{
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

int WriteFailed() { return Fail(std::string("cannot write the output: ") + std::strerror(errno)); }

// Digits only: strtoul alone would take "-1", " 7" or "7x".
bool ParseNumber(char const* pText, unsigned long& value)
{
    char* pEnd = nullptr;
    errno = 0;
    value = std::strtoul(pText, &pEnd, 10);
    return *pText >= '0' && *pText <= '9' && *pEnd == '\0' && errno == 0;
}

// The last `count` lines of text, every line of which ends with a line feed.
std::string LastLines(std::string const& text, unsigned long count)
{
    std::size_t start = text.size();
    unsigned long seen = 0;
    while (start > 0 && !(text[start - 1] == '\n' && seen++ == count))
        --start;
    return text.substr(start);
}

// The log file: opened, then read on from where the last read ended. It
// remembers which file it opened, to tell when the path names another one.
class CLogFile
{
public:
    explicit CLogFile(char const* pPath) : m_pPath(pPath) {}
    ~CLogFile() { Close(); }
    CLogFile(CLogFile const&) = delete;
    CLogFile& operator=(CLogFile const&) = delete;

    bool Open(std::string& error);
    // Appends to bytes what the file gained since the last read.
    bool ReadAppended(std::vector<unsigned char>& bytes, std::string& error);
    // The path now names another file or a shorter one: the log was replaced
    // or emptied.
    bool WasReplaced(struct stat const& now) const
    {
        return now.st_dev != m_device || now.st_ino != m_inode ||
               static_cast<unsigned long long>(now.st_size) < m_offset;
    }
    std::string Describe(std::string const& what) const { return std::string(m_pPath) + ": " + what; }

private:
    void Close();

    char const* m_pPath;
    std::FILE* m_pFile = nullptr;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    unsigned long long m_offset = 0;          // bytes read so far
};

void CLogFile::Close()
{
    if (m_pFile != nullptr)
        CLxiOSALRuntime::FileClose(m_pFile);
    m_pFile = nullptr;
    m_offset = 0;
}

bool CLogFile::Open(std::string& error)
{
    Close();
    m_pFile = CLxiOSALRuntime::FileOpen(m_pPath, CLxiOSALRuntime::s_readMode);
    struct stat info;
    if (m_pFile == nullptr || fstat(fileno(m_pFile), &info) != 0) {
        error = "cannot open " + Describe(std::strerror(errno));
        return false;
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
    return true;
}

bool CLogFile::ReadAppended(std::vector<unsigned char>& bytes, std::string& error)
{
    unsigned int const chunk = 64 * 1024;
    unsigned int got = 0;
    do {
        std::size_t const at = bytes.size();
        bytes.resize(at + chunk);
        got = CLxiOSALRuntime::FileRead(bytes.data() + at, 1, chunk, m_pFile);
        bytes.resize(at + got);
        m_offset += got;
    } while (got == chunk);
    if (std::ferror(m_pFile)) {
        error = "cannot read " + Describe(std::strerror(errno));
        return false;
    }
    std::clearerr(m_pFile);   // at the end for now; --follow reads on later
    return true;
}

// Wakes --follow when the log's directory reports a change: a write or
// truncation of a file in it, a file created, moved in or out, or removed.
// Where inotify cannot watch the directory, Wait sleeps kPollMs instead.
class CLogWatch
{
public:
    CLogWatch() = default;
    ~CLogWatch() { StopWatching(); }
    CLogWatch(CLogWatch const&) = delete;
    CLogWatch& operator=(CLogWatch const&) = delete;

    void Start(char const* pLogPath);
    void Wait();

private:
    bool AddWatch()
    {
        uint32_t const events = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE |
                                IN_MOVED_FROM | IN_MOVED_TO;
        return inotify_add_watch(m_fd, m_directory.c_str(), events) >= 0;
    }
    void StopWatching()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

    std::string m_directory;
    int m_fd = -1;                            // inotify, or -1 when polling
};

void CLogWatch::Start(char const* pLogPath)
{
    char const* pSlash = std::strrchr(pLogPath, '/');
    m_directory = pSlash == nullptr ? "." : pSlash == pLogPath ? "/" : std::string(pLogPath, pSlash);
    m_fd = inotify_init1(IN_CLOEXEC);
    if (m_fd >= 0 && !AddWatch())
        StopWatching();
}

void CLogWatch::Wait()
{
    if (m_fd < 0) {
        CLxiOSALRuntime::Sleep(kPollMs);
        return;
    }
    alignas(inotify_event) char events[4096];
    ssize_t const got = read(m_fd, events, sizeof(events));
    if (got < 0 && errno == EINTR)
        return;
    if (got <= 0) {
        StopWatching();
        return;
    }
    // The directory itself went (IN_IGNORED): watch what bears its name now,
    // or poll when nothing does.
    for (ssize_t at = 0; at < got;) {
        inotify_event const* pEvent = reinterpret_cast<inotify_event const*>(events + at);
        if ((pEvent->mask & IN_IGNORED) != 0 && !AddWatch())
            StopWatching();
        at += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
    }
}


char const* const kNoMark = "no byte-order mark FF FE at the start: not a UTF-16 error log";

int PrintLog(char const* pPath, unsigned long lines, bool follow)
{
    CLogWatch watch;
    if (follow)
        watch.Start(pPath);   // before the first read, so that no change goes unseen
    CLogFile file(pPath);
    CLogDecoder decoder;
    std::vector<unsigned char> bytes;
    std::string out;
    std::string error;
    if (!file.Open(error) || !file.ReadAppended(bytes, error))
        return Fail(error);
    // Without --follow the log ends here; with it, an unfinished line waits.
    enumLogStatus const status = follow ? decoder.Feed(bytes.data(), bytes.size(), out)
                                        : CLogDecoder::Decode(bytes.data(), bytes.size(), out);
    if (status != LOG_OK)
        return Fail(file.Describe(kNoMark));
    if (!Write(LastLines(out, lines)))
        return WriteFailed();

    while (follow) {
        watch.Wait();
        struct stat now;
        if (stat(pPath, &now) != 0)
            continue;   // gone for now; a new log is read once it is there
        if (file.WasReplaced(now)) {
            decoder.Reset();
            if (!file.Open(error))
                return Fail(error);
        }
        bytes.clear();
        out.clear();
        if (!file.ReadAppended(bytes, error))
            return Fail(error);
        if (decoder.Feed(bytes.data(), bytes.size(), out) != LOG_OK)
            return Fail(file.Describe(kNoMark));
        if (!Write(out))
            return WriteFailed();
    }
    return 0;
}

std::string CatalogueText(unsigned int id)
{
    CStr const text(CLxiErrorLogIds::GetFormatString(static_cast<enumLxiErrorLogId>(id)));
    std::string out;
    CLogDecoder::AppendUtf8(text.GetData(), text.GetLength(), out);
    return out;
}

int PrintCatalogue()
{
    std::string out;
    for (unsigned int id = 0; id < kIds; ++id) {
        char number[16];
        static_cast<void>(std::snprintf(number, sizeof(number), "%3u  ", id));   // fits: ids are below 1000
        out += number + CatalogueText(id) + '\n';
    }
    return Write(out) ? 0 : WriteFailed();
}

int PrintId(char const* pText)
{
    unsigned long id = 0;
    if (!ParseNumber(pText, id))
        return UsageError(std::string("--id needs a number, not \"") + pText + "\"");
    if (id >= kIds)
        return Fail("no error id " + std::string(pText) + " (ids run from 0 to " +
                    std::to_string(kIds - 1) + ")");
    return Write(CatalogueText(static_cast<unsigned int>(id)) + '\n') ? 0 : WriteFailed();
}

// "-n/--lines" for the short name 'n'.
std::string OptionName(int shortName)
{
    for (option const* pOption = kOptions; pOption->name != nullptr; ++pOption) {
        if (pOption->val == shortName)
            return std::string("-") + static_cast<char>(shortName) + "/--" + pOption->name;
    }
    return std::string("-") + static_cast<char>(shortName);
}

}  // namespace

int main(int argc, char** argv)
{
    bool follow = false;
    bool catalogue = false;
    char const* pId = nullptr;
    char const* pLines = nullptr;
    opterr = 0;   // the messages below instead of getopt's
    int shortName = 0;
    while ((shortName = getopt_long(argc, argv, kShortOptions, kOptions, nullptr)) != -1) {
        switch (shortName) {
        case 'f': follow = true; break;
        case 'n': pLines = optarg; break;
        case 'i': pId = optarg; break;
        case 'c': catalogue = true; break;
        case 'h': return std::fputs(kUsage, stdout) >= 0 ? 0 : WriteFailed();
        case 'V': return Write("lxi-errorlog (lxibase) " LXIBASE_VERSION "\n") ? 0 : WriteFailed();
        case ':': return UsageError("option " + OptionName(optopt) + " needs a value");
        default: {
            // An unknown option, or a value given to one that takes none
            // ("--follow=x"). A long option has moved optind past itself.
            std::string const arg = argv[optind - 1];
            std::string const name = arg.substr(0, arg.find('='));
            if (optopt != 0 && arg.compare(0, 2, "--") == 0 && arg.find('=') != std::string::npos)
                return UsageError("option " + name + " takes no value");
            return UsageError("unknown option " +
                              (optopt != 0 ? std::string("-") + static_cast<char>(optopt) : name));
        }
        }
    }
    if (argc - optind > 1)
        return UsageError("one log at a time");
    char const* pPath = optind < argc ? argv[optind] : nullptr;
    unsigned long lines = ULONG_MAX;
    if (pLines != nullptr && !ParseNumber(pLines, lines))
        return UsageError(std::string("--lines needs a number, not \"") + pLines + "\"");
    int const uses = (pId != nullptr) + catalogue + (follow || pLines != nullptr || pPath != nullptr);
    if (uses > 1)
        return UsageError("--id, --catalogue and reading a log are separate uses");
    if (pId != nullptr)
        return PrintId(pId);
    if (catalogue)
        return PrintCatalogue();
    return PrintLog(pPath != nullptr ? pPath : kDefaultLog, lines, follow);
}
