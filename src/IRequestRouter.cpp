#include "IRequestRouter.h"

IRequestRouter::~IRequestRouter() {}

void IRequestRouter::ProcessRequest(CRequestBase&) {}

void IRequestRouter::RegisterProcessor(IRequestProcessor&, enumRequestId const*, unsigned short) {}

void IRequestRouter::DeregisterProcessor(IRequestProcessor const&) {}

void IRequestRouter::StopProcessing() {}
