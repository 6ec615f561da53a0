#include "StrUtil.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "Str.h"
#include "StrA.h"

const unsigned short CStrUtil::s_UtfNulChar = 0;
const char CStrUtil::s_replaceChar = '?';

namespace {

// ASCII runs are taken a machine word at a time (8 bytes or 4 units on
// 64-bit hosts, half that on 32-bit ARM). A word is loaded with memcpy, so
// any alignment is fine. The masks treat every byte or unit of a word alike;
// only BytesBeforeFlag, which finds a position in it, minds the byte order.
using Word = unsigned long;
constexpr unsigned int kWordBytes = sizeof(Word);
constexpr unsigned int kWordUnits = sizeof(Word) / 2;
constexpr Word kHighBits = ~Word(0) / 0xFFu * 0x80u;   // 0x8080...: bit 7 of each byte
constexpr Word kUnitLanes = ~Word(0) / 0xFFFFu;        // 0x00010001...: 1 in each unit
constexpr Word kNonAsciiUnit = kUnitLanes * 0xFF80u;   // set in a unit >= 0x80

inline Word LoadWord(void const* p)
{
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// How many bytes of a word come before its first byte with a flag bit set
// (flags != 0): the word's first bytes sit at its low end on little-endian
// hosts and at its high end on big-endian ones.
inline unsigned int BytesBeforeFlag(Word flags)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return static_cast<unsigned int>(__builtin_clzl(flags)) / 8u;
#else
    return static_cast<unsigned int>(__builtin_ctzl(flags)) / 8u;
#endif
}

inline unsigned int UnitsBeforeFlag(Word flags)
{
    return BytesBeforeFlag(flags) / 2u;
}

// The first byte from pos on that is 0x80 or above, or count.
unsigned int EndOfAsciiBytes(unsigned char const* pBytes, unsigned int pos, unsigned int count)
{
    for (; count - pos >= kWordBytes; pos += kWordBytes) {
        Word const flags = LoadWord(pBytes + pos) & kHighBits;
        if (flags != 0)
            return pos + BytesBeforeFlag(flags);
    }
    while (pos < count && pBytes[pos] < 0x80u)
        ++pos;
    return pos;
}

// The UTF-8 bytes beyond one per unit that the units of a word need: one
// for each unit from 0x80 on, another for each from 0x800 on. Each 16-bit
// lane gets 0, 1 or 2; u >> 7 (9 bits) and u >> 11 (5 bits) plus 0x7FFF set
// bit 15 exactly when they are not 0, without carrying into the next lane.
inline Word ExtraUtf8Bytes(Word w)
{
    constexpr Word kAddUp = kUnitLanes * 0x7FFFu;
    constexpr Word kBit15 = kUnitLanes * 0x8000u;
    Word const from80 = (((w >> 7) & (kUnitLanes * 0x01FFu)) + kAddUp) & kBit15;
    Word const from800 = (((w >> 11) & (kUnitLanes * 0x001Fu)) + kAddUp) & kBit15;
    return (from80 >> 15) + (from800 >> 15);
}

// The sum of the lanes of a word of ExtraUtf8Bytes (at most 16 in all): the
// multiplication gathers it in the top lane.
inline unsigned int SumOfLanes(Word lanes)
{
    return static_cast<unsigned int>((lanes * kUnitLanes) >> (8 * sizeof(Word) - 16));
}

}  // namespace

unsigned int CStrUtil::StrlenUtf16(unsigned short const* pText)
{
    if (pText == nullptr)
        return 0;
    unsigned int n = 0;
    while (pText[n] != s_UtfNulChar)
        ++n;
    return n;
}

unsigned int CStrUtil::StrlenUtf16(unsigned short const* pText, unsigned int limit)
{
    if (pText == nullptr)
        return 0;
    unsigned int n = 0;
    while (n < limit && pText[n] != s_UtfNulChar)
        ++n;
    return n;
}

void CStrUtil::MemcpyUtf16FromAscii(unsigned short* pTarget, char const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = static_cast<unsigned char>(pSource[i]);
}

