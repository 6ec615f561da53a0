/// \file
/// CLxiThreadObject and its states.
///
/// \class CLxiThreadObject
/// Base class of every worker thread of the stack. A derived class supplies
/// Execute (one step of the cyclic work); CLxiOSALRuntime starts and stops
/// the thread, which runs Startup, then Execute and WaitForNextExecution for
/// as long as the state is LXI_THRD_RUNNING, then Shutdown. The state word is
/// the only data the worker and its controllers share; the object must live
/// until the state is LXI_THRD_TERMINATED.
///
///     class CPoller : public CLxiThreadObject
///     {
///     public:
///         CPoller() : CLxiThreadObject("poller") {}
///         void Execute() override { /* one step, then a 10 ms pause */ }
///     };
///
///     CPoller poller;
///     CLxiOSALRuntime::CreateThread(poller);
///     ...
///     if (CLxiOSALRuntime::StopThreadAndWaitForTermination(poller, 1000))
///         ;   // the worker has finished; poller may be destroyed or restarted
#ifndef LXIBASE_LXITHREADOBJECT_H
#define LXIBASE_LXITHREADOBJECT_H

#include <atomic>

#include "LxiBaseExport.h"
#include "Str.h"

/// Where a worker thread is in its life; one 32-bit word.
enum enumLxiThreadStates : unsigned int
{
    LXI_THRD_WAIT_FOR_START = 0,   ///< Created; no thread runs the object.
    LXI_THRD_STARTUP = 1,          ///< The worker runs Startup.
    LXI_THRD_RUNNING = 2,          ///< The worker runs its cycle.
    LXI_THRD_STOP_REQUESTED = 3,   ///< The cycle ends at its next test.
    LXI_THRD_SHUTDOWN = 4,         ///< The worker runs Shutdown.
    LXI_THRD_TERMINATED = 5        ///< The worker no longer touches the object.
};

class LXIBASE_API CLxiThreadObject
{
public:
    /// State LXI_THRD_WAIT_FOR_START; the name is copied whole.
    CLxiThreadObject(char const* pThreadName);

    virtual void Startup();                ///< Once before the cycle; does nothing.
    virtual void Execute() = 0;            ///< One step of the cyclic work.
    virtual void Shutdown();               ///< Once after the cycle; does nothing.
    virtual void WaitForNextExecution();   ///< Paces the cycle: sleeps 10 ms.
    virtual ~CLxiThreadObject();           ///< Neither stops nor waits.

    /// The state, read atomically from any thread.
    enumLxiThreadStates GetThreadState() const { return m_threadState.load(); }
    /// Sets the state atomically; any state but LXI_THRD_RUNNING, set from
    /// Execute, ends the cycle at its next test.
    void SetThreadState(enumLxiThreadStates state) { m_threadState.store(state); }
    CStr const& GetThreadName() const { return m_sThreadName; }   ///< As given.

private:
    // One 32-bit word, read and written atomically by worker and controllers.
    std::atomic<enumLxiThreadStates> m_threadState;
    unsigned short m_threadNameBuffer[32];   // keeps names of up to 31 units inline
    CStr m_sThreadName;                      // attached to m_threadNameBuffer
};

#endif
