#include "Str.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>

#include "LxiOSALRuntime.h"
#include "StrUtil.h"
#include "StrInternal.h"

// Built first among the library's static strings, destroyed last: Clear()
// may be reached from the destructors of later ones.
CStr CStr::s_emptyString __attribute__((init_priority(1000)));

namespace {

std::size_t Bytes(unsigned int units)
{
    return CStrUtil::Utf16LengthToNrBytes(units);
}

// GetBuffSize for these fields: the capacity record that sits behind the
// terminator, most significant byte first; else the length, or 0 without a
// buffer.
inline unsigned int CapacityOf(unsigned int lengthAndFlags, unsigned short const* pData)
{
    unsigned int const length = lengthAndFlags & CStr::LENGTH_MASK;
    if ((lengthAndFlags & CStr::FLAG_EXTRA_BUFFER) != 0)
        return lxistr::RecordAt(pData, length);
    return pData != nullptr ? length : 0u;
}

// MarkExtraBuffer for these fields.
inline void MarkCapacity(unsigned int& lengthAndFlags, unsigned short* pData, unsigned int capacity)
{
    unsigned int const length = lengthAndFlags & CStr::LENGTH_MASK;
    if (pData == nullptr || capacity < length + 5u) {
        lengthAndFlags &= ~CStr::FLAG_EXTRA_BUFFER;
        return;
    }
    // Big-endian whatever the host order, so the record reads the same on
    // every target; it lives in the two units behind the terminator.
    auto* pRecord = reinterpret_cast<unsigned char*>(pData + length + 1);
    pRecord[0] = static_cast<unsigned char>(capacity >> 24);
    pRecord[1] = static_cast<unsigned char>(capacity >> 16);
    pRecord[2] = static_cast<unsigned char>(capacity >> 8);
    pRecord[3] = static_cast<unsigned char>(capacity);
    lengthAndFlags |= CStr::FLAG_EXTRA_BUFFER;
}

// FindNextPower: the smallest power of two that is at least n + 4, for n
// from 1; 0 for 0, and 2^31 where n + 4 exceeds it.
inline unsigned int NextPower(unsigned int n)
{
    if (n == 0)
        return 0;
    if (n > 0x80000000u - 4u)
        return 0x80000000u;   // the largest power a 32-bit size can carry
    // n + 3 >= 4: its highest bit, one place up.
    return 1u << (32 - __builtin_clz(n + 3u));
}

// True when Resize(count, false) would keep the buffer as it is: the string
// has room for count units already. capacity is set either way.
inline bool HasRoom(unsigned int lengthAndFlags, unsigned short const* pData, unsigned int count,
                    unsigned int& capacity)
{
    unsigned int const length = lengthAndFlags & CStr::LENGTH_MASK;
    unsigned int const target = count > length ? count : length;
    bool const timeEfficient = (lengthAndFlags & CStr::FLAG_TIME_EFFICIENT) != 0;
    capacity = CapacityOf(lengthAndFlags, pData);
    return target <= CStr::LENGTH_MASK && (timeEfficient ? NextPower(target) : target) <= capacity;
}

// Terminate for these fields: terminator, length, capacity record.
inline void Finish(unsigned int& lengthAndFlags, unsigned short* pData, unsigned int length,
                   unsigned int capacity)
{
    if (pData != nullptr)
        pData[length] = CStrUtil::s_UtfNulChar;
    // Worked out in a local: the record's byte stores cannot touch it.
    unsigned int word = (lengthAndFlags & CStr::FLAGS_MASK) | (length & CStr::LENGTH_MASK);
    MarkCapacity(word, pData, capacity);
    lengthAndFlags = word;
}

}  // namespace

CStr::CStr() noexcept : m_lengthAndFlags(0), m_pData(nullptr) {}

CStr::CStr(char const* pText) noexcept : m_lengthAndFlags(0), m_pData(nullptr)
{
    Assign(pText);
}

CStr::CStr(wchar_t const* pText) : m_lengthAndFlags(0), m_pData(nullptr)
{
    Assign(pText);
}

CStr::CStr(unsigned char const* pText) : m_lengthAndFlags(0), m_pData(nullptr)
{
    if (pText != nullptr)
        Assign(pText, static_cast<unsigned int>(std::strlen(reinterpret_cast<char const*>(pText))));
}

CStr::CStr(CStr const& other)
    : m_lengthAndFlags(other.m_lengthAndFlags & FLAG_TIME_EFFICIENT), m_pData(nullptr)
{
    Assign(other);
}

CStr::CStr(unsigned int capacity, bool timeEfficient)
    : m_lengthAndFlags(timeEfficient ? FLAG_TIME_EFFICIENT : 0), m_pData(nullptr)
{
    Resize(capacity, false);   // a new block starts terminated and recorded
}

