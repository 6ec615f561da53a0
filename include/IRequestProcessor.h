// IRequestProcessor: base of every handler of requests.
//
// A processor registers with the router in s_pRequestRouter, together with
// the ids it handles, when it is built, and deregisters when it is
// destroyed, if the pointer is set at that moment. The id list is passed on
// as given and not copied: it must live as long as the processor (a static
// array, say).
//
//   static const enumRequestId s_aIds[] = {kReadSetting, kWriteSetting};
//   CSettings::CSettings() : IRequestProcessor(s_aIds, 2) {}
#ifndef LXIBASE_IREQUESTPROCESSOR_H
#define LXIBASE_IREQUESTPROCESSOR_H

#include "LxiBaseExport.h"
#include "RequestBase.h"

class IRequestRouter;

class LXIBASE_API IRequestProcessor
{
public:
    IRequestProcessor(enumRequestId const* pIds, unsigned short count);   // registers if a router is set
    virtual ~IRequestProcessor();             // deregisters if a router is set
    // A copy would never be registered but would deregister: processors are
    // not copied.
    IRequestProcessor(IRequestProcessor const&) = delete;
    IRequestProcessor& operator=(IRequestProcessor const&) = delete;

    virtual void ProcessRequest(CRequestBase& request);   // default: ignore

    static void SetRequestRouter(IRequestRouter& router);
    static void ClearRequestRouter();

    static IRequestRouter* s_pRequestRouter;  // not owned; starts null
};

#endif
