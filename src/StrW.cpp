#include "StrW.h"

#include <cwchar>

#include "LxiOSALRuntime.h"
#include "Str.h"
#include "StrUtil.h"

CStrW::CStrW(CStr const& text) : m_pData(nullptr)
{
    unsigned int const n = text.GetLength();
    if (n == 0)
        return;
    // The source's terminator is converted with the text (count n + 1).
    m_pData = static_cast<wchar_t*>(
        CLxiOSALRuntime::Malloc((n + 1) * static_cast<unsigned int>(sizeof(wchar_t))));
    CStrUtil::MemcpyWCharFromUtf16(m_pData, text.GetData(), n + 1);
}

CStrW::~CStrW()
{
    CLxiOSALRuntime::Free(m_pData);
    m_pData = nullptr;
}

wchar_t const* CStrW::GetDataW() const
{
    static const wchar_t s_EmptyArray[1] = {0};
    return m_pData != nullptr ? m_pData : s_EmptyArray;
}

unsigned int CStrW::GetLength() const
{
    return m_pData != nullptr ? static_cast<unsigned int>(std::wcslen(m_pData)) : 0u;
}
