// A text of 1 Mi units built by appending one unit at a time, in exact and in
// time-efficient mode, against std::u16string::push_back.
#include "BenchUtil.h"

namespace lxibench {

namespace {

constexpr unsigned int kUnits = 1u << 20;
char16_t const kAlphabet[] = u"abcdefghijklmnopqrstuvwxyz";
constexpr unsigned int kLetters = sizeof kAlphabet / sizeof kAlphabet[0] - 1;

void SetItems(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kUnits);
}

bool IsAlphabetRun(unsigned short const* pText, unsigned int length)
{
    if (length != kUnits)
        return false;
    for (unsigned int i = 0; i < length; ++i) {
        if (pText[i] != kAlphabet[i % kLetters])
            return false;
    }
    return true;
}

void BuildLxi(CStr& text, CStr const (&aLetters)[kLetters], bool timeEfficient)
{
    text.SetTimeEfficient(timeEfficient, false);
    for (unsigned int i = 0; i < kUnits; ++i)
        text.Append(aLetters[i % kLetters]);
}

void BuildStd(std::u16string& text)
{
    for (unsigned int i = 0; i < kUnits; ++i)
        text.push_back(kAlphabet[i % kLetters]);
}

void AppendLxi(benchmark::State& state, bool timeEfficient)
{
    CStr aLetters[kLetters];
    for (unsigned int i = 0; i < kLetters; ++i)
        aLetters[i].Assign(reinterpret_cast<unsigned short const*>(&kAlphabet[i]), 1);
    {
        CStr text;
        BuildLxi(text, aLetters, timeEfficient);
        if (!IsAlphabetRun(text.GetData(), text.GetLength()))
            state.SkipWithError("Append built a wrong text");
    }
    for (auto _ : state) {
        CStr text;
        BuildLxi(text, aLetters, timeEfficient);
        benchmark::DoNotOptimize(text.GetData());
    }
    SetItems(state);
}

void AppendStd(benchmark::State& state)
{
    {
        std::u16string text;
        BuildStd(text);
        if (!IsAlphabetRun(reinterpret_cast<unsigned short const*>(text.data()),
                           static_cast<unsigned int>(text.size())))
            state.SkipWithError("push_back built a wrong text");
    }
    for (auto _ : state) {
        std::u16string text;
        BuildStd(text);
        benchmark::DoNotOptimize(text.data());
    }
    SetItems(state);
}

int RegisterAll()
{
    Register("Append", "Exact", "1Mi", AppendLxi, false);
    Register("Append", "TimeEfficient", "1Mi", AppendLxi, true);
    Register("Append", "PushBack", "1Mi", AppendStd);
    return 0;
}

int const s_registered = RegisterAll();

}  // namespace

}  // namespace lxibench