void CStrUtil::MemcpyAsciiFromUtf16(char* pTarget, unsigned short const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = IsASCIICharacter(pSource[i]) ? static_cast<char>(pSource[i]) : s_replaceChar;
}

void CStrUtil::MemcpyWCharFromUtf16(wchar_t* pTarget, unsigned short const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
#pragma GCC unroll 4
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = static_cast<wchar_t>(pSource[i]);
}

void CStrUtil::MemcpyUtf16FromWChar(unsigned short* pTarget, wchar_t const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
#pragma GCC unroll 4
    for (unsigned int i = 0; i < count; ++i) {
        // wchar_t is 32 bits here; any upper bit set means beyond the BMP.
        auto const value = static_cast<unsigned int>(pSource[i]);
        pTarget[i] = value <= 0xFFFFu ? static_cast<unsigned short>(value)
                                      : static_cast<unsigned short>(s_replaceChar);
    }
}

void CStrUtil::MemcpyUtf8FromUtf16(unsigned char* pTarget, unsigned short const* pSource,
                                   unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
    unsigned char* pOut = pTarget;
    unsigned int i = 0;
    while (i < count) {
        unsigned int u = pSource[i];
        if (u < 0x80u) {
            // ASCII run: one byte per unit, a word at a time. The whole word
            // is copied even when the run ends inside it: every unit left
            // needs a byte at least, and the bytes past the run are written
            // over next.
            while (count - i >= kWordUnits) {
                unsigned short const* pIn = pSource + i;
#pragma GCC unroll 8
                for (unsigned int k = 0; k < kWordUnits; ++k)
                    pOut[k] = static_cast<unsigned char>(pIn[k]);
                Word const flags = LoadWord(pIn) & kNonAsciiUnit;
                unsigned int const run = flags == 0 ? kWordUnits : UnitsBeforeFlag(flags);
                i += run;
                pOut += run;
                if (run != kWordUnits)
                    break;
            }
            for (; i < count && pSource[i] < 0x80u; ++i)
                *pOut++ = static_cast<unsigned char>(pSource[i]);
        } else if (u < 0x800u) {
            *pOut++ = static_cast<unsigned char>(0xC0u | (u >> 6));
            *pOut++ = static_cast<unsigned char>(0x80u | (u & 0x3Fu));
            ++i;
        } else {
            // Run of three-byte units (CJK text). Surrogates too: each unit
            // on its own, three bytes (CESU-8).
            do {
                *pOut++ = static_cast<unsigned char>(0xE0u | (u >> 12));
                *pOut++ = static_cast<unsigned char>(0x80u | ((u >> 6) & 0x3Fu));
                *pOut++ = static_cast<unsigned char>(0x80u | (u & 0x3Fu));
            } while (++i < count && (u = pSource[i]) >= 0x800u);
        }
    }
}

