// Internal to the library (not installed): what CStr, CStrUtil and
// CNotificationBase share beyond the public headers.
//
// Vector blocks: with SSE2 (every x86-64) the fast paths take 16 bytes at a
// time; elsewhere, or with LXIBASE_PORTABLE defined, only their scalar loops
// run. Each fast function runs its vector blocks first and then the one
// scalar loop that also finishes the tail, so the scalar code runs on every
// target, for short inputs at least.
#ifndef LXIBASE_STRINTERNAL_H
#define LXIBASE_STRINTERNAL_H

#include <cassert>
#include <cstdint>
#include <cstring>

#include "Str.h"
#include "StrUtil.h"

#if defined(__SSE2__) && !defined(LXIBASE_PORTABLE)
#include <emmintrin.h>
#define LXIBASE_SSE2 1
#else
#define LXIBASE_SSE2 0
#endif

namespace lxistr {

// MemcpyUtf16FromUtf8 for a target known to have room for `room` units
// (0: only for the decoded length): the same units, and their number. With
// more room than the decoded length the vector blocks may write up to 34
// units beyond what they decode, within that room.
unsigned int DecodeUtf8(unsigned short* pTarget, unsigned int room, unsigned char const* pSource,
                        unsigned int count);

#if LXIBASE_SSE2
// 16 bytes from or to any address, aligned or not.
inline __m128i Load(void const* p)
{
    return _mm_loadu_si128(static_cast<__m128i const*>(p));
}

inline void Store(void* p, __m128i value)
{
    _mm_storeu_si128(static_cast<__m128i*>(p), value);
}
#endif

// The capacity record of a buffer holding a text of `length` units: four
// bytes behind the terminator, most significant first.
inline unsigned int RecordAt(unsigned short const* pData, unsigned int length)
{
    assert(pData != nullptr);
    auto const* pRecord = reinterpret_cast<unsigned char const*>(pData + length + 1);
    return (static_cast<unsigned int>(pRecord[0]) << 24) | (static_cast<unsigned int>(pRecord[1]) << 16) |
           (static_cast<unsigned int>(pRecord[2]) << 8) | static_cast<unsigned int>(pRecord[3]);
}

// The end of an operation on a string whose capacity stays what its record
// says: terminator, length (flags kept), and the record's raw bytes moved
// behind the new terminator, or dropped when they no longer fit.
inline void FinishWithRecord(unsigned int& lengthAndFlags, unsigned short* pData, unsigned int length,
                             unsigned int capacity, std::uint32_t record)
{
    pData[length] = CStrUtil::s_UtfNulChar;
    unsigned int word = (lengthAndFlags & CStr::FLAGS_MASK) | length;
    if (capacity >= length + 5u)
        std::memcpy(pData + length + 1, &record, 4);
    else
        word &= ~CStr::FLAG_EXTRA_BUFFER;
    lengthAndFlags = word;
}

// The longest text that CopyShortText takes, and with SSE2 the shortest
// one but the empty text.
constexpr unsigned int kShortUnits = 32;
constexpr unsigned int kShortestUnits = LXIBASE_SSE2 ? 8 : 1;

// memmove of count units (0, or kShortestUnits to kShortUnits): with SSE2 in
// four blocks of 8 (overlapping where the text is shorter than 32), every
// unit read before any is written, without a call.
inline void CopyShortText(unsigned short* pTarget, unsigned short const* pSource, unsigned int count)
{
    assert(count <= kShortUnits && (count == 0 || count >= kShortestUnits));
#if LXIBASE_SSE2
    if (count != 0) {
        unsigned int const second = count >= 16 ? 8 : count - 8;
        unsigned int const third = count >= 16 ? count - 16 : 0;
        __m128i const a = Load(pSource), b = Load(pSource + second);
        __m128i const c = Load(pSource + third), d = Load(pSource + count - 8);
        Store(pTarget, a);
        Store(pTarget + second, b);
        Store(pTarget + third, c);
        Store(pTarget + count - 8, d);
    }
#else
    if (count != 0)
        std::memmove(pTarget, pSource, CStrUtil::Utf16LengthToNrBytes(count));
#endif
}

// CStr::Assign(CStr const&) where it needs no call: another string's short
// text (none, or kShortestUnits to kShortUnits units) into a buffer, not
// time-efficient, whose recorded capacity holds it. Takes the fields of the
// target and of the source (a different string) and returns false, having
// changed nothing, in every other case. Inlined wherever it is used: a call
// would cost what it saves.
__attribute__((always_inline)) inline bool AssignShortText(unsigned int& lengthAndFlags, unsigned short* pData,
                                                           unsigned int sourceLengthAndFlags,
                                                           unsigned short const* pSource)
{
    unsigned int const word = lengthAndFlags;
    unsigned int const length = sourceLengthAndFlags & CStr::LENGTH_MASK;
    if ((word & (CStr::FLAG_EXTRA_BUFFER | CStr::FLAG_TIME_EFFICIENT)) == CStr::FLAG_EXTRA_BUFFER &&
        length <= kShortUnits && (length == 0 || length >= kShortestUnits)) {
        std::uint32_t record;
        std::memcpy(&record, pData + (word & CStr::LENGTH_MASK) + 1, 4);
        unsigned int const capacity = RecordAt(pData, word & CStr::LENGTH_MASK);
        if (length <= capacity) {
            CopyShortText(pData, pSource, length);
            FinishWithRecord(lengthAndFlags, pData, length, capacity, record);
            return true;
        }
    }
    return false;
}

}  // namespace lxistr

#endif
