// CLxiThreadObject: base class of every worker thread of the stack. A derived
// class supplies Execute (one step of the cyclic work); CLxiOSALRuntime
// starts and stops the thread. The state word is the only data the worker
// and its controllers share.
//
//   class CPoller : public CLxiThreadObject
//   {
//   public:
//       CPoller() : CLxiThreadObject("poller") {}
//       void Execute() override { /* one step, then a 10 ms pause */ }
//   };
//
//   CPoller poller;
//   CLxiOSALRuntime::CreateThread(poller);
//   ...
//   if (CLxiOSALRuntime::StopThreadAndWaitForTermination(poller, 1000))
//       ;   // the worker has finished; poller may be destroyed or restarted
#ifndef LXIBASE_LXITHREADOBJECT_H
#define LXIBASE_LXITHREADOBJECT_H

#include <atomic>

#include "LxiBaseExport.h"
#include "Str.h"

enum enumLxiThreadStates : unsigned int
{
    LXI_THRD_WAIT_FOR_START = 0,   // created; no thread runs the object
    LXI_THRD_STARTUP = 1,          // the worker runs Startup
    LXI_THRD_RUNNING = 2,          // the worker runs its cycle
    LXI_THRD_STOP_REQUESTED = 3,   // the cycle ends at its next test
    LXI_THRD_SHUTDOWN = 4,         // the worker runs Shutdown
    LXI_THRD_TERMINATED = 5        // the worker no longer touches the object
};

class LXIBASE_API CLxiThreadObject
{
public:
    CLxiThreadObject(char const* pThreadName);

    virtual void Startup();                // once before the cycle; does nothing
    virtual void Execute() = 0;            // one step of the cyclic work
    virtual void Shutdown();               // once after the cycle; does nothing
    virtual void WaitForNextExecution();   // paces the cycle: sleeps 10 ms
    virtual ~CLxiThreadObject();           // neither stops nor waits

    enumLxiThreadStates GetThreadState() const { return m_threadState.load(); }
    void SetThreadState(enumLxiThreadStates state) { m_threadState.store(state); }
    CStr const& GetThreadName() const { return m_sThreadName; }

private:
    // One 32-bit word, read and written atomically by worker and controllers.
    std::atomic<enumLxiThreadStates> m_threadState;
    unsigned short m_threadNameBuffer[32];   // keeps names of up to 31 units inline
    CStr m_sThreadName;                      // attached to m_threadNameBuffer
};

#endif
