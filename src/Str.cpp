#include "Str.h"

#include <cassert>
#include <cstring>
#include <cwchar>

#include "LxiOSALRuntime.h"
#include "StrUtil.h"

// Built first among the library's static strings, destroyed last: Clear()
// may be reached from the destructors of later ones.
CStr CStr::s_emptyString __attribute__((init_priority(1000)));

namespace {

std::size_t Bytes(unsigned int units)
{
    return CStrUtil::Utf16LengthToNrBytes(units);
}

}  // namespace

CStr::CStr() : m_lengthAndFlags(0), m_pData(nullptr) {}

CStr::CStr(char const* pText) : m_lengthAndFlags(0), m_pData(nullptr)
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
    MarkExtraBuffer(capacity);
}

void CStr::Clear()
{
    Assign(s_emptyString);
}

bool CStr::Reserve(unsigned int count, unsigned int& capacity)
{
    capacity = Resize(count, false);
    return capacity >= count;
}

void CStr::Terminate(unsigned int length, unsigned int capacity)
{
    if (m_pData != nullptr)
        m_pData[length] = CStrUtil::s_UtfNulChar;
    SetLength(length);
    MarkExtraBuffer(capacity);
}

CStr& CStr::Assign(CStr const& other)
{
    if (&other == this)
        return *this;
    unsigned int const n = other.GetLength();
    unsigned int capacity;
    if (!Reserve(n, capacity))
        return *this;
    if (n != 0)
        std::memmove(m_pData, other.m_pData, Bytes(n));
    Terminate(n, capacity);
    return *this;
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
    // A source inside our own buffer is no longer than our text, so Resize
    // keeps the block in place and memmove handles the overlap.
    unsigned int capacity;
    if (!Reserve(count, capacity))
        return *this;
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
    unsigned int capacity;
    if (!Reserve(count, capacity))
        return *this;
    CStrUtil::MemcpyUtf16FromWChar(m_pData, pText, count);
    Terminate(count, capacity);
    return *this;
}

CStr& CStr::Assign(unsigned char const* pText, unsigned int count)
{
    unsigned int const n = CStrUtil::LengthOfUtf16FromUtf8(pText, count);
    unsigned int capacity;
    if (!Reserve(n, capacity))
        return *this;
    CStrUtil::MemcpyUtf16FromUtf8(m_pData, pText, count);
    Terminate(n, capacity);
    return *this;
}

unsigned int CStr::Resize(unsigned int length, bool force)
{
    unsigned int const L = GetLength();
    unsigned int target = length > L ? length : L;
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
        if (m_pData != nullptr && L != 0)
            std::memcpy(pBlock, m_pData, Bytes(L));
        pBlock[L] = CStrUtil::s_UtfNulChar;
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
    unsigned int const L = GetLength();
    if ((m_lengthAndFlags & FLAG_EXTRA_BUFFER) != 0) {
        assert(m_pData != nullptr);
        auto const* pRecord = reinterpret_cast<unsigned char const*>(m_pData + L + 1);
        return (static_cast<unsigned int>(pRecord[0]) << 24) |
               (static_cast<unsigned int>(pRecord[1]) << 16) |
               (static_cast<unsigned int>(pRecord[2]) << 8) | static_cast<unsigned int>(pRecord[3]);
    }
    return m_pData != nullptr ? L : 0u;
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
    unsigned int const L = GetLength();
    if (m_pData == nullptr || capacity < L + 5u) {
        m_lengthAndFlags &= ~FLAG_EXTRA_BUFFER;
        return;
    }
    // Big-endian whatever the host order, so the record reads the same on
    // every target; it lives in the two units behind the terminator.
    auto* pRecord = reinterpret_cast<unsigned char*>(m_pData + L + 1);
    pRecord[0] = static_cast<unsigned char>(capacity >> 24);
    pRecord[1] = static_cast<unsigned char>(capacity >> 16);
    pRecord[2] = static_cast<unsigned char>(capacity >> 8);
    pRecord[3] = static_cast<unsigned char>(capacity);
    m_lengthAndFlags |= FLAG_EXTRA_BUFFER;
}

unsigned int CStr::FindNextPower(unsigned int n)
{
    if (n == 0)
        return 0;
    if (n > 0x80000000u - 4u)
        return 0x80000000u;   // the largest power a 32-bit size can carry
    unsigned int power = 1;
    while (power < n + 4u)
        power <<= 1;
    return power;
}