CStr::CStr(unsigned short* pBuffer, unsigned int capacity, bool emptyStart, bool ownBuffer)
    : m_lengthAndFlags(0), m_pData(nullptr)
{
    Attach(pBuffer, capacity, emptyStart, ownBuffer);
}

CStr::~CStr()
{
    if ((m_lengthAndFlags & FLAG_OWNS_BUFFER) != 0)
        CLxiOSALRuntime::Free(m_pData);
    m_pData = nullptr;
}

void CStr::Attach(unsigned short* pBuffer, unsigned int capacity, bool emptyStart, bool ownBuffer)
{
    unsigned short* pOwned = (m_lengthAndFlags & FLAG_OWNS_BUFFER) != 0 ? m_pData : nullptr;
    // Attaching the block we already own must not free it under our feet;
    // the string keeps owning it, since nobody else can release it.
    bool const reuse = pOwned != nullptr && pOwned == pBuffer && capacity != 0;
    if (pOwned != nullptr && !reuse)
        CLxiOSALRuntime::Free(pOwned);

    m_pData = nullptr;
    m_lengthAndFlags &= FLAG_TIME_EFFICIENT;
    if (pBuffer == nullptr || capacity == 0)
        return;

    m_pData = pBuffer;
    if (ownBuffer || reuse)
        m_lengthAndFlags |= FLAG_OWNS_BUFFER;
    if (emptyStart)
        m_pData[0] = CStrUtil::s_UtfNulChar;
    else
        SetLength(CStrUtil::StrlenUtf16(m_pData, capacity));
    MarkCapacity(m_lengthAndFlags, m_pData, capacity);
}

void CStr::Clear()
{
    Assign(s_emptyString);
}

bool CStr::Reserve(unsigned int count, unsigned int& capacity)
{
    // With room enough Resize would only rewrite the record the buffer has.
    if (HasRoom(m_lengthAndFlags, m_pData, count, capacity))
        return true;
    capacity = Resize(count, false);
    return capacity >= count;
}

void CStr::Terminate(unsigned int length, unsigned int capacity)
{
    Finish(m_lengthAndFlags, m_pData, length, capacity);
}

CStr& CStr::Assign(CStr const& other)
{
    if (&other == this)
        return *this;
    // A short text into a buffer with a recorded capacity that holds it
    // (records, stack frames) is copied without calls; everything else goes
    // the way of the counted form.
    if (lxistr::AssignShortText(m_lengthAndFlags, m_pData, other.m_lengthAndFlags, other.m_pData))
        return *this;
    return Assign(other.m_pData, other.GetLength());
}

CStr& CStr::Assign(char const* pText)
{
    return Assign(pText, pText != nullptr ? static_cast<unsigned int>(std::strlen(pText)) : 0u);
}

CStr& CStr::Assign(char const* pText, unsigned int count)
{
    if (pText == nullptr)
        count = 0;
    unsigned int capacity;
    if (!Reserve(count, capacity))
        return *this;
    CStrUtil::MemcpyUtf16FromAscii(m_pData, pText, count);
    Terminate(count, capacity);
    return *this;
}

CStr& CStr::Assign(unsigned short const* pText, unsigned int count)
{
    if (pText == nullptr)
        count = 0;
    // A source inside our own text moves with the block when a time-efficient
    // Resize reallocates it: find it again by its offset. memmove handles the
    // overlap.
    auto const offset = reinterpret_cast<std::uintptr_t>(pText) - reinterpret_cast<std::uintptr_t>(m_pData);
    bool const own = m_pData != nullptr && offset < Bytes(GetLength() + 1);
    unsigned int capacity;
    if (!Reserve(count, capacity))
        return *this;
    if (own)
        pText = m_pData + offset / sizeof(unsigned short);
    assert(count == 0 || (m_pData != nullptr && pText != nullptr));   // Reserve made room
    if (count != 0)
        std::memmove(m_pData, pText, Bytes(count));
    Terminate(count, capacity);
    return *this;
}

CStr& CStr::Assign(wchar_t const* pText)
{
    return Assign(pText, pText != nullptr ? static_cast<unsigned int>(std::wcslen(pText)) : 0u);
}

CStr& CStr::Assign(wchar_t const* pText, unsigned int count)
{
    if (pText == nullptr)
        count = 0;
    // Room at hand (every Format into a string on a stack array) is settled
    // here without calls.
    unsigned int capacity;
    if (!HasRoom(m_lengthAndFlags, m_pData, count, capacity) && !Reserve(count, capacity))
        return *this;
    CStrUtil::MemcpyUtf16FromWChar(m_pData, pText, count);
    Finish(m_lengthAndFlags, m_pData, count, capacity);
    return *this;
}

