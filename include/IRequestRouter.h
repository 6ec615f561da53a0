// IRequestRouter: the contract of the request router. The router itself
// lives in another module of the stack; the defaults here do nothing.
//
// RegisterProcessor is called from IRequestProcessor's constructor, when only
// that base is built; the id list may be kept by pointer, its owner keeps it
// alive. DeregisterProcessor is called from the processor's destructor;
// afterwards the router must not touch it again. ProcessRequest gets the
// sender's request for the duration of the call only.
#ifndef LXIBASE_IREQUESTROUTER_H
#define LXIBASE_IREQUESTROUTER_H

#include "LxiBaseExport.h"
#include "RequestBase.h"

class IRequestProcessor;

class LXIBASE_API IRequestRouter
{
public:
    virtual ~IRequestRouter();

    virtual void ProcessRequest(CRequestBase& request);                  // from Process()
    virtual void RegisterProcessor(IRequestProcessor& processor, enumRequestId const* pIds,
                                   unsigned short count);                 // from its constructor
    virtual void DeregisterProcessor(IRequestProcessor const& processor); // from its destructor
    virtual void StopProcessing();                                        // never called here
};

#endif
