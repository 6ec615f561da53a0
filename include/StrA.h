/// \class CStrA
/// A short-lived 8-bit copy of a CStr for one call into libc. Units from 0x80
/// up become "?". The copy is taken once, at construction, in one allocation
/// of exactly its size (none for an empty text); without memory it is the
/// copy of an empty text.
///
///     CStrA path(sFileName);
///     FILE* f = fopen(path.GetDataA(), "rb");
#ifndef LXIBASE_STRA_H
#define LXIBASE_STRA_H

#include "LxiBaseExport.h"

class CStr;

class LXIBASE_API CStrA
{
public:
    CStrA(CStr const& text);                  ///< Copies text as it is now.
    virtual ~CStrA();                         ///< Frees the copy.
    CStrA(CStrA const&) = delete;             ///< One owner per copy.
    CStrA& operator=(CStrA const&) = delete;  ///< One owner per copy.

    char const* GetDataA() const;             ///< The NUL-terminated copy; never null.
    unsigned int GetLength() const;           ///< Bytes before the first 0.
    bool IsEmpty() const { return GetLength() == 0; }   ///< No byte before the first 0.

private:
    char* m_pData;                            // owned block of length + 1, or null
};

#endif