CStr& CStr::Assign(unsigned char const* pText, unsigned int count)
{
    // No byte gives more than one unit: with room for count units at hand
    // the text is decoded in one pass, else it is measured first.
    unsigned int capacity;
    if (pText != nullptr && HasRoom(m_lengthAndFlags, m_pData, count, capacity)) {
        unsigned int const length = lxistr::DecodeUtf8(m_pData, capacity, pText, count);
        Finish(m_lengthAndFlags, m_pData, length, capacity);
        return *this;
    }
    unsigned int const length = CStrUtil::LengthOfUtf16FromUtf8(pText, count);
    if (!Reserve(length, capacity))
        return *this;
    unsigned int const decoded = lxistr::DecodeUtf8(m_pData, capacity, pText, count);
    assert(decoded == length);
    static_cast<void>(decoded);
    Terminate(length, capacity);
    return *this;
}

unsigned int CStr::Resize(unsigned int length, bool force)
{
    unsigned int const oldLength = GetLength();
    unsigned int target = length > oldLength ? length : oldLength;
    unsigned int const current = GetBuffSize();
    if (target > LENGTH_MASK)
        return current;   // no such length fits the word; refuse, keep everything
    if (IsTimeEfficient())
        target = FindNextPower(target);

    if ((current >= target && !force) || current == target) {
        MarkExtraBuffer(current);
        return current;
    }

    std::size_t const bytes = Bytes(target + 1);
    if ((m_lengthAndFlags & FLAG_OWNS_BUFFER) != 0) {
        void* pBlock = CLxiOSALRuntime::Realloc(m_pData, static_cast<unsigned int>(bytes));
        if (pBlock == nullptr)
            return current;   // the old block is still ours and intact
        m_pData = static_cast<unsigned short*>(pBlock);
    } else {
        auto* pBlock = static_cast<unsigned short*>(
            CLxiOSALRuntime::Malloc(static_cast<unsigned int>(bytes)));
        if (pBlock == nullptr)
            return current;   // the caller's buffer, if any, stays in use
        if (m_pData != nullptr && oldLength != 0)
            std::memcpy(pBlock, m_pData, Bytes(oldLength));
        pBlock[oldLength] = CStrUtil::s_UtfNulChar;
        m_pData = pBlock;
        m_lengthAndFlags |= FLAG_OWNS_BUFFER;
    }
    MarkExtraBuffer(target);
    return target;
}

void CStr::Compact()
{
    Resize(GetLength(), true);
}

void CStr::SetTimeEfficient(bool on, bool resize)
{
    if (on)
        m_lengthAndFlags |= FLAG_TIME_EFFICIENT;
    else
        m_lengthAndFlags &= ~FLAG_TIME_EFFICIENT;
    if (resize && m_pData != nullptr)
        Resize(GetBuffSize(), false);
}

unsigned int CStr::GetBuffSize() const
{
    return CapacityOf(m_lengthAndFlags, m_pData);
}

unsigned short CStr::GetChar(unsigned int index) const
{
    if (m_pData != nullptr && index < GetLength())
        return m_pData[index];
    return CStrUtil::s_UtfNulChar;
}

void CStr::SetChar(unsigned int index, unsigned short unit)
{
    if (m_pData != nullptr && index < GetLength() && unit != CStrUtil::s_UtfNulChar)
        m_pData[index] = unit;
}

void CStr::MarkExtraBuffer(unsigned int capacity)
{
    MarkCapacity(m_lengthAndFlags, m_pData, capacity);
}

unsigned int CStr::FindNextPower(unsigned int n)
{
    return NextPower(n);
}

// Comparison and search.

