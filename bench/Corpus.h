// Sample texts for the benchmarks, made by the benchmark itself so that every
// run measures the same bytes: about 1 MiB of UTF-8 each, in four kinds.
#ifndef LXIBENCH_CORPUS_H
#define LXIBENCH_CORPUS_H

#include <string>
#include <vector>

namespace lxibench {

enum enumCorpus
{
    CORPUS_ASCII,     // SCPI commands and replies, log lines
    CORPUS_WESTERN,   // German, French, Spanish prose: some 2-byte sequences
    CORPUS_CJK,       // Chinese and Japanese prose: 3-byte sequences
    CORPUS_MIXED,     // the three, line by line
    CORPUS_COUNT
};

struct stCorpus
{
    char const* pName;        // "ascii", "western", "cjk", "mixed"
    std::string utf8;         // well-formed, BMP only, no NUL
    std::u16string utf16;     // the same text, decoded by ICU
};

stCorpus const& GetCorpus(enumCorpus kind);   // made on first use
char const* GetCorpusName(enumCorpus kind);

// Search needles of 4, 16 and 64 units: "rare" ones start with a unit that
// the ASCII corpus never holds, "prefix" ones share all but their last unit
// with a command line that is common there.
struct stNeedle
{
    std::string name;         // "rare4", "prefix16", ...
    std::u16string text;
};

std::vector<stNeedle> const& GetNeedles();
// The ASCII corpus with each needle planted as its own line NEEDLE_COPIES times,
// evenly spread.
std::u16string const& GetSearchText();
constexpr unsigned int NEEDLE_COPIES = 16;

}  // namespace lxibench

#endif
