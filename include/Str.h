// CStr: the UTF-16 text value of the LXI stack.
//
// A CStr holds 16-bit code units followed by a terminating 0 and knows its
// length without scanning. It either owns a heap buffer or works inside a
// buffer its owner attached, so short texts need no heap at all:
//
//   unsigned short m_aName[32];      // declared directly before the string
//   CStr           m_sName;          // built with (m_aName, 31, true, false)
//   ...
//   m_sName.Assign("XM-100");         // written into m_aName, no allocation
//   CStrW wide(m_sName);              // wchar_t copy for one libc call
//
// Nothing here throws or reports errors; a failed allocation leaves the
// string valid and holding its previous text (or the complete new one, when
// the room it already had was enough).
#ifndef LXIBASE_STR_H
#define LXIBASE_STR_H

#include <cstdarg>
#include <type_traits>

#include "LxiBaseExport.h"

class LXIBASE_API CStr
{
public:
    // m_lengthAndFlags layout. The length takes bits 0..28, so every real
    // index is below 2^31 and 0xFFFFFFFF stays free as "not found".
    static constexpr unsigned int LENGTH_MASK = 0x1FFFFFFFu;
    // The buffer came from CLxiOSALRuntime::Malloc/Realloc and is ours to
    // reallocate and free. Clear: the buffer (if any) belongs to its attacher.
    static constexpr unsigned int FLAG_OWNS_BUFFER = 0x80000000u;
    // A capacity record sits behind the terminator. It is only written when
    // capacity >= length + 5: terminator plus four record bytes must fit.
    static constexpr unsigned int FLAG_EXTRA_BUFFER = 0x40000000u;
    // Growth rounds capacities up with FindNextPower instead of fitting exactly.
    static constexpr unsigned int FLAG_TIME_EFFICIENT = 0x20000000u;
    static constexpr unsigned int FLAGS_MASK = 0xE0000000u;
    static constexpr unsigned int NOT_FOUND = 0xFFFFFFFFu;

    CStr();                                   // empty, no buffer
    CStr(char const* pText);                  // 8-bit text, one unit per byte
    CStr(wchar_t const* pText);               // wide text, > U+FFFF becomes "?"
    CStr(unsigned char const* pText);         // NUL-terminated UTF-8
    CStr(CStr const& other);                  // own copy; keeps time-efficient mode
    CStr(unsigned int capacity, bool timeEfficient);    // empty with room reserved
    CStr(unsigned short* pBuffer, unsigned int capacity, bool emptyStart,
         bool ownBuffer);                     // Attach() at construction
    virtual ~CStr();                          // frees an owned buffer only

    CStr& operator=(CStr const& other) { return Assign(other); }

    // Takes a caller's buffer of capacity + 1 units. With ownBuffer the block
    // must come from CLxiOSALRuntime::Malloc/Realloc.
    void Attach(unsigned short* pBuffer, unsigned int capacity, bool emptyStart,
                bool ownBuffer);
    void Clear();                             // length 0, buffer kept

    CStr& Assign(CStr const& other);
    CStr& Assign(char const* pText);
    CStr& Assign(char const* pText, unsigned int count);
    CStr& Assign(unsigned short const* pText, unsigned int count);
    CStr& Assign(wchar_t const* pText);
    CStr& Assign(wchar_t const* pText, unsigned int count);
    CStr& Assign(unsigned char const* pText, unsigned int count);   // UTF-8 bytes

    // Makes room for `length` units (never below the current length) and
    // returns the capacity. After a failed allocation the old buffer stays and
    // its capacity is returned, which may be below the request: callers write
    // only when the result covers what they need.
    unsigned int Resize(unsigned int length, bool force);
    void Compact();                           // buffer fitted to the length
    void SetTimeEfficient(bool on, bool resize);
    bool IsTimeEfficient() const { return (m_lengthAndFlags & FLAG_TIME_EFFICIENT) != 0; }

    unsigned int GetBuffSize() const;         // the reckoned capacity
    unsigned int GetLength() const { return m_lengthAndFlags & LENGTH_MASK; }
    bool IsEmpty() const { return GetLength() == 0; }
    unsigned short* GetData() const { return m_pData; }   // may be null when empty
    unsigned short GetChar(unsigned int index) const;
    void SetChar(unsigned int index, unsigned short unit);