namespace {

// Number of leading units that two terminated texts share, not counting a
// terminator: the walk stops at the first difference or the first 0.
unsigned int CommonPrefix(unsigned short const* pA, unsigned short const* pB)
{
    unsigned int i = 0;
    while (pA[i] != CStrUtil::s_UtfNulChar && pB[i] != CStrUtil::s_UtfNulChar && pA[i] == pB[i])
        ++i;
    return i;
}

// The walk of StartsWith (atEnd false) and EndsWith (atEnd true).
bool HasAffix(CStr const& text, CStr const& affix, bool atEnd)
{
    if (&affix == &text)
        return true;
    if (text.GetLength() < affix.GetLength())
        return false;
    if (affix.IsEmpty())
        return true;
    // Both are non-empty here, so both have buffers.
    unsigned short const* pAffix = affix.GetData();
    unsigned short const* pAt = text.GetData() + (atEnd ? text.GetLength() - affix.GetLength() : 0u);
    unsigned int const i = CommonPrefix(pAt, pAffix);
    return atEnd ? pAt[i] == pAffix[i] : pAffix[i] == CStrUtil::s_UtfNulChar;
}

// The rolling-checksum walk over the terminated text pText: h holds the
// checksum of the last `length` units (or of all units since the start,
// while fewer), and the units are compared only where it equals checksum.
unsigned int FindByChecksum(unsigned short const* pText, unsigned short const* pPattern,
                            unsigned int checksum, unsigned int length)
{
    unsigned int h = 0;
    for (unsigned int i = 0; pText[i] != CStrUtil::s_UtfNulChar; ++i) {
        h = h * 2u + pText[i];
        // Drop the unit that just left the window of the last `length` units.
        // From 32 units on the doubling has already pushed it out of h.
        if (i >= length && length <= 31)
            h -= static_cast<unsigned int>(pText[i - length]) << length;
        if (h == checksum && i >= length - 1u) {
            unsigned short const* pAt = pText + i - (length - 1u);
            if (pPattern[CommonPrefix(pAt, pPattern)] == CStrUtil::s_UtfNulChar)
                return i - (length - 1u);
        }
    }
    return CStr::NOT_FOUND;
}

#if LXIBASE_SSE2

// Two flag bits for each of the 8 starts at p that is worth a look: its first
// unit and the unit `last` units on match the pattern's, or it is 0.
inline unsigned int CandidateFlags(unsigned short const* p, unsigned int last, __m128i firsts,
                                   __m128i lasts)
{
    __m128i const starts = lxistr::Load(p);
    __m128i const ends = lxistr::Load(p + last);
    __m128i const both = _mm_and_si128(_mm_cmpeq_epi16(starts, firsts), _mm_cmpeq_epi16(ends, lasts));
    return static_cast<unsigned int>(
        _mm_movemask_epi8(_mm_or_si128(both, _mm_cmpeq_epi16(starts, _mm_setzero_si128()))));
}

#endif

// The pattern (length >= 1 units, none of them 0) at pAt, of which the first
// and last units are known to match.
inline bool MatchesInside(unsigned short const* pAt, unsigned short const* pPattern, unsigned int length)
{
    unsigned int i = 1;
    while (i + 1 < length && pAt[i] == pPattern[i])
        ++i;
    return i + 1 >= length;
}

// First occurrence of the pattern (length >= 1 units, none of them 0) in the
// text pText[0, n) that ends at its first 0 unit, or NOT_FOUND. This is what
// the checksum walk finds: the walk confirms each checksum hit by the units,
// and wherever the units match, the pattern's own checksum does too. Reads
// no unit at or beyond n.
unsigned int FindUnits(unsigned short const* pText, unsigned int n, unsigned short const* pPattern,
                       unsigned int length)
{
    assert(pText != nullptr && pPattern != nullptr && length >= 1);
    if (length > n)
        return CStr::NOT_FOUND;   // no room, whatever the text holds
    unsigned int const last = length - 1;
    unsigned int const starts = n - last;   // starts 0 .. starts - 1 leave room for the pattern
    unsigned int at = 0;
#if LXIBASE_SSE2
    // 16 starts a time while they are all unflagged, then 8; each flagged
    // start in order is a 0 that ends the text, a match, or neither.
    __m128i const firsts = _mm_set1_epi16(static_cast<short>(pPattern[0]));
    __m128i const lasts = _mm_set1_epi16(static_cast<short>(pPattern[last]));
    while (starts - at >= 8) {
        unsigned int flags = CandidateFlags(pText + at, last, firsts, lasts);
        unsigned int block = 8;
        if (starts - at >= 16) {
            flags |= CandidateFlags(pText + at + 8, last, firsts, lasts) << 16;
            block = 16;
        }
        for (; flags != 0; flags &= flags - 1, flags &= flags - 1) {
            unsigned int const candidate = at + static_cast<unsigned int>(__builtin_ctz(flags)) / 2;
            if (pText[candidate] == CStrUtil::s_UtfNulChar)
                return CStr::NOT_FOUND;
            if (MatchesInside(pText + candidate, pPattern, length))
                return candidate;
        }
        at += block;
    }
#endif
    for (; at < starts; ++at) {
        if (pText[at] == CStrUtil::s_UtfNulChar)
            return CStr::NOT_FOUND;
        if (pText[at] == pPattern[0] && pText[at + last] == pPattern[last] &&
            MatchesInside(pText + at, pPattern, length))
            return at;
    }
    return CStr::NOT_FOUND;
}

// FindNextWithChecksum for a checksum and length that belong to the pattern
// (length >= 1), from start <= the text's length: what Count and Replace
// ask for each time, without the checks of the public entry.
unsigned int FindFrom(CStr const& text, unsigned short const* pPattern, unsigned int start,
                      unsigned int length)
{
    assert(start <= text.GetLength() && (text.GetLength() == 0 || text.GetData() != nullptr));
    unsigned int const found =
        FindUnits(text.GetData() + start, text.GetLength() - start, pPattern, length);
    return found == CStr::NOT_FOUND ? CStr::NOT_FOUND : start + found;
}

}  // namespace

