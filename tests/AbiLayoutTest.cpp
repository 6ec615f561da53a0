// What other modules compile against: object sizes, field offsets, vtable
// slots and enumeration values. Modules built against one release must keep
// working with the next, so none of these may change within SOVERSION 1.
// Expected values are given for 32-bit ARM (armhf, the target) and for LP64
// (x86-64), where pointers and the vtable pointer take 8 bytes.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "INotificationConsumer.h"
#include "INotificationRouter.h"
#include "IRequestProcessor.h"
#include "IRequestRouter.h"
#include "LxiErrorLogIds.h"
#include "LxiThreadObject.h"
#include "NotificationBase.h"
#include "NotificationFilterItem.h"
#include "RequestBase.h"
#include "Str.h"

namespace {

constexpr bool kIlp32 = sizeof(void*) == 4;
constexpr std::size_t Pick(std::size_t armhf, std::size_t lp64) { return kIlp32 ? armhf : lp64; }

// Sizes: vtable pointer, then the fields in declaration order.
static_assert(sizeof(CStr) == Pick(12, 24), "vtable pointer, word, pointer");
static_assert(alignof(CStr) == alignof(void*), "CStr alignment");
static_assert(sizeof(stNotificationFilterItem) == 8, "two 32-bit ids");
static_assert(offsetof(stNotificationFilterItem, m_notificationId) == 0, "id first");
static_assert(offsetof(stNotificationFilterItem, m_databaseItemChanged) == 4, "item second");
static_assert(sizeof(CNotificationBase) == Pick(188, 216), "notification record");
static_assert(sizeof(CLxiThreadObject) == Pick(84, 104), "thread object");
static_assert(sizeof(CRequestBase) == Pick(8, 16), "vtable pointer, request id");

// The word layout of CStr, read by the inline accessors compiled into modules.
static_assert(CStr::LENGTH_MASK == 0x1FFFFFFFu && CStr::FLAG_OWNS_BUFFER == 0x80000000u &&
                  CStr::FLAG_EXTRA_BUFFER == 0x40000000u &&
                  CStr::FLAG_TIME_EFFICIENT == 0x20000000u,
              "length and flag bits");

// Enumerations: 32 bits each, with the values modules were built with.
static_assert(sizeof(enumLxiErrorLogId) == 4 && sizeof(enumLxiThreadStates) == 4 &&
                  sizeof(enumNotificationId) == 4 && sizeof(enumLxiDatabaseItem) == 4 &&
                  sizeof(enumRequestId) == 4,
              "32-bit enumerations");
static_assert(LXI_ERR_VENDOR_MESSAGE == 0 && LXI_ERR_SET_CURRENT_DIRECTORY_FAILED == 110 &&
                  LXI_ERR_START_BACKGROUND_PROCESS_FAILED == 154,
              "error ids");
static_assert(LXI_THRD_WAIT_FOR_START == 0 && LXI_THRD_STARTUP == 1 && LXI_THRD_RUNNING == 2 &&
                  LXI_THRD_STOP_REQUESTED == 3 && LXI_THRD_SHUTDOWN == 4 &&
                  LXI_THRD_TERMINATED == 5,
              "thread states");
static_assert(LXI_NOTIFICATION_NONE == 0 && LXI_NOTIFICATION_DATABASE_ITEM_CHANGED == 1 &&
                  LXI_DATABASE_ITEM_NONE == 0,
              "notification ids");

// Byte offset of a member inside its object.
std::size_t Offset(void const* pMember, void const* pObject)
{
    return static_cast<std::size_t>(static_cast<unsigned char const*>(pMember) -
                                    static_cast<unsigned char const*>(pObject));
}

// A 32-bit word or a pointer stored at a byte offset of an object.
template <typename T>
T ReadAt(void const* pObject, std::size_t offset)
{
    T value;
    std::memcpy(&value, static_cast<unsigned char const*>(pObject) + offset, sizeof(value));
    return value;
}

// The protected fields, seen from a derived class, in declaration order.
struct CNotificationProbe : CNotificationBase
{
    static constexpr std::size_t kFields = 14;

