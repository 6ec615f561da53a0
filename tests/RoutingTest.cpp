#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "AllocHook.h"
#include "INotificationConsumer.h"
#include "INotificationRouter.h"
#include "IRequestProcessor.h"
#include "IRequestRouter.h"
#include "NotificationBase.h"
#include "RequestBase.h"
#include "StrCheck.h"

namespace {

// One router call: 'R'egister, 'D'eregister or 'P'rocess; the object (as a
// number: compared after it is gone); the id list and its count.
using Call = std::tuple<char, std::uintptr_t, void const*, unsigned int>;
std::uintptr_t Addr(void const* p) { return reinterpret_cast<std::uintptr_t>(p); }

class CRecordingRouter : public INotificationRouter, public IRequestRouter
{
public:
    void RegisterConsumer(INotificationConsumer& c) override { m_calls.emplace_back('R', Addr(&c), nullptr, 0); }
    void DeregisterConsumer(INotificationConsumer const& c) override { m_calls.emplace_back('D', Addr(&c), nullptr, 0); }
    void ProcessNotification(CNotificationBase const& n) override { m_calls.emplace_back('P', Addr(&n), nullptr, 0); }
    void RegisterProcessor(IRequestProcessor& p, enumRequestId const* pIds, unsigned short count) override
    {
        m_calls.emplace_back('R', Addr(&p), pIds, count);
    }
    void DeregisterProcessor(IRequestProcessor const& p) override { m_calls.emplace_back('D', Addr(&p), nullptr, 0); }
    void ProcessRequest(CRequestBase& r) override { m_calls.emplace_back('P', Addr(&r), nullptr, 0); }
    std::vector<Call> m_calls;
};

// Every field, each of its own value.
auto Fields(CNotificationBase const& n)
{
    return std::make_tuple(n.GetNotificationId(), n.GetNotificationFilterItem().GetDatabaseItemChanged(),
                           lxitest::Text(n.GetStringValue1()), lxitest::Text(n.GetStringValue2()), n.GetUnsignedValue1(),
                           n.GetUnsignedValue2(), n.GetUnsignedValue3(), n.GetUnsignedShortValue1(),
                           n.GetUnsignedShortValue2(), n.GetUnsignedShortValue3(), n.GetUnsignedByte1(),
                           n.GetUnsignedByte2(), n.GetUnsignedByte3());
}

}  // namespace

// A record with texts of up to 31 units is built, copied, sent and cleared in
// its own buffers, without a block from the heap.
TEST(Routing, Notifications)
{
    CRecordingRouter router;
    CNotificationBase::SetNotificationRouter(router);
    CStr const s31("0123456789012345678901234567890"), sShort("short");
    lxitest::AllocCounter counter;
    {
        CNotificationBase const sent(static_cast<enumLxiDatabaseItem>(3), s31, sShort, ~0u, 7, 8, 0xFFFF, 9, 10, 0xFF, 11, 12);
        CNotificationBase copy, assigned;
        copy.Assign(sent).Assign(copy);
        CNotificationBase const built(sent);
        assigned = copy;
        for (CNotificationBase const* p : std::vector<CNotificationBase const*>{&copy, &built, &assigned}) {
            EXPECT_EQ(Fields(sent), Fields(*p));
            EXPECT_EQ(31u, p->GetStringValue2().GetBuffSize());
        }
        EXPECT_EQ(std::make_tuple(1u, 3u, 31u), std::make_tuple(+sent.GetNotificationId(),
                  +sent.GetNotificationFilterItem().GetDatabaseItemChanged(), sent.GetStringValue1().GetLength()));
        copy.Process();
        EXPECT_EQ(std::vector<Call>{Call('P', Addr(&copy), nullptr, 0)}, router.m_calls);
        copy.Clear();
        EXPECT_EQ(Fields(CNotificationBase()), Fields(copy));
    }
    EXPECT_EQ(0u, counter.Count() + counter.Frees());
    stNotificationFilterItem const byId(static_cast<enumNotificationId>(77));
    EXPECT_EQ(std::make_tuple(77u, 0u), std::make_tuple(+byId.GetNotificationId(), +byId.GetDatabaseItemChanged()));
    CNotificationBase::ClearNotificationRouter();
    CNotificationBase().Process();
    EXPECT_EQ(1u, router.m_calls.size());
}

// Registrations in the base constructors and destructors; each static
// pointer serves only its own side, and a null one drops the call.
TEST(Routing, RegistrationAndRequests)
{
    static const enumRequestId s_aIds[2] = {static_cast<enumRequestId>(5), static_cast<enumRequestId>(0xFFFFFFFFu)};
    CRecordingRouter router, other;
    INotificationConsumer::SetNotificationRouter(router);
    IRequestProcessor::SetRequestRouter(router);
    CRequestBase::SetRequestRouter(other);
    CNotificationBase::SetNotificationRouter(other);
    std::uintptr_t consumer, processor;
    CRequestBase request(s_aIds[1]);
    {
        INotificationConsumer c;
        IRequestProcessor p(s_aIds, 2);
        consumer = Addr(&c);
        processor = Addr(&p);
        request.Process();
    }
    INotificationConsumer::ClearNotificationRouter();
    IRequestProcessor::ClearRequestRouter();
    CRequestBase::ClearRequestRouter();
    { INotificationConsumer unrouted; IRequestProcessor alsoUnrouted(s_aIds, 1); }
    request.Process();
    EXPECT_EQ(0xFFFFFFFFu, request.GetRequestId());
    EXPECT_EQ((std::vector<Call>{Call('R', consumer, nullptr, 0), Call('R', processor, s_aIds, 2),
                                 Call('D', processor, nullptr, 0), Call('D', consumer, nullptr, 0)}),
              router.m_calls);
    EXPECT_EQ(std::vector<Call>{Call('P', Addr(&request), nullptr, 0)}, other.m_calls);
    EXPECT_EQ(nullptr, CRequestBase::s_pRequestRouter);
    CNotificationBase::ClearNotificationRouter();
}
