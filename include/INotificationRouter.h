/// \class INotificationRouter
/// The contract of the notification router. The router itself lives in
/// another module of the stack; the defaults here do nothing.
///
/// RegisterConsumer is called from INotificationConsumer's constructor, when
/// only that base is built: read the consumer's filter items later.
/// DeregisterConsumer is called from its destructor; afterwards the router
/// must not touch the consumer again. ProcessNotification gets the sender's
/// record for the duration of the call only: keep a copy (Assign) to deliver
/// later. The locking the router's lists need is the router's own.
///
///     INotificationConsumer::SetNotificationRouter(router);   // at start-up
///     CNotificationBase::SetNotificationRouter(router);
///     ...
///     INotificationConsumer::ClearNotificationRouter();       // before it goes
///     CNotificationBase::ClearNotificationRouter();
#ifndef LXIBASE_INOTIFICATIONROUTER_H
#define LXIBASE_INOTIFICATIONROUTER_H

#include "LxiBaseExport.h"

class CNotificationBase;
class INotificationConsumer;

class LXIBASE_API INotificationRouter
{
public:
    virtual ~INotificationRouter();   ///< Does nothing.

    virtual void RegisterConsumer(INotificationConsumer& consumer);          ///< From its ctor.
    virtual void DeregisterConsumer(INotificationConsumer const& consumer);  ///< From its dtor.
    virtual void ProcessNotification(CNotificationBase const& notification); ///< From Process().
    virtual void StopProcessing();                                           ///< Never called here.
};

#endif
