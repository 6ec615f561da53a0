#include "LogDecoder.h"

#include <cassert>

#include "LxiOSALRuntime.h"
#include "StrUtil.h"

namespace {

unsigned short const kLineFeed = 0x000A;

bool IsHighSurrogate(unsigned short unit) { return unit >= 0xD800u && unit <= 0xDBFFu; }
bool IsLowSurrogate(unsigned short unit) { return unit >= 0xDC00u && unit <= 0xDFFFu; }

// Control characters other than tab and line feed would reach the terminal
// as commands, not text.
bool IsControl(unsigned short unit)
{
    return (unit < 0x20u && unit != 0x09u && unit != kLineFeed) || (unit >= 0x7Fu && unit < 0xA0u);
}

}  // namespace

char const CLogDecoder::s_cutShort[] = "[cut short]";

void CLogDecoder::AppendUtf8(unsigned short const* pUnits, std::size_t count, std::string& out)
{
    // Runs of ordinary units go through CStrUtil, which carries surrogates
    // unit by unit; pairs, lone surrogates and controls are done here.
    std::size_t runStart = 0;
    auto const flushRun = [&](std::size_t runEnd) {
        if (runEnd == runStart)
            return;
        unsigned int const units = static_cast<unsigned int>(runEnd - runStart);
        unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(pUnits + runStart, units);
        std::size_t const at = out.size();
        out.resize(at + bytes);
        CStrUtil::MemcpyUtf8FromUtf16(reinterpret_cast<unsigned char*>(&out[at]), pUnits + runStart,
                                      units);
    };
    for (std::size_t i = 0; i < count; ++i) {
        unsigned short const unit = pUnits[i];
        if (!IsControl(unit) && !IsHighSurrogate(unit) && !IsLowSurrogate(unit))
            continue;
        flushRun(i);
        if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(pUnits[i + 1])) {
            unsigned long const codePoint =
                0x10000ul + ((unit - 0xD800ul) << 10) + (pUnits[i + 1] - 0xDC00ul);
            out += static_cast<char>(0xF0 | (codePoint >> 18));
            out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (codePoint & 0x3F));
            ++i;
        } else {
            out += CStrUtil::s_replaceChar;
        }
        runStart = i + 1;
    }
    flushRun(count);
}

enumLogStatus CLogDecoder::Feed(unsigned char const* pBytes, std::size_t count, std::string& out)
{
    assert(pBytes != nullptr || count == 0);
    std::size_t i = 0;
    for (; i < count && m_markBytes < sizeof(CLxiOSALRuntime::s_ByteOrderMarkUtf16); ++i) {
        if (pBytes[i] != CLxiOSALRuntime::s_ByteOrderMarkUtf16[m_markBytes])
            return LOG_NO_MARK;
        ++m_markBytes;
    }
    for (; i < count; ++i) {
        if (m_pendingByte < 0) {
            m_pendingByte = pBytes[i];
            continue;
        }
        unsigned short const unit =
            static_cast<unsigned short>(m_pendingByte | (pBytes[i] << 8));   // little-endian
        m_pendingByte = -1;
        m_line.push_back(unit);
        if (unit == kLineFeed) {
            AppendUtf8(m_line.data(), m_line.size(), out);
            m_line.clear();
        }
    }
    return LOG_OK;
}

enumLogStatus CLogDecoder::Finish(std::string& out)
{
    if (m_markBytes < sizeof(CLxiOSALRuntime::s_ByteOrderMarkUtf16))
        return LOG_NO_MARK;
    if (!m_line.empty() || m_pendingByte >= 0) {   // half a unit is dropped
        AppendUtf8(m_line.data(), m_line.size(), out);
        out += m_line.empty() ? "" : " ";
        out += s_cutShort;
        out += '\n';
    }
    m_line.clear();
    m_pendingByte = -1;
    return LOG_OK;
}

void CLogDecoder::Reset()
{
    m_markBytes = 0;
    m_pendingByte = -1;
    m_line.clear();
}

enumLogStatus CLogDecoder::Decode(unsigned char const* pBytes, std::size_t count, std::string& out)
{
    CLogDecoder decoder;
    out.clear();
    enumLogStatus status = decoder.Feed(pBytes, count, out);
    if (status == LOG_OK)
        status = decoder.Finish(out);
    if (status != LOG_OK)
        out.clear();
    return status;
}