void CStrUtil::MemcpyUtf16FromUtf8(unsigned short* pTarget, unsigned char const* pSource,
                                   unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
    unsigned short* pOut = pTarget;
    unsigned int pos = 0;
    // Continuation bytes are taken as they come, with only their top bit
    // cleared: no byte is tested beyond the lead byte.
    while (pos < count) {
        unsigned int const b = pSource[pos];
        unsigned int left = count - pos;
        if (b < 0x80u) {
            // ASCII run: one unit per byte, a word at a time. The whole word
            // is widened even when the run ends inside it: while 3 words of
            // input are left, at least a word's worth of units is still to
            // come, and the units past the run are written over next.
            while (left >= 3 * kWordBytes) {
                unsigned char const* pIn = pSource + pos;
#pragma GCC unroll 8
                for (unsigned int k = 0; k < kWordBytes; ++k)
                    pOut[k] = pIn[k];
                Word const flags = LoadWord(pIn) & kHighBits;
                unsigned int const run = flags == 0 ? kWordBytes : BytesBeforeFlag(flags);
                pos += run;
                pOut += run;
                left -= run;
                if (run != kWordBytes)
                    break;
            }
            for (; left != 0 && pSource[pos] < 0x80u; ++pos, --left)
                *pOut++ = pSource[pos];
        } else if ((b & 0xF0u) == 0xE0u && left >= 3) {
            // Run of whole three-byte sequences (CJK text).
            do {
                unsigned char const* pIn = pSource + pos;
                *pOut++ = static_cast<unsigned short>(((pIn[0] & 0x0Fu) << 12) |
                                                      ((pIn[1] & 0x7Fu) << 6) | (pIn[2] & 0x7Fu));
                pos += 3;
            } while (count - pos >= 3 && (pSource[pos] & 0xF0u) == 0xE0u);
        } else if ((b & 0xE0u) == 0xC0u && left >= 2) {
            *pOut++ = static_cast<unsigned short>(((b & 0x1Fu) << 6) | (pSource[pos + 1] & 0x7Fu));
            pos += 2;
        } else if ((b & 0xE0u) == 0xC0u || (b & 0xF0u) == 0xE0u) {
            // A sequence cut short by the count takes what is left and reads
            // nothing beyond it (missing bytes count as 0).
            unsigned int const c1 = left > 1 ? (pSource[pos + 1] & 0x7Fu) : 0u;
            *pOut++ = static_cast<unsigned short>(
                (b & 0xE0u) == 0xC0u ? ((b & 0x1Fu) << 6) | c1 : ((b & 0x0Fu) << 12) | (c1 << 6));
            pos = count;
        } else {
            *pOut++ = static_cast<unsigned short>(s_replaceChar);   // stray or 4-byte-form byte
            ++pos;
        }
    }
}

unsigned int CStrUtil::LengthOfUtf8FromUtf16(unsigned short const* pSource, unsigned int count)
{
    if (pSource == nullptr)
        return 0;
    // One byte per unit, one more from 0x80 on and another from 0x800 on
    // (wrapping as the sum of 1, 2 and 3 would). Two words at a time; ASCII
    // adds nothing beyond the one per unit.
    unsigned int bytes = count;
    unsigned int i = 0;
    for (; count - i >= 2 * kWordUnits; i += 2 * kWordUnits) {
        Word const first = LoadWord(pSource + i);
        Word const second = LoadWord(pSource + i + kWordUnits);
        if (((first | second) & kNonAsciiUnit) != 0)
            bytes += SumOfLanes(ExtraUtf8Bytes(first) + ExtraUtf8Bytes(second));
    }
    for (; i < count; ++i) {
        unsigned int const u = pSource[i];
        bytes += static_cast<unsigned int>(u >= 0x80u) + static_cast<unsigned int>(u >= 0x800u);
    }
    return bytes;
}

unsigned int CStrUtil::LengthOfUtf16FromUtf8(unsigned char const* pSource, unsigned int count)
{
    if (pSource == nullptr)
        return 0;
    // The decoder's walk: a lead byte takes its sequence's bytes, or what is
    // left of them; every other byte is one unit.
    unsigned int units = 0;
    unsigned int pos = 0;
    while (pos < count) {
        unsigned int const b = pSource[pos];
        if (b < 0x80u) {
            unsigned int const end = EndOfAsciiBytes(pSource, pos, count);
            units += end - pos;
            pos = end;
        } else if ((b & 0xF0u) == 0xE0u) {
            // Run of three-byte leads (CJK text).
            do {
                ++units;
                if (count - pos <= 3)
                    return units;
                pos += 3;
            } while ((pSource[pos] & 0xF0u) == 0xE0u);
        } else {
            ++units;
            if ((b & 0xE0u) == 0xC0u && count - pos > 2)
                pos += 2;
            else if ((b & 0xE0u) == 0xC0u)
                return units;
            else
                ++pos;
        }
    }
    return units;
}

// Whitespace, boolean and integer helpers.

const wchar_t CStrUtil::s_whiteSpaceChars[7] = {L' ', L'\t', L'\n', L'\v', L'\f', L'\r', 0};

