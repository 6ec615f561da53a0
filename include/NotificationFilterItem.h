// stNotificationFilterItem: which notification a consumer wants, and for a
// database change, which database item.
//
//   static const stNotificationFilterItem s_aFilter[] = {
//       stNotificationFilterItem(static_cast<enumNotificationId>(7)),
//       stNotificationFilterItem(static_cast<enumLxiDatabaseItem>(12)),  // id 1, item 12
//   };
#ifndef LXIBASE_NOTIFICATIONFILTERITEM_H
#define LXIBASE_NOTIFICATIONFILTERITEM_H

#include "LxiBaseExport.h"

// Notification ids; the modules of the stack define their own values.
enum enumNotificationId : unsigned int
{
    LXI_NOTIFICATION_NONE = 0,                    // an empty or cleared filter item
    LXI_NOTIFICATION_DATABASE_ITEM_CHANGED = 1    // the filter item names the item
};

// Items of the persistent database; defined by the database module.
enum enumLxiDatabaseItem : unsigned int
{
    LXI_DATABASE_ITEM_NONE = 0                    // no item
};

struct LXIBASE_API stNotificationFilterItem
{
    stNotificationFilterItem();                            // id 0, item 0
    stNotificationFilterItem(enumNotificationId id);       // the id, item 0
    stNotificationFilterItem(enumLxiDatabaseItem item);    // id 1, the item
    stNotificationFilterItem(stNotificationFilterItem const& other);
    ~stNotificationFilterItem();                           // clears both fields

    stNotificationFilterItem& operator=(stNotificationFilterItem const& other)
    {
        return Assign(other);
    }

    enumNotificationId GetNotificationId() const { return m_notificationId; }
    enumLxiDatabaseItem GetDatabaseItemChanged() const { return m_databaseItemChanged; }

    void Clear();                                          // id 0, item 0
    stNotificationFilterItem& Assign(stNotificationFilterItem const& other);

    enumNotificationId m_notificationId;                   // which notification
    enumLxiDatabaseItem m_databaseItemChanged;             // for id 1 the item, else 0
};

#endif
