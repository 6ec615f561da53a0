#include "ErrorHandler.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "LxiOSALRuntime.h"
#include "StrUtil.h"
#include "StrW.h"

namespace {

// Format cannot produce texts of more than 32,767 wide characters, nor use a
// wide copy that found no memory; such a text is then joined piece by piece
// so that it is still logged whole.
void Join(CStr& result, CStr const& a, CStr const& b, CStr const& c, CStr const& d)
{
    result.Assign(a).Append(b).Append(c).Append(d);
}

// The bytes that must go before a line so that it starts a line of its own
// on a unit boundary: the mark into an empty file; after a line cut short
// (a writer killed mid-line, a full disk), the byte missing from a half unit
// and a line feed. Returns their count.
unsigned int LinePrefix(int fd, unsigned char (&aPrefix)[4])
{
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return 0;   // size unknown: a mark now could land mid-file
    off_t const size = info.st_size;
    if (size == 0) {
        std::memcpy(aPrefix, CLxiOSALRuntime::s_ByteOrderMarkUtf16, 2);
        return 2;
    }
    // The last unit; a cut at an odd byte left only its first byte, and the
    // pad byte completes it (a lone first byte of the mark gets the second).
    bool const odd = size % 2 != 0;
    unsigned char aLast[2] = {0, static_cast<unsigned char>(size == 1 ? 0xFE : 0)};
    ssize_t const want = odd ? 1 : 2;
    bool const read = pread(fd, aLast, static_cast<std::size_t>(want), size - want) == want;
    unsigned int count = 0;
    if (odd)
        aPrefix[count++] = aLast[1];
    bool const afterMark = size <= 2 && std::memcmp(aLast, CLxiOSALRuntime::s_ByteOrderMarkUtf16, 2) == 0;
    bool const atLineStart = read && (afterMark || (aLast[0] == '\n' && aLast[1] == 0));
    if (!atLineStart) {
        aPrefix[count++] = '\n';
        aPrefix[count++] = 0;
    }
    return count;
}

// Hands every byte of the pieces to the file, resuming after a short write
// or an interruption; false when the system takes no more.
bool WriteAll(int fd, iovec* pPieces, int count)
{
    std::size_t done = 0;   // bytes of pPieces[0] already written
    for (;;) {
        while (count > 0 && done >= pPieces->iov_len) {
            done -= pPieces->iov_len;
            ++pPieces;
            --count;
        }
        if (count == 0)
            return true;
        pPieces->iov_base = static_cast<char*>(pPieces->iov_base) + done;
        pPieces->iov_len -= done;
        ssize_t const written = writev(fd, pPieces, count);
        if (written < 0 && errno == EINTR) {
            done = 0;
            continue;
        }
        if (written <= 0)
            return false;
        done = static_cast<std::size_t>(written);
    }
}

// Appends the line to the log. Writers in other threads and processes take
// the same exclusive lock, so only the first writes the mark, and the check
// for a cut line, the prefix and the line go out together. False when the
// file cannot be opened or did not take the whole line.
bool AppendToLog(CStr const& line)
{
    unsigned short aPath[32];
    CStr path(aPath, 31, true, false);
    path.Assign("../Data/ErrorLog.log");
    // Read and append, closed in programs started meanwhile. FileOpenUtf16
    // gives its notice on failure but, in this mode, writes no mark: the
    // mark is written below, under the lock.
    std::FILE* pFile = CLxiOSALRuntime::FileOpenUtf16(path, "a+be");
    if (pFile == nullptr)
        return false;
    int const fd = fileno(pFile);
    // Without locks (some network file systems) the line still goes out.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    unsigned char aPrefix[4];
    iovec aPieces[2] = {{aPrefix, LinePrefix(fd, aPrefix)},   // writev only reads the line
                        {const_cast<unsigned short*>(line.GetData()),
                         CStrUtil::Utf16LengthToNrBytes(line.GetLength())}};
    bool written = WriteAll(fd, aPieces, 2);
    // Unlocked by hand: a child forked meanwhile shares the descriptor, and
    // the close alone would leave the lock held for as long as it keeps it.
    flock(fd, LOCK_UN);
    if (CLxiOSALRuntime::FileClose(pFile) != 0)
        written = false;
    return written;
}

}  // namespace

// NOLINTNEXTLINE(cert-dcl50-cpp): the printf-style interface every module calls
void CErrorHandler::LogMsg(wchar_t const* file, unsigned int line, bool exitFlag, enumLxiErrorLogId id, ...)
{
    unsigned short aMessage[32];
    CStr message(aMessage, 31, true, false);
    va_list arguments;
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"   // id is an enumeration of fixed type unsigned int
#endif
    va_start(arguments, id);
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
    // An unknown id has an empty text: the line then carries only the location.
    message.Format(CLxiErrorLogIds::GetFormatString(id), arguments);
    va_end(arguments);

    unsigned short aLocated[32];
    CStr located(aLocated, 31, true, false);
    AddSourceLocation(file, line, message, located);
    LogMsg(located, exitFlag);
}

void CErrorHandler::AddSourceLocation(wchar_t const* file, unsigned int line, CStr const& message, CStr& result)
{
    if (&result == &message) {   // built beside the message, then put in its place
        CStr located;
        AddSourceLocation(file, line, message, located);
        result.Assign(located);
        return;
    }
    wchar_t const* const pFile = file != nullptr ? file : L"";
    unsigned short aWhere[32];
    CStr where(aWhere, 31, true, false);
    where.Format(L" in line %lu, file: ", static_cast<unsigned long>(line));   // 27 units at most
    unsigned int const whole =
        message.GetLength() + where.GetLength() + static_cast<unsigned int>(std::wcslen(pFile));
    result.Clear();
    result.Format(L"%ls in line %lu, file: %ls", CStrW(message).GetDataW(),
                  static_cast<unsigned long>(line), pFile);
    // Too long to format, or the wide copy found no memory: join the pieces.
    if (result.GetLength() != whole)
        Join(result, message, where, CStr(pFile), CStr::s_emptyString);
}

void CErrorHandler::LogMsg(CStr const& message, bool exitFlag)
{
    unsigned short aStamp[32];
    CStr stamp(aStamp, 31, true, false);
    CLxiOSALRuntime::GetTimeStamp(stamp);

    unsigned short aEnd[32];   // room for the capacity record, so "\n" needs no heap
    CStr end(aEnd, 31, true, false);
    end.Assign("\n");
    unsigned int const whole = stamp.GetLength() + 1 + message.GetLength() + 1;
    CStr text;
    text.Format(L"%ls %ls\n", CStrW(stamp).GetDataW(), CStrW(message).GetDataW());
    // Too long to format, or a wide copy found no memory: join the pieces.
    if (text.GetLength() != whole)
        Join(text, stamp, CLxiOSALRuntime::s_sSpace, message, end);
    // Still short: memory is out. The file gets no torn line; standard
    // error gets the line in its pieces, which need no memory.
    bool const joined = text.GetLength() == whole;
    auto const toStdErr = [&] {
        if (joined) {
            CLxiOSALRuntime::WriteToStdErr(text);
            return;
        }
        CStr const* const apPieces[] = {&stamp, &CLxiOSALRuntime::s_sSpace, &message, &end};
        for (CStr const* pPiece : apPieces)
            CLxiOSALRuntime::WriteToStdErr(*pPiece);
    };

    bool const written = joined && AppendToLog(text);
    if (!written || exitFlag)   // the line reaches standard error once in all
        toStdErr();
    if (exitFlag)
        std::exit(1);
}
