// The example's own router for notifications and requests: the stack keeps
// its real routers in another module; this one is just big enough to show
// the contracts.
#ifndef LXIBASE_EXAMPLES_DEMOROUTER_H
#define LXIBASE_EXAMPLES_DEMOROUTER_H

#include "INotificationConsumer.h"
#include "INotificationRouter.h"
#include "IRequestProcessor.h"
#include "IRequestRouter.h"
#include "NotificationBase.h"
#include "NotificationFilterItem.h"
#include "RequestBase.h"

class CDemoRouter : public INotificationRouter, public IRequestRouter
{
public:
    // Notifications: a consumer gets the records its filter items ask for.
    void RegisterConsumer(INotificationConsumer& consumer) override
    {
        if (m_consumerCount < kMax)
            m_apConsumers[m_consumerCount++] = &consumer;
    }
    void DeregisterConsumer(INotificationConsumer const& consumer) override
    {
        for (unsigned int i = 0; i < m_consumerCount; ++i)
            if (m_apConsumers[i] == &consumer) {
                m_apConsumers[i] = m_apConsumers[--m_consumerCount];
                return;
            }
    }
    void ProcessNotification(CNotificationBase const& notification) override
    {
        for (unsigned int i = 0; i < m_consumerCount; ++i) {
            stNotificationFilterItem const* pItems = nullptr;
            unsigned short count = 0;
            m_apConsumers[i]->GetNotificationFilterItems(pItems, count);
            for (unsigned short k = 0; k < count; ++k)
                if (pItems[k].GetNotificationId() == notification.GetNotificationId())
                    m_apConsumers[i]->ProcessNotification(notification);
        }
    }

    // Requests: one processor per id.
    void RegisterProcessor(IRequestProcessor& processor, enumRequestId const* pIds,
                           unsigned short count) override
    {
        for (unsigned short k = 0; k < count && m_processorCount < kMax; ++k)
            m_aProcessors[m_processorCount++] = {pIds[k], &processor};
    }
    void DeregisterProcessor(IRequestProcessor const& processor) override
    {
        for (unsigned int i = 0; i < m_processorCount;)
            if (m_aProcessors[i].pProcessor == &processor)
                m_aProcessors[i] = m_aProcessors[--m_processorCount];
            else
                ++i;
    }
    void ProcessRequest(CRequestBase& request) override
    {
        for (unsigned int i = 0; i < m_processorCount; ++i)
            if (m_aProcessors[i].id == request.GetRequestId())
                m_aProcessors[i].pProcessor->ProcessRequest(request);
    }

    void StopProcessing() override {}

private:
    static constexpr unsigned int kMax = 8;
    struct stEntry
    {
        enumRequestId id;
        IRequestProcessor* pProcessor;
    };
    INotificationConsumer* m_apConsumers[kMax] = {};
    unsigned int m_consumerCount = 0;
    stEntry m_aProcessors[kMax] = {};
    unsigned int m_processorCount = 0;
};

#endif
