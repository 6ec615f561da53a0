// CLxiOSALRuntime: the static operating-system layer of the stack over POSIX.
// Every operation is a thin wrapper that may be called from any thread.
//
//   void* p = CLxiOSALRuntime::Malloc(64);     // null when memory is out
//   CLxiOSALRuntime::Free(p);                  // null is ignored
//   CStr sNow;
//   CLxiOSALRuntime::GetTimeStamp(sNow);       // "2026-12-04 08:31:33"
//   CLxiOSALRuntime::WriteToStdOut(sNow);      // no line end is added
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
    CLxiOSALRuntime() = delete;

    // The only heap path of the string classes.
    static void* Malloc(unsigned int size);
    static void Free(void* pBlock);
    static void* Realloc(void* pBlock, unsigned int size);   // old block kept on failure

    static void Sleep(unsigned int milliseconds);
    static void GetTimeStamp(CStr& stamp);     // local "%Y-%m-%d %H:%M:%S"
    static long long GetOSCurrentTime();       // ms since the epoch, rounded

    // Write the text as it stands ("%" included) and flush.
    static void WriteToStdErr(CStr const& text);
    static void WriteToStdOut(CStr const& text);

    // Files. Streams belong to the caller until FileClose. Paths reach the
    // system as their 8-bit copy (units above 0x7F become "?").
    static std::FILE* FileOpen(char const* pPath, char const* pMode);
    static std::FILE* FileOpen(CStr const& path, char const* pMode);
    // Open with the UTF-16 (FF FE) or UTF-8 (EF BB BF) mark: written by "wb"
    // and by "ab+" on an empty file, skipped by "rb"; other modes leave it.
    static std::FILE* FileOpenUtf16(CStr const& path, char const* pMode);
    static std::FILE* FileOpenUtf8(CStr const& path, char const* pMode);
    static short FileClose(std::FILE* pFile);    // 0, or -1 on failure
    static short FileFlush(std::FILE* pFile);    // 0, or -1 on failure
    static unsigned int FileRead(void* pBuffer, unsigned int itemSize, unsigned int itemCount,
                                 std::FILE* pFile);
    static unsigned int FileWrite(void const* pData, unsigned int itemSize, unsigned int itemCount,
                                  std::FILE* pFile);
    static bool FileWrite(CStr const& text, std::FILE* pFile);   // the code units, no mark
    static bool FileWrite(CStr const& first, CStr const& second, std::FILE* pFile);
    static short FileRemove(char const* pPath);   // 0 also when there is no such file
    static short FileRemove(CStr const& path);

    // Worker threads (see LxiThreadObject.h).
    static bool CreateThread(CLxiThreadObject& thread);
    static void RequestStopThread(CLxiThreadObject& thread);   // only while running
    static bool StopThreadAndWaitForTermination(CLxiThreadObject& thread, unsigned int timeoutMs);

    // Modules and processes.
    //
    //   ILxiModuleCtrlIfc* pModule = nullptr;
    //   if (!CLxiOSALRuntime::LoadDynLibrary(CStr("./libhislip.so"), pModule))
    //       ;   // missing file, no "GetILxiModuleCtrlIfc", or the entry said no
    //
    // A loaded module stays loaded until the process ends.
    static bool LoadDynLibrary(CStr const& path, ILxiModuleCtrlIfc*& pInterface);
    // Runs "program arguments" through the shell and waits; true on status 0.
    // A blank line runs nothing and gives false; the whole command may stand
    // in the arguments:
    //
    //   CLxiOSALRuntime::StartExecutable(CStr(""), CStr("true"), CStr());   // runs " true": true
    //   CLxiOSALRuntime::StartExecutable(CStr(" "), CStr(""), CStr());      // false
    static bool StartExecutable(CStr const& program, CStr const& arguments, CStr const& unused);
    static void GetApplicationPath(CStr& path);     // the executable's directory
    static void SetCurrentDirectoryToGivenPath(CStr const& path);   // fatal on failure
    static void SetWorkingDirectory();              // the executable's directory

    static char const* const s_readMode;            // "rb"
    static char const* const s_writeMode;           // "wb"
    static char const* const s_appendMode;          // "ab"
    static char const* const s_readUpdateMode;      // "rb+"
    static char const* const s_writeUpdateMode;     // "wb+"
    static char const* const s_appendUpdateMode;    // "ab+"
    static const unsigned char s_ByteOrderMarkUtf16[2];   // FF FE
    static const unsigned char s_ByteOrderMarkUtf8[3];    // EF BB BF
    static const unsigned int s_ByteOrderMarkUtf8Length;  // 3

    static CStr s_sSpace;                      // " "
    static CStr s_PathSeparator;               // "/"
};

#endif
