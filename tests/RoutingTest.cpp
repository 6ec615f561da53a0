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

// Records every call of both kinds; hands requests on to m_pTarget.
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
    void ProcessRequest(CRequestBase& request) override
    {
        m_calls.emplace_back('P', Addr(&request), 0, 0);
        if (m_pTarget != nullptr)
            m_pTarget->ProcessRequest(request);
    }
    Calls m_calls;
    IRequestProcessor* m_pTarget = nullptr;
};

// A request whose processor writes the answer into it.
struct CAnswerRequest : CRequestBase
{
    CAnswerRequest() : CRequestBase(static_cast<enumRequestId>(5)) {}
    int m_answer = 0;
};

struct CAnswerProcessor : IRequestProcessor
{
    CAnswerProcessor(enumRequestId const* pIds, unsigned short count) : IRequestProcessor(pIds, count) {}
    void ProcessRequest(CRequestBase& r) override { static_cast<CAnswerRequest&>(r).m_answer = 42; }
};

class Routing : public ::testing::Test
{
protected:
    void SetUp() override { ClearAll(); }
    void TearDown() override { ClearAll(); }
    static void ClearAll()
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

TEST(NotificationBase, FilterItemClearAndAssign)
{
    stNotificationFilterItem const byId(static_cast<enumNotificationId>(77));
    stNotificationFilterItem const byItem(static_cast<enumLxiDatabaseItem>(0xFFFFFFFFu));
    EXPECT_EQ(std::make_pair(77u, 0u), std::make_pair(+byId.GetNotificationId(), +byId.GetDatabaseItemChanged()));
    EXPECT_EQ(std::make_pair(1u, ~0u), std::make_pair(+byItem.GetNotificationId(), +byItem.GetDatabaseItemChanged()));

    CStr const sLong("a text of forty units, too long inline!!");
    CNotificationBase filled(byItem, sLong, CStr("two"), 1, 2, 3, 4, 5, 6, 7, 8, 9);
    CNotificationBase copy;
    copy.Assign(filled).Assign(copy);
    EXPECT_EQ(Fields(filled), Fields(copy));
    EXPECT_EQ(40u, copy.GetStringValue1().GetLength());
    copy.Clear();
    EXPECT_EQ(Fields(CNotificationBase()), Fields(copy));
    EXPECT_EQ(std::make_tuple(0u, 0u, 0u, std::u16string()),
              std::make_tuple(+copy.GetNotificationId(), +copy.GetNotificationFilterItem().GetDatabaseItemChanged(),
                              copy.GetUnsignedValue1(), Text(copy.GetStringValue2())));
}

TEST_F(Routing, NotificationRecordTravelsWithoutAllocation)
{
    CNotificationBase::SetNotificationRouter(m_router);
    CStr const s31("0123456789012345678901234567890");
    CStr const sShort("short");
    lxitest::AllocCounter counter;
    {
        CNotificationBase sent(static_cast<enumLxiDatabaseItem>(3), s31, sShort, ~0u, 0, 0, 0, 0xFFFF, 0, 0xFF, 0, 0);
        CNotificationBase copy;
        copy.Assign(sent);
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
    }
    EXPECT_EQ(0u, counter.Count());
    EXPECT_EQ(0u, counter.Frees());
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
        CAnswerProcessor processor(s_aIds, 3);
        CAnswerProcessor unlisted(nullptr, 0);
        consumer = Addr(&c);
        first = Addr(static_cast<IRequestProcessor*>(&processor));
        second = Addr(static_cast<IRequestProcessor*>(&unlisted));
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
    CAnswerProcessor processor(s_aIds, 1);   // built before any router: never registered
    m_router.m_pTarget = &processor;
    CAnswerRequest request;
    CNotificationBase notification;
    EXPECT_EQ(5u, request.GetRequestId());
    { INotificationConsumer unrouted; }
    request.Process();
    notification.Process();

    IRequestProcessor::SetRequestRouter(m_router);
    INotificationConsumer::SetNotificationRouter(m_router);
    request.Process();
    notification.Process();
    EXPECT_TRUE(m_router.m_calls.empty());
    EXPECT_EQ(0, request.m_answer);

    IRequestProcessor::ClearRequestRouter();
    INotificationConsumer::ClearNotificationRouter();
    CRequestBase::SetRequestRouter(m_router);
    CNotificationBase::SetNotificationRouter(m_router);
    { CAnswerProcessor notRegistered(s_aIds, 1); }
    { INotificationConsumer notRegistered; }
    request.Process();
    EXPECT_EQ(Calls{Call('P', Addr(static_cast<CRequestBase*>(&request)), 0, 0)}, m_router.m_calls);
    EXPECT_EQ(42, request.m_answer);
}
