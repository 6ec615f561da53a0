#include "NotificationBase.h"

#include "INotificationRouter.h"
#include "StrInternal.h"

INotificationRouter* CNotificationBase::s_pNotificationRouter = nullptr;

namespace {

// Capacity of each inline text buffer (32 units with the terminator).
constexpr unsigned int kInlineCapacity = 31;

}  // namespace

CNotificationBase::CNotificationBase()
    : m_stringValue1Buffer(),
      m_sStringValue1(m_stringValue1Buffer, kInlineCapacity, true, false),
      m_stringValue2Buffer(),
      m_sStringValue2(m_stringValue2Buffer, kInlineCapacity, true, false),
      m_unsignedValue1(0),
      m_unsignedValue2(0),
      m_unsignedValue3(0),
      m_unsignedShortValue1(0),
      m_unsignedShortValue2(0),
      m_unsignedShortValue3(0),
      m_unsignedByte1(0),
      m_unsignedByte2(0),
      m_unsignedByte3(0)
{
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): the exported signature (8 bytes)
CNotificationBase::CNotificationBase(stNotificationFilterItem item, CStr const& string1,
                                     CStr const& string2, unsigned int value1,
                                     unsigned int value2, unsigned int value3,
                                     unsigned short short1, unsigned short short2,
                                     unsigned short short3, unsigned char byte1,
                                     unsigned char byte2, unsigned char byte3)
    : m_filterItem(item),
      m_stringValue1Buffer(),
      m_sStringValue1(m_stringValue1Buffer, kInlineCapacity, true, false),
      m_stringValue2Buffer(),
      m_sStringValue2(m_stringValue2Buffer, kInlineCapacity, true, false),
      m_unsignedValue1(value1),
      m_unsignedValue2(value2),
      m_unsignedValue3(value3),
      m_unsignedShortValue1(short1),
      m_unsignedShortValue2(short2),
      m_unsignedShortValue3(short3),
      m_unsignedByte1(byte1),
      m_unsignedByte2(byte2),
      m_unsignedByte3(byte3)
{
    m_sStringValue1.Assign(string1);
    m_sStringValue2.Assign(string2);
}

CNotificationBase::CNotificationBase(CNotificationBase const& other) : CNotificationBase()
{
    Assign(other);
}

// The members go in reverse order: string 2, string 1, the filter item.
CNotificationBase::~CNotificationBase() {}

void CNotificationBase::Clear()
{
    m_filterItem.Clear();
    m_sStringValue1.Clear();
    m_sStringValue2.Clear();
    m_unsignedValue1 = m_unsignedValue2 = m_unsignedValue3 = 0;
    m_unsignedShortValue1 = m_unsignedShortValue2 = m_unsignedShortValue3 = 0;
    m_unsignedByte1 = m_unsignedByte2 = m_unsignedByte3 = 0;
}

CNotificationBase& CNotificationBase::Assign(CNotificationBase const& other)
{
    if (&other == this)
        return *this;
    m_filterItem.m_notificationId = other.m_filterItem.m_notificationId;
    m_filterItem.m_databaseItemChanged = other.m_filterItem.m_databaseItemChanged;
    // The two texts as CStr::Assign copies them, short ones without a call.
    if (!lxistr::AssignShortText(m_sStringValue1.m_lengthAndFlags, m_sStringValue1.m_pData,
                                 other.m_sStringValue1.m_lengthAndFlags, other.m_sStringValue1.m_pData))
        m_sStringValue1.Assign(other.m_sStringValue1);
    if (!lxistr::AssignShortText(m_sStringValue2.m_lengthAndFlags, m_sStringValue2.m_pData,
                                 other.m_sStringValue2.m_lengthAndFlags, other.m_sStringValue2.m_pData))
        m_sStringValue2.Assign(other.m_sStringValue2);
    m_unsignedValue1 = other.m_unsignedValue1;
    m_unsignedValue2 = other.m_unsignedValue2;
    m_unsignedValue3 = other.m_unsignedValue3;
    m_unsignedShortValue1 = other.m_unsignedShortValue1;
    m_unsignedShortValue2 = other.m_unsignedShortValue2;
    m_unsignedShortValue3 = other.m_unsignedShortValue3;
    m_unsignedByte1 = other.m_unsignedByte1;
    m_unsignedByte2 = other.m_unsignedByte2;
    m_unsignedByte3 = other.m_unsignedByte3;
    return *this;
}

void CNotificationBase::Process()
{
    if (s_pNotificationRouter != nullptr)
        s_pNotificationRouter->ProcessNotification(*this);
}

void CNotificationBase::SetNotificationRouter(INotificationRouter& router)
{
    s_pNotificationRouter = &router;
}

void CNotificationBase::ClearNotificationRouter()
{
    s_pNotificationRouter = nullptr;
}
