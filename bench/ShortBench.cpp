// Short texts, where the stack spends most of its time: a rotating set of 64
// SCPI-like texts of 20 to 26 units, each lxibase string working in its
// attached 32-unit buffer, against std::u16string and ICU doing the same job
// with room they already have. One iteration runs the job on all 64 texts.
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstring>

#include "BenchUtil.h"
#include "NotificationBase.h"
#include "StrUtil.h"

namespace lxibench {

namespace {

constexpr unsigned int kTexts = 64;

// xorshift32, as in Corpus.cpp: the same texts on every run.
unsigned int Next(unsigned int& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Text i of the set, exactly `length` units: a command, query or reply with
// random numbers, cut or padded with digits; one text in eight carries a
// unit sign beyond ASCII (micro, degree, ohm).
std::u16string MakeText(unsigned int i, unsigned int length, unsigned int& state)
{
    static char const* const s_apForms[] = {
        "MEAS:VOLT:DC? %u,0.%03u", "SOUR1:CURR:LEV %u.%03uE-3", "TRIG:DEL %u.%06u;:INIT",
        "+%u.%08uE+00", "SENS:FREQ:APER %u.%04u", "CALC:LIM:UPP %u.%05u", "SYST:ERR? %u;*OPC? %u",
        "OUTP1:STAT ON;:VOLT %u.%u"};
    static char16_t const s_aSigns[] = {u'\u00B5', u'\u00B0', u'\u03A9'};
    char aLine[64];
    std::snprintf(aLine, sizeof aLine, s_apForms[i % 8], Next(state) % 100, Next(state) % 100000);
    std::u16string text(aLine, aLine + std::strlen(aLine));
    if (i % 8 == 5)
        text.insert(text.begin() + 4, s_aSigns[i / 8 % 3]);
    while (text.size() < length)
        text += static_cast<char16_t>(u'0' + Next(state) % 10);
    text.resize(length);
    return text;
}

std::vector<std::u16string> MakeSet(unsigned int minLength, unsigned int maxLength)
{
    unsigned int state = 0x9E3779B9u + minLength;
    std::vector<std::u16string> texts;
    for (unsigned int i = 0; i < kTexts; ++i)
        texts.push_back(MakeText(i, minLength + i % (maxLength - minLength + 1), state));
    return texts;
}

std::string ToUtf8(std::u16string const& text)
{
    std::string out(3 * text.size(), '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(&out[0], static_cast<int32_t>(out.size()), &length,
                reinterpret_cast<UChar const*>(text.data()), static_cast<int32_t>(text.size()),
                &status);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

// A CStr in its own attached buffer, as records and stack frames hold them.
struct stInline
{
    unsigned short aBuffer[32];
    CStr text;
    stInline() : aBuffer(), text(aBuffer, 31, true, false) {}
    stInline(std::u16string const& units) : stInline()
    {
        text.Assign(Units(units), Count(units));
    }
    stInline(stInline const&) = delete;   // a copy would not be attached to its own buffer
};

void SetTexts(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kTexts);
}

// UTF-8 bytes into a string.

std::vector<std::string> const& Utf8Set()
{
    static std::vector<std::string> const s_set = [] {
        std::vector<std::string> set;
        for (std::u16string const& text : MakeSet(20, 26))
            set.push_back(ToUtf8(text));
        return set;
    }();
    return s_set;
}

void FromUtf8Lxi(benchmark::State& state)
{
    std::vector<std::string> const& set = Utf8Set();
    std::vector<std::u16string> const expected = MakeSet(20, 26);
    stInline target;
    for (auto _ : state) {
        for (std::string const& bytes : set) {
            target.text.Assign(reinterpret_cast<unsigned char const*>(bytes.data()),
                               static_cast<unsigned int>(bytes.size()));
            benchmark::DoNotOptimize(target.text.GetData());
        }
    }
    for (unsigned int i = 0; i < kTexts; ++i) {
        target.text.Assign(reinterpret_cast<unsigned char const*>(set[i].data()),
                           static_cast<unsigned int>(set[i].size()));
        if (!SameText(target.text, expected[i]) || target.text.GetData() != target.aBuffer)
            state.SkipWithError("Assign(UTF-8) differs or left the attached buffer");
    }
    SetTexts(state);
}

void FromUtf8IcuFromUtf8(benchmark::State& state)
{
    std::vector<std::string> const& set = Utf8Set();
    for (auto _ : state) {
        for (std::string const& bytes : set) {
            icu::UnicodeString text = icu::UnicodeString::fromUTF8(
                icu::StringPiece(bytes.data(), static_cast<int32_t>(bytes.size())));
            benchmark::DoNotOptimize(text.getBuffer());
        }
    }
    SetTexts(state);
}

void FromUtf8IcuBuffer(benchmark::State& state)
{
    std::vector<std::string> const& set = Utf8Set();
    icu::UnicodeString text;
    for (auto _ : state) {
        for (std::string const& bytes : set) {
            UChar* pBuffer = text.getBuffer(27);
            int32_t length = 0;
            UErrorCode status = U_ZERO_ERROR;
            u_strFromUTF8(pBuffer, text.getCapacity(), &length, bytes.data(),
                          static_cast<int32_t>(bytes.size()), &status);
            text.releaseBuffer(length);
            benchmark::DoNotOptimize(text.getBuffer());
        }
    }
    SetTexts(state);
}

// Equals of 24-unit texts that differ in their last unit.

struct stPairs
{
    std::vector<std::u16string> first, second;
};

stPairs const& Pairs()
{
    static stPairs const s_pairs = [] {
        stPairs pairs;
        pairs.first = MakeSet(24, 24);
        for (std::u16string text : pairs.first) {
            text.back() = text.back() == u'0' ? u'1' : u'0';
            pairs.second.push_back(text);
        }
        return pairs;
    }();
    return s_pairs;
}

void EqualsLxi(benchmark::State& state)
{
    stPairs const& pairs = Pairs();
    std::vector<stInline> first(pairs.first.begin(), pairs.first.end());
    std::vector<stInline> second(pairs.second.begin(), pairs.second.end());
    unsigned int equal = 0;
    for (auto _ : state) {
        equal = 0;
        for (unsigned int i = 0; i < kTexts; ++i)
            equal += first[i].text.Equals(second[i].text) ? 1u : 0u;
        benchmark::DoNotOptimize(equal);
    }
    if (equal != 0 || !first[0].text.Equals(first[0].text))
        state.SkipWithError("Equals found equal texts");
    SetTexts(state);
}

void EqualsStd(benchmark::State& state)
{
    stPairs const& pairs = Pairs();
    unsigned int equal = 0;
    for (auto _ : state) {
        equal = 0;
        for (unsigned int i = 0; i < kTexts; ++i)
            equal += pairs.first[i] == pairs.second[i] ? 1u : 0u;
        benchmark::DoNotOptimize(equal);
    }
    SetTexts(state);
}

// Copying a 24-unit text into a string that has the room.

void CopyLxi(benchmark::State& state)
{
    stPairs const& pairs = Pairs();
    std::vector<stInline> const sources(pairs.first.begin(), pairs.first.end());
    stInline target;
    for (auto _ : state) {
        for (stInline const& source : sources) {
            target.text.Assign(source.text);
            benchmark::DoNotOptimize(target.text.GetData());
        }
    }
    if (!SameText(target.text, pairs.first.back()) || target.text.GetData() != target.aBuffer)
        state.SkipWithError("Assign(CStr const&) differs or left the attached buffer");
    SetTexts(state);
}

void CopyStd(benchmark::State& state)
{
    stPairs const& pairs = Pairs();
    std::u16string target;
    target.reserve(32);
    for (auto _ : state) {
        for (std::u16string const& source : pairs.first) {
            target = source;
            benchmark::DoNotOptimize(target.data());
        }
    }
    SetTexts(state);
}

// FindNext of a 4-unit pattern in a 30-unit reply, where it occurs once.

char16_t const kPattern[] = u"E-03";

std::vector<std::u16string> const& Replies()
{
    static std::vector<std::u16string> const s_replies = [] {
        std::vector<std::u16string> replies = MakeSet(26, 26);
        for (unsigned int i = 0; i < kTexts; ++i) {
            for (char16_t& unit : replies[i]) {
                if (unit == u'E' || unit == u'-')
                    unit = u'+';   // no other occurrence, nor a piece of one
            }
            replies[i].insert(10 + i % 17, kPattern);
        }
        return replies;
    }();
    return s_replies;
}

void FindLxi(benchmark::State& state)
{
    std::vector<std::u16string> const& replies = Replies();
    std::vector<stInline> const texts(replies.begin(), replies.end());
    stInline const pattern(kPattern);
    unsigned int sum = 0;
    for (auto _ : state) {
        sum = 0;
        for (stInline const& text : texts)
            sum += text.text.FindNext(pattern.text, 0);
        benchmark::DoNotOptimize(sum);
    }
    unsigned int expected = 0;
    for (std::u16string const& reply : replies)
        expected += static_cast<unsigned int>(reply.find(kPattern));
    if (sum != expected)
        state.SkipWithError("FindNext found other positions");
    SetTexts(state);
}

void FindStd(benchmark::State& state)
{
    std::vector<std::u16string> const& replies = Replies();
    std::u16string const pattern(kPattern);
    for (auto _ : state) {
        std::size_t sum = 0;
        for (std::u16string const& reply : replies)
            sum += reply.find(pattern);
        benchmark::DoNotOptimize(sum);
    }
    SetTexts(state);
}

// Copying a notification record with two short texts.

struct stPlainNotification
{
    unsigned int id, item;
    std::u16string text1, text2;
    unsigned int value1, value2, value3;
    unsigned short short1, short2, short3;
    unsigned char byte1, byte2, byte3;
};

void NotificationLxi(benchmark::State& state)
{
    std::vector<std::u16string> const texts = MakeSet(20, 26);
    std::vector<CNotificationBase> sources;
    sources.reserve(kTexts);
    for (unsigned int i = 0; i < kTexts; ++i) {
        stInline const first(texts[i]), second(texts[(i + 1) % kTexts]);
        sources.emplace_back(stNotificationFilterItem(static_cast<enumNotificationId>(i + 2)),
                             first.text, second.text, i, 2 * i, 3 * i, 1, 2, 3, 4, 5, 6);
    }
    CNotificationBase target;
    for (auto _ : state) {
        for (CNotificationBase const& source : sources) {
            target.Assign(source);
            benchmark::DoNotOptimize(&target);
        }
    }
    if (!SameText(target.GetStringValue2(), texts[0]) || target.GetUnsignedValue3() != 3 * (kTexts - 1))
        state.SkipWithError("Assign(CNotificationBase const&) differs");
    SetTexts(state);
}

void NotificationStd(benchmark::State& state)
{
    std::vector<std::u16string> const texts = MakeSet(20, 26);
    std::vector<stPlainNotification> sources;
    for (unsigned int i = 0; i < kTexts; ++i)
        sources.push_back({i + 2, 0, texts[i], texts[(i + 1) % kTexts], i, 2 * i, 3 * i, 1, 2, 3, 4, 5, 6});
    stPlainNotification target{};
    target.text1.reserve(32);
    target.text2.reserve(32);
    for (auto _ : state) {
        for (stPlainNotification const& source : sources) {
            target = source;
            benchmark::DoNotOptimize(&target);
        }
    }
    SetTexts(state);
}

// 24 units to UTF-8 into a caller's buffer: lxibase sizes first, then converts.

void ToUtf8Lxi(benchmark::State& state)
{
    std::vector<std::u16string> const texts = MakeSet(24, 24);
    std::vector<stInline> const sources(texts.begin(), texts.end());
    unsigned char aOut[128];
    for (auto _ : state) {
        for (stInline const& source : sources) {
            unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(source.text.GetData(), 24);
            if (bytes <= sizeof aOut)
                CStrUtil::MemcpyUtf8FromUtf16(aOut, source.text.GetData(), 24);
            benchmark::DoNotOptimize(aOut);
        }
    }
    unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(sources.back().text.GetData(), 24);
    if (std::string(reinterpret_cast<char*>(aOut), bytes) != ToUtf8(texts.back()))
        state.SkipWithError("MemcpyUtf8FromUtf16 differs from ICU");
    SetTexts(state);
}

void ToUtf8Icu(benchmark::State& state)
{
    std::vector<std::u16string> const texts = MakeSet(24, 24);
    char aOut[128];
    for (auto _ : state) {
        for (std::u16string const& text : texts) {
            int32_t length = 0;
            UErrorCode status = U_ZERO_ERROR;
            u_strToUTF8(aOut, sizeof aOut, &length, reinterpret_cast<UChar const*>(text.data()), 24,
                        &status);
            benchmark::DoNotOptimize(aOut);
        }
    }
    SetTexts(state);
}

int RegisterAll()
{
    Register("Short", "Lxi", "FromUtf8", FromUtf8Lxi);
    Register("Short", "IcuFromUtf8", "FromUtf8", FromUtf8IcuFromUtf8);
    Register("Short", "IcuBuffer", "FromUtf8", FromUtf8IcuBuffer);
    Register("Short", "Lxi", "Equals", EqualsLxi);
    Register("Short", "Std", "Equals", EqualsStd);
    Register("Short", "Lxi", "Copy", CopyLxi);
    Register("Short", "Std", "Copy", CopyStd);
    Register("Short", "Lxi", "FindNext", FindLxi);
    Register("Short", "Std", "FindNext", FindStd);
    Register("Short", "Lxi", "Notification", NotificationLxi);
    Register("Short", "Std", "Notification", NotificationStd);
    Register("Short", "Lxi", "ToUtf8", ToUtf8Lxi);
    Register("Short", "Icu", "ToUtf8", ToUtf8Icu);
    return 0;
}

int const s_registered = RegisterAll();

}  // namespace

}  // namespace lxibench
