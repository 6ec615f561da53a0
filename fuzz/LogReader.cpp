// lxi-errorlog's reader on any bytes: a log without the mark gives nothing;
// any other gives valid UTF-8 without control characters but tab and line
// feed, one line per line feed of the log and one more, marked as cut short,
// for what follows the last; fed in pieces it gives the same.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "LogDecoder.h"

namespace {

// Valid UTF-8 of characters that print (tab and line feed allowed).
bool Printable(std::string const& text)
{
    for (std::size_t i = 0; i < text.size();) {
        auto const byte = [&](std::size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u; };
        unsigned int const lead = byte(0);
        std::size_t const size = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        unsigned int code = size == 1 ? lead : lead & (0x7Fu >> size);
        for (std::size_t k = 1; k < size; ++k)
            code = (byte(k) & 0xC0u) == 0x80u ? code << 6 | (byte(k) & 0x3Fu) : 0x110000u;
        bool const shortest = size < 3 || code >= (size == 3 ? 0x800u : 0x10000u);
        if (size == 0 || !shortest || code > 0x10FFFFu || (code >= 0xD800u && code <= 0xDFFFu) ||
            (code < 0x20u && code != '\t' && code != '\n') || (code >= 0x7Fu && code < 0xA0u))
            return false;
        i += size;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pInput, std::size_t inputSize)
{
    // An input whose first byte is odd stands for a log behind the mark, so
    // that random bytes make logs too.
    std::vector<std::uint8_t> log;
    if (inputSize != 0 && (pInput[0] & 1) != 0)
        log = {0xFF, 0xFE};
    log.insert(log.end(), pInput + (log.empty() ? 0 : 1), pInput + inputSize);
    std::uint8_t const* const pData = log.data();
    std::size_t const size = log.size();
    std::string out;
    enumLogStatus const status = CLogDecoder::Decode(pData, size, out);
    bool const marked = size >= 2 && pData[0] == 0xFF && pData[1] == 0xFE;
    LXIFUZZ_CHECK((status == LOG_OK) == marked && (marked || out.empty()), "status %d", status);
    LXIFUZZ_CHECK(Printable(out), "%s", "not printable UTF-8");
    std::size_t feeds = 0, end = 2;   // line feeds of the log, and where its last line starts
    for (std::size_t i = 2; i + 1 < size; i += 2)
        if (pData[i] == '\n' && pData[i + 1] == 0) {
            ++feeds;
            end = i + 2;
        }
    bool const cut = marked && end < size;
    std::size_t lines = 0;
    for (char c : out)
        lines += c == '\n' ? 1 : 0;
    LXIFUZZ_CHECK(!marked || lines == feeds + (cut ? 1 : 0), "%zu lines for %zu line feeds", lines, feeds);
    std::string const tail = std::string(CLogDecoder::s_cutShort) + "\n";
    LXIFUZZ_CHECK(!cut || (out.size() >= tail.size() && out.compare(out.size() - tail.size(), tail.size(), tail) == 0),
                  "%s", "a cut last line is not shown as such");

    // The same bytes in pieces of 1 to 16 bytes, as --follow reads them.
    CLogDecoder decoder;
    std::string pieces;
    enumLogStatus fed = LOG_OK;
    for (std::size_t at = 0; at < size && fed == LOG_OK;) {
        std::size_t const n = std::min<std::size_t>(size - at, 1 + pData[at] % 16);
        fed = decoder.Feed(pData + at, n, pieces);
        at += n;
    }
    if (fed == LOG_OK)
        fed = decoder.Finish(pieces);
    LXIFUZZ_CHECK(fed == status && (status != LOG_OK || pieces == out), "%s", "pieces differ from the whole");
    return 0;
}
