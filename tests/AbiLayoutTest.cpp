// What other modules compile against, fixed within SOVERSION 1: object sizes, the word's bits and enumeration values,
// for 32-bit ARM (the target) and LP64. Field offsets and vtable slots are guarded by the ABI check (abi/).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "LxiErrorLogIds.h"
#include "LxiThreadObject.h"
#include "NotificationBase.h"
#include "RequestBase.h"

namespace {

constexpr std::size_t Pick(std::size_t armhf, std::size_t lp64) { return sizeof(void*) == 4 ? armhf : lp64; }

static_assert(sizeof(CStr) == Pick(12, 24) && alignof(CStr) == alignof(void*), "vtable pointer, word, pointer");
static_assert(sizeof(stNotificationFilterItem) == 8 && sizeof(CNotificationBase) == Pick(188, 216) &&
                  sizeof(CLxiThreadObject) == Pick(84, 104) && sizeof(CRequestBase) == Pick(8, 16), "records");
static_assert(CStr::LENGTH_MASK == 0x1FFFFFFFu && CStr::FLAG_OWNS_BUFFER == 0x80000000u &&
                  CStr::FLAG_EXTRA_BUFFER == 0x40000000u && CStr::FLAG_TIME_EFFICIENT == 0x20000000u, "the word");
static_assert(sizeof(enumLxiErrorLogId) == 4 && sizeof(enumLxiThreadStates) == 4 && sizeof(enumNotificationId) == 4 &&
                  sizeof(enumLxiDatabaseItem) == 4 && sizeof(enumRequestId) == 4, "32-bit enumerations");
static_assert(LXI_ERR_VENDOR_MESSAGE == 0 && LXI_ERR_SET_CURRENT_DIRECTORY_FAILED == 110 &&
                  LXI_ERR_START_BACKGROUND_PROCESS_FAILED == 154 && LXI_THRD_WAIT_FOR_START == 0 &&
                  LXI_THRD_RUNNING == 2 && LXI_THRD_TERMINATED == 5 && LXI_NOTIFICATION_NONE == 0 &&
                  LXI_NOTIFICATION_DATABASE_ITEM_CHANGED == 1 && LXI_DATABASE_ITEM_NONE == 0, "values");

}  // namespace

// The inline accessors compiled into modules read the word, then the pointer, behind the vtable pointer.
TEST(AbiLayout, CStrWordThenPointer)
{
    CStr const text("abc");   // an owned block of exactly 3 units: no capacity record
    std::uint32_t word = 0; unsigned short* pData = nullptr;
    std::memcpy(&word, reinterpret_cast<char const*>(&text) + Pick(4, 8), 4);
    std::memcpy(&pData, reinterpret_cast<char const*>(&text) + Pick(8, 16), sizeof pData);
    EXPECT_EQ(3u | CStr::FLAG_OWNS_BUFFER, word);
    EXPECT_EQ(text.GetData(), pData);
}
