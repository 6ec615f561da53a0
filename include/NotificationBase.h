// CNotificationBase: the record a notification travels in. Modules derive
// their own notifications from it or fill its general payload: a filter
// item, two texts and nine numbers whose meaning sender and consumers agree.
//
// Each text lives in the record's own buffer of 32 units, so a text of up to
// 31 units needs no heap; a longer one moves that string to the heap and the
// record frees it. Copying a record copies the texts, never the buffers.
//
//   CNotificationBase n(stNotificationFilterItem(item), sName, CStr::s_emptyString,
//                       1, 0, 0, 0, 0, 0, 0, 0, 0);
//   n.Process();   // to the router, in this thread
#ifndef LXIBASE_NOTIFICATIONBASE_H
#define LXIBASE_NOTIFICATIONBASE_H

#include "LxiBaseExport.h"
#include "NotificationFilterItem.h"
#include "Str.h"

class INotificationRouter;

class LXIBASE_API CNotificationBase
{
public:
    CNotificationBase();                      // id 0, empty texts, all numbers 0
    CNotificationBase(stNotificationFilterItem item, CStr const& string1, CStr const& string2,
                      unsigned int value1, unsigned int value2, unsigned int value3,
                      unsigned short short1, unsigned short short2, unsigned short short3,
                      unsigned char byte1, unsigned char byte2, unsigned char byte3);
    // Copies go through Assign into the record's own buffers: a memberwise
    // copy would put the other record's buffer contents, capacity record
    // included, under this record's strings.
    CNotificationBase(CNotificationBase const& other);
    CNotificationBase& operator=(CNotificationBase const& other) { return Assign(other); }
    virtual ~CNotificationBase();

    void Clear();                             // as default-built; texts stay in the buffers
    CNotificationBase& Assign(CNotificationBase const& other);

    enumNotificationId GetNotificationId() const { return m_filterItem.GetNotificationId(); }
    stNotificationFilterItem GetNotificationFilterItem() const { return m_filterItem; }
    CStr const& GetStringValue1() const { return m_sStringValue1; }
    CStr const& GetStringValue2() const { return m_sStringValue2; }
    unsigned int GetUnsignedValue1() const { return m_unsignedValue1; }
    unsigned int GetUnsignedValue2() const { return m_unsignedValue2; }
    unsigned int GetUnsignedValue3() const { return m_unsignedValue3; }
    unsigned short GetUnsignedShortValue1() const { return m_unsignedShortValue1; }
    unsigned short GetUnsignedShortValue2() const { return m_unsignedShortValue2; }
    unsigned short GetUnsignedShortValue3() const { return m_unsignedShortValue3; }
    unsigned char GetUnsignedByte1() const { return m_unsignedByte1; }
    unsigned char GetUnsignedByte2() const { return m_unsignedByte2; }
    unsigned char GetUnsignedByte3() const { return m_unsignedByte3; }

    void Process();                           // to the router if one is set, else dropped

    static void SetNotificationRouter(INotificationRouter& router);
    static void ClearNotificationRouter();

    static INotificationRouter* s_pNotificationRouter;   // not owned; starts null

protected:
    stNotificationFilterItem m_filterItem;     // notification id and database item
    unsigned short m_stringValue1Buffer[32];   // inline storage of m_sStringValue1
    CStr m_sStringValue1;                      // attached, capacity 31, not owning
    unsigned short m_stringValue2Buffer[32];   // inline storage of m_sStringValue2
    CStr m_sStringValue2;                      // attached, capacity 31, not owning
    unsigned int m_unsignedValue1;             // payload
    unsigned int m_unsignedValue2;
    unsigned int m_unsignedValue3;
    unsigned short m_unsignedShortValue1;
    unsigned short m_unsignedShortValue2;
    unsigned short m_unsignedShortValue3;
    unsigned char m_unsignedByte1;
    unsigned char m_unsignedByte2;
    unsigned char m_unsignedByte3;
};

#endif
