// Sequences of CStr operations drawn from the input bytes, each step checked
// against std::u16string work (tests/StrCheck.h), failed allocations included.
#include <cstdint>

#include "FuzzCheck.h"
#include "StrCheck.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size)
{
    // Each choice below n takes the next one, two or four bytes; 0 once spent.
    lxitest::CStrRun run([&](unsigned int n) {
        unsigned int value = 0;
        for (unsigned long long range = 1; range < n && size != 0; range <<= 8, --size)
            value = value << 8 | *pData++;
        return value;
    });
    while (size != 0) {
        std::string const error = run.Step();
        LXIFUZZ_CHECK(error.empty(), "%s", error.c_str());
    }
    return 0;
}
