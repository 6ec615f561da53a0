// INotificationRouter: the contract of the notification router. The router
// itself lives in another module of the stack; the defaults here do nothing.
//
// RegisterConsumer is called from INotificationConsumer's constructor, when
// only that base is built: read the consumer's filter items later.
// DeregisterConsumer is called from its destructor; afterwards the router
// must not touch the consumer again. ProcessNotification gets the sender's
// record for the duration of the call only: keep a copy (Assign) to deliver
// later.
#ifndef LXIBASE_INOTIFICATIONROUTER_H
#define LXIBASE_INOTIFICATIONROUTER_H

#include "LxiBaseExport.h"

class CNotificationBase;
class INotificationConsumer;

class LXIBASE_API INotificationRouter
{
public:
    virtual ~INotificationRouter();

    virtual void RegisterConsumer(INotificationConsumer& consumer);          // from its constructor
    virtual void DeregisterConsumer(INotificationConsumer const& consumer);  // from its destructor
    virtual void ProcessNotification(CNotificationBase const& notification); // from Process()
    virtual void StopProcessing();                                           // never called here
};

#endif