bool CStr::Equals(CStr const& other) const
{
    if (&other == this)
        return true;
    unsigned int const length = GetLength();
    if (length != other.GetLength())
        return false;
    if (length == 0)
        return true;
    // The walk over both texts up to the first difference or the first 0;
    // both hold length + 1 units, the terminator included.
    unsigned short const* const pA = m_pData;
    unsigned short const* const pB = other.m_pData;
    unsigned int i = 0;
#if LXIBASE_SSE2
    for (; length + 1 - i >= 8; i += 8) {
        __m128i const a = lxistr::Load(pA + i);
        __m128i const same = _mm_andnot_si128(_mm_cmpeq_epi16(a, _mm_setzero_si128()),
                                              _mm_cmpeq_epi16(a, lxistr::Load(pB + i)));
        auto const goOn = static_cast<unsigned int>(_mm_movemask_epi8(same));
        if (goOn != 0xFFFFu) {
            i += static_cast<unsigned int>(__builtin_ctz(~goOn)) / 2;
            return pA[i] == pB[i];
        }
    }
#endif
    i += CommonPrefix(pA + i, pB + i);
    return pA[i] == pB[i];
}

bool CStr::StartsWith(CStr const& prefix) const
{
    return HasAffix(*this, prefix, false);
}

bool CStr::EndsWith(CStr const& suffix) const
{
    return HasAffix(*this, suffix, true);
}

unsigned int CStr::FindNext(CStr const& pattern, unsigned int start) const
{
    // The pattern's own checksum: the search needs only its length, the
    // units before its first 0.
    unsigned int length = 0;
    while (pattern.m_pData != nullptr && pattern.m_pData[length] != CStrUtil::s_UtfNulChar)
        ++length;
    if (length == 0)
        return start;
    if (GetLength() <= start)
        return NOT_FOUND;
    return FindFrom(*this, pattern.m_pData, start, length);
}

unsigned int CStr::Count(CStr const& pattern, unsigned int start) const
{
    if (GetLength() <= start)
        return 0;
    unsigned int length;
    unsigned int const checksum = CalcSubStrChksumAndLength(pattern.m_pData, length);
    if (length == 0)
        return GetLength() - start + 1;
    unsigned int count = 0;
    for (unsigned int at = start;;) {
        unsigned int const found = FindNextWithChecksum(pattern.m_pData, at, checksum, length);
        if (found == NOT_FOUND)
            return count;
        ++count;
        at = found + length;   // never past the end: the match lies inside the text
    }
}

unsigned int CStr::CalcSubStrChksumAndLength(unsigned short const* pText, unsigned int& length) const
{
    length = 0;
    unsigned int checksum = 0;
    if (pText == nullptr)
        return 0;
    while (pText[length] != CStrUtil::s_UtfNulChar)
        checksum = checksum * 2u + pText[length++];
    return checksum;
}

// The rolling-checksum search from start, for any pattern, checksum and
// length a caller hands in: NOT_FOUND for a missing text or pattern, or a
// start beyond the end. When checksum and length are those of the pattern
// (CalcSubStrChksumAndLength over it, length >= 1) the walk confirms exactly
// the places where the units match, and FindUnits finds the first of them
// with vector blocks; any other pair gets the walk itself, so every input
// gives the walk's answer.
unsigned int CStr::FindNextWithChecksum(unsigned short const* pPattern, unsigned int start,
                                        unsigned int checksum, unsigned int length) const
{
    if (m_pData == nullptr || pPattern == nullptr || start > GetLength())
        return NOT_FOUND;
    unsigned int patternLength;
    unsigned int const patternChecksum = CalcSubStrChksumAndLength(pPattern, patternLength);
    unsigned int const found =
        patternChecksum == checksum && patternLength == length && length != 0
            ? FindUnits(m_pData + start, GetLength() - start, pPattern, length)
            : FindByChecksum(m_pData + start, pPattern, checksum, length);
    return found == NOT_FOUND ? NOT_FOUND : start + found;
}

// Editing. Every writer decides by the capacity that Resize returned: after a
// failed allocation that capacity is below the need and the old text stays.
// A source that is this string is read only after Resize, which may move it.

