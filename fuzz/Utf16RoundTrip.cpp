// Any code units, lone and paired surrogates included, survive UTF-16 ->
// UTF-8 -> UTF-16 unchanged, each side sized by its length function in a
// block of exactly that size.
#include <cstdint>
#include <cstring>
#include <memory>

#include "FuzzCheck.h"
#include "StrUtil.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size)
{
    unsigned int const count = static_cast<unsigned int>(size / 2);
    std::unique_ptr<unsigned short[]> const units(new unsigned short[count]);
    if (count != 0)
        std::memcpy(units.get(), pData, count * 2u);

    unsigned int const bytes = CStrUtil::LengthOfUtf8FromUtf16(units.get(), count);
    unsigned int expectedBytes = 0;
    for (unsigned int i = 0; i < count; ++i)
        expectedBytes += units[i] < 0x80u ? 1u : units[i] < 0x800u ? 2u : 3u;
    LXIFUZZ_CHECK(bytes == expectedBytes, "%u bytes, expected %u", bytes, expectedBytes);
    std::unique_ptr<unsigned char[]> const utf8(new unsigned char[bytes]);
    CStrUtil::MemcpyUtf8FromUtf16(utf8.get(), units.get(), count);

    unsigned int const back = CStrUtil::LengthOfUtf16FromUtf8(utf8.get(), bytes);
    LXIFUZZ_CHECK(back == count, "%u units back from %u", back, count);
    std::unique_ptr<unsigned short[]> const decoded(new unsigned short[back]);
    CStrUtil::MemcpyUtf16FromUtf8(decoded.get(), utf8.get(), bytes);
    LXIFUZZ_CHECK(std::memcmp(decoded.get(), units.get(), count * 2u) == 0, "%s", "the units changed");
    return 0;
}
