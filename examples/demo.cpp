// A tour of lxibase as a host program of the stack uses it: strings, the
// working directory, a loadable module, a worker thread sending
// notifications, a routed request, and the error log read back.
#include <atomic>
#include <cstdio>

#include "DemoRouter.h"
#include "ErrorHandler.h"
#include "LxiOSALRuntime.h"
#include "LxiThreadObject.h"
#include "SampleModuleIfc.h"
#include "Str.h"
#include "StrA.h"
#include "StrUtil.h"
#include "StrW.h"

namespace {

constexpr enumNotificationId kMeasurementReady = static_cast<enumNotificationId>(7);
constexpr enumRequestId kReadIdentity = static_cast<enumRequestId>(3);

// Prints a CStr as UTF-8 with a caption.
void Show(char const* pCaption, CStr const& text)
{
    unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(text.GetData(), text.GetLength());
    unsigned char aUtf8[256] = {0};
    if (bytes < sizeof(aUtf8))
        CStrUtil::MemcpyUtf8FromUtf16(aUtf8, text.GetData(), text.GetLength());
    std::printf("  %-22s %s\n", pCaption, reinterpret_cast<char const*>(aUtf8));
}

// Receives the measurements the worker thread sends.
class CDisplay : public INotificationConsumer
{
public:
    void ProcessNotification(CNotificationBase const& notification) override
    {
        m_lastValue = notification.GetUnsignedValue1();
        ++m_received;
    }
    void GetNotificationFilterItems(stNotificationFilterItem const*& pItems,
                                    unsigned short& count) const override
    {
        static const stNotificationFilterItem s_aItems[] = {stNotificationFilterItem(kMeasurementReady)};
        pItems = s_aItems;
        count = 1;
    }
    std::atomic<unsigned int> m_received{0};
    std::atomic<unsigned int> m_lastValue{0};
};

// A worker that takes a "measurement" every cycle and announces it.
class CMeasurementThread : public CLxiThreadObject
{
public:
    CMeasurementThread() : CLxiThreadObject("measurement") {}
    void Execute() override
    {
        CNotificationBase notification(stNotificationFilterItem(kMeasurementReady), GetThreadName(),
                                       CStr("V"), 1000 + m_steps++, 0, 0, 0, 0, 0, 0, 0, 0);
        notification.Process();
    }
    unsigned int m_steps = 0;
};

// A request that carries its answer back to the sender.
class CReadIdentity : public CRequestBase
{
public:
    CReadIdentity() : CRequestBase(kReadIdentity) {}
    CStr m_sAnswer;
};

class CIdentityService : public IRequestProcessor
{
public:
    CIdentityService() : IRequestProcessor(s_aIds, 1) {}
    void ProcessRequest(CRequestBase& request) override
    {
        static_cast<CReadIdentity&>(request).m_sAnswer.Assign("LXI-DEMO,Model 1,SN0042,1.0.0");
    }

private:
    static const enumRequestId s_aIds[1];
};
const enumRequestId CIdentityService::s_aIds[1] = {kReadIdentity};

void TextWork()
{
    std::printf("Text\n");
    CStr sReply(reinterpret_cast<unsigned char const*>("  MEAS:TEMP 23.5 \xC2\xB0""C; MEAS:TEMP 23.7 \xC2\xB0""C \r\n"));
    sReply.Trim(nullptr);
    Show("trimmed reply", sReply);
    std::printf("  %-22s %u at %u\n", "\"MEAS\" count, first", sReply.Count(CStr("MEAS"), 0),
                sReply.FindNext(CStr("MEAS"), 0));
    sReply.Replace(CStr("MEAS:TEMP"), CStr("T"), 0, true);
    Show("after Replace", sReply);

    unsigned short aInline[32];
    CStr sShort(aInline, 31, true, false);
    sShort.Format(L"%ls=%d", L"RANGE", 10);
    std::printf("  %-22s %s (inline buffer: %s)\n", "formatted", CStrA(sShort).GetDataA(),
                sShort.GetData() == aInline ? "yes" : "no");
    int value = 0;
    bool const parsed = CStrUtil::ConvertToInteger(CStr("0x1F"), value);
    std::printf("  %-22s %s, %d; \"ON\" is %s\n", "0x1F as integer", parsed ? "read" : "not read", value,
                CStrA(CStrUtil::ConvertBoolean(CStrUtil::ConvertToBoolean(CStr("ON")))).GetDataA());
    CStr sStamp;
    CLxiOSALRuntime::GetTimeStamp(sStamp);
    Show("local time", sStamp);
}

// Prints the UTF-16 log as UTF-8, line by line.
unsigned int PrintLog()
{
    std::FILE* pLog = CLxiOSALRuntime::FileOpenUtf16(CStr("../Data/ErrorLog.log"), CLxiOSALRuntime::s_readMode);
    if (pLog == nullptr)
        return 0;
    unsigned int lines = 0;
    unsigned short aUnits[128];
    unsigned int n;
    CStr sText;
    while ((n = CLxiOSALRuntime::FileRead(aUnits, 2, 128, pLog)) != 0) {
        CStr sChunk;
        sChunk.Assign(aUnits, n);
        sText.Append(sChunk);
    }
    CLxiOSALRuntime::FileClose(pLog);
    CStr sLine;
    for (unsigned int at = 0, end; (end = sText.FindNext(CStr("\n"), at)) != CStr::NOT_FOUND; at = end + 1) {
        sLine.CopyRange(sText, at, end - at);
        Show(lines++ == 0 ? "log" : "", sLine);
    }
    return lines;
}

}  // namespace

