// CStr checked against plain std::u16string work. CStrRun drives one string through random operations
// drawn by a chooser (the fuzzer's bytes) and after every step checks the text and what every string
// keeps: a terminator at the length, a capacity that covers the length, a capacity record only where it
// fits, no more room than the buffer has, and after a failed allocation either the old text (buffer and
// capacity as they were) or the complete new one. StrTest.cpp pins the exact capacities.
#ifndef LXIBASE_TESTS_STRCHECK_H
#define LXIBASE_TESTS_STRCHECK_H

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Str.h"

namespace lxitest {

using Units = std::u16string;

inline Units Text(CStr const& s)   // "" without a buffer
{
    return s.GetData() != nullptr ? Units(reinterpret_cast<char16_t const*>(s.GetData()), s.GetLength()) : Units();
}
inline Units UpToNul(Units const& text) { return text.substr(0, text.find(u'\0')); }
Units FromUtf8(unsigned char const* pBytes, unsigned int count);   // the decoding rules
std::string ToUtf8(Units const& text);                              // 1, 2 or 3 bytes a unit
// FindNext's answer: the pattern's units before any 0, searched from start in the units up to the next 0.
unsigned int Find(Units const& text, Units const& pattern, unsigned int start);

class CStrRun
{
public:
    explicit CStrRun(std::function<unsigned int(unsigned int)> choose) : m_choose(std::move(choose)) {}   // a number below n
    std::string Step();   // one operation; "" when the string behaved

private:
    unsigned int Choose(unsigned int n) { return n <= 1 ? 0u : m_choose(n) % n; }
    unsigned int Length()   // short, around the inline 26 and 31, or long
    {
        unsigned int const kind = Choose(8);
        return kind < 3 ? Choose(8) : kind < 5 ? 24 + Choose(10) : Choose(kind < 7 ? 70 : 300);
    }
    Units Random(unsigned int count);
    void MakeSource(CStr& source);

    std::function<unsigned int(unsigned int)> m_choose;
    std::unique_ptr<unsigned short[]> m_arrays[2] = {std::make_unique<unsigned short[]>(32),
                                                     std::make_unique<unsigned short[]>(41)};   // callers' buffers
    unsigned short const* m_pAttached = nullptr;     // the caller's buffer attached last
    unsigned int m_attachedCapacity = 0;
    std::optional<CStr> m_str{std::in_place};        // after the arrays it may use
};

}  // namespace lxitest

#endif
