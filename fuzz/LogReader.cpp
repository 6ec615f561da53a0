// lxi-errorlog's reader on any bytes: a log without the mark gives nothing; any other gives valid UTF-8 without control
// characters but tab and line feed, one line per line feed and one more, marked as cut short, for what follows the
// last; fed in pieces it gives the same.
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
    for (std::size_t i = 0, size = 1; i < text.size(); i += size) {
        auto const byte = [&](std::size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u; };
        unsigned int const lead = byte(0);
        size = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
        unsigned int code = size == 1 ? lead : lead & (0x7Fu >> size);
        for (std::size_t k = 1; k < size; ++k)
            code = (byte(k) & 0xC0u) == 0x80u ? code << 6 | (byte(k) & 0x3Fu) : 0x110000u;
        bool const overlong = code < (size == 3 ? 0x800u : size == 4 ? 0x10000u : 0u);
        if (size == 0 || overlong || code > 0x10FFFFu || (code >= 0xD800u && code <= 0xDFFFu) ||
            (code < 0x20u && code != '\t' && code != '\n') || (code >= 0x7Fu && code < 0xA0u))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pInput, std::size_t inputSize)
{
    std::vector<std::uint8_t> log;
    if (inputSize != 0 && (pInput[0] & 1) != 0)   // an odd first byte stands for the mark: random bytes make logs too
        log = {0xFF, 0xFE};
    log.insert(log.end(), pInput + (log.empty() ? 0 : 1), pInput + inputSize);
    std::size_t const size = log.size();
    std::string out;
    enumLogStatus const status = CLogDecoder::Decode(log.data(), size, out);
    bool const marked = size >= 2 && log[0] == 0xFF && log[1] == 0xFE;
    LXIFUZZ_CHECK((status == LOG_OK) == marked && (marked || out.empty()), "status %d", status);
    LXIFUZZ_CHECK(Printable(out), "%s", "not printable UTF-8");
    bool const cut = marked && size > 2 && (size % 2 != 0 || log[size - 2] != '\n' || log[size - 1] != 0);
    long lines = cut ? 1 : 0;   // one per line feed of the log, one for what follows the last
    for (std::size_t i = 2; i + 1 < size; i += 2)
        lines += log[i] == '\n' && log[i + 1] == 0 ? 1 : 0;
    LXIFUZZ_CHECK(!marked || std::count(out.begin(), out.end(), '\n') == lines, "%ld lines wanted", lines);
    std::string const tail = std::string(CLogDecoder::s_cutShort) + "\n";
    LXIFUZZ_CHECK(!cut || (out.size() >= tail.size() && out.compare(out.size() - tail.size(), tail.size(), tail) == 0),
                  "%s", "a cut last line is not shown as such");

    CLogDecoder decoder;   // the same bytes in pieces of 1 to 16 bytes, as --follow reads them
    std::string pieces;
    enumLogStatus fed = LOG_OK;
    for (std::size_t at = 0, n = 0; at < size && fed == LOG_OK; at += n) {
        n = std::min<std::size_t>(size - at, 1 + log[at] % 16);
        fed = decoder.Feed(log.data() + at, n, pieces);
    }
    fed = fed == LOG_OK ? decoder.Finish(pieces) : fed;
    LXIFUZZ_CHECK(fed == status && (status != LOG_OK || pieces == out), "%s", "pieces differ from the whole");
    return 0;
}