CStr& CStr::Append(CStr const& text)
{
    // Appending is inserting at the end. The hot case, one unit into a buffer
    // with room (texts built unit by unit), is finished here without calls.
    // HasRoom and Finish in their plainest form: a buffer with its capacity
    // recorded, the record's bytes moved one unit on or dropped.
    unsigned int const word = m_lengthAndFlags;
    unsigned int const length = word & LENGTH_MASK;
    if (text.GetLength() == 1 && (word & FLAG_EXTRA_BUFFER) != 0) {
        unsigned short* const pData = m_pData;
        std::uint32_t record;
        std::memcpy(&record, pData + length + 1, 4);
        unsigned int const capacity = lxistr::RecordAt(pData, length);
        unsigned int const need = (word & FLAG_TIME_EFFICIENT) != 0 ? NextPower(length + 1) : length + 1;
        if (need <= capacity) {
            pData[length] = text.m_pData[0];
            lxistr::FinishWithRecord(m_lengthAndFlags, pData, length + 1, capacity, record);
            return *this;
        }
    }
    return Insert(text, length);
}

CStr& CStr::Insert(CStr const& text, unsigned int index)
{
    if (text.m_pData == nullptr)
        return *this;
    if (text.IsEmpty()) {
        Resize(GetLength(), false);   // text unchanged; a time-efficient buffer is rounded up
        return *this;
    }
    return ReplaceRange(index, 0, text);
}

CStr& CStr::CopyRange(CStr const& source, unsigned int index, unsigned int count)
{
    unsigned int capacity = GetBuffSize();
    unsigned int const sourceLength = source.GetLength();
    if (index >= sourceLength || count == 0) {
        Terminate(0, capacity);   // the buffer stays; so does the capacity if it can be recorded
        return *this;
    }
    unsigned int const length = count < sourceLength - index ? count : sourceLength - index;
    if (!Reserve(length, capacity))
        return *this;
    std::memmove(m_pData, source.m_pData + index, Bytes(length));
    Terminate(length, capacity);
    return *this;
}

CStr& CStr::ReplaceRange(unsigned int index, unsigned int count, CStr const& text)
{
    unsigned int const oldLength = GetLength();
    unsigned int const rangeStart = index < oldLength ? index : oldLength;
    unsigned int const rangeLength = count < oldLength - rangeStart ? count : oldLength - rangeStart;
    unsigned int const textLength = text.GetLength();
    unsigned int const newLength = oldLength - rangeLength + textLength;
    unsigned int const capacity = newLength > oldLength ? Resize(newLength, false) : GetBuffSize();
    if (capacity < newLength)
        return *this;
    // The tail moves first. When text is this string its units [0, oldLength)
    // are still intact afterwards: a growing tail lands at rangeStart +
    // oldLength or beyond.
    unsigned int const tailLength = oldLength - (rangeStart + rangeLength);
    if (tailLength != 0)
        std::memmove(m_pData + rangeStart + textLength, m_pData + rangeStart + rangeLength, Bytes(tailLength));
    if (textLength != 0)
        std::memmove(m_pData + rangeStart, text.m_pData, Bytes(textLength));
    Terminate(newLength, capacity);
    return *this;
}

CStr& CStr::Cut(unsigned int index, unsigned int count)
{
    if (m_pData == nullptr)
        return *this;
    unsigned int const capacity = GetBuffSize();
    unsigned int const oldLength = GetLength();
    unsigned int newLength = 0;
    if (index < oldLength && count != 0) {
        newLength = count < oldLength - index ? count : oldLength - index;
        if (index != 0)
            std::memmove(m_pData, m_pData + index, Bytes(newLength));
    }
    Terminate(newLength, capacity);
    return *this;
}

namespace {

// memmove for a target at or before the source: the short pieces (most
// replacements) unit by unit, the rest through the library.
inline void MoveUnitsDown(unsigned short* pTarget, unsigned short const* pSource, unsigned int count)
{
    if (count > 8) {
        std::memmove(pTarget, pSource, Bytes(count));
        return;
    }
    for (unsigned int i = 0; i < count; ++i)
        pTarget[i] = pSource[i];
}

// Start of the first (all false) or of each non-overlapping match of
// pPattern (length >= 1 units, none of them 0) at or after start <= the
// text's length, in a heap list of 2, 4, 8, ... entries that the caller frees
// with CLxiOSALRuntime::Free. Returns the count; 0 and pList == nullptr when
// none matched or memory ran out.
unsigned int CollectMatches(CStr const& text, unsigned short const* pPattern, unsigned int start,
                            unsigned int length, bool all, unsigned int*& pList)
{
    assert(pPattern != nullptr && length >= 1 && start <= text.GetLength());
    pList = nullptr;
    unsigned int count = 0;
    unsigned int listCapacity = 0;
    for (unsigned int at = start;;) {
        unsigned int const found = FindFrom(text, pPattern, at, length);
        if (found == CStr::NOT_FOUND)
            return count;
        if (count + 1 >= listCapacity) {
            listCapacity = 2 * (count + 1);
            unsigned int const bytes = listCapacity * static_cast<unsigned int>(sizeof(unsigned int));
            void* pBlock = pList == nullptr ? CLxiOSALRuntime::Malloc(bytes)
                                            : CLxiOSALRuntime::Realloc(pList, bytes);
            if (pBlock == nullptr) {
                CLxiOSALRuntime::Free(pList);
                pList = nullptr;
                return 0;
            }
            pList = static_cast<unsigned int*>(pBlock);
        }
        pList[count++] = found;
        if (!all)
            return count;
        at = found + length;
    }
}

}  // namespace

