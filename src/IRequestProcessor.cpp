#include "IRequestProcessor.h"

#include "IRequestRouter.h"

IRequestRouter* IRequestProcessor::s_pRequestRouter = nullptr;

IRequestProcessor::IRequestProcessor(enumRequestId const* pIds, unsigned short count)
{
    if (s_pRequestRouter != nullptr)
        s_pRequestRouter->RegisterProcessor(*this, pIds, count);
}

IRequestProcessor::~IRequestProcessor()
{
    if (s_pRequestRouter != nullptr)
        s_pRequestRouter->DeregisterProcessor(*this);
}

void IRequestProcessor::ProcessRequest(CRequestBase&) {}

void IRequestProcessor::SetRequestRouter(IRequestRouter& router)
{
    s_pRequestRouter = &router;
}

void IRequestProcessor::ClearRequestRouter()
{
    s_pRequestRouter = nullptr;
}
