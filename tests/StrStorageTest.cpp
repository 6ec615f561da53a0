#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AllocHook.h"
#include "LxiOSALRuntime.h"
#include "Str.h"

namespace {

std::u16string Text(CStr const& s)
{
    return s.GetData() != nullptr ? std::u16string(reinterpret_cast<char16_t const*>(s.GetData()), s.GetLength())
                                  : std::u16string();
}

// The raw invariants: terminator at the length, and a big-endian capacity
// record behind it exactly when the reckoned capacity exceeds the length.
void ExpectValid(CStr const& s)
{
    unsigned int const length = s.GetLength();
    unsigned int const capacity = s.GetBuffSize();
    if (s.GetData() == nullptr) {
        EXPECT_EQ(0u, length);
        EXPECT_EQ(0u, capacity);
        return;
    }
    EXPECT_EQ(0u, s.GetData()[length]);
    if (capacity == length)
        return;
    ASSERT_GE(capacity, length + 5);
    auto const* pRecord = reinterpret_cast<unsigned char const*>(s.GetData() + length + 1);
    EXPECT_EQ(capacity, (unsigned(pRecord[0]) << 24) | (unsigned(pRecord[1]) << 16) |
                            (unsigned(pRecord[2]) << 8) | pRecord[3]);
}

std::string Units(unsigned int n)
{
    std::string s;
    for (unsigned int i = 0; i < n; ++i)
        s += static_cast<char>('a' + i % 26);
    return s;
}

}  // namespace

TEST(StrStorage, ReservingConstructor)
{
    struct Case { unsigned int asked; bool fast; unsigned int buffSize; unsigned int allocs; };
    for (Case c : {Case{10, false, 10, 1}, Case{3, false, 0, 1}, Case{5, true, 16, 1}, Case{0, true, 0, 0}}) {
        lxitest::AllocCounter counter;
        CStr s(c.asked, c.fast);
        EXPECT_EQ(c.buffSize, s.GetBuffSize()) << c.asked;
        EXPECT_EQ(c.allocs, counter.Count()) << c.asked;
        EXPECT_EQ(c.fast, s.IsTimeEfficient());
        EXPECT_EQ(c.allocs != 0, s.GetData() != nullptr);
        ExpectValid(s);
    }
}

TEST(StrStorage, EmptyTextsTakeNoHeap)
{
    lxitest::AllocCounter counter;
    CStr a("");
    CStr b(L"");
    CStr c(reinterpret_cast<unsigned char const*>(""));
    CStr d(a);
    CStr e(static_cast<char const*>(nullptr));
    d.Assign("").Assign(L"").Assign(b);
    for (CStr const* p : {&a, &b, &c, &d, &e})
        EXPECT_EQ(nullptr, p->GetData());
    EXPECT_EQ(0u, counter.Count());
}

TEST(StrStorage, CapacityRecordFollowsTerminator)
{
    CStr s(16u, false);
    s.Assign(Units(10).c_str());
    auto const* pBytes = reinterpret_cast<unsigned char const*>(s.GetData() + 11);
    EXPECT_EQ(0, std::memcmp(pBytes, "\x00\x00\x00\x10", 4));
    EXPECT_EQ(16u, s.GetBuffSize());
    s.Assign(Units(12).c_str());   // 12 + 5 > 16: no room for the record
    EXPECT_EQ(12u, s.GetBuffSize());
    s.Clear();
    EXPECT_EQ(12u, s.GetBuffSize());
    ExpectValid(s);
}

