// A fuzz target as a plain test program, without libFuzzer: the target runs on every file of the corpus folders
// given, then on LXIBASE_FUZZ_RUNS (1000) random inputs seeded by LXIBASE_FUZZ_SEED (1). A failed check aborts.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "TestUtil.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i)
        for (auto const& entry : std::filesystem::directory_iterator(argv[i]))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (auto const& file : files) {
        std::string const text = lxitest::ReadFile(file);
        std::vector<std::uint8_t> const bytes(text.begin(), text.end());   // a block of exactly the input's size
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    char const *const pRuns = std::getenv("LXIBASE_FUZZ_RUNS"), *const pSeed = std::getenv("LXIBASE_FUZZ_SEED");
    unsigned long const runs = std::strtoul(pRuns != nullptr ? pRuns : "1000", nullptr, 0);
    std::mt19937 random(static_cast<unsigned int>(std::strtoul(pSeed != nullptr ? pSeed : "1", nullptr, 0)));
    for (unsigned long n = 0; n < runs; ++n) {
        std::vector<std::uint8_t> bytes(random() % (n % 4 == 0 ? 8192 : 256));
        for (std::uint8_t& byte : bytes)
            byte = static_cast<std::uint8_t>(random() % (n % 3 == 0 ? 8 : 256));   // small values make short choices
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu corpus inputs and %lu random ones passed\n", files.size(), runs);
}
