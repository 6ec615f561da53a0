// A fuzz target as a plain test program, without libFuzzer: it runs the
// target on every file of the corpus folders given, then on seeded random
// inputs (LXIBASE_FUZZ_RUNS of them, 1000 by default; LXIBASE_FUZZ_SEED picks
// another sequence). A failed check aborts the program.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i)
        for (auto const& entry : std::filesystem::directory_iterator(argv[i]))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (auto const& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> const bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());   // a block of exactly the input's size
    }
    char const* const pRuns = std::getenv("LXIBASE_FUZZ_RUNS");
    char const* const pSeed = std::getenv("LXIBASE_FUZZ_SEED");
    unsigned long const runs = pRuns != nullptr ? std::strtoul(pRuns, nullptr, 0) : 1000;
    std::mt19937 random(pSeed != nullptr ? static_cast<std::mt19937::result_type>(std::strtoul(pSeed, nullptr, 0)) : 1);
    for (unsigned long n = 0; n < runs; ++n) {
        std::vector<std::uint8_t> bytes(random() % (n % 4 == 0 ? 8192 : 256));
        for (std::uint8_t& byte : bytes)
            byte = static_cast<std::uint8_t>(random() % (n % 3 == 0 ? 8 : 256));   // small values make short choices
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu corpus inputs and %lu random ones passed\n", files.size(), runs);
    return 0;
}