TEST(StrStorage, InlineBufferContract)
{
    unsigned short aBuffer[33];
    std::fill(std::begin(aBuffer), std::end(aBuffer), 0xBEEF);
    lxitest::AllocCounter counter;
    {
        CStr s(aBuffer, 31, true, false);
        EXPECT_EQ(31u, s.GetBuffSize());
        EXPECT_EQ(0u, aBuffer[0]);
        s.Assign(Units(26).c_str());
        EXPECT_EQ(31u, s.GetBuffSize());
        s.Assign(Units(31).c_str());   // fits, but the record no longer does
        EXPECT_EQ(31u, s.GetBuffSize());
        s.Assign(Units(10).c_str());   // a shorter text records the reduced capacity
        EXPECT_EQ(31u, s.GetBuffSize());
        s.Assign(Units(27).c_str());
        EXPECT_EQ(27u, s.GetBuffSize());
        s.Assign(Units(10).c_str());
        EXPECT_EQ(27u, s.GetBuffSize());
        EXPECT_EQ(aBuffer, s.GetData());
        EXPECT_EQ(0u, counter.Count());
        EXPECT_EQ(0xBEEF, aBuffer[32]);   // never beyond capacity + 1 units

        s.Assign(Units(28).c_str());   // above the reckoned 27: to the heap
        EXPECT_NE(aBuffer, s.GetData());
        EXPECT_EQ(1u, counter.Count());
        EXPECT_EQ(28u, s.GetBuffSize());
        s.Assign("xyz");
        EXPECT_EQ(u'a', aBuffer[0]);   // the array is idle now
        ExpectValid(s);
    }
    EXPECT_EQ(1u, counter.Frees());
    EXPECT_EQ(u'a', aBuffer[0]);   // the destructor leaves the array alone
}

TEST(StrStorage, TimeEfficientGrowthPoints)
{
    CStr s(0u, true);
    std::string text;
    std::string grewAt;
    for (unsigned int n = 1; n <= 70; ++n) {
        text += 'x';
        lxitest::AllocCounter counter;
        s.Assign(text.c_str());
        if (counter.Count() != 0)
            grewAt += std::to_string(n) + ":" + std::to_string(s.GetBuffSize()) + " ";
        ExpectValid(s);
    }
    EXPECT_EQ("1:8 5:16 13:32 29:64 61:128 ", grewAt);

    CStr exact;
    lxitest::AllocCounter counter;
    for (unsigned int n = 1; n <= 10; ++n)
        exact.Assign(text.c_str(), n);
    EXPECT_EQ(10u, counter.Count());
    EXPECT_EQ(10u, exact.GetBuffSize());
}

TEST(StrStorage, FindNextPower)
{
    unsigned int const cases[][2] = {{0, 0}, {1, 8}, {4, 8}, {5, 16}, {12, 16}, {13, 32}, {28, 32}, {29, 64},
                                     {0x1FFFFFFF, 0x40000000}, {0xFFFFFFFF, 0x80000000}};
    for (auto const& c : cases)
        EXPECT_EQ(c[1], CStr::FindNextPower(c[0])) << c[0];
}

TEST(StrStorage, ResizeCompactAndModeSwitch)
{
    CStr s(40u, false);
    s.Assign(Units(30).c_str());
    EXPECT_EQ(40u, s.Resize(10, false));   // never shrinks without force
    s.Compact();
    EXPECT_EQ(30u, s.GetBuffSize());
    ExpectValid(s);

    CStr fast("abc");
    fast.Attach(nullptr, 0, true, false);   // releases, keeps only the mode bit (off)
    EXPECT_EQ(nullptr, fast.GetData());
    CStr t(16u, false);
    t.Assign("abc");
    t.SetTimeEfficient(true, true);
    EXPECT_EQ(32u, t.GetBuffSize());
    t.SetTimeEfficient(true, true);
    EXPECT_EQ(64u, t.GetBuffSize());
    t.Compact();
    EXPECT_EQ(8u, t.GetBuffSize());   // FindNextPower of the length
    t.SetTimeEfficient(false, true);
    EXPECT_EQ(8u, t.GetBuffSize());   // switching off never shrinks
    EXPECT_EQ(u"abc", Text(t));

    unsigned short aBuffer[32];
    CStr attached(aBuffer, 31, true, false);
    attached.Compact();   // recorded 31 differs from length 0: a block of one unit
    EXPECT_NE(aBuffer, attached.GetData());
    EXPECT_EQ(0u, attached.GetBuffSize());
    ExpectValid(attached);
}

