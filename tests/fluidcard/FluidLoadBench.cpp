// Times loads on a FluidSynth server of its own (no audio output): the server's own load,
// sent straight to its shell, against the same load through the card (in this process)
// and through "korvane load" (the program, a process of its own), for a large font on an
// empty server and for a small font on a server that already holds the large one. Each is
// the median of a few runs; the server's load and the card's alternate, so that both meet
// the same caches.
//
// Usage: fluidcard_bench LARGE.sf2
#include "FluidCard.h"
#include "FluidServer.h"
#include "SoundFontWriter.h"
#include "TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int kRuns = 5;
constexpr uint32_t kSmallFontSamples = 4000; // with its chunks, a font of about 5 kB

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The server's own load, straight to its shell; its font ID, or -1.
int32_t ServerLoad(const CFluidServer& server, const std::string& path)
{
    for (const std::string& line : server.Command("load " + path)) {
        if (line.starts_with("loaded SoundFont has ID "))
            return std::atoi(line.c_str() + 24);
    }
    return -1;
}

// "korvane --synth fluidsynth load path", its output left out; its exit status.
int ProgramLoad(const std::string& program, const std::string& path)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> words = {program, "--synth", "fluidsynth", "load", path};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int status = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0)
        ::waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The ID of the card's bank loaded from path, or -1.
int BankOf(const CFluidCard& card, const std::string& path)
{
    for (uint16_t id = 0; id < SYNTH_MAX_BANKS; ++id) {
        std::string held;
        if (card.GetBankPath(id, held) == SYNTH_OK && held == path)
            return id;
    }
    return -1;
}

struct Timing
{
    double server = 0;
    double card = 0;
    double program = 0;
};

// Loads path kRuns times each way, unloading it after each load.
Timing TimeLoads(const CFluidServer& server, const CFluidCard& card, const std::string& program,
                 const std::string& path)
{
    std::vector<double> own, byCard, byProgram;
    for (int run = 0; run < kRuns; ++run) {
        int32_t serverId = -1;
        own.push_back(Seconds([&] { serverId = ServerLoad(server, path); }));
        server.Command("unload " + std::to_string(serverId));
        uint16_t id = 0;
        byCard.push_back(Seconds([&] { id = card.LoadBank(path.c_str()); }));
        card.UnloadBank(id);
        byProgram.push_back(Seconds([&] { ProgramLoad(program, path); }));
        card.UnloadBank(static_cast<uint16_t>(BankOf(card, path)));
    }
    return {Median(own), Median(byCard), Median(byProgram)};
}

void Report(const char* what, const Timing& timing, double limit)
{
    std::printf("%-40s server %8.1f ms   card %8.1f ms (%.2fx)   korvane %8.1f ms (%.2fx)   "
                "target %.1fx\n",
                what, timing.server * 1000, timing.card * 1000, timing.card / timing.server,
                timing.program * 1000, timing.program / timing.server, limit);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LARGE.sf2\n", argv[0]);
        return 2;
    }
    const std::string large = argv[1];
    CTempDir dir;
    CSoundFontWriter writer("Small");
    writer.AddPreset("Tone", 0, 0);
    writer.SetSampleDataSize(kSmallFontSamples);
    std::string error;
    const std::string small = dir.Path("small.sf2");
    CFluidServer server;
    if (!writer.Write(small, &error) || !server.Start()) {
        std::fprintf(stderr, "cannot write the small font or start fluidsynth %s\n", error.c_str());
        return 1;
    }
    ::setenv("KORVANE_FLUIDSYNTH", server.Address().c_str(), 1);
    ::setenv("KORVANE_FLUIDSYNTH_STATE", dir.Path("fluidsynth.state").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", dir.Path("config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", dir.Path("state").c_str(), 1);
    CFluidCard::Settings settings;
    settings.address = {"127.0.0.1", std::to_string(server.Port())};
    settings.budget = UINT32_MAX;
    const CFluidCard card(CFluidCard::Store(dir.Path("fluidsynth.state"), CFluidState()), settings);

    Report("large font, empty server", TimeLoads(server, card, KORVANE_PROGRAM, large), 1.1);
    ServerLoad(server, large);
    Report("small font, large one loaded", TimeLoads(server, card, KORVANE_PROGRAM, small), 1.2);
    return 0;
}
