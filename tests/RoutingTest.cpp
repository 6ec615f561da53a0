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

namespace {

// Addresses are kept as numbers: they are compared after the objects are gone.
std::uintptr_t Addr(void const* p) { return reinterpret_cast<std::uintptr_t>(p); }

// One router call: 'R'egister, 'D'eregister or 'P'rocess; the object; the id
// list and its count.
using Call = std::tuple<char, std::uintptr_t, std::uintptr_t, unsigned int>;
using Calls = std::vector<Call>;

// Records every call of both kinds.
class CCountingRouter : public INotificationRouter, public IRequestRouter
{
public:
    void RegisterConsumer(INotificationConsumer& c) override { m_calls.emplace_back('R', Addr(&c), 0, 0); }
    void DeregisterConsumer(INotificationConsumer const& c) override { m_calls.emplace_back('D', Addr(&c), 0, 0); }
    void ProcessNotification(CNotificationBase const& n) override { m_calls.emplace_back('P', Addr(&n), 0, 0); }
    void RegisterProcessor(IRequestProcessor& p, enumRequestId const* pIds, unsigned short count) override
    {
        m_calls.emplace_back('R', Addr(&p), Addr(pIds), count);
    }
    void DeregisterProcessor(IRequestProcessor const& p) override { m_calls.emplace_back('D', Addr(&p), 0, 0); }
    void ProcessRequest(CRequestBase& r) override { m_calls.emplace_back('P', Addr(&r), 0, 0); }
    Calls m_calls;
};

// Leaves every static router pointer cleared behind it.
class Routing : public ::testing::Test
{
protected:
    ~Routing() override
    {
        INotificationConsumer::ClearNotificationRouter();
        CNotificationBase::ClearNotificationRouter();
        IRequestProcessor::ClearRequestRouter();
        CRequestBase::ClearRequestRouter();
    }
    CCountingRouter m_router;
};

std::u16string Text(CStr const& s)
{
    return std::u16string(reinterpret_cast<char16_t const*>(s.GetData()), s.GetLength());
}

auto Fields(CNotificationBase const& n)
{
    return std::make_tuple(n.GetNotificationId(), n.GetNotificationFilterItem().GetDatabaseItemChanged(),
                           Text(n.GetStringValue1()), Text(n.GetStringValue2()), n.GetUnsignedValue1(),
                           n.GetUnsignedValue2(), n.GetUnsignedValue3(), n.GetUnsignedShortValue1(),
                           n.GetUnsignedShortValue2(), n.GetUnsignedShortValue3(), n.GetUnsignedByte1(),
                           n.GetUnsignedByte2(), n.GetUnsignedByte3());
}

}  // namespace

// A record with texts of up to 31 units is built, filled, copied and sent
// entirely in its own buffers.
TEST_F(Routing, NotificationRecordTravelsWithoutAllocation)
{
    CNotificationBase::SetNotificationRouter(m_router);
    CStr const s31("0123456789012345678901234567890");
    CStr const sShort("short");
    lxitest::AllocCounter counter;
    {
        CNotificationBase sent(static_cast<enumLxiDatabaseItem>(3), s31, sShort, ~0u, 0, 0, 0, 0xFFFF, 0, 0xFF, 0, 0);
        CNotificationBase copy;
        copy.Assign(sent).Assign(copy);
        // Copy construction and assignment also take the texts into the
        // record's own buffers, with their capacity record intact.
        CNotificationBase built(sent);
        CNotificationBase assigned;
        assigned = copy;
        copy.Process();
        for (CNotificationBase* p : {&copy, &built, &assigned}) {
            EXPECT_EQ(Fields(sent), Fields(*p));
            EXPECT_EQ(31u, p->GetStringValue2().GetBuffSize());
        }
        EXPECT_EQ(31u, copy.GetStringValue1().GetLength());
        EXPECT_EQ(Calls{Call('P', Addr(&copy), 0, 0)}, m_router.m_calls);
        copy.Clear();
        EXPECT_EQ(Fields(CNotificationBase()), Fields(copy));
        EXPECT_EQ(std::make_tuple(0u, 0u, 0u, std::u16string()),
                  std::make_tuple(+copy.GetNotificationId(), +copy.GetNotificationFilterItem().GetDatabaseItemChanged(),
                                  copy.GetUnsignedValue1(), Text(copy.GetStringValue2())));
    }
    EXPECT_EQ(0u, counter.Count());
    EXPECT_EQ(0u, counter.Frees());
    stNotificationFilterItem const byId(static_cast<enumNotificationId>(77));
    stNotificationFilterItem const byItem(static_cast<enumLxiDatabaseItem>(~0u));
    EXPECT_EQ(std::make_tuple(77u, 0u, 1u, ~0u),
              std::make_tuple(+byId.GetNotificationId(), +byId.GetDatabaseItemChanged(), +byItem.GetNotificationId(),
                              +byItem.GetDatabaseItemChanged()));
}

TEST_F(Routing, RegistrationCalls)
{
    static const enumRequestId s_aIds[3] = {static_cast<enumRequestId>(5), static_cast<enumRequestId>(6),
                                            static_cast<enumRequestId>(0xFFFFFFFFu)};
    INotificationConsumer::SetNotificationRouter(m_router);
    IRequestProcessor::SetRequestRouter(m_router);
    std::uintptr_t consumer, first, second;
    {
        INotificationConsumer c;
        IRequestProcessor processor(s_aIds, 3);
        IRequestProcessor unlisted(nullptr, 0);
        consumer = Addr(&c);
        first = Addr(&processor);
        second = Addr(&unlisted);
    }
    auto* pLate = new INotificationConsumer;
    std::uintptr_t const late = Addr(pLate);
    INotificationConsumer::ClearNotificationRouter();   // cleared first: no deregistration
    delete pLate;
    EXPECT_EQ((Calls{Call('R', consumer, 0, 0), Call('R', first, Addr(s_aIds), 3), Call('R', second, 0, 0),
                     Call('D', second, 0, 0), Call('D', first, 0, 0), Call('D', consumer, 0, 0),
                     Call('R', late, 0, 0)}),
              m_router.m_calls);
}

// Each static pointer serves only its own side, and a null one drops the call.
TEST_F(Routing, PointersAreIndependent)
{
    static const enumRequestId s_aIds[1] = {static_cast<enumRequestId>(5)};
    CRequestBase request(s_aIds[0]);
    CNotificationBase notification;
    EXPECT_EQ(5u, request.GetRequestId());
    { IRequestProcessor unrouted(s_aIds, 1); }
    { INotificationConsumer unrouted; }
    request.Process();
    notification.Process();

    IRequestProcessor::SetRequestRouter(m_router);
    INotificationConsumer::SetNotificationRouter(m_router);
    request.Process();
    notification.Process();
    EXPECT_TRUE(m_router.m_calls.empty());

    IRequestProcessor::ClearRequestRouter();
    INotificationConsumer::ClearNotificationRouter();
    CRequestBase::SetRequestRouter(m_router);
    CNotificationBase::SetNotificationRouter(m_router);
    { IRequestProcessor notRegistered(s_aIds, 1); }
    { INotificationConsumer notRegistered; }
    request.Process();
    notification.Process();
    EXPECT_EQ((Calls{Call('P', Addr(&request), 0, 0), Call('P', Addr(&notification), 0, 0)}), m_router.m_calls);
}
