/// \class INotificationConsumer
/// Base of every receiver of notifications.
///
/// A consumer registers with the router in s_pNotificationRouter when it is
/// built and deregisters when it is destroyed, if the pointer is set at that
/// moment; a consumer built before the router was set is never registered.
/// The router asks GetNotificationFilterItems which notifications to deliver
/// to ProcessNotification, in the sender's thread or its own.
///
///     class CDisplay : public INotificationConsumer {
///         void ProcessNotification(CNotificationBase const& n) override;
///         void GetNotificationFilterItems(stNotificationFilterItem const*& pItems,
///                                         unsigned short& count) const override;
///     };
#ifndef LXIBASE_INOTIFICATIONCONSUMER_H
#define LXIBASE_INOTIFICATIONCONSUMER_H

#include "LxiBaseExport.h"

class CNotificationBase;
class INotificationRouter;
struct stNotificationFilterItem;

class LXIBASE_API INotificationConsumer
{
public:
    INotificationConsumer();                  ///< Registers if a router is set.
    virtual ~INotificationConsumer();         ///< Deregisters if a router is set.
    /// A copy would never be registered but would deregister: consumers are
    /// not copied.
    INotificationConsumer(INotificationConsumer const&) = delete;
    /// Not assigned either.
    INotificationConsumer& operator=(INotificationConsumer const&) = delete;

    /// A notification the router delivers; the default ignores it.
    virtual void ProcessNotification(CNotificationBase const& notification);
    /// Which notifications to deliver. Default: no items (null, 0). An
    /// override hands out an array that lives as long as the consumer stays
    /// registered.
    virtual void GetNotificationFilterItems(stNotificationFilterItem const*& pItems,
                                            unsigned short& count) const;

    /// Consumers built from now on register with router (not owned).
    static void SetNotificationRouter(INotificationRouter& router);
    /// No more registering; call before the router goes.
    static void ClearNotificationRouter();

    static INotificationRouter* s_pNotificationRouter;   ///< Not owned; starts null.
};

#endif