CStr& CStr::Replace(CStr const& pattern, CStr const& replacement, unsigned int start, bool all)
{
    unsigned int patternLength;
    CalcSubStrChksumAndLength(pattern.m_pData, patternLength);   // the checksum belongs to the pattern
    unsigned int const oldLength = GetLength();
    if (patternLength == 0 || oldLength <= start)
        return *this;
    unsigned int* pMatches;
    unsigned int const count = CollectMatches(*this, pattern.m_pData, start, patternLength, all, pMatches);
    if (count == 0)
        return *this;

    unsigned int const replacementLength = CStrUtil::StrlenUtf16(replacement.m_pData);
    unsigned long long const wideLength = oldLength - static_cast<unsigned long long>(count) * patternLength +
                                          static_cast<unsigned long long>(count) * replacementLength;
    // A text that does not grow is rebuilt in place; one that grows is built
    // in a temporary block, so this buffer (maybe the replacement itself)
    // stays readable until the end.
    unsigned int const newLength = static_cast<unsigned int>(wideLength);
    bool const inPlace = wideLength <= oldLength;
    unsigned short* pDest = m_pData;
    if (!inPlace) {
        if (wideLength <= LENGTH_MASK)
            pDest = static_cast<unsigned short*>(CLxiOSALRuntime::Malloc(Bytes(newLength + 1)));
        if (wideLength > LENGTH_MASK || pDest == nullptr) {
            CLxiOSALRuntime::Free(pMatches);
            return *this;
        }
        std::memcpy(pDest, m_pData, Bytes(pMatches[0]));
    }

    // In place, writeAt never passes the next unit to be read (the
    // replacement is no longer than the pattern).
    unsigned int writeAt = pMatches[0];
    for (unsigned int i = 0; i < count; ++i) {
        MoveUnitsDown(pDest + writeAt, replacement.m_pData, replacementLength);
        writeAt += replacementLength;
        unsigned int const keptFrom = pMatches[i] + patternLength;
        unsigned int const keptTo = i + 1 < count ? pMatches[i + 1] : oldLength;
        MoveUnitsDown(pDest + writeAt, m_pData + keptFrom, keptTo - keptFrom);
        writeAt += keptTo - keptFrom;
    }
    assert(writeAt == newLength);
    pDest[writeAt] = CStrUtil::s_UtfNulChar;
    CLxiOSALRuntime::Free(pMatches);

    // In place the capacity is at least oldLength >= newLength even if Resize
    // fails, and a time-efficient Resize may still move the rebuilt text.
    unsigned int const capacity = Resize(newLength, false);
    if (!inPlace) {
        if (capacity >= newLength)
            std::memcpy(m_pData, pDest, Bytes(newLength + 1));
        CLxiOSALRuntime::Free(pDest);
        if (capacity < newLength)
            return *this;
    }
    Terminate(newLength, capacity);
    return *this;
}

void CStr::TrimPrivate(bool start, bool end, wchar_t const* pSet)
{
    if (m_pData == nullptr)
        return;
    unsigned int const capacity = GetBuffSize();
    unsigned int n = GetLength();
    // Scanned for every trim: a null result means all whitespace.
    unsigned short const* pFirst = CStrUtil::ScanWhiteSpaceForward(m_pData, n, pSet, false);
    if (pFirst == nullptr) {
        n = 0;
    } else {
        if (start && pFirst != m_pData) {
            n -= static_cast<unsigned int>(pFirst - m_pData);
            std::memmove(m_pData, pFirst, Bytes(n + 1));
        }
        if (end) {
            unsigned short const* pLast = CStrUtil::ScanWhiteSpaceReverse(m_pData, n, pSet, false);
            assert(pLast != nullptr);
            n = static_cast<unsigned int>(pLast - m_pData) + 1;
        }
    }
    Terminate(n, capacity);
}

CStr& CStr::Trim(wchar_t const* pSet)
{
    TrimPrivate(true, true, pSet);
    return *this;
}

CStr& CStr::TrimLeft(wchar_t const* pSet)
{
    TrimPrivate(true, false, pSet);
    return *this;
}

CStr& CStr::TrimRight(wchar_t const* pSet)
{
    TrimPrivate(false, true, pSet);
    return *this;
}

// Formatting.

