#include "RequestBase.h"

#include "IRequestRouter.h"

IRequestRouter* CRequestBase::s_pRequestRouter = nullptr;

CRequestBase::CRequestBase(enumRequestId id) : m_requestId(id) {}

CRequestBase::~CRequestBase() {}

void CRequestBase::Process()
{
    if (s_pRequestRouter != nullptr)
        s_pRequestRouter->ProcessRequest(*this);
}

void CRequestBase::SetRequestRouter(IRequestRouter& router)
{
    s_pRequestRouter = &router;
}

void CRequestBase::ClearRequestRouter()
{
    s_pRequestRouter = nullptr;
}
