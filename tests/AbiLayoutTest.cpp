// What other modules compile against, fixed within SOVERSION 1, checked as the tests compile: object sizes and the
// word's bits on armhf and LP64. Field order, offsets, vtable slots and enumeration values: the ABI check (abi/).
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

}  // namespace
