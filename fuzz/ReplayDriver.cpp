// Runs a fuzz target without libFuzzer: every file named on the command line, each seed input of
// the target, then a fixed set of pseudo-random inputs of many sizes, most of them mutations of a
// seed. "--write-seeds DIR" instead writes the seed inputs to DIR/seed-1, seed-2, ... (the start of
// the target's fuzzing corpus).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Each target gives seed inputs that look like what it reads, so mutations reach deep code.
std::vector<std::vector<std::uint8_t>> FuzzSeedInputs();

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

int WriteSeeds(const std::string& dir)
{
    const std::vector<std::vector<std::uint8_t>> seeds = FuzzSeedInputs();
    for (std::size_t i = 0; i < seeds.size(); ++i)
    {
        const std::string path = dir + "/seed-" + std::to_string(i + 1);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(seeds[i].data()),
                  static_cast<std::streamsize>(seeds[i].size()));
        out.close();
        if (!out)
        {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("%zu seed inputs written to %s\n", seeds.size(), dir.c_str());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--write-seeds")
        return WriteSeeds(argv[2]);

    int runs = 0;
    for (int i = 1; i < argc; ++i)
    {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++runs;
    }
    const std::vector<std::vector<std::uint8_t>> seeds = FuzzSeedInputs();
    for (const std::vector<std::uint8_t>& seed : seeds)
    {
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
        ++runs;
    }
    constexpr int kRandomRuns = 400;
    for (int run = 0; run < kRandomRuns; ++run)
    {
        std::vector<std::uint8_t> input;
        if (run % 4 != 3 && !seeds.empty())
        {
            const std::vector<std::uint8_t>& seed = seeds[NextRandom() % seeds.size()];
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
        ++runs;
    }
    std::printf("%d inputs run\n", runs);
    return 0;
}
