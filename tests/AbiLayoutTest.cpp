// What other modules compile against, which must not change within SOVERSION
// 1: object sizes, field offsets and enumeration values, for 32-bit ARM (the
// target) and LP64. Vtable slots are guarded by the ABI check (abi/).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "LxiErrorLogIds.h"
#include "LxiThreadObject.h"
#include "NotificationBase.h"
#include "RequestBase.h"

namespace {

constexpr std::size_t Pick(std::size_t armhf, std::size_t lp64) { return sizeof(void*) == 4 ? armhf : lp64; }

static_assert(sizeof(CStr) == Pick(12, 24) && alignof(CStr) == alignof(void*), "vtable pointer, word, pointer");
static_assert(sizeof(stNotificationFilterItem) == 8 && offsetof(stNotificationFilterItem, m_notificationId) == 0 &&
                  offsetof(stNotificationFilterItem, m_databaseItemChanged) == 4, "two 32-bit ids");
static_assert(sizeof(CNotificationBase) == Pick(188, 216) && sizeof(CLxiThreadObject) == Pick(84, 104) &&
                  sizeof(CRequestBase) == Pick(8, 16), "records");
static_assert(CStr::LENGTH_MASK == 0x1FFFFFFFu && CStr::FLAG_OWNS_BUFFER == 0x80000000u &&
                  CStr::FLAG_EXTRA_BUFFER == 0x40000000u && CStr::FLAG_TIME_EFFICIENT == 0x20000000u, "the word");
static_assert(sizeof(enumLxiErrorLogId) == 4 && sizeof(enumLxiThreadStates) == 4 && sizeof(enumNotificationId) == 4 &&
                  sizeof(enumLxiDatabaseItem) == 4 && sizeof(enumRequestId) == 4, "32-bit enumerations");
static_assert(LXI_ERR_VENDOR_MESSAGE == 0 && LXI_ERR_SET_CURRENT_DIRECTORY_FAILED == 110 &&
                  LXI_ERR_START_BACKGROUND_PROCESS_FAILED == 154 && LXI_THRD_WAIT_FOR_START == 0 &&
                  LXI_THRD_RUNNING == 2 && LXI_THRD_TERMINATED == 5 && LXI_NOTIFICATION_NONE == 0 &&
                  LXI_NOTIFICATION_DATABASE_ITEM_CHANGED == 1 && LXI_DATABASE_ITEM_NONE == 0, "values");

std::size_t Offset(void const* pMember, void const* pObject)
{
    return static_cast<std::size_t>(static_cast<char const*>(pMember) - static_cast<char const*>(pObject));
}

// The protected fields, seen from a derived class, in declaration order.
struct CNotificationProbe : CNotificationBase
{
    std::vector<std::size_t> Offsets() const
    {
        std::vector<std::size_t> offsets;
        for (void const* p : std::vector<void const*>{&m_filterItem, m_stringValue1Buffer, &m_sStringValue1,
                 m_stringValue2Buffer, &m_sStringValue2, &m_unsignedValue1, &m_unsignedValue2, &m_unsignedValue3,
                 &m_unsignedShortValue1, &m_unsignedShortValue2, &m_unsignedShortValue3, &m_unsignedByte1,
                 &m_unsignedByte2, &m_unsignedByte3})
            offsets.push_back(Offset(p, static_cast<CNotificationBase const*>(this)));
        return offsets;
    }
};

struct CIdleThread : CLxiThreadObject
{
    CIdleThread() : CLxiThreadObject("abc") {}
    void Execute() override {}
};

}  // namespace

TEST(AbiLayout, FieldsInDeclarationOrder)
{
    CStr const text("abc");   // owned block of exactly 3 units: no capacity record
    std::uint32_t word;
    unsigned short* pData;
    std::memcpy(&word, reinterpret_cast<char const*>(&text) + Pick(4, 8), 4);
    std::memcpy(&pData, reinterpret_cast<char const*>(&text) + Pick(8, 16), sizeof pData);
    EXPECT_EQ(3u | CStr::FLAG_OWNS_BUFFER, word);
    EXPECT_EQ(text.GetData(), pData);

    std::vector<std::size_t> const armhf{4, 12, 76, 88, 152, 164, 168, 172, 176, 178, 180, 182, 183, 184};
    std::vector<std::size_t> const lp64{8, 16, 80, 104, 168, 192, 196, 200, 204, 206, 208, 210, 211, 212};
    EXPECT_EQ(sizeof(void*) == 4 ? armhf : lp64, CNotificationProbe().Offsets());

    CIdleThread thread;
    thread.SetThreadState(LXI_THRD_SHUTDOWN);
    std::memcpy(&word, reinterpret_cast<char const*>(&thread) + Pick(4, 8), 4);
    EXPECT_EQ(static_cast<std::uint32_t>(LXI_THRD_SHUTDOWN), word);
    CLxiThreadObject const& base = thread;
    EXPECT_EQ(Pick(8, 12), Offset(base.GetThreadName().GetData(), &base));   // the name's buffer
    EXPECT_EQ(Pick(72, 80), Offset(&base.GetThreadName(), &base));           // the name
}