    void Offsets(std::size_t (&offsets)[kFields]) const
    {
        void const* const members[kFields] = {
            &m_filterItem, m_stringValue1Buffer, &m_sStringValue1, m_stringValue2Buffer,
            &m_sStringValue2, &m_unsignedValue1, &m_unsignedValue2, &m_unsignedValue3,
            &m_unsignedShortValue1, &m_unsignedShortValue2, &m_unsignedShortValue3,
            &m_unsignedByte1, &m_unsignedByte2, &m_unsignedByte3};
        for (std::size_t i = 0; i < kFields; ++i)
            offsets[i] = Offset(members[i], static_cast<CNotificationBase const*>(this));
    }
    // Each string works in the buffer declared directly before it.
    bool StringsInTheirBuffers() const
    {
        return m_sStringValue1.GetData() == m_stringValue1Buffer &&
               m_sStringValue2.GetData() == m_stringValue2Buffer;
    }
};

struct CIdleThread : CLxiThreadObject
{
    CIdleThread() : CLxiThreadObject("abc") {}
    void Execute() override {}
};

// The vtable slot of a virtual member function, decoded from its pointer to
// member (Itanium C++ ABI): the pointer holds the slot's byte offset plus 1;
// on 32-bit ARM the offset itself, with the virtual mark in bit 0 of the
// this-adjustment instead.
template <typename Pmf>
std::size_t Slot(Pmf pmf)
{
    struct {
        std::uintptr_t ptr;
        std::ptrdiff_t adj;
    } raw;
    static_assert(sizeof(raw) == sizeof(pmf), "two-word member function pointer");
    std::memcpy(&raw, &pmf, sizeof(raw));
#if defined(__arm__)
    EXPECT_EQ(1, raw.adj & 1) << "not virtual";
    return raw.ptr / sizeof(void*);
#else
    EXPECT_EQ(1u, raw.ptr & 1u) << "not virtual";
    return (raw.ptr - 1) / sizeof(void*);
#endif
}

}  // namespace

TEST(AbiLayout, CStrHoldsWordThenPointerBehindTheVtablePointer)
{
    CStr const text("abc");   // owned block of exactly 3 units: no capacity record
    EXPECT_EQ(3u | CStr::FLAG_OWNS_BUFFER, ReadAt<std::uint32_t>(&text, Pick(4, 8)));
    EXPECT_EQ(text.GetData(), ReadAt<unsigned short*>(&text, Pick(8, 16)));
}

TEST(AbiLayout, NotificationFieldsInDeclarationOrder)
{
    struct {
        char const* pName;
        std::size_t armhf;
        std::size_t lp64;
    } const expected[CNotificationProbe::kFields] = {
        {"m_filterItem", 4, 8},
        {"m_stringValue1Buffer", 12, 16},
        {"m_sStringValue1", 76, 80},
        {"m_stringValue2Buffer", 88, 104},
        {"m_sStringValue2", 152, 168},
        {"m_unsignedValue1", 164, 192},
        {"m_unsignedValue2", 168, 196},
        {"m_unsignedValue3", 172, 200},
        {"m_unsignedShortValue1", 176, 204},
        {"m_unsignedShortValue2", 178, 206},
        {"m_unsignedShortValue3", 180, 208},
        {"m_unsignedByte1", 182, 210},
        {"m_unsignedByte2", 183, 211},
        {"m_unsignedByte3", 184, 212},
    };
    CNotificationProbe probe;
    std::size_t offsets[CNotificationProbe::kFields];
    probe.Offsets(offsets);
    for (std::size_t i = 0; i < CNotificationProbe::kFields; ++i)
        EXPECT_EQ(Pick(expected[i].armhf, expected[i].lp64), offsets[i]) << expected[i].pName;
    EXPECT_TRUE(probe.StringsInTheirBuffers());
}

TEST(AbiLayout, ThreadObjectStateThenNameBufferThenName)
{
    CIdleThread thread;
    thread.SetThreadState(LXI_THRD_SHUTDOWN);
    EXPECT_EQ(static_cast<std::uint32_t>(LXI_THRD_SHUTDOWN),
              ReadAt<std::uint32_t>(&thread, Pick(4, 8)));
    CLxiThreadObject const& base = thread;
    EXPECT_EQ(Pick(8, 12), Offset(base.GetThreadName().GetData(), &base));   // m_threadNameBuffer
    EXPECT_EQ(Pick(72, 80), Offset(&base.GetThreadName(), &base));           // m_sThreadName
}

TEST(AbiLayout, VirtualSlotsInDeclaredOrder)
{
    // Slots 0 and 1 of the interfaces are the two destructors.
    EXPECT_EQ(0u, Slot(&CLxiThreadObject::Startup));
    EXPECT_EQ(1u, Slot(&CLxiThreadObject::Execute));
    EXPECT_EQ(2u, Slot(&CLxiThreadObject::Shutdown));
    EXPECT_EQ(3u, Slot(&CLxiThreadObject::WaitForNextExecution));
    EXPECT_EQ(2u, Slot(&INotificationConsumer::ProcessNotification));
    EXPECT_EQ(3u, Slot(&INotificationConsumer::GetNotificationFilterItems));
    EXPECT_EQ(2u, Slot(&INotificationRouter::RegisterConsumer));
    EXPECT_EQ(3u, Slot(&INotificationRouter::DeregisterConsumer));
    EXPECT_EQ(4u, Slot(&INotificationRouter::ProcessNotification));
    EXPECT_EQ(5u, Slot(&INotificationRouter::StopProcessing));
    EXPECT_EQ(2u, Slot(&IRequestProcessor::ProcessRequest));
    EXPECT_EQ(2u, Slot(&IRequestRouter::ProcessRequest));
    EXPECT_EQ(3u, Slot(&IRequestRouter::RegisterProcessor));
    EXPECT_EQ(4u, Slot(&IRequestRouter::DeregisterProcessor));
    EXPECT_EQ(5u, Slot(&IRequestRouter::StopProcessing));
}
