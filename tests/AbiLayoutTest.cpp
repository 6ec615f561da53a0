// What other modules compile against: object sizes, field offsets and
// enumeration values. Modules built against one release must keep working with
// the next, so none of these may change within SOVERSION 1. Expected values are
// given for 32-bit ARM (armhf, the target) and for LP64 (x86-64), where
// pointers and the vtable pointer take 8 bytes. Vtable slots are guarded by
// the abidiff check against abi/lxibase-armhf.abi.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

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
static_assert(sizeof(stNotificationFilterItem) == 8 &&
                  offsetof(stNotificationFilterItem, m_notificationId) == 0 &&
                  offsetof(stNotificationFilterItem, m_databaseItemChanged) == 4,
              "two 32-bit ids, notification id first");
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

// Byte offsets of members inside their object, in the order given.
template <typename... Members>
std::vector<std::size_t> OffsetsIn(void const* pObject, Members const&... members)
{
    return {Offset(&members, pObject)...};
}

// The protected fields, seen from a derived class, in declaration order.
struct CNotificationProbe : CNotificationBase
{
    std::vector<std::size_t> Offsets() const
    {
        return OffsetsIn(static_cast<CNotificationBase const*>(this), m_filterItem, m_stringValue1Buffer,
                         m_sStringValue1, m_stringValue2Buffer, m_sStringValue2, m_unsignedValue1,
                         m_unsignedValue2, m_unsignedValue3, m_unsignedShortValue1, m_unsignedShortValue2,
                         m_unsignedShortValue3, m_unsignedByte1, m_unsignedByte2, m_unsignedByte3);
    }
};

struct CIdleThread : CLxiThreadObject
{
    CIdleThread() : CLxiThreadObject("abc") {}
    void Execute() override {}
};

}  // namespace

TEST(AbiLayout, CStrHoldsWordThenPointerBehindTheVtablePointer)
{
    CStr const text("abc");   // owned block of exactly 3 units: no capacity record
    EXPECT_EQ(3u | CStr::FLAG_OWNS_BUFFER, ReadAt<std::uint32_t>(&text, Pick(4, 8)));
    EXPECT_EQ(text.GetData(), ReadAt<unsigned short*>(&text, Pick(8, 16)));
}

// Filter item, buffer 1, string 1, buffer 2, string 2, three unsigned values,
// three shorts, three bytes.
TEST(AbiLayout, NotificationFieldsInDeclarationOrder)
{
    using Offsets = std::vector<std::size_t>;
    CNotificationProbe const probe;
    Offsets const armhf{4, 12, 76, 88, 152, 164, 168, 172, 176, 178, 180, 182, 183, 184};
    Offsets const lp64{8, 16, 80, 104, 168, 192, 196, 200, 204, 206, 208, 210, 211, 212};
    EXPECT_EQ(kIlp32 ? armhf : lp64, probe.Offsets());
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
