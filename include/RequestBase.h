/// \file
/// CRequestBase and the request ids.
///
/// \class CRequestBase
/// The record a request travels in. The router hands it to the processor
/// registered for its id; a module derives its own request class to carry the
/// data, which the processor may write into. Records belong to their sender.
///
///     CReadSetting request(sName);   // derived from CRequestBase
///     request.Process();             // handled in this thread by the router
#ifndef LXIBASE_REQUESTBASE_H
#define LXIBASE_REQUESTBASE_H

#include "LxiBaseExport.h"

/// Request ids; the modules of the stack define the values.
enum enumRequestId : unsigned int
{
};

class IRequestRouter;

class LXIBASE_API CRequestBase
{
public:
    explicit CRequestBase(enumRequestId id);  ///< A request for the processor of id.
    virtual ~CRequestBase();                  ///< Does nothing more.

    enumRequestId GetRequestId() const { return m_requestId; }   ///< Fixed at construction.

    /// To the router if one is set, else dropped; the processor runs in this
    /// thread unless the router queues the request.
    void Process();

    /// Process() sends to router from now on (not owned).
    static void SetRequestRouter(IRequestRouter& router);
    static void ClearRequestRouter();         ///< Process() drops requests from now on.

    static IRequestRouter* s_pRequestRouter;  ///< Not owned; starts null.

private:
    enumRequestId m_requestId;                // selects the processor; fixed at construction
};

#endif
