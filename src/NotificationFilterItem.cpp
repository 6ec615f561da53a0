#include "NotificationFilterItem.h"

stNotificationFilterItem::stNotificationFilterItem()
    : m_notificationId(LXI_NOTIFICATION_NONE), m_databaseItemChanged(LXI_DATABASE_ITEM_NONE)
{
}

stNotificationFilterItem::stNotificationFilterItem(enumNotificationId id)
    : m_notificationId(id), m_databaseItemChanged(LXI_DATABASE_ITEM_NONE)
{
}

stNotificationFilterItem::stNotificationFilterItem(enumLxiDatabaseItem item)
    : m_notificationId(LXI_NOTIFICATION_DATABASE_ITEM_CHANGED), m_databaseItemChanged(item)
{
}

stNotificationFilterItem::stNotificationFilterItem(stNotificationFilterItem const& other)
    : m_notificationId(other.m_notificationId), m_databaseItemChanged(other.m_databaseItemChanged)
{
}

stNotificationFilterItem::~stNotificationFilterItem()
{
    Clear();
}

void stNotificationFilterItem::Clear()
{
    m_notificationId = LXI_NOTIFICATION_NONE;
    m_databaseItemChanged = LXI_DATABASE_ITEM_NONE;
}

stNotificationFilterItem& stNotificationFilterItem::Assign(stNotificationFilterItem const& other)
{
    if (&other != this) {
        m_notificationId = other.m_notificationId;
        m_databaseItemChanged = other.m_databaseItemChanged;
    }
    return *this;
}
