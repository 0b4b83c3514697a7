// Runs a fuzz target without libFuzzer: every file named on the command line, then a fixed set of
// seeded pseudo-random inputs of many sizes, some of them mutations of a valid-looking prefix.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Each target gives a seed input that looks like what it parses, so mutations reach deep code.
std::vector<std::uint8_t> FuzzSeedInput();

namespace
{
std::uint64_t g_state = 0x2545F4914F6CDD1Dull;
std::uint64_t NextRandom()
{
    g_state ^= g_state << 13;
    g_state ^= g_state >> 7;
    g_state ^= g_state << 17;
    return g_state;
}
} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    const std::vector<std::uint8_t> seed = FuzzSeedInput();
    constexpr int kRuns = 400;
    for (int run = 0; run < kRuns; ++run)
    {
        std::vector<std::uint8_t> input;
        if (run % 2 == 0 && !seed.empty())
        {
            input = seed;
            input.resize(NextRandom() % (seed.size() + 64));
            const std::size_t flips = 1 + NextRandom() % 16;
            for (std::size_t f = 0; f < flips && !input.empty(); ++f)
                input[NextRandom() % input.size()] = static_cast<std::uint8_t>(NextRandom());
        }
        else
        {
            input.resize(NextRandom() % 4096);
            for (auto& b : input)
                b = static_cast<std::uint8_t>(NextRandom());
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%d inputs run\n", kRuns + argc - 1);
    return 0;
}
