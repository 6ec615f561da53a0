#include "INotificationConsumer.h"

#include "INotificationRouter.h"

INotificationRouter* INotificationConsumer::s_pNotificationRouter = nullptr;

INotificationConsumer::INotificationConsumer()
{
    if (s_pNotificationRouter != nullptr)
        s_pNotificationRouter->RegisterConsumer(*this);
}

INotificationConsumer::~INotificationConsumer()
{
    if (s_pNotificationRouter != nullptr)
        s_pNotificationRouter->DeregisterConsumer(*this);
}

void INotificationConsumer::ProcessNotification(CNotificationBase const&) {}

void INotificationConsumer::GetNotificationFilterItems(stNotificationFilterItem const*& pItems,
                                                       unsigned short& count) const
{
    pItems = nullptr;
    count = 0;
}

void INotificationConsumer::SetNotificationRouter(INotificationRouter& router)
{
    s_pNotificationRouter = &router;
}

void INotificationConsumer::ClearNotificationRouter()
{
    s_pNotificationRouter = nullptr;
}
