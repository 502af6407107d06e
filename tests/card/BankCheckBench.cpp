// Figures for the card's refusal of a large file that is no bank: a 256 MiB file of
// bytes without a list terminator at a record position, refused by its size on the
// default card and walked whole on a card with room for it. Both should take well under
// a second; the walk runs at the speed of reading the file.
#include "BankFileCheck.h"
#include "synth32.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t FILE_SIZE = std::size_t{256} << 20;

// Bytes without FF, so that no record position starts a terminator.
std::string MakeFile()
{
    std::string path = "/tmp/korvane-bench-XXXXXX";
    std::FILE* file = ::fdopen(::mkstemp(path.data()), "wb");
    std::vector<uint8_t> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 7919 % 255);
    }
    for (std::size_t written = 0; written < FILE_SIZE; written += block.size()) {
        std::fwrite(block.data(), 1, block.size(), file);
    }
    std::fclose(file);
    return path;
}

const std::string& LargeFile()
{
    static const std::string path = MakeFile();
    return path;
}

void RefusedBySize(benchmark::State& state)
{
    CBankFileCheck check;
    for (auto _ : state) {
        if (check.Check(LargeFile().c_str(), 8u << 20) != SYNTHERR_OUTOFMEM) {
            state.SkipWithError("not refused by its size");
        }
    }
}

void WalkedWhole(benchmark::State& state)
{
    CBankFileCheck check;
    for (auto _ : state) {
        if (check.Check(LargeFile().c_str()) != SYNTHERR_INVCOM) {
            state.SkipWithError("not refused as no bank");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FILE_SIZE));
}

} // namespace

BENCHMARK(RefusedBySize)->Unit(benchmark::kMicrosecond);
BENCHMARK(WalkedWhole)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    LargeFile(); // written before the clock starts
    benchmark::RunSpecifiedBenchmarks();
    std::remove(LargeFile().c_str());
    return 0;
}
