// CRequestBase: the record a request travels in. The router hands it to the
// processor registered for its id; a module derives its own request class
// to carry the data, which the processor may write into.
//
//   CReadSetting request(sName);   // derived from CRequestBase
//   request.Process();             // handled in this thread by the router
#ifndef LXIBASE_REQUESTBASE_H
#define LXIBASE_REQUESTBASE_H

#include "LxiBaseExport.h"

// Request ids; the modules of the stack define the values.
enum enumRequestId : unsigned int
{
};

class IRequestRouter;

class LXIBASE_API CRequestBase
{
public:
    explicit CRequestBase(enumRequestId id);
    virtual ~CRequestBase();

    enumRequestId GetRequestId() const { return m_requestId; }

    void Process();                           // to the router if one is set, else dropped

    static void SetRequestRouter(IRequestRouter& router);
    static void ClearRequestRouter();

    static IRequestRouter* s_pRequestRouter;  // not owned; starts null

private:
    enumRequestId m_requestId;                // selects the processor; fixed at construction
};

#endif
