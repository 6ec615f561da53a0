// A fuzz target as a plain test program, no libFuzzer needed: it runs the
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
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* pData, std::size_t size);

namespace {

unsigned long Setting(char const* pName, unsigned long fallback)
{
    char const* const pValue = std::getenv(pName);
    return pValue != nullptr ? std::strtoul(pValue, nullptr, 0) : fallback;
}

void Run(std::string const& bytes)
{
    std::vector<std::uint8_t> const data(bytes.begin(), bytes.end());   // a block of exactly this size
    LLVMFuzzerTestOneInput(data.data(), data.size());
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i)
        for (auto const& entry : std::filesystem::directory_iterator(argv[i]))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (auto const& file : files) {
        std::ifstream in(file, std::ios::binary);
        Run(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    unsigned long const runs = Setting("LXIBASE_FUZZ_RUNS", 1000);
    std::mt19937 random(static_cast<std::mt19937::result_type>(Setting("LXIBASE_FUZZ_SEED", 1)));
    for (unsigned long n = 0; n < runs; ++n) {
        std::string bytes(random() % (n % 4 == 0 ? 8192 : 256), '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random() % (n % 3 == 0 ? 8 : 256));   // small values make short choices
        Run(bytes);
    }
    std::printf("%zu corpus inputs and %lu random ones passed\n", files.size(), runs);
    return 0;
}
