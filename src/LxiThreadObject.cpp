#include "LxiThreadObject.h"

#include "LxiOSALRuntime.h"

static_assert(sizeof(std::atomic<enumLxiThreadStates>) == 4, "the state is one 32-bit word");

CLxiThreadObject::CLxiThreadObject(char const* pThreadName)
    : m_threadState(LXI_THRD_WAIT_FOR_START),
      m_threadNameBuffer(),
      m_sThreadName(m_threadNameBuffer, 31, true, false)
{
    m_sThreadName.Assign(pThreadName);
}

CLxiThreadObject::~CLxiThreadObject() = default;

void CLxiThreadObject::Startup() {}

void CLxiThreadObject::Shutdown() {}

void CLxiThreadObject::WaitForNextExecution()
{
    CLxiOSALRuntime::Sleep(10);
}
