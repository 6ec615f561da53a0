#include "StrUtil.h"

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
