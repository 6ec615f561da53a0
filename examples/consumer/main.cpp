// A module in miniature against the installed lxibase: classes, static data, virtual calls both ways, a worker thread.
#include <cstdio>
#include <cstring>

#include "INotificationRouter.h"
#include "LxiErrorLogIds.h"
#include "LxiOSALRuntime.h"
#include "LxiThreadObject.h"
#include "NotificationBase.h"
#include "StrA.h"
#include "StrUtil.h"

struct CRouter : INotificationRouter   // called back by the library through its vtable
{
    void ProcessNotification(CNotificationBase const& n) override { m_value = n.GetUnsignedValue1(); }
    unsigned int m_value = 0;
};

struct CWorker : CLxiThreadObject   // ends its own cycle after one step
{
    CWorker() : CLxiThreadObject("consumer-worker") {}
    void Execute() override { SetThreadState(LXI_THRD_STOP_REQUESTED); }
};

int main()
{
    CStr text;   // a catalogue text through Format and the 8-bit copy
    text.Format(L"%ls %d", CLxiErrorLogIds::GetFormatString(LXI_ERR_SET_CURRENT_DIRECTORY_FAILED), 1);
    CRouter router;
    CNotificationBase::SetNotificationRouter(router);
    CNotificationBase(stNotificationFilterItem(LXI_NOTIFICATION_DATABASE_ITEM_CHANGED), CStr("probe"),
                      CStr::s_emptyString, 42, 0, 0, 0, 0, 0, 0, 0, 0).Process();
    CWorker worker;
    bool const ok = std::strcmp(CStrA(text).GetDataA(), "SetCurrentDirectory: failed! 1") == 0 && router.m_value == 42 &&
                    CStrUtil::ConvertBoolean(true).Equals(CStrUtil::s_sTrue) && CLxiOSALRuntime::CreateThread(worker) &&
                    CLxiOSALRuntime::StopThreadAndWaitForTermination(worker, 10000);
    std::printf("lxibase consumer: %s\n", ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}