TEST(StrStorage, CopyAndAssignFlags)
{
    CStr fast(0u, true);
    fast.Assign("hello");
    CStr copy(fast);
    EXPECT_TRUE(copy.IsTimeEfficient());
    EXPECT_EQ(16u, copy.GetBuffSize());
    CStr plain("x");
    plain.Assign(fast);
    EXPECT_FALSE(plain.IsTimeEfficient());
    EXPECT_EQ(5u, plain.GetBuffSize());
    plain.Assign(plain);   // assigning itself changes nothing
    EXPECT_EQ(u"hello", Text(plain));
    plain.Assign(plain.GetData() + 1, 3);   // a source inside the own buffer
    EXPECT_EQ(u"ell", Text(plain));
    ExpectValid(plain);
}

TEST(StrStorage, AttachForms)
{
    unsigned short aBuffer[8] = {'h', 'e', 'l', 'l', 'o', 0, 'z', 'z'};
    CStr s(aBuffer, 7, false, false);
    EXPECT_EQ(u"hello", Text(s));
    EXPECT_EQ(5u, s.GetBuffSize());   // 7 < 5 + 5: no record, reckons the length
    ExpectValid(s);

    lxitest::AllocCounter counter;
    auto* pOwned = static_cast<unsigned short*>(CLxiOSALRuntime::Malloc(2 * 21));
    CStr owner(pOwned, 20, true, true);
    owner.Assign("abc");
    owner.Attach(owner.GetData(), 20, false, false);   // its own block: kept, still owned
    EXPECT_EQ(u"abc", Text(owner));
    owner.Assign(Units(50).c_str());   // still reallocatable
    owner.Attach(nullptr, 0, true, false);
    EXPECT_EQ(1u, counter.Frees());   // the one block, released once
}

TEST(StrStorage, CharAccess)
{
    CStr s("ab");
    s.SetChar(0, u'X');
    s.SetChar(1, 0);   // the terminator is refused
    s.SetChar(2, u'Y');   // beyond the text
    EXPECT_EQ(u"Xb", Text(s));
    EXPECT_EQ(0u, s.GetChar(2));
    EXPECT_EQ(0u, CStr().GetChar(0));
}

// Every allocation of each operation fails in turn: the string keeps its old
// text, stays consistent, and LeakSanitizer sees no lost block.
TEST(StrStorage, AllocationFailureKeepsOldText)
{
    unsigned short aBuffer[32];
    struct Op { char const* name; void (*run)(CStr&); };
    Op const ops[] = {
        {"grow owned", [](CStr& s) { s.Assign(Units(100).c_str()); }},
        {"grow wide", [](CStr& s) { s.Assign(L"a wide text that needs more room than before"); }},
        {"compact", [](CStr& s) { s.Compact(); }},
        {"time efficient", [](CStr& s) { s.SetTimeEfficient(true, true); }},
    };
    for (Op const& op : ops) {
        for (bool inlineStart : {false, true}) {
            bool failed = true;
            for (unsigned int n = 1; failed; ++n) {
                CStr s(aBuffer, 31, true, false);
                if (!inlineStart)
                    s.Assign(Units(40).c_str());
                s.Assign("short");
                unsigned int const buffSize = s.GetBuffSize();
                lxitest::FailAllocation(n);
                op.run(s);
                failed = lxitest::FailureInjected();
                lxitest::FailAllocation(0);
                if (failed) {
                    EXPECT_EQ(u"short", Text(s)) << op.name;
                    EXPECT_EQ(buffSize, s.GetBuffSize()) << op.name;
                }
                ExpectValid(s);
            }
        }
    }

    unsigned int const allocs = lxitest::SweepAllocationFailures([] {
        CStr source(L"copied text");
        CStr copy(source);
        CStr reserved(64u, true);
        for (CStr const* p : {&source, &copy, &reserved})
            ExpectValid(*p);
        EXPECT_TRUE(copy.IsEmpty() || Text(copy) == u"copied text");
    });
    EXPECT_EQ(3u, allocs);
}