int main()
{
    std::printf("lxibase demo\n\n");
    TextWork();

    // Relative paths of the stack resolve from the executable's directory.
    CLxiOSALRuntime::SetWorkingDirectory();
    CStr sHome;
    CLxiOSALRuntime::GetApplicationPath(sHome);
    std::printf("\nPlatform\n");
    Show("working directory", sHome);

    ILxiModuleCtrlIfc* pModule = nullptr;
    bool const loaded = CLxiOSALRuntime::LoadDynLibrary(CStr("./libLxiSampleModule.so"), pModule);
    CStr sModule("(none)");
    if (loaded && pModule != nullptr && pModule->Start())
        pModule->GetModuleName(sModule);
    Show("module loaded", sModule);

    CDemoRouter router;
    INotificationConsumer::SetNotificationRouter(router);
    CNotificationBase::SetNotificationRouter(router);
    IRequestProcessor::SetRequestRouter(router);
    CRequestBase::SetRequestRouter(router);

    unsigned int received = 0;
    unsigned int steps = 0;
    CStr sIdentity;
    {
        CDisplay display;
        CIdentityService identity;
        CMeasurementThread worker;
        bool const started = CLxiOSALRuntime::CreateThread(worker);
        for (int i = 0; started && i < 200 && display.m_received < 5; ++i)
            CLxiOSALRuntime::Sleep(10);
        bool const stopped = CLxiOSALRuntime::StopThreadAndWaitForTermination(worker, 2000);
        received = display.m_received;
        steps = worker.m_steps;
        std::printf("  %-22s %s, %u notifications, last value %u\n", "worker thread",
                    stopped ? "stopped" : "STILL RUNNING", received, display.m_lastValue.load());

        CReadIdentity request;
        request.Process();
        sIdentity.Assign(request.m_sAnswer);
        Show("*IDN? answered", sIdentity);
    }
    INotificationConsumer::ClearNotificationRouter();
    CNotificationBase::ClearNotificationRouter();
    IRequestProcessor::ClearRequestRouter();
    CRequestBase::ClearRequestRouter();

    // A fresh log for this run, then one catalogued error and the log read back.
    std::printf("\nError log (../Data/ErrorLog.log)\n");
    CLxiOSALRuntime::FileRemove(CStr("../Data/ErrorLog.log"));
    CErrorHandler::LogMsg(L"" __FILE__, __LINE__, false, LXI_ERR_MODULE_LOAD_FAILED_FOR_PATH,
                          L"./libLxiMissing.so");
    unsigned int const logLines = PrintLog();

    std::printf("\nSummary: module %s, %u of %u notifications delivered, request %s, %u log line(s)\n",
                loaded ? "loaded" : "NOT loaded", received, steps,
                sIdentity.IsEmpty() ? "NOT answered" : "answered", logLines);
    bool const ok = loaded && received >= 5 && !sIdentity.IsEmpty() && logLines == 1;
    return ok ? 0 : 1;
}
