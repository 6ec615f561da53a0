#include "StrA.h"

#include <cstring>

#include "LxiOSALRuntime.h"
#include "Str.h"
#include "StrUtil.h"

CStrA::CStrA(CStr const& text) : m_pData(nullptr)
{
    unsigned int const n = text.GetLength();
    if (n == 0)
        return;
    // The source's terminator is converted with the text (count n + 1).
    m_pData = static_cast<char*>(CLxiOSALRuntime::Malloc(n + 1));
    CStrUtil::MemcpyAsciiFromUtf16(m_pData, text.GetData(), n + 1);
}

CStrA::~CStrA()
{
    CLxiOSALRuntime::Free(m_pData);
    m_pData = nullptr;
}

char const* CStrA::GetDataA() const
{
    static const char s_EmptyArray[1] = {0};
    return m_pData != nullptr ? m_pData : s_EmptyArray;
}

unsigned int CStrA::GetLength() const
{
    return m_pData != nullptr ? static_cast<unsigned int>(std::strlen(m_pData)) : 0u;
}
