#include "StrUtil.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "Str.h"
#include "StrA.h"

const unsigned short CStrUtil::s_UtfNulChar = 0;
const char CStrUtil::s_replaceChar = '?';

namespace {

// The next position of the UTF-8 walk, never past count (and never wrapping
// for counts close to 2^32).
inline unsigned int Advance(unsigned int pos, unsigned int step, unsigned int count)
{
    return count - pos > step ? pos + step : count;
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
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = static_cast<wchar_t>(pSource[i]);
}

void CStrUtil::MemcpyUtf16FromWChar(unsigned short* pTarget, wchar_t const* pSource, unsigned int count)
{
    if (pTarget == nullptr || pSource == nullptr)
        return;
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
    for (unsigned int i = 0; i < count; ++i) {
        unsigned int const u = pSource[i];
        if (u < 0x80u) {
            *pOut++ = static_cast<unsigned char>(u);
        } else if (u < 0x800u) {
            *pOut++ = static_cast<unsigned char>(0xC0u | (u >> 6));
            *pOut++ = static_cast<unsigned char>(0x80u | (u & 0x3Fu));
        } else {
            // Surrogates too: each unit on its own, three bytes (CESU-8).
            *pOut++ = static_cast<unsigned char>(0xE0u | (u >> 12));
            *pOut++ = static_cast<unsigned char>(0x80u | ((u >> 6) & 0x3Fu));
            *pOut++ = static_cast<unsigned char>(0x80u | (u & 0x3Fu));
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
    while (pos < count) {
        unsigned int const b = pSource[pos];
        // Continuation bytes are taken as they come, with only their top bit
        // cleared. A sequence cut short by the count takes what is left and
        // reads nothing beyond it (missing bytes count as 0).
        unsigned int const c1 = count - pos > 1 ? (pSource[pos + 1] & 0x7Fu) : 0u;
        if (b < 0x80u) {
            *pOut++ = static_cast<unsigned short>(b);
            ++pos;
        } else if ((b & 0xE0u) == 0xC0u) {
            *pOut++ = static_cast<unsigned short>(((b & 0x1Fu) << 6) | c1);
            pos = Advance(pos, 2, count);
        } else if ((b & 0xF0u) == 0xE0u) {
            unsigned int const c2 = count - pos > 2 ? (pSource[pos + 2] & 0x7Fu) : 0u;
            *pOut++ = static_cast<unsigned short>(((b & 0x0Fu) << 12) | (c1 << 6) | c2);
            pos = Advance(pos, 3, count);
        } else {
            *pOut++ = static_cast<unsigned short>(s_replaceChar);
            ++pos;
        }
    }
}

unsigned int CStrUtil::LengthOfUtf8FromUtf16(unsigned short const* pSource, unsigned int count)
{
    if (pSource == nullptr)
        return 0;
    unsigned int bytes = 0;
    for (unsigned int i = 0; i < count; ++i) {
        unsigned int const u = pSource[i];
        bytes += u < 0x80u ? 1u : (u < 0x800u ? 2u : 3u);
    }
    return bytes;
}

unsigned int CStrUtil::LengthOfUtf16FromUtf8(unsigned char const* pSource, unsigned int count)
{
    if (pSource == nullptr)
        return 0;
    unsigned int units = 0;
    unsigned int pos = 0;
    while (pos < count) {
        unsigned int const b = pSource[pos];
        pos = Advance(pos, (b & 0xE0u) == 0xC0u ? 2u : ((b & 0xF0u) == 0xE0u ? 3u : 1u), count);
        ++units;
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
