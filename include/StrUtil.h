// CStrUtil: static conversions between UTF-16 code units and 8-bit, wchar_t
// and UTF-8 text, and the two character constants of the string classes.
//
// Every conversion maps one UTF-16 code unit to one character: surrogates are
// carried unit by unit (CESU-8 on the UTF-8 side), never combined. What the
// target cannot hold becomes "?". Counts are elements of the source; nothing
// stops at or appends a NUL.
#ifndef LXIBASE_STRUTIL_H
#define LXIBASE_STRUTIL_H

#include "LxiBaseExport.h"

class CStr;

class LXIBASE_API CStrUtil
{
public:
    CStrUtil() = delete;

    static unsigned int Utf16LengthToNrBytes(unsigned int units) { return units * 2u; }
    static unsigned int StrlenUtf16(unsigned short const* pText);
    static unsigned int StrlenUtf16(unsigned short const* pText, unsigned int limit);

    static void MemcpyUtf16FromAscii(unsigned short* pTarget, char const* pSource,
                                     unsigned int count);
    static void MemcpyAsciiFromUtf16(char* pTarget, unsigned short const* pSource,
                                     unsigned int count);
    static void MemcpyWCharFromUtf16(wchar_t* pTarget, unsigned short const* pSource,
                                     unsigned int count);
    static void MemcpyUtf16FromWChar(unsigned short* pTarget, wchar_t const* pSource,
                                     unsigned int count);
    // Writes exactly LengthOfUtf8FromUtf16(pSource, count) bytes.
    static void MemcpyUtf8FromUtf16(unsigned char* pTarget, unsigned short const* pSource,
                                    unsigned int count);
    // Writes exactly LengthOfUtf16FromUtf8(pSource, count) units; reads no
    // byte at or beyond count.
    static void MemcpyUtf16FromUtf8(unsigned short* pTarget, unsigned char const* pSource,
                                    unsigned int count);
    static unsigned int LengthOfUtf8FromUtf16(unsigned short const* pSource, unsigned int count);
    static unsigned int LengthOfUtf16FromUtf8(unsigned char const* pSource, unsigned int count);

    static bool IsASCIICharacter(unsigned short unit) { return unit < 0x80u; }
    static bool IsASCIICharacter(unsigned char byte) { return byte < 0x80u; }
    static bool Is2ByteCharacter(unsigned short unit) { return unit < 0x800u; }
    static bool Is2ByteCharacter(unsigned char byte) { return (byte & 0xE0u) == 0xC0u; }
    static bool Is3ByteCharacter(unsigned char byte) { return (byte & 0xF0u) == 0xE0u; }

    static const unsigned short s_UtfNulChar;   // the UTF-16 terminator, 0
    static const char s_replaceChar;            // "?", for what a target cannot hold

    // Whitespace. A set is a 0-terminated array of wchar_t; a null set means
    // s_whiteSpaceChars. A caller's set replaces the default, it does not add to it.
    static const wchar_t s_whiteSpaceChars[7];  // blank, HT, LF, VT, FF, CR, 0

    // The unit is in the set; 0 never is.
    static bool IsWhiteSpace(unsigned short unit, wchar_t const* pSet);
    // First of the count units whose IsWhiteSpace equals wanted, or null.
    static unsigned short const* ScanWhiteSpaceForward(unsigned short const* pText,
                                                       unsigned int count,
                                                       wchar_t const* pSet, bool wanted);
    // Last of the count units whose IsWhiteSpace equals wanted, or null.
    static unsigned short const* ScanWhiteSpaceReverse(unsigned short const* pText,
                                                       unsigned int count,
                                                       wchar_t const* pSet, bool wanted);

    // Booleans and integers as text.
    static CStr const& ConvertBoolean(bool value);    // s_sTrue or s_sFalse itself
    static bool ConvertToBoolean(CStr const& text);   // exactly one of the nine true words
    // Reads a leading decimal, 0x hex or 0 octal number after optional
    // whitespace and sign; what follows it is ignored. False, with value
    // untouched, when there is no number or it does not fit an int.
    static bool ConvertToInteger(CStr const& text, int& value);

    // The words that read as true, tried in this order, and the word for false.
    static CStr s_sTrue;                        // "true"
    static CStr s_sTrueAlt1;                    // "TRUE"
    static CStr s_sTrueAlt2;                    // "True"
    static CStr s_sTrueAlt3;                    // "ON"
    static CStr s_sTrueAlt4;                    // "On"
    static CStr s_sTrueAlt5;                    // "on"
    static CStr s_sTrueAlt6;                    // "YES"
    static CStr s_sTrueAlt7;                    // "Yes"
    static CStr s_sTrueAlt8;                    // "yes"
    static CStr s_sFalse;                       // "false"
};

#endif
