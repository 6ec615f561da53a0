/// \class IRequestRouter
/// The contract of the request router. The router itself lives in another
/// module of the stack; the defaults here do nothing.
///
/// RegisterProcessor is called from IRequestProcessor's constructor, when only
/// that base is built; the id list may be kept by pointer, its owner keeps it
/// alive. DeregisterProcessor is called from the processor's destructor;
/// afterwards the router must not touch it again. ProcessRequest gets the
/// sender's request for the duration of the call only. The router is set
/// and cleared like the notification router:
///
///     IRequestProcessor::SetRequestRouter(router);   // at start-up
///     CRequestBase::SetRequestRouter(router);
#ifndef LXIBASE_IREQUESTROUTER_H
#define LXIBASE_IREQUESTROUTER_H

#include "LxiBaseExport.h"
#include "RequestBase.h"

class IRequestProcessor;

class LXIBASE_API IRequestRouter
{
public:
    virtual ~IRequestRouter();   ///< Does nothing.

    virtual void ProcessRequest(CRequestBase& request);                  ///< From Process().
    virtual void RegisterProcessor(IRequestProcessor& processor, enumRequestId const* pIds,
                                   unsigned short count);                 ///< From its constructor.
    virtual void DeregisterProcessor(IRequestProcessor const& processor); ///< From its destructor.
    virtual void StopProcessing();                                        ///< Never called here.
};

#endif
