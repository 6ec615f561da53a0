// Any bytes as UTF-8: LengthOfUtf16FromUtf8 gives exactly the units that
// MemcpyUtf16FromUtf8 writes, they are those of the decoding rules, and
// nothing is read at or beyond the count: the bytes sit in a block of exactly
// their size, and the units go to a block of exactly the reckoned length.
#include <cstdint>
#include <cstring>
#include <memory>

#include "FuzzCheck.h"
#include "Str.h"
#include "StrModel.h"
#include "StrUtil.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size)
{
    unsigned int const count = static_cast<unsigned int>(size);
    std::unique_ptr<unsigned char[]> const bytes(new unsigned char[size]);
    if (size != 0)
        std::memcpy(bytes.get(), pData, size);

    std::u16string const expected = lxitest::CStrModel::FromUtf8(bytes.get(), count);
    unsigned int const length = CStrUtil::LengthOfUtf16FromUtf8(bytes.get(), count);
    LXIFUZZ_CHECK(length == expected.size(), "%u units reckoned, %zu decoded", length, expected.size());
    std::unique_ptr<unsigned short[]> const units(new unsigned short[length]);
    CStrUtil::MemcpyUtf16FromUtf8(units.get(), bytes.get(), count);
    LXIFUZZ_CHECK(std::memcmp(units.get(), expected.data(), length * 2u) == 0, "%s", "decoded units differ");

    CStr text;
    text.Assign(bytes.get(), count);
    LXIFUZZ_CHECK(text.GetLength() == length && (length == 0 || std::memcmp(text.GetData(), units.get(), length * 2u) == 0),
                  "%s", "Assign differs from the decoder");
    return 0;
}
