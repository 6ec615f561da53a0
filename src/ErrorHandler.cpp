#include "ErrorHandler.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "LxiOSALRuntime.h"
#include "StrW.h"

namespace {

// Format cannot produce texts of more than 32,767 wide characters, nor use a
// wide copy that found no memory; such a text is then joined piece by piece
// so that it is still logged whole.
void Join(CStr& result, CStr const& a, CStr const& b, CStr const& c, CStr const& d)
{
    result.Assign(a).Append(b).Append(c).Append(d);
}

}  // namespace

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

    // One append per line on a file opened for this call; a close that could
    // not flush the buffered line counts as a failed write.
    bool written = false;
    unsigned short aPath[32];
    CStr path(aPath, 31, true, false);
    path.Assign("../Data/ErrorLog.log");
    std::FILE* pFile =
        joined ? CLxiOSALRuntime::FileOpenUtf16(path, CLxiOSALRuntime::s_appendUpdateMode) : nullptr;
    if (pFile != nullptr) {
        unsigned int const length = text.GetLength();
        written = CLxiOSALRuntime::FileWrite(text.GetData(), 2, length, pFile) == length;
        if (CLxiOSALRuntime::FileClose(pFile) != 0)
            written = false;
    }
    if (!written || exitFlag)   // the line reaches standard error once in all
        toStdErr();
    if (exitFlag)
        std::exit(1);
}
