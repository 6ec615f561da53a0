#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "TestUtil.h"
#include "INotificationConsumer.h"
#include "INotificationRouter.h"
#include "IRequestProcessor.h"
#include "IRequestRouter.h"
#include "NotificationBase.h"
#include "StrCheck.h"

namespace {

// A call as text: 'R'egister, 'D'eregister or 'P'rocess, the object (its address) and the id list with its count.
std::string Call(char call, void const* p, void const* pIds = nullptr, unsigned int count = 0)
{
    return call + std::to_string(reinterpret_cast<std::uintptr_t>(p)) + "," +
           std::to_string(reinterpret_cast<std::uintptr_t>(pIds)) + "," + std::to_string(count);
}

class CRecordingRouter : public INotificationRouter, public IRequestRouter
{
public:
    void RegisterConsumer(INotificationConsumer& c) override { m_calls.push_back(Call('R', &c)); }
    void DeregisterConsumer(INotificationConsumer const& c) override { m_calls.push_back(Call('D', &c)); }
    void ProcessNotification(CNotificationBase const& n) override { m_calls.push_back(Call('P', &n)); }
    void RegisterProcessor(IRequestProcessor& p, enumRequestId const* pIds, unsigned short count) override
    {
        m_calls.push_back(Call('R', &p, pIds, count));
    }
    void DeregisterProcessor(IRequestProcessor const& p) override { m_calls.push_back(Call('D', &p)); }
    void ProcessRequest(CRequestBase& r) override { m_calls.push_back(Call('P', &r)); }
    std::vector<std::string> m_calls;
};

auto Fields(CNotificationBase const& n)   // every field, each given its own value, and the room of a text
{
    return std::make_tuple(n.GetNotificationId(), n.GetNotificationFilterItem().GetDatabaseItemChanged(),
                           lxitest::Text(n.GetStringValue1()), lxitest::Text(n.GetStringValue2()), n.GetUnsignedValue1(),
                           n.GetUnsignedValue2(), n.GetUnsignedValue3(), n.GetUnsignedShortValue1(),
                           n.GetUnsignedShortValue2(), n.GetUnsignedShortValue3(), n.GetUnsignedByte1(),
                           n.GetUnsignedByte2(), n.GetUnsignedByte3(), n.GetStringValue2().GetBuffSize());
}

}  // namespace

// Each static router serves only its own side, and a null one drops the call. Records with texts of up to 31 units
// are built, copied, sent and cleared in their own buffers, without the heap.
TEST(Routing, RegistrationsRequestsAndNotifications)
{
    static const enumRequestId s_aIds[2] = {static_cast<enumRequestId>(5), static_cast<enumRequestId>(0xFFFFFFFFu)};
    CRecordingRouter router, other;
    INotificationConsumer::SetNotificationRouter(router); IRequestProcessor::SetRequestRouter(router);
    CRequestBase::SetRequestRouter(other); CNotificationBase::SetNotificationRouter(other);
    CStr const s31("0123456789012345678901234567890"), sShort("short");
    std::vector<std::string> expected;
    CRequestBase request(s_aIds[1]);
    lxitest::AllocCounter counter;
    {
        INotificationConsumer consumer;
        IRequestProcessor processor(s_aIds, 2);
        auto const* pItems = reinterpret_cast<stNotificationFilterItem const*>(&router);   // a sentinel
        unsigned short count = 7;
        consumer.GetNotificationFilterItems(pItems, count);   // by default: none
        EXPECT_TRUE(pItems == nullptr && count == 0);
        CNotificationBase const sent(static_cast<enumLxiDatabaseItem>(3), s31, sShort, ~0u, 7, 8, 0xFFFF, 9, 10, 0xFF, 11, 12);
        CNotificationBase copy, assigned;
        copy.Assign(sent).Assign(copy);
        CNotificationBase const built(sent);
        assigned = copy;
        EXPECT_EQ(std::vector(3, Fields(sent)), (std::vector{Fields(copy), Fields(built), Fields(assigned)}));
        EXPECT_TRUE(sent.GetNotificationId() == LXI_NOTIFICATION_DATABASE_ITEM_CHANGED &&
                    sent.GetStringValue1().GetLength() == 31 && lxitest::Text(sent.GetStringValue2()) == u"short" &&
                    sent.GetStringValue2().GetBuffSize() == 31);
        request.Process();
        copy.Process();
        copy.Clear();
        EXPECT_EQ(Fields(CNotificationBase()), Fields(copy));
        EXPECT_EQ((std::vector{Call('P', &request), Call('P', &copy)}), other.m_calls);
        expected = {Call('R', &consumer), Call('R', &processor, s_aIds, 2), Call('D', &processor), Call('D', &consumer)};
    }
    EXPECT_EQ(0u, counter.Count() + counter.Frees());
    INotificationConsumer::ClearNotificationRouter(); IRequestProcessor::ClearRequestRouter();
    CRequestBase::ClearRequestRouter(); CNotificationBase::ClearNotificationRouter();
    { INotificationConsumer unrouted; IRequestProcessor alsoUnrouted(s_aIds, 1); }
    request.Process();
    CNotificationBase().Process();
    EXPECT_EQ(0xFFFFFFFFu, request.GetRequestId());
    EXPECT_EQ(expected, router.m_calls);
    EXPECT_EQ(2u, other.m_calls.size());
    stNotificationFilterItem byId(static_cast<enumLxiDatabaseItem>(3));   // both fields assigned over
    byId.Assign(stNotificationFilterItem(static_cast<enumNotificationId>(77)));
    EXPECT_TRUE(byId.GetNotificationId() == 77 && byId.GetDatabaseItemChanged() == LXI_DATABASE_ITEM_NONE);
}