    // Comparison and search: exact code units, no case folding; every walk
    // stops at the first 0. Positions are unit indexes, NOT_FOUND when absent.
    bool Equals(CStr const& other) const;
    bool StartsWith(CStr const& prefix) const;   // true for the empty prefix
    bool EndsWith(CStr const& suffix) const;     // true for the empty suffix
    // First occurrence at or after start; an empty pattern gives start itself.
    unsigned int FindNext(CStr const& pattern, unsigned int start) const;
    // Non-overlapping occurrences at or after start; an empty pattern counts
    // every position from start to the end, the end included.
    unsigned int Count(CStr const& pattern, unsigned int start) const;
    // Rolling checksum of a terminated text (each unit doubles the sum, then
    // adds itself; "abc" gives 0x2AB); its length goes to `length`.
    unsigned int CalcSubStrChksumAndLength(unsigned short const* pText,
                                           unsigned int& length) const;
    // The search behind FindNext, Count and Replace. checksum and length
    // must come from CalcSubStrChksumAndLength over the same pattern.
    unsigned int FindNextWithChecksum(unsigned short const* pPattern, unsigned int start,
                                      unsigned int checksum, unsigned int length) const;

    // Editing. Indexes and counts are clamped, never rejected. The source
    // may be this string itself. After a failed allocation the string keeps
    // its previous text, or holds the complete new one if it fitted anyway.
    CStr& Append(CStr const& text);
    CStr& Insert(CStr const& text, unsigned int index);   // before unit `index`
    CStr& CopyRange(CStr const& source, unsigned int index, unsigned int count);
    CStr& ReplaceRange(unsigned int index, unsigned int count, CStr const& text);
    // Replaces the first (or every) non-overlapping occurrence of pattern at
    // or after start. Grows through one temporary block, shrinks in place.
    CStr& Replace(CStr const& pattern, CStr const& replacement, unsigned int start,
                  bool all);
    CStr& Cut(unsigned int index, unsigned int count);   // keeps only that range
    // Whitespace trims; pSet is a 0-terminated set, null for the default
    // CStrUtil::s_whiteSpaceChars.
    CStr& Trim(wchar_t const* pSet = nullptr);
    CStr& TrimLeft(wchar_t const* pSet = nullptr);
    CStr& TrimRight(wchar_t const* pSet = nullptr);
    void TrimPrivate(bool start, bool end, wchar_t const* pSet);   // the work of the three

    // Replaces the text with vswprintf output (%ls wide text, %s 8-bit
    // text). Up to 31 characters need no heap; output beyond 32,767
    // characters, a failing conversion, no memory or a null format leave the
    // text unchanged.
    CStr& Format(wchar_t const* pFormat, ...);
    CStr& Format(wchar_t const* pFormat, va_list args);
    // A lone integer or nullptr argument: where va_list is a pointer type
    // (x86-64) a literal 0 would bind to the va_list form and be read as an
    // argument list. This exact match hands it to the variadic form instead.
    template <typename T, typename std::enable_if<std::is_integral<T>::value ||
                                                      std::is_null_pointer<T>::value,
                                                  int>::type = 0>
    CStr& Format(wchar_t const* pFormat, T value)
    {
        CStr& (CStr::*pVariadic)(wchar_t const*, ...) = &CStr::Format;
        return (this->*pVariadic)(pFormat, value);
    }

    void MarkExtraBuffer(unsigned int capacity);   // writes or drops the record
    static unsigned int FindNextPower(unsigned int n);   // smallest 2^k >= n + 4

    static CStr s_emptyString;

private:
    // Copies its two texts with the library's own short-text copy, without calls.
    friend class CNotificationBase;

    void SetLength(unsigned int length)
    {
        m_lengthAndFlags = (m_lengthAndFlags & FLAGS_MASK) | (length & LENGTH_MASK);
    }
    // Room for `count` units after Resize; false leaves the string untouched.
    bool Reserve(unsigned int count, unsigned int& capacity);
    void Terminate(unsigned int length, unsigned int capacity);

    unsigned int m_lengthAndFlags;            // length bits 0..28, flags 29..31
    unsigned short* m_pData;                  // terminated text, or null
};

#endif
