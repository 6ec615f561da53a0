// Search: every occurrence of a needle in the ASCII corpus through FindNext
// and Count, against std::u16string::find, std::boyer_moore_horspool_searcher
// and icu::UnicodeString::indexOf; Replace of all matches against a
// std::u16string rebuilt by hand.
#include <unicode/unistr.h>

#include <algorithm>
#include <functional>

#include "BenchUtil.h"
#include "Corpus.h"

namespace lxibench {

namespace {

void SetUnits(benchmark::State& state, std::u16string const& text)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size() * sizeof(char16_t)));
}

// Every occurrence of a needle, one search after the other: next(at) gives
// the first one at or after at, or -1 when none is left.
template <typename Next>
void CountOccurrences(benchmark::State& state, std::size_t needleLength, Next next)
{
    unsigned int found = 0;
    for (auto _ : state) {
        found = 0;
        for (long long at = next(0); at >= 0; at = next(static_cast<std::size_t>(at) + needleLength))
            ++found;
        benchmark::DoNotOptimize(found);
    }
    if (found != NEEDLE_COPIES)
        state.SkipWithError("wrong number of matches");
    SetUnits(state, GetSearchText());
}

long long Position(std::size_t at, std::size_t none)
{
    return at == none ? -1 : static_cast<long long>(at);
}

void SearchFindNext(benchmark::State& state, unsigned int needle)
{
    CStr const text = MakeCStr(GetSearchText());
    CStr const pattern = MakeCStr(GetNeedles()[needle].text);
    CountOccurrences(state, pattern.GetLength(), [&](std::size_t at) {
        return Position(text.FindNext(pattern, static_cast<unsigned int>(at)), CStr::NOT_FOUND);
    });
}

void SearchCount(benchmark::State& state, unsigned int needle)
{
    CStr const text = MakeCStr(GetSearchText());
    CStr const pattern = MakeCStr(GetNeedles()[needle].text);
    unsigned int found = 0;
    for (auto _ : state) {
        found = text.Count(pattern, 0);
        benchmark::DoNotOptimize(found);
    }
    if (found != NEEDLE_COPIES)
        state.SkipWithError("wrong number of matches");
    SetUnits(state, GetSearchText());
}

void SearchStdFind(benchmark::State& state, unsigned int needle)
{
    std::u16string const& text = GetSearchText();
    std::u16string const& pattern = GetNeedles()[needle].text;
    CountOccurrences(state, pattern.size(), [&](std::size_t at) {
        return Position(text.find(pattern, at), std::u16string::npos);
    });
}

void SearchStdBmh(benchmark::State& state, unsigned int needle)
{
    std::u16string const& text = GetSearchText();
    std::u16string const& pattern = GetNeedles()[needle].text;
    std::boyer_moore_horspool_searcher<std::u16string::const_iterator> const searcher(
        pattern.begin(), pattern.end());
    CountOccurrences(state, pattern.size(), [&](std::size_t at) {
        auto const found = std::search(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(), searcher);
        return Position(static_cast<std::size_t>(found - text.begin()), text.size());
    });
}

void SearchIcu(benchmark::State& state, unsigned int needle)
{
    std::u16string const& source = GetSearchText();
    icu::UnicodeString const text(source.data(), static_cast<int32_t>(source.size()));
    std::u16string const& needleText = GetNeedles()[needle].text;
    icu::UnicodeString const pattern(needleText.data(), static_cast<int32_t>(needleText.size()));
    CountOccurrences(state, needleText.size(), [&](std::size_t at) {
        return static_cast<long long>(text.indexOf(pattern, static_cast<int32_t>(at)));
    });
}

// Replace: "VOLT" shrinks to "V" or grows to "VOLTAGE", 4,066 times.
struct stReplaceCase
{
    char const* pName;
    char16_t const* pPattern;
    char16_t const* pReplacement;
};

stReplaceCase const s_aReplaceCases[] = {{"shrink", u"VOLT", u"V"}, {"grow", u"VOLT", u"VOLTAGE"}};

void RebuildByHand(std::u16string const& text, std::u16string const& pattern,
                   std::u16string const& replacement, std::u16string& out)
{
    out.clear();
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::u16string::npos;
         at = text.find(pattern, from)) {
        out.append(text, from, at - from).append(replacement);
        from = at + pattern.size();
    }
    out.append(text, from, std::u16string::npos);
}

void ReplaceLxi(benchmark::State& state, stReplaceCase const& replace)
{
    std::u16string const& source = GetCorpus(CORPUS_ASCII).utf16;
    std::u16string expected;
    RebuildByHand(source, replace.pPattern, replace.pReplacement, expected);
    CStr const original = MakeCStr(source);
    CStr const pattern = MakeCStr(replace.pPattern);
    CStr const replacement = MakeCStr(replace.pReplacement);
    CStr text;
    for (auto _ : state) {
        state.PauseTiming();
        text.Assign(original);
        state.ResumeTiming();
        text.Replace(pattern, replacement, 0, true);
        benchmark::DoNotOptimize(text.GetData());
    }
    if (!SameText(text, expected))
        state.SkipWithError("Replace differs from the rebuilt text");
    SetUnits(state, source);
}

void ReplaceStd(benchmark::State& state, stReplaceCase const& replace)
{
    std::u16string const& source = GetCorpus(CORPUS_ASCII).utf16;
    std::u16string const pattern = replace.pPattern;
    std::u16string const replacement = replace.pReplacement;
    std::u16string out;
    for (auto _ : state) {
        RebuildByHand(source, pattern, replacement, out);
        benchmark::DoNotOptimize(out.data());
    }
    SetUnits(state, source);
}

int RegisterAll()
{
    for (unsigned int needle = 0; needle < GetNeedles().size(); ++needle) {
        std::string const& name = GetNeedles()[needle].name;
        Register("Search", "FindNext", name, SearchFindNext, needle);
        Register("Search", "Count", name, SearchCount, needle);
        Register("Search", "StdFind", name, SearchStdFind, needle);
        Register("Search", "StdBmh", name, SearchStdBmh, needle);
        Register("Search", "IcuIndexOf", name, SearchIcu, needle);
    }
    for (stReplaceCase const& replace : s_aReplaceCases) {
        Register("Replace", "Replace", replace.pName, ReplaceLxi, replace);
        Register("Replace", "StdRebuild", replace.pName, ReplaceStd, replace);
    }
    return 0;
}

int const s_registered = RegisterAll();

}  // namespace

}  // namespace lxibench
