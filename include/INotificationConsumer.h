// INotificationConsumer: base of every receiver of notifications.
//
// A consumer registers with the router in s_pNotificationRouter when it is
// built and deregisters when it is destroyed, if the pointer is set at that
// moment. The router asks GetNotificationFilterItems which notifications to
// deliver to ProcessNotification.
//
//   class CDisplay : public INotificationConsumer {
//       void ProcessNotification(CNotificationBase const& n) override;
//       void GetNotificationFilterItems(stNotificationFilterItem const*& pItems,
//                                       unsigned short& count) const override;
//   };
#ifndef LXIBASE_INOTIFICATIONCONSUMER_H
#define LXIBASE_INOTIFICATIONCONSUMER_H

#include "LxiBaseExport.h"

class CNotificationBase;
class INotificationRouter;
struct stNotificationFilterItem;

class LXIBASE_API INotificationConsumer
{
public:
    INotificationConsumer();                  // registers if a router is set
    virtual ~INotificationConsumer();         // deregisters if a router is set
    // A copy would never be registered but would deregister: consumers are
    // not copied.
    INotificationConsumer(INotificationConsumer const&) = delete;
    INotificationConsumer& operator=(INotificationConsumer const&) = delete;

    virtual void ProcessNotification(CNotificationBase const& notification);   // default: ignore
    // Default: no items (null, 0). An override hands out an array that lives
    // as long as the consumer stays registered.
    virtual void GetNotificationFilterItems(stNotificationFilterItem const*& pItems,
                                            unsigned short& count) const;

    static void SetNotificationRouter(INotificationRouter& router);
    static void ClearNotificationRouter();

    static INotificationRouter* s_pNotificationRouter;   // not owned; starts null
};

#endif
