/// \class CStrUtil
/// Static conversions between UTF-16 code units and 8-bit, wchar_t and UTF-8
/// text, the whitespace scans, booleans and integers as text, and the
/// constants of the string classes.
///
/// Every conversion maps one UTF-16 code unit to one character: surrogates are
/// carried unit by unit (CESU-8 on the UTF-8 side), never combined. What the
/// target cannot hold becomes "?". Counts are elements of the source; nothing
/// stops at or appends a NUL, and a null pointer makes a conversion do
/// nothing. Each is one pass that allocates nothing; any thread may call any.
///
///     unsigned short aUnits[] = {0x41, 0xE9};            // "A", U+00E9
///     CStrUtil::LengthOfUtf8FromUtf16(aUnits, 2);        // 3: 41 C3 A9
///     int value = 0;
///     CStrUtil::ConvertToInteger(CStr(" 0x1F;"), value); // true, 31
///     CStrUtil::ConvertToBoolean(CStr("On"));            // true; "oN" is false
#ifndef LXIBASE_STRUTIL_H
#define LXIBASE_STRUTIL_H

#include "LxiBaseExport.h"

class CStr;

class LXIBASE_API CStrUtil
{
public:
    CStrUtil() = delete;   ///< Static members only.

    /// Bytes of `units` code units: units * 2.
    static unsigned int Utf16LengthToNrBytes(unsigned int units) { return units * 2u; }
    /// Units before the first 0; 0 for null.
    static unsigned int StrlenUtf16(unsigned short const* pText);
    /// Units before the first 0, at most limit; 0 for null.
    static unsigned int StrlenUtf16(unsigned short const* pText, unsigned int limit);

    /// Each byte becomes the unit of the same value (0xE9 gives U+00E9).
    static void MemcpyUtf16FromAscii(unsigned short* pTarget, char const* pSource,
                                     unsigned int count);
    /// Each unit becomes one byte; from 0x80 up "?".
    static void MemcpyAsciiFromUtf16(char* pTarget, unsigned short const* pSource,
                                     unsigned int count);
    /// Each unit becomes one wchar_t of the same value.
    static void MemcpyWCharFromUtf16(wchar_t* pTarget, unsigned short const* pSource,
                                     unsigned int count);
    /// Each wchar_t becomes one unit; above U+FFFF "?".
    static void MemcpyUtf16FromWChar(unsigned short* pTarget, wchar_t const* pSource,
                                     unsigned int count);
    /// Each unit as 1 to 3 bytes of UTF-8; writes exactly
    /// LengthOfUtf8FromUtf16(pSource, count) bytes.
    static void MemcpyUtf8FromUtf16(unsigned char* pTarget, unsigned short const* pSource,
                                    unsigned int count);
    /// Decodes 1- to 3-byte sequences (any other byte gives "?"); writes exactly
    /// LengthOfUtf16FromUtf8(pSource, count) units and reads no byte at or
    /// beyond count.
    static void MemcpyUtf16FromUtf8(unsigned short* pTarget, unsigned char const* pSource,
                                    unsigned int count);
    /// Bytes that MemcpyUtf8FromUtf16 writes for these units.
    static unsigned int LengthOfUtf8FromUtf16(unsigned short const* pSource, unsigned int count);
    /// Units that MemcpyUtf16FromUtf8 writes for these bytes.
    static unsigned int LengthOfUtf16FromUtf8(unsigned char const* pSource, unsigned int count);

    static bool IsASCIICharacter(unsigned short unit) { return unit < 0x80u; }   ///< Below 0x80.
    static bool IsASCIICharacter(unsigned char byte) { return byte < 0x80u; }    ///< Below 0x80.
    /// Encodes in two UTF-8 bytes or fewer: below 0x800.
    static bool Is2ByteCharacter(unsigned short unit) { return unit < 0x800u; }
    /// Leads a 2-byte UTF-8 sequence: 0xC0 to 0xDF.
    static bool Is2ByteCharacter(unsigned char byte) { return (byte & 0xE0u) == 0xC0u; }
    /// Leads a 3-byte UTF-8 sequence: 0xE0 to 0xEF.
    static bool Is3ByteCharacter(unsigned char byte) { return (byte & 0xF0u) == 0xE0u; }

    static const unsigned short s_UtfNulChar;   ///< The UTF-16 terminator, 0.
    static const char s_replaceChar;            ///< "?", for what a target cannot hold.

    /// The default whitespace set: blank, HT, LF, VT, FF, CR, then the 0 that
    /// ends it. A set is a 0-terminated array of wchar_t; a null set means
    /// this one, and a caller's set replaces it rather than adding to it.
    static const wchar_t s_whiteSpaceChars[7];

    /// The unit is in the set; 0 never is.
    static bool IsWhiteSpace(unsigned short unit, wchar_t const* pSet);
    /// First of the count units whose IsWhiteSpace equals wanted, or null.
    static unsigned short const* ScanWhiteSpaceForward(unsigned short const* pText,
                                                       unsigned int count,
                                                       wchar_t const* pSet, bool wanted);
    /// Last of the count units whose IsWhiteSpace equals wanted, or null.
    static unsigned short const* ScanWhiteSpaceReverse(unsigned short const* pText,
                                                       unsigned int count,
                                                       wchar_t const* pSet, bool wanted);

    static CStr const& ConvertBoolean(bool value);    ///< s_sTrue or s_sFalse itself.
    /// Exactly one of the nine true words; any other text, "false" included,
    /// is false.
    static bool ConvertToBoolean(CStr const& text);
    /// Reads a leading decimal, 0x hex or 0 octal number after optional
    /// whitespace and sign; what follows it is ignored. False, with value
    /// untouched, when there is no number or it does not fit an int.
    static bool ConvertToInteger(CStr const& text, int& value);

    /// \name The words that read as true, tried in this order, and the word for false
    ///@{
    static CStr s_sTrue;                        ///< "true"
    static CStr s_sTrueAlt1;                    ///< "TRUE"
    static CStr s_sTrueAlt2;                    ///< "True"
    static CStr s_sTrueAlt3;                    ///< "ON"
    static CStr s_sTrueAlt4;                    ///< "On"
    static CStr s_sTrueAlt5;                    ///< "on"
    static CStr s_sTrueAlt6;                    ///< "YES"
    static CStr s_sTrueAlt7;                    ///< "Yes"
    static CStr s_sTrueAlt8;                    ///< "yes"
    static CStr s_sFalse;                       ///< "false"
    ///@}
};

#endif