namespace {

// One vswprintf attempt from a fresh copy of the caller's list.
int FormatInto(wchar_t* pOut, unsigned int size, wchar_t const* pFormat, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int const written = std::vswprintf(pOut, size, pFormat, copy);
    va_end(copy);
    return written;
}

// What Format knows of an output before making it: the fewest wide
// characters that vswprintf can write for the format and the arguments, and
// whether the output holds no 0 before its end (only %c and %lc write one).
struct stFormatScan
{
    unsigned int bound;
    bool plain;
};

// Beyond any size Format tries.
constexpr unsigned int kMany = 1u << 20;

// Scans pFormat for the forms that log lines use, "%[width][l]" and one of
// d i u x X o s p, with the width in digits or "*": each character outside
// them counts, and for each its width, or the length of its %ls text when
// that is more. The arguments are read with the types these forms give them.
// At any other form (%%, %c, flags, a precision, a numbered argument, another
// size or conversion) the count ends with what it has, which is still a
// lower bound, and plain is false.
stFormatScan ScanFormat(wchar_t const* pFormat, va_list args)
{
    assert(pFormat != nullptr);
    va_list next;
    va_copy(next, args);
    stFormatScan scan = {0, false};
    for (wchar_t const* p = pFormat; scan.bound < kMany; ++p) {
        wchar_t const* const pLiteral = p;
        while (*p != L'%' && *p != 0)
            ++p;
        scan.bound += static_cast<unsigned int>(p - pLiteral);
        if (*p == 0) {
            scan.plain = true;
            break;
        }
        ++p;
        unsigned int width = 0;
        if (*p == L'*') {
            int const given = va_arg(next, int);   // a negative one left-justifies
            width = given < 0 ? 0u - static_cast<unsigned int>(given) : static_cast<unsigned int>(given);
            ++p;
        }
        for (; *p >= L'0' && *p <= L'9'; ++p)
            width = width < kMany ? width * 10 + static_cast<unsigned int>(*p - L'0') : kMany;
        bool const isLong = *p == L'l';
        p += isLong ? 1 : 0;
        unsigned int text = 0;
        bool known = true;
        switch (*p) {
        case L'd': case L'i': case L'u': case L'x': case L'X': case L'o':
            if (isLong)   // NOLINT(bugprone-branch-clone): long and int take different room
                static_cast<void>(va_arg(next, long));
            else
                static_cast<void>(va_arg(next, int));
            break;
        case L's':
            if (isLong) {
                wchar_t const* pText = va_arg(next, wchar_t const*);
                text = pText != nullptr ? static_cast<unsigned int>(std::wcslen(pText)) : 0u;
            } else {
                static_cast<void>(va_arg(next, char const*));
            }
            break;
        case L'p':
            static_cast<void>(va_arg(next, void*));
            break;
        default:
            known = false;   // a form not counted here: the scan ends
        }
        if (!known)
            break;
        scan.bound += width > text ? width : text;
    }
    va_end(next);
    return scan;
}

}  // namespace

// NOLINTNEXTLINE(cert-dcl50-cpp): the printf-style interface of the class
CStr& CStr::Format(wchar_t const* pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    Format(pFormat, args);
    va_end(args);
    return *this;
}

CStr& CStr::Format(wchar_t const* pFormat, va_list args)
{
    constexpr unsigned int kLocalSize = 32;
    constexpr unsigned int kMaxSize = 32768;
    if (pFormat == nullptr)
        return *this;
    wchar_t local[kLocalSize];
    wchar_t* pOut = local;
    wchar_t* pHeap = nullptr;
    unsigned int size = kLocalSize;
    // Sizes that cannot hold the output's shortest form with its terminator
    // are not tried: a long output goes straight to a heap block.
    stFormatScan const scan = ScanFormat(pFormat, args);
    // Negative: the output with its terminator did not fit, or failed.
    int written = scan.bound < size ? FormatInto(pOut, size, pFormat, args) : -1;
    while (written < 0 && size < kMaxSize) {
        size *= 2;
        if (size <= scan.bound && size < kMaxSize)
            continue;
        unsigned int const bytes = size * static_cast<unsigned int>(sizeof(wchar_t));
        void* pBlock = pHeap == nullptr ? CLxiOSALRuntime::Malloc(bytes)
                                        : CLxiOSALRuntime::Realloc(pHeap, bytes);
        if (pBlock == nullptr)
            break;   // pHeap, if any, is still ours and freed below
        pHeap = pOut = static_cast<wchar_t*>(pBlock);
        written = FormatInto(pOut, size, pFormat, args);
    }
    // The output up to its first 0, which only a %c can put before its end.
    if (written >= 0)
        Assign(pOut, scan.plain ? static_cast<unsigned int>(written) : static_cast<unsigned int>(std::wcslen(pOut)));
    if (pHeap != nullptr)
        CLxiOSALRuntime::Free(pHeap);
    return *this;
}
