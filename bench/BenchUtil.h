// Small helpers shared by the benchmark files.
#ifndef LXIBENCH_BENCHUTIL_H
#define LXIBENCH_BENCHUTIL_H

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Str.h"

namespace lxibench {

inline unsigned short const* Units(std::u16string const& text)
{
    return reinterpret_cast<unsigned short const*>(text.data());
}

inline unsigned int Count(std::u16string const& text)
{
    return static_cast<unsigned int>(text.size());
}

inline CStr MakeCStr(std::u16string const& text)
{
    CStr result;
    result.Assign(Units(text), Count(text));
    return result;
}

inline bool SameText(CStr const& text, std::u16string const& expected)
{
    return text.GetLength() == expected.size() &&
           std::char_traits<char16_t>::compare(reinterpret_cast<char16_t const*>(text.GetData()),
                                               expected.data(), expected.size()) == 0;
}

// Registers fn(state, args...) under "<job>/<implementation>/<workload>", the
// names that bench/report reads (it takes the median of the repetitions).
template <typename Fn, typename... Args>
void Register(std::string const& job, std::string const& implementation,
              std::string const& workload, Fn fn, Args... args)
{
    std::string const name = job + "/" + implementation + "/" + workload;
    benchmark::RegisterBenchmark(name.c_str(), fn, args...);
}

}  // namespace lxibench

#endif
