/// \class CNotificationBase
/// The record a notification travels in. Modules derive their own
/// notifications from it or fill its general payload: a filter item, two
/// texts and nine numbers whose meaning sender and consumers agree.
///
/// Each text lives in the record's own buffer of 32 units, so a text of up to
/// 31 units needs no heap; a longer one moves that string to the heap and the
/// record frees it. Copying a record copies the texts, never the buffers.
/// Records belong to their sender.
///
///     CNotificationBase n(stNotificationFilterItem(item), sName, CStr::s_emptyString,
///                         1, 0, 0, 0, 0, 0, 0, 0, 0);
///     n.Process();   // to the router, in this thread
#ifndef LXIBASE_NOTIFICATIONBASE_H
#define LXIBASE_NOTIFICATIONBASE_H

#include "LxiBaseExport.h"
#include "NotificationFilterItem.h"
#include "Str.h"

class INotificationRouter;

class LXIBASE_API CNotificationBase
{
public:
    CNotificationBase();                      ///< Id 0, empty texts, all numbers 0.
    /// The filter item, the two texts and the nine numbers, in field order.
    CNotificationBase(stNotificationFilterItem item, CStr const& string1, CStr const& string2,
                      unsigned int value1, unsigned int value2, unsigned int value3,
                      unsigned short short1, unsigned short short2, unsigned short short3,
                      unsigned char byte1, unsigned char byte2, unsigned char byte3);
    /// Copies go through Assign into the record's own buffers: a memberwise
    /// copy would put the other record's buffer contents, capacity record
    /// included, under this record's strings.
    CNotificationBase(CNotificationBase const& other);
    // The buffers get their texts through the strings attached to them.
    /// Assign(other).
    // cppcheck-suppress operatorEqVarError
    CNotificationBase& operator=(CNotificationBase const& other)
    {
        if (&other != this)
            Assign(other);
        return *this;
    }
    virtual ~CNotificationBase();             ///< Frees a text that moved to the heap.

    void Clear();                             ///< As default-built; texts stay in the buffers.
    /// Every field of other; assigning a record to itself changes nothing.
    CNotificationBase& Assign(CNotificationBase const& other);

    /// The notification id, from the filter item.
    enumNotificationId GetNotificationId() const { return m_filterItem.GetNotificationId(); }
    /// Notification id and database item.
    stNotificationFilterItem GetNotificationFilterItem() const { return m_filterItem; }
    CStr const& GetStringValue1() const { return m_sStringValue1; }   ///< The first text.
    CStr const& GetStringValue2() const { return m_sStringValue2; }   ///< The second text.
    /// \name Payload numbers
    ///@{

    /// A number of the payload, whose meaning sender and consumers agree.
    unsigned int GetUnsignedValue1() const { return m_unsignedValue1; }
    unsigned int GetUnsignedValue2() const { return m_unsignedValue2; }
    unsigned int GetUnsignedValue3() const { return m_unsignedValue3; }
    unsigned short GetUnsignedShortValue1() const { return m_unsignedShortValue1; }
    unsigned short GetUnsignedShortValue2() const { return m_unsignedShortValue2; }
    unsigned short GetUnsignedShortValue3() const { return m_unsignedShortValue3; }
    unsigned char GetUnsignedByte1() const { return m_unsignedByte1; }
    unsigned char GetUnsignedByte2() const { return m_unsignedByte2; }
    unsigned char GetUnsignedByte3() const { return m_unsignedByte3; }
    ///@}

    /// To the router if one is set, else dropped. The router gets the record
    /// for the duration of its call, in this thread.
    void Process();

    /// Process() sends to router from now on (not owned).
    static void SetNotificationRouter(INotificationRouter& router);
    static void ClearNotificationRouter();    ///< Process() drops records from now on.

    static INotificationRouter* s_pNotificationRouter;   ///< Not owned; starts null.

protected:
    stNotificationFilterItem m_filterItem;     ///< Notification id and database item.
    unsigned short m_stringValue1Buffer[32];   ///< Inline storage of m_sStringValue1.
    CStr m_sStringValue1;                      ///< Attached, capacity 31, not owning.
    unsigned short m_stringValue2Buffer[32];   ///< Inline storage of m_sStringValue2.
    CStr m_sStringValue2;                      ///< Attached, capacity 31, not owning.
    /// \name Payload
    ///@{

    /// A number of the payload, whose meaning sender and consumers agree.
    unsigned int m_unsignedValue1;
    unsigned int m_unsignedValue2;
    unsigned int m_unsignedValue3;
    unsigned short m_unsignedShortValue1;
    unsigned short m_unsignedShortValue2;
    unsigned short m_unsignedShortValue3;
    unsigned char m_unsignedByte1;
    unsigned char m_unsignedByte2;
    unsigned char m_unsignedByte3;
    ///@}
};

#endif
