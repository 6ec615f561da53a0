// A module of the stack in miniature: compiled against the installed headers
// and linked against the installed liblxibase.so, it uses each kind of thing
// the library exports (classes, static data, virtual calls both ways, a
// worker thread) and prints "lxibase consumer: ok".
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "INotificationConsumer.h"
#include "INotificationRouter.h"
#include "LxiErrorLogIds.h"
#include "LxiOSALRuntime.h"
#include "LxiThreadObject.h"
#include "NotificationBase.h"
#include "Str.h"
#include "StrA.h"
#include "StrUtil.h"

namespace {

int g_failures = 0;

void Check(bool ok, char const* pWhat)
{
    if (!ok) {
        std::printf("FAIL: %s\n", pWhat);
        ++g_failures;
    }
}

// The library calls back into this program through the router's vtable.
class CRouter : public INotificationRouter
{
public:
    void RegisterConsumer(INotificationConsumer&) override { ++m_registered; }
    void DeregisterConsumer(INotificationConsumer const&) override { ++m_deregistered; }
    void ProcessNotification(CNotificationBase const& notification) override
    {
        m_value = notification.GetUnsignedValue1();
        m_text.Assign(notification.GetStringValue1());
    }

    int m_registered = 0;
    int m_deregistered = 0;
    unsigned int m_value = 0;
    CStr m_text;
};

class CWorker : public CLxiThreadObject
{
public:
    CWorker() : CLxiThreadObject("consumer-worker") {}
    void Execute() override
    {
        if (++m_steps == 3)
            SetThreadState(LXI_THRD_STOP_REQUESTED);
    }

    std::atomic<int> m_steps{0};
};

}  // namespace

int main()
{
    CStr text;
    text.Format(L"%ls %d", L"lxibase", 1);
    Check(std::strcmp(CStrA(text).GetDataA(), "lxibase 1") == 0, "CStr::Format and CStrA");
    Check(CStrUtil::ConvertBoolean(true).Equals(CStrUtil::s_sTrue), "static strings");
    Check(std::wcscmp(CLxiErrorLogIds::GetFormatString(LXI_ERR_SET_CURRENT_DIRECTORY_FAILED),
                      L"SetCurrentDirectory: failed!") == 0,
          "error catalogue");

    CRouter router;
    INotificationConsumer::SetNotificationRouter(router);
    CNotificationBase::SetNotificationRouter(router);
    { INotificationConsumer consumer; }
    CNotificationBase notification(stNotificationFilterItem(LXI_NOTIFICATION_DATABASE_ITEM_CHANGED),
                                   CStr("probe"), CStr::s_emptyString, 42, 0, 0, 0, 0, 0, 0, 0, 0);
    notification.Process();
    INotificationConsumer::ClearNotificationRouter();
    CNotificationBase::ClearNotificationRouter();
    Check(router.m_registered == 1 && router.m_deregistered == 1, "consumer registration");
    Check(router.m_value == 42 && router.m_text.Equals(CStr("probe")), "notification routing");

    // The worker ends its own cycle after three steps.
    CWorker worker;
    bool const started = CLxiOSALRuntime::CreateThread(worker);
    for (int i = 0; started && i < 1000 && worker.GetThreadState() != LXI_THRD_TERMINATED; ++i)
        CLxiOSALRuntime::Sleep(10);
    Check(worker.GetThreadState() == LXI_THRD_TERMINATED && worker.m_steps == 3, "worker thread");

    std::printf("lxibase consumer: %s\n", g_failures == 0 ? "ok" : "FAILED");
    return g_failures == 0 ? 0 : 1;
}
