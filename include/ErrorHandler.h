/// \class CErrorHandler
/// The error logger of the stack. Each call appends one time-stamped UTF-16
/// line to "../Data/ErrorLog.log" (relative to the working directory, which
/// CLxiOSALRuntime::SetWorkingDirectory makes the program's own), falls back
/// to standard error, and with the exit flag ends the process with status 1.
///
///     CErrorHandler::LogMsg(L"" __FILE__, __LINE__, false, LXI_ERR_MODULE_LOAD_FAILED_FOR_PATH,
///                           CStrW(sPath).GetDataW());
///     // appends a line such as "2026-12-04 08:30:38 The module with following
///     // path ./libxm.so could not be loaded! in line 42, file: /src/Modules.cpp"
///
/// The arguments after the id are the ones its catalogue text names ("%ls"
/// takes a wchar_t text: pass a CStr through CStrW). The file is opened and
/// closed for each line. Threads and processes logging at once take turns on
/// it (an advisory lock per line), so it gets one mark and whole lines; a
/// line written after one cut short (its writer killed mid-line) starts on a
/// line of its own. A returned call has handed its line to the kernel:
/// nothing is synced to storage, and nothing is kept.
#ifndef LXIBASE_ERRORHANDLER_H
#define LXIBASE_ERRORHANDLER_H

#include "LxiBaseExport.h"
#include "LxiErrorLogIds.h"
#include "Str.h"

class LXIBASE_API CErrorHandler
{
public:
    CErrorHandler() = delete;   ///< Static members only.

    /// Formats the catalogue text of id with the arguments that follow it,
    /// appends the source location and logs the line. Does not return when
    /// exitFlag is set.
    static void LogMsg(wchar_t const* file, unsigned int line, bool exitFlag, enumLxiErrorLogId id, ...);
    /// result = "<message> in line <line>, file: <file>".
    static void AddSourceLocation(wchar_t const* file, unsigned int line, CStr const& message, CStr& result);
    /// Time-stamps a finished text and logs it: the file, else standard
    /// error; with exitFlag also standard error (once in all), then exit(1).
    static void LogMsg(CStr const& message, bool exitFlag);
};

#endif
