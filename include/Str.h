// CStr: the UTF-16 text value of the LXI stack.
//
// A CStr holds 16-bit code units followed by a terminating 0 and knows its
// length without scanning. It either owns a heap buffer or works inside a
// buffer its owner attached, so short texts need no heap at all:
//
//   unsigned short m_aName[32];      // declared directly before the string
//   CStr           m_sName;          // built with (m_aName, 31, true, false)
//   ...
//   m_sName.Assign("DMM-34461A");     // written into m_aName, no allocation
//   CStrW wide(m_sName);              // wchar_t copy for one libc call
//
// Nothing here throws or reports errors; a failed allocation leaves the
// string valid and holding its previous text.
#ifndef LXIBASE_STR_H
#define LXIBASE_STR_H

class CStr
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
    // the returned capacity is below the request: callers write only when
    // the result covers what they need.
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

    void MarkExtraBuffer(unsigned int capacity);   // writes or drops the record
    static unsigned int FindNextPower(unsigned int n);   // smallest 2^k >= n + 4

    static CStr s_emptyString;

private:
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
