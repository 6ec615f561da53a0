/// \class CStr
/// The UTF-16 text value of the LXI stack, passed at every interface.
///
/// A CStr holds 16-bit code units followed by a terminating 0 and knows its
/// length without scanning. It either owns a heap buffer or works inside a
/// buffer its owner attached, so short texts need no heap at all:
///
///     unsigned short m_aName[32];      // declared directly before the string
///     CStr           m_sName;          // built with (m_aName, 31, true, false)
///     ...
///     m_sName.Assign("XM-100");        // written into m_aName, no allocation
///     CStrW wide(m_sName);             // wchar_t copy for one libc call
///
///     CStr reply("MEAS:TEMP 23.5");
///     reply.FindNext(CStr("TEMP"), 0);                // 5
///     reply.Replace(CStr("MEAS:"), CStr(), 0, true);  // "TEMP 23.5"
///
/// Lengths, indexes and counts are in code units; indexes beyond the text are
/// clamped, never rejected. Nothing here throws or reports errors; a failed
/// allocation leaves the string valid and holding its previous text (or the
/// complete new one, when the room it already had was enough). A string
/// belongs to one thread at a time.
#ifndef LXIBASE_STR_H
#define LXIBASE_STR_H

#include <cstdarg>
#include <type_traits>

#include "LxiBaseExport.h"

class LXIBASE_API CStr
{
public:
    /// Bits 0..28 of the length-and-flags word hold the length, so every
    /// real index is below 2^31 and 0xFFFFFFFF stays free as "not found".
    static constexpr unsigned int LENGTH_MASK = 0x1FFFFFFFu;
    /// The buffer came from CLxiOSALRuntime::Malloc/Realloc and is ours to
    /// reallocate and free. Clear: the buffer (if any) belongs to its attacher.
    static constexpr unsigned int FLAG_OWNS_BUFFER = 0x80000000u;
    /// A capacity record sits behind the terminator. It is only written when
    /// capacity >= length + 5: terminator plus four record bytes must fit.
    static constexpr unsigned int FLAG_EXTRA_BUFFER = 0x40000000u;
    /// Growth rounds capacities up with FindNextPower instead of fitting exactly.
    static constexpr unsigned int FLAG_TIME_EFFICIENT = 0x20000000u;
    static constexpr unsigned int FLAGS_MASK = 0xE0000000u;   ///< The three flags.
    static constexpr unsigned int NOT_FOUND = 0xFFFFFFFFu;    ///< No such position.

    CStr() noexcept;                          ///< Empty, no buffer.
    CStr(char const* pText) noexcept;         ///< 8-bit text, one unit per byte.
    CStr(wchar_t const* pText);               ///< Wide text; above U+FFFF becomes "?".
    CStr(unsigned char const* pText);         ///< NUL-terminated UTF-8.
    CStr(CStr const& other);                  ///< Own copy; keeps the time-efficient mode.
    CStr(unsigned int capacity, bool timeEfficient);    ///< Empty with room reserved.
    CStr(unsigned short* pBuffer, unsigned int capacity, bool emptyStart,
         bool ownBuffer);                     ///< Attach() at construction.
    virtual ~CStr();                          ///< Frees an owned buffer only.

    /// Assign(other): the same text in this string's own buffer.
    CStr& operator=(CStr const& other)
    {
        if (&other != this)
            Assign(other);
        return *this;
    }

    /// Takes a caller's buffer of capacity + 1 units. With ownBuffer the block
    /// must come from CLxiOSALRuntime::Malloc/Realloc.
    void Attach(unsigned short* pBuffer, unsigned int capacity, bool emptyStart,
                bool ownBuffer);
    void Clear();                             ///< Length 0, buffer kept.

    /// \name Assign: replace the whole text
    ///@{

    /// Replaces the text with a copy of the source: a string, NUL-terminated
    /// text, or `count` elements (8-bit bytes, UTF-16 units, wchar_t, UTF-8
    /// bytes). The buffer is kept when it is large enough; nothing is shared.
    CStr& Assign(CStr const& other);
    CStr& Assign(char const* pText);
    CStr& Assign(char const* pText, unsigned int count);
    CStr& Assign(unsigned short const* pText, unsigned int count);
    CStr& Assign(wchar_t const* pText);
    CStr& Assign(wchar_t const* pText, unsigned int count);
    CStr& Assign(unsigned char const* pText, unsigned int count);
    ///@}

    /// Makes room for `length` units (never below the current length) and
    /// returns the capacity. After a failed allocation the old buffer stays and
    /// its capacity is returned, which may be below the request: callers write
    /// only when the result covers what they need.
    unsigned int Resize(unsigned int length, bool force);
    void Compact();                           ///< Buffer fitted to the length.
    /// Sets or clears the time-efficient mode; with resize, grows the buffer
    /// to the mode's size at once. Never shrinks the buffer.
    void SetTimeEfficient(bool on, bool resize);
    /// Growth takes power-of-two sizes (FindNextPower).
    bool IsTimeEfficient() const { return (m_lengthAndFlags & FLAG_TIME_EFFICIENT) != 0; }

