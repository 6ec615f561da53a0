// CLogDecoder: the bytes of the stack's error log to the UTF-8 lines that
// lxi-errorlog prints. The log is UTF-16 little-endian behind the mark FF FE,
// one line per error, each ended by a line feed.
//
// What is printed for a unit: text as UTF-8, a surrogate pair as one 4-byte
// sequence, tab and line feed as they are; a lone surrogate and every other
// control character (C0, DEL, C1: NUL, escape sequences, CR) as "?", so that
// nothing in a log reaches the terminal as a command. Every printed line ends
// with a line feed. A last line that the log cut short (no line feed, or even
// half a code unit, as a writer killed mid-line leaves it) is printed with
// "[cut short]" at its end.
//
//   std::string out;
//   CLogDecoder::Decode(pBytes, count, out);   // LOG_OK: out holds every line
#ifndef LXIBASE_TOOLS_LOGDECODER_H
#define LXIBASE_TOOLS_LOGDECODER_H

#include <cstddef>
#include <string>
#include <vector>

enum enumLogStatus
{
    LOG_OK = 0,
    LOG_NO_MARK = 1       // the bytes do not start with FF FE
};

class CLogDecoder
{
public:
    // A whole log: out gets every line of it (nothing unless LOG_OK). Any
    // bytes are accepted.
    static enumLogStatus Decode(unsigned char const* pBytes, std::size_t count, std::string& out);

    // The next bytes of a log being read piece by piece, the first two being
    // the mark: appends each line they complete. A line or code unit they
    // leave unfinished waits for the next call. LOG_NO_MARK once the first two
    // bytes are known not to be the mark (out then gets nothing).
    enumLogStatus Feed(unsigned char const* pBytes, std::size_t count, std::string& out);
    // The log has ended: appends its unfinished last line, if any, marked as
    // cut short. Nothing is appended when the log ended before its whole mark
    // (LOG_NO_MARK).
    enumLogStatus Finish(std::string& out);
    void Reset();                              // a new log, from its first byte

    // Appends units as UTF-8, shown as above.
    static void AppendUtf8(unsigned short const* pUnits, std::size_t count, std::string& out);

    static char const s_cutShort[];            // "[cut short]", the end of a cut last line

private:
    unsigned int m_markBytes = 0;              // bytes of the mark seen, up to 2
    int m_pendingByte = -1;                    // low byte of an unfinished unit
    std::vector<unsigned short> m_line;        // units of the unfinished line
};

#endif
