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

#include "Str.h"

class ILxiModuleCtrlIfc;   // handed out by a loadable module of the stack

class CLxiOSALRuntime
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

    static CStr s_sSpace;                      // " "
    static CStr s_PathSeparator;               // "/"
};

#endif