    unsigned int GetBuffSize() const;         ///< The reckoned capacity.
    /// The length in code units, terminator not counted.
    unsigned int GetLength() const { return m_lengthAndFlags & LENGTH_MASK; }
    bool IsEmpty() const { return GetLength() == 0; }   ///< Length 0.
    /// The terminated text, or null when empty without a buffer; good until
    /// the next change of the string.
    unsigned short* GetData() const { return m_pData; }
    /// The unit at index, or 0 at or beyond the end.
    unsigned short GetChar(unsigned int index) const;
    /// Stores a unit below the length; a 0 unit or an index at or beyond the
    /// end is ignored.
    void SetChar(unsigned int index, unsigned short unit);

    /// \name Comparison and search
    /// Exact code units, no case folding; every walk stops at the first 0.
    /// Positions are unit indexes, NOT_FOUND when absent.
    ///
    ///     CStr("aaaa").Count(CStr("aa"), 0);      // 2
    ///     CStr("abcabc").FindNext(CStr("bc"), 2); // 4
    ///     CStr("abc").Count(CStr(), 1);           // 3: positions 1, 2 and the end
    ///@{
    bool Equals(CStr const& other) const;        ///< The same units.
    bool StartsWith(CStr const& prefix) const;   ///< True for the empty prefix.
    bool EndsWith(CStr const& suffix) const;     ///< True for the empty suffix.
    /// First occurrence at or after start; an empty pattern gives start itself.
    unsigned int FindNext(CStr const& pattern, unsigned int start) const;
    /// Non-overlapping occurrences at or after start; an empty pattern counts
    /// every position from start to the end, the end included.
    unsigned int Count(CStr const& pattern, unsigned int start) const;
    /// Rolling checksum of a terminated text (each unit doubles the sum, then
    /// adds itself; "abc" gives 0x2AB); its length goes to `length`.
    unsigned int CalcSubStrChksumAndLength(unsigned short const* pText,
                                           unsigned int& length) const;
    /// The search behind FindNext, Count and Replace. checksum and length
    /// must come from CalcSubStrChksumAndLength over the same pattern.
    unsigned int FindNextWithChecksum(unsigned short const* pPattern, unsigned int start,
                                      unsigned int checksum, unsigned int length) const;
    ///@}

    /// \name Editing
    /// Indexes and counts are clamped, never rejected. The source may be this
    /// string itself. After a failed allocation the string keeps its previous
    /// text, or holds the complete new one if it fitted anyway.
    ///
    ///     CStr("abc").Insert(CStr("xy"), 1);             // "axybc"
    ///     CStr("abcdefg").Cut(2, 3);                     // "cde"
    ///     CStr("aaaaa").Replace(CStr("aa"), CStr("b"), 0, true);   // "bba"
    ///@{
    CStr& Append(CStr const& text);                       ///< Adds text at the end.
    CStr& Insert(CStr const& text, unsigned int index);   ///< Before unit `index`.
    /// The text becomes `count` units of source from index.
    CStr& CopyRange(CStr const& source, unsigned int index, unsigned int count);
    /// The `count` units at index become text.
    CStr& ReplaceRange(unsigned int index, unsigned int count, CStr const& text);
    /// Replaces the first (or every) non-overlapping occurrence of pattern at
    /// or after start. Grows through one temporary block, shrinks in place.
    CStr& Replace(CStr const& pattern, CStr const& replacement, unsigned int start,
                  bool all);
    CStr& Cut(unsigned int index, unsigned int count);   ///< Keeps only that range.
    /// Removes whitespace at both ends; pSet is a 0-terminated set, null for
    /// the default CStrUtil::s_whiteSpaceChars.
    CStr& Trim(wchar_t const* pSet = nullptr);
    CStr& TrimLeft(wchar_t const* pSet = nullptr);    ///< Trim at the start only.
    CStr& TrimRight(wchar_t const* pSet = nullptr);   ///< Trim at the end only.
    /// The work of the three trims: at the start, at the end, with the set.
    void TrimPrivate(bool start, bool end, wchar_t const* pSet);
    ///@}

    /// Replaces the text with vswprintf output (%ls wide text, %s 8-bit
    /// text). Up to 31 characters need no heap; output beyond 32,767
    /// characters, a failing conversion, no memory or a null format leave the
    /// text unchanged.
    ///
    ///     s.Format(L"%ls=%d", L"RANGE", 10);   // "RANGE=10"
    CStr& Format(wchar_t const* pFormat, ...);
    /// Format with an argument list the caller has started.
    CStr& Format(wchar_t const* pFormat, va_list args);
    /// A lone integer or nullptr argument: where va_list is a pointer type
    /// (x86-64) a literal 0 would bind to the va_list form and be read as an
    /// argument list. This exact match hands it to the variadic form instead.
    template <typename T, typename std::enable_if<std::is_integral<T>::value ||
                                                      std::is_null_pointer<T>::value,
                                                  int>::type = 0>
    CStr& Format(wchar_t const* pFormat, T value)
    {
        CStr& (CStr::*pVariadic)(wchar_t const*, ...) = &CStr::Format;
        return (this->*pVariadic)(pFormat, value);
    }

    /// Writes the capacity record behind the terminator, or drops it when
    /// capacity < length + 5.
    void MarkExtraBuffer(unsigned int capacity);
    /// 0 for 0, else the smallest 2^k >= n + 4: the time-efficient sizes.
    static unsigned int FindNextPower(unsigned int n);

    static CStr s_emptyString;   ///< Empty, no buffer; what Clear assigns.

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
