// Conversions: UTF-8 to CStr and back, CStrA and CStrW, against ICU and the
// plain loops that are the floor of each job.
#include <unicode/ustring.h>

#include <cstdlib>
#include <cstring>

#include "BenchUtil.h"
#include "Corpus.h"
#include "StrA.h"
#include "StrUtil.h"
#include "StrW.h"

namespace lxibench {

namespace {

unsigned char const* Bytes(std::string const& text)
{
    return reinterpret_cast<unsigned char const*>(text.data());
}

// The floors: what a byte-for-unit job costs with no decisions at all.
__attribute__((noinline)) void WidenBytes(unsigned short* pOut, unsigned char const* pIn,
                                          std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        pOut[i] = pIn[i];
}

__attribute__((noinline)) void CopyUnits(wchar_t* pOut, unsigned short const* pIn,
                                         std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        pOut[i] = pIn[i];
}

__attribute__((noinline)) void CopyUnits(char* pOut, unsigned short const* pIn,
                                         std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        pOut[i] = pIn[i] < 0x80u ? static_cast<char>(pIn[i]) : '?';
}

// Runs job once per iteration, after one untimed run that settles the heap
// (a first block of this size may come from mmap, later ones not); the
// throughput is counted in bytes of the corpus's UTF-8 form, either way.
template <typename Job>
void Measure(benchmark::State& state, stCorpus const& corpus, Job job)
{
    job();
    for (auto _ : state)
        job();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(corpus.utf8.size()));
}

// UTF-8 to UTF-16.

void FromUtf8Ctor(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    if (!SameText(CStr(Bytes(corpus.utf8)), corpus.utf16))
        state.SkipWithError("CStr(unsigned char const*) differs from ICU");
    Measure(state, corpus, [&] {
        CStr text(Bytes(corpus.utf8));
        benchmark::DoNotOptimize(text.GetData());
    });
}

void FromUtf8Assign(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    CStr text(Count(corpus.utf16), false);
    text.Assign(Bytes(corpus.utf8), static_cast<unsigned int>(corpus.utf8.size()));
    if (!SameText(text, corpus.utf16))
        state.SkipWithError("Assign(unsigned char const*, unsigned int) differs from ICU");
    Measure(state, corpus, [&] {
        text.Assign(Bytes(corpus.utf8), static_cast<unsigned int>(corpus.utf8.size()));
        benchmark::DoNotOptimize(text.GetData());
    });
}

void FromUtf8Icu(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    std::u16string out(corpus.utf16.size(), u'\0');
    Measure(state, corpus, [&] {
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8(reinterpret_cast<UChar*>(&out[0]), static_cast<int32_t>(out.size()), &length,
                      corpus.utf8.data(), static_cast<int32_t>(corpus.utf8.size()), &status);
        benchmark::DoNotOptimize(out.data());
    });
}

void FromUtf8Widen(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    std::u16string out(corpus.utf8.size(), u'\0');
    Measure(state, corpus, [&] {
        WidenBytes(reinterpret_cast<unsigned short*>(&out[0]), Bytes(corpus.utf8),
                   corpus.utf8.size());
        benchmark::DoNotOptimize(out.data());
    });
}

// UTF-16 to UTF-8, 8-bit and wchar_t.

void ToUtf8Lxi(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    CStr const text = MakeCStr(corpus.utf16);
    std::string out(corpus.utf8.size(), '\0');
    auto* pOut = reinterpret_cast<unsigned char*>(&out[0]);
    if (CStrUtil::LengthOfUtf8FromUtf16(text.GetData(), text.GetLength()) != out.size())
        state.SkipWithError("LengthOfUtf8FromUtf16 differs from ICU");
    CStrUtil::MemcpyUtf8FromUtf16(pOut, text.GetData(), text.GetLength());
    if (out != corpus.utf8)
        state.SkipWithError("MemcpyUtf8FromUtf16 differs from ICU");
    Measure(state, corpus, [&] {
        unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(text.GetData(), text.GetLength());
        benchmark::DoNotOptimize(bytes);
        CStrUtil::MemcpyUtf8FromUtf16(pOut, text.GetData(), text.GetLength());
        benchmark::DoNotOptimize(out.data());
    });
}

// ICU in one pass into a buffer known to be large enough (its best case),
// or, with sizeFirst, the way a caller without that knowledge works: a
// pre-flight pass for the size, then the conversion, like lxibase's pair.
void ToUtf8Icu(benchmark::State& state, enumCorpus kind, bool sizeFirst)
{
    stCorpus const& corpus = GetCorpus(kind);
    std::string out(corpus.utf8.size(), '\0');
    auto const* pSource = reinterpret_cast<UChar const*>(corpus.utf16.data());
    auto const count = static_cast<int32_t>(corpus.utf16.size());
    Measure(state, corpus, [&] {
        int32_t length = static_cast<int32_t>(out.size());
        UErrorCode status = U_ZERO_ERROR;
        if (sizeFirst) {
            u_strToUTF8(nullptr, 0, &length, pSource, count, &status);
            status = U_ZERO_ERROR;
        }
        u_strToUTF8(&out[0], length, &length, pSource, count, &status);
        benchmark::DoNotOptimize(out.data());
    });
}

void ToUtf8Memcpy(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    std::string out(corpus.utf8.size(), '\0');
    Measure(state, corpus, [&] {
        std::memcpy(&out[0], corpus.utf8.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    });
}

// CStrA or CStrW against the floor of the same job: a block of the same
// size and a plain loop into it.
char const* DataOf(CStrA const& copy) { return copy.GetDataA(); }
wchar_t const* DataOf(CStrW const& copy) { return copy.GetDataW(); }

template <typename Copy>
void ToCopy(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    CStr const text = MakeCStr(corpus.utf16);
    Measure(state, corpus, [&] {
        Copy copy(text);
        benchmark::DoNotOptimize(DataOf(copy));
    });
}

template <typename Char>
void ToCopyLoop(benchmark::State& state, enumCorpus kind)
{
    stCorpus const& corpus = GetCorpus(kind);
    std::size_t const count = corpus.utf16.size() + 1;   // with the terminator
    Measure(state, corpus, [&] {
        auto* pOut = static_cast<Char*>(std::malloc(count * sizeof(Char)));
        CopyUnits(pOut, Units(corpus.utf16), count);
        benchmark::DoNotOptimize(pOut);
        std::free(pOut);
    });
}

int RegisterAll()
{
    for (int i = 0; i < CORPUS_COUNT; ++i) {
        auto const kind = static_cast<enumCorpus>(i);
        std::string const corpus = GetCorpusName(kind);
        Register("FromUtf8", "Ctor", corpus, FromUtf8Ctor, kind);
        Register("FromUtf8", "Assign", corpus, FromUtf8Assign, kind);
        Register("FromUtf8", "ICU", corpus, FromUtf8Icu, kind);
        Register("FromUtf8", "WidenLoop", corpus, FromUtf8Widen, kind);
    }
    for (int i = 0; i < CORPUS_COUNT; ++i) {
        auto const kind = static_cast<enumCorpus>(i);
        std::string const corpus = GetCorpusName(kind);
        Register("ToUtf8", "LengthAndMemcpy", corpus, ToUtf8Lxi, kind);
        Register("ToUtf8", "ICU", corpus, ToUtf8Icu, kind, false);
        Register("ToUtf8", "ICU2Pass", corpus, ToUtf8Icu, kind, true);
        Register("ToUtf8", "Memcpy", corpus, ToUtf8Memcpy, kind);
        Register("ToNarrow", "CStrA", corpus, ToCopy<CStrA>, kind);
        Register("ToNarrow", "NarrowLoop", corpus, ToCopyLoop<char>, kind);
        Register("ToWide", "CStrW", corpus, ToCopy<CStrW>, kind);
        Register("ToWide", "WidenLoop", corpus, ToCopyLoop<wchar_t>, kind);
    }
    return 0;
}

int const s_registered = RegisterAll();

}  // namespace

}  // namespace lxibench
