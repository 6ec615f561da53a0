#include "ErrorHandler.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "LxiOSALRuntime.h"
#include "StrW.h"

namespace {

// Format cannot produce texts of more than 32,767 wide characters; such a
// text is then joined piece by piece so that it is still logged whole.
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
    CStrW wideMessage(message);
    CStr const sFile(file);
    result.Clear();   // result may be message itself: read it through the copy from here on
    result.Format(L"%ls in line %lu, file: %ls", wideMessage.GetDataW(),
                  static_cast<unsigned long>(line), CStrW(sFile).GetDataW());
    if (result.IsEmpty()) {
        CStr where;
        where.Format(L" in line %lu, file: ", static_cast<unsigned long>(line));
        Join(result, CStr(wideMessage.GetDataW()), where, sFile, CStr::s_emptyString);
    }
}

void CErrorHandler::LogMsg(CStr const& message, bool exitFlag)
{
    unsigned short aStamp[32];
    CStr stamp(aStamp, 31, true, false);
    CLxiOSALRuntime::GetTimeStamp(stamp);

    CStr text;
    text.Format(L"%ls %ls\n", CStrW(stamp).GetDataW(), CStrW(message).GetDataW());
    if (text.IsEmpty())
        Join(text, stamp, CLxiOSALRuntime::s_sSpace, message, CStr("\n"));

    // One append per line on a file opened for this call; a close that could
    // not flush the buffered line counts as a failed write.
    bool written = false;
    unsigned short aPath[32];
    CStr path(aPath, 31, true, false);
    path.Assign("../Data/ErrorLog.log");
    std::FILE* pFile = CLxiOSALRuntime::FileOpenUtf16(path, CLxiOSALRuntime::s_appendUpdateMode);
    if (pFile != nullptr) {
        unsigned int const length = text.GetLength();
        written = length != 0 && CLxiOSALRuntime::FileWrite(text.GetData(), 2, length, pFile) == length;
        if (CLxiOSALRuntime::FileClose(pFile) != 0)
            written = false;
    }
    if (!written)
        CLxiOSALRuntime::WriteToStdErr(text);
    if (exitFlag) {
        if (written)
            CLxiOSALRuntime::WriteToStdErr(text);
        std::exit(1);
    }
}
