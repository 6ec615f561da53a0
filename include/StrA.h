// CStrA: a short-lived 8-bit copy of a CStr for one call into libc.
// Units from 0x80 up become "?". The copy is taken once, at construction.
//
//   CStrA path(sFileName);
//   FILE* f = fopen(path.GetDataA(), "rb");
#ifndef LXIBASE_STRA_H
#define LXIBASE_STRA_H

#include "LxiBaseExport.h"

class CStr;

class LXIBASE_API CStrA
{
public:
    CStrA(CStr const& text);
    virtual ~CStrA();
    CStrA(CStrA const&) = delete;
    CStrA& operator=(CStrA const&) = delete;

    char const* GetDataA() const;             // never null
    unsigned int GetLength() const;           // bytes before the first 0
    bool IsEmpty() const { return GetLength() == 0; }

private:
    char* m_pData;                            // owned block of length + 1, or null
};

#endif