// After CStr::s_emptyString and before the runtime's strings; destroyed in
// the reverse order.
CStr CStrUtil::s_sTrue __attribute__((init_priority(1001))) = CStr("true");
CStr CStrUtil::s_sTrueAlt1 __attribute__((init_priority(1001))) = CStr("TRUE");
CStr CStrUtil::s_sTrueAlt2 __attribute__((init_priority(1001))) = CStr("True");
CStr CStrUtil::s_sTrueAlt3 __attribute__((init_priority(1001))) = CStr("ON");
CStr CStrUtil::s_sTrueAlt4 __attribute__((init_priority(1001))) = CStr("On");
CStr CStrUtil::s_sTrueAlt5 __attribute__((init_priority(1001))) = CStr("on");
CStr CStrUtil::s_sTrueAlt6 __attribute__((init_priority(1001))) = CStr("YES");
CStr CStrUtil::s_sTrueAlt7 __attribute__((init_priority(1001))) = CStr("Yes");
CStr CStrUtil::s_sTrueAlt8 __attribute__((init_priority(1001))) = CStr("yes");
CStr CStrUtil::s_sFalse __attribute__((init_priority(1001))) = CStr("false");

bool CStrUtil::IsWhiteSpace(unsigned short unit, wchar_t const* pSet)
{
    // Compared as unsigned 32-bit values: an element above 0xFFFF (or a
    // negative one) never matches, and the terminator stops before unit 0.
    for (wchar_t const* p = pSet != nullptr ? pSet : s_whiteSpaceChars; *p != 0; ++p) {
        if (static_cast<unsigned int>(*p) == unit)
            return true;
    }
    return false;
}

namespace {

// The scans' common walk over count units, from the first or from the last.
unsigned short const* ScanWhiteSpace(unsigned short const* pText, unsigned int count,
                                     wchar_t const* pSet, bool wanted, bool reverse)
{
    if (pText == nullptr)
        return nullptr;
    for (unsigned int n = 0; n < count; ++n) {
        unsigned int const i = reverse ? count - 1 - n : n;
        if (CStrUtil::IsWhiteSpace(pText[i], pSet) == wanted)
            return pText + i;
    }
    return nullptr;
}

}  // namespace

unsigned short const* CStrUtil::ScanWhiteSpaceForward(unsigned short const* pText,
                                                      unsigned int count, wchar_t const* pSet,
                                                      bool wanted)
{
    return ScanWhiteSpace(pText, count, pSet, wanted, false);
}

unsigned short const* CStrUtil::ScanWhiteSpaceReverse(unsigned short const* pText,
                                                      unsigned int count, wchar_t const* pSet,
                                                      bool wanted)
{
    return ScanWhiteSpace(pText, count, pSet, wanted, true);
}

CStr const& CStrUtil::ConvertBoolean(bool value)
{
    return value ? s_sTrue : s_sFalse;
}

bool CStrUtil::ConvertToBoolean(CStr const& text)
{
    static CStr const* const s_apTrueWords[] = {&s_sTrue,     &s_sTrueAlt1, &s_sTrueAlt2,
                                                &s_sTrueAlt3, &s_sTrueAlt4, &s_sTrueAlt5,
                                                &s_sTrueAlt6, &s_sTrueAlt7, &s_sTrueAlt8};
    for (CStr const* pWord : s_apTrueWords) {
        if (text.Equals(*pWord))
            return true;
    }
    return false;
}

bool CStrUtil::ConvertToInteger(CStr const& text, int& value)
{
    CStrA copy(text);
    char const* const pStart = copy.GetDataA();
    // strtol with base 0 reads exactly what the scanf "%i" conversion reads,
    // but reports a number beyond the range of long instead of leaving the
    // result undefined; anything beyond int is refused too. The caller's
    // errno is kept.
    int const savedErrno = errno;
    char* pEnd = nullptr;
    errno = 0;
    long const number = std::strtol(pStart, &pEnd, 0);
    bool const overflow = errno == ERANGE;
    errno = savedErrno;
    if (pEnd == pStart || overflow || number < INT_MIN || number > INT_MAX)
        return false;
    value = static_cast<int>(number);
    return true;
}
