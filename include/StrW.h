// CStrW: a short-lived wchar_t copy of a CStr for one call into libc, and the
// way a CStr is passed to a "%ls" conversion. Each unit becomes one wchar_t.
//
//   s.Format(L"%ls in line %lu", CStrW(sWhere).GetDataW(), line);
#ifndef LXIBASE_STRW_H
#define LXIBASE_STRW_H

#include "LxiBaseExport.h"

class CStr;

class LXIBASE_API CStrW
{
public:
    CStrW(CStr const& text);
    virtual ~CStrW();
    CStrW(CStrW const&) = delete;
    CStrW& operator=(CStrW const&) = delete;

    wchar_t const* GetDataW() const;          // never null
    unsigned int GetLength() const;           // elements before the first 0
    bool IsEmpty() const { return GetLength() == 0; }

private:
    wchar_t* m_pData;                         // owned block of length + 1, or null
};

#endif
