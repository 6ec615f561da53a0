/// \class CStrW
/// A short-lived wchar_t copy of a CStr for one call into libc, and the way a
/// CStr is passed to a "%ls" conversion. Each unit becomes one wchar_t
/// (surrogates unit by unit). Made like CStrA: once, in one allocation.
///
///     s.Format(L"%ls in line %lu", CStrW(sWhere).GetDataW(), line);
#ifndef LXIBASE_STRW_H
#define LXIBASE_STRW_H

#include "LxiBaseExport.h"

class CStr;

class LXIBASE_API CStrW
{
public:
    CStrW(CStr const& text);                  ///< Copies text as it is now.
    virtual ~CStrW();                         ///< Frees the copy.
    CStrW(CStrW const&) = delete;             ///< One owner per copy.
    CStrW& operator=(CStrW const&) = delete;  ///< One owner per copy.

    wchar_t const* GetDataW() const;          ///< The terminated copy; never null.
    unsigned int GetLength() const;           ///< Elements before the first 0.
    bool IsEmpty() const { return GetLength() == 0; }   ///< No element before the first 0.

private:
    wchar_t* m_pData;                         // owned block of length + 1, or null
};

#endif
