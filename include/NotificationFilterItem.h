/// \file
/// stNotificationFilterItem and the notification ids.
///
/// \struct stNotificationFilterItem
/// Which notification a consumer wants, and for a database change, which
/// database item. A plain record of two 32-bit fields.
///
///     static const stNotificationFilterItem s_aFilter[] = {
///         stNotificationFilterItem(static_cast<enumNotificationId>(7)),
///         stNotificationFilterItem(static_cast<enumLxiDatabaseItem>(12)),  // id 1, item 12
///     };
#ifndef LXIBASE_NOTIFICATIONFILTERITEM_H
#define LXIBASE_NOTIFICATIONFILTERITEM_H

#include "LxiBaseExport.h"

/// Notification ids; the modules of the stack define their own values.
enum enumNotificationId : unsigned int
{
    LXI_NOTIFICATION_NONE = 0,                    ///< An empty or cleared filter item.
    LXI_NOTIFICATION_DATABASE_ITEM_CHANGED = 1    ///< The filter item names the item.
};

/// Items of the persistent database; defined by the database module.
enum enumLxiDatabaseItem : unsigned int
{
    LXI_DATABASE_ITEM_NONE = 0                    ///< No item.
};

struct LXIBASE_API stNotificationFilterItem
{
    stNotificationFilterItem();                            ///< Id 0, item 0.
    stNotificationFilterItem(enumNotificationId id);       ///< The id, item 0.
    stNotificationFilterItem(enumLxiDatabaseItem item);    ///< Id 1, the item.
    stNotificationFilterItem(stNotificationFilterItem const& other);   ///< Both fields.
    ~stNotificationFilterItem();                           ///< Clears both fields.

    /// Assign(other).
    stNotificationFilterItem& operator=(stNotificationFilterItem const& other)
    {
        if (&other != this)
            Assign(other);
        return *this;
    }

    /// Which notification.
    enumNotificationId GetNotificationId() const { return m_notificationId; }
    /// For id 1 the database item, else 0.
    enumLxiDatabaseItem GetDatabaseItemChanged() const { return m_databaseItemChanged; }

    void Clear();                                          ///< Id 0, item 0.
    stNotificationFilterItem& Assign(stNotificationFilterItem const& other);   ///< Both fields.

    enumNotificationId m_notificationId;                   ///< Which notification.
    enumLxiDatabaseItem m_databaseItemChanged;             ///< For id 1 the item, else 0.
};

#endif
