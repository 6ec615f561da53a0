/// \class IRequestProcessor
/// Base of every handler of requests.
///
/// A processor registers with the router in s_pRequestRouter, together with
/// the ids it handles, when it is built, and deregisters when it is
/// destroyed, if the pointer is set at that moment. The id list is passed on
/// as given and not copied: it must live as long as the processor (a static
/// array, say).
///
///     static const enumRequestId s_aIds[] = {kReadSetting, kWriteSetting};
///     CSettings::CSettings() : IRequestProcessor(s_aIds, 2) {}
#ifndef LXIBASE_IREQUESTPROCESSOR_H
#define LXIBASE_IREQUESTPROCESSOR_H

#include "LxiBaseExport.h"
#include "RequestBase.h"

class IRequestRouter;

class LXIBASE_API IRequestProcessor
{
public:
    /// Registers with the ids if a router is set.
    IRequestProcessor(enumRequestId const* pIds, unsigned short count);
    virtual ~IRequestProcessor();             ///< Deregisters if a router is set.
    /// A copy would never be registered but would deregister: processors are
    /// not copied.
    IRequestProcessor(IRequestProcessor const&) = delete;
    /// Not assigned either.
    IRequestProcessor& operator=(IRequestProcessor const&) = delete;

    /// A request with one of the registered ids; it may be written into. The
    /// default ignores it.
    virtual void ProcessRequest(CRequestBase& request);

    /// Processors built from now on register with router (not owned).
    static void SetRequestRouter(IRequestRouter& router);
    /// No more registering; call before the router goes.
    static void ClearRequestRouter();

    static IRequestRouter* s_pRequestRouter;  ///< Not owned; starts null.
};

#endif
