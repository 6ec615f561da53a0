/// \class CLxiOSALRuntime
/// The static operating-system layer of the stack over POSIX: heap memory,
/// sleeping and clocks, console output, files with byte-order marks, worker
/// threads, loadable modules, programs and the working directory. Every
/// operation is a thin wrapper that keeps no state and may be called from any
/// thread; failures show in the result (null, false, -1, a short count).
///
///     void* p = CLxiOSALRuntime::Malloc(64);     // null when memory is out
///     CLxiOSALRuntime::Free(p);                  // null is ignored
///     CStr sNow;
///     CLxiOSALRuntime::GetTimeStamp(sNow);       // "2026-12-04 08:31:33"
///     CLxiOSALRuntime::WriteToStdOut(sNow);      // no line end is added
///
/// Loading a module of the stack and making the program's directory the
/// working directory, as a host program does at start-up:
///
///     CLxiOSALRuntime::SetWorkingDirectory();   // "../Data/ErrorLog.log" beside bin/
///     ILxiModuleCtrlIfc* pModule = nullptr;
///     if (!CLxiOSALRuntime::LoadDynLibrary(CStr("./libxm100.so"), pModule))
///         ;   // missing file, no "GetILxiModuleCtrlIfc", or the entry said no
#ifndef LXIBASE_LXIOSALRUNTIME_H
#define LXIBASE_LXIOSALRUNTIME_H

#include <cstdio>

#include "LxiBaseExport.h"
#include "Str.h"

class CLxiThreadObject;
class ILxiModuleCtrlIfc;   // handed out by a loadable module of the stack

class LXIBASE_API CLxiOSALRuntime
{
public:
    CLxiOSALRuntime() = delete;   ///< Static members only.

    /// malloc: a block, or null when memory is out. The only heap path of the
    /// string classes.
    static void* Malloc(unsigned int size);
    static void Free(void* pBlock);   ///< free; null is ignored.
    /// realloc: the block, or null with the old block kept.
    static void* Realloc(void* pBlock, unsigned int size);

    /// Suspends the calling thread (usleep); long sleeps go in pieces.
    static void Sleep(unsigned int milliseconds);
    /// The local time as "%Y-%m-%d %H:%M:%S", 19 characters, replacing the text.
    static void GetTimeStamp(CStr& stamp);
    static long long GetOSCurrentTime();       ///< Wall clock, ms since the epoch, rounded.

    /// Writes the text as it stands ("%" included) to standard error and
    /// flushes; no line end is added.
    static void WriteToStdErr(CStr const& text);
    /// The same on standard output.
    static void WriteToStdOut(CStr const& text);

    /// \name Files
    /// Streams belong to the caller until FileClose. Paths reach the system as
    /// their 8-bit copy (units above 0x7F become "?").
    ///@{
    /// fopen; null on failure, nothing reported.
    static std::FILE* FileOpen(char const* pPath, char const* pMode);
    /// fopen of the 8-bit copy of path.
    static std::FILE* FileOpen(CStr const& path, char const* pMode);
    /// Opens with the UTF-16 mark FF FE: written by "wb" and by "ab+" on an
    /// empty file, skipped by "rb"; other modes leave it. A failure is told on
    /// standard error and gives null.
    static std::FILE* FileOpenUtf16(CStr const& path, char const* pMode);
    /// The same with the UTF-8 mark EF BB BF.
    static std::FILE* FileOpenUtf8(CStr const& path, char const* pMode);
    static short FileClose(std::FILE* pFile);    ///< fclose: 0, or -1 on failure.
    static short FileFlush(std::FILE* pFile);    ///< fflush: 0, or -1 on failure.
    /// fread: the number of whole items read.
    static unsigned int FileRead(void* pBuffer, unsigned int itemSize, unsigned int itemCount,
                                 std::FILE* pFile);
    /// fwrite: the number of whole items written.
    static unsigned int FileWrite(void const* pData, unsigned int itemSize, unsigned int itemCount,
                                  std::FILE* pFile);
    /// The text's code units, no mark, no terminator; true when all were written.
    static bool FileWrite(CStr const& text, std::FILE* pFile);
    /// first, then second; true when every write made succeeded.
    static bool FileWrite(CStr const& first, CStr const& second, std::FILE* pFile);
    static short FileRemove(char const* pPath);   ///< 0, also when there is no such file; else -1.
    static short FileRemove(CStr const& path);    ///< The same for the 8-bit copy of path.
    ///@}

    /// \name Worker threads (see CLxiThreadObject)
    ///@{
    /// Starts a thread that runs the object's cycle; false (state unchanged)
    /// when the system refuses one.
    static bool CreateThread(CLxiThreadObject& thread);
    /// Asks a running cycle to stop; in any other state does nothing.
    static void RequestStopThread(CLxiThreadObject& thread);
    /// Asks for the stop every 10 ms until the thread has terminated (true)
    /// or timeoutMs has passed (false: the object must not be destroyed yet).
    static bool StopThreadAndWaitForTermination(CLxiThreadObject& thread, unsigned int timeoutMs);
    ///@}

    /// \name Modules, programs and the working directory
    ///@{
    /// Loads the module (dlopen) and calls its "GetILxiModuleCtrlIfc" with
    /// pInterface; true when that returned true. A loaded module stays loaded
    /// until the process ends.
    static bool LoadDynLibrary(CStr const& path, ILxiModuleCtrlIfc*& pInterface);
    /// Runs "program arguments" through the shell and waits; true on status 0.
    /// A blank line runs nothing and gives false; the whole command may stand
    /// in the arguments:
    ///
    ///     CLxiOSALRuntime::StartExecutable(CStr(""), CStr("true"), CStr());   // runs " true": true
    ///     CLxiOSALRuntime::StartExecutable(CStr(" "), CStr(""), CStr());      // false
    static bool StartExecutable(CStr const& program, CStr const& arguments, CStr const& unused);
    /// The executable's directory, without a trailing "/".
    static void GetApplicationPath(CStr& path);
    /// chdir; a failure logs id 110 and ends the process with status 1.
    static void SetCurrentDirectoryToGivenPath(CStr const& path);
    /// Makes the executable's directory the working directory (fatal on failure).
    static void SetWorkingDirectory();
    ///@}

    /// \name Open modes
    ///@{
    static char const* const s_readMode;            ///< "rb"
    static char const* const s_writeMode;           ///< "wb"
    static char const* const s_appendMode;          ///< "ab"
    static char const* const s_readUpdateMode;      ///< "rb+"
    static char const* const s_writeUpdateMode;     ///< "wb+"
    static char const* const s_appendUpdateMode;    ///< "ab+"
    ///@}
    static const unsigned char s_ByteOrderMarkUtf16[2];   ///< FF FE
    static const unsigned char s_ByteOrderMarkUtf8[3];    ///< EF BB BF
    static const unsigned int s_ByteOrderMarkUtf8Length;  ///< 3

    static CStr s_sSpace;                      ///< " "
    static CStr s_PathSeparator;               ///< "/"
};

#endif
