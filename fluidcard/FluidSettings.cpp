#include "FluidSettings.h"

#include "CardSettings.h"

#include <cstdlib>

namespace {

const char* Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

} // namespace

CFluidCard::Settings CFluidSettings::FromEnvironment()
{
    CFluidCard::Settings settings;
    settings.budget = DEFAULT_BUDGET;
    const char* address = Variable("KORVANE_FLUIDSYNTH");
    if (!CFluidShell::ParseAddress(address != nullptr ? address : DEFAULT_ADDRESS,
                                   settings.address)) {
        settings.unusable = "KORVANE_FLUIDSYNTH is set to \"" + std::string(address) +
                            "\", which is not a server address (host:port).";
    }
    if (const char* memory = Variable("KORVANE_FLUIDSYNTH_MEMORY")) {
        const std::optional<uint32_t> budget = CCardSettings::ParseMemory(memory);
        if (budget) {
            settings.budget = *budget;
        } else {
            settings.unusable = "KORVANE_FLUIDSYNTH_MEMORY is set to \"" + std::string(memory) +
                                "\", which is not a memory budget: give it in bytes, from 1 "
                                "to 4294967295.";
        }
    }
    return settings;
}

std::string CFluidSettings::StatePath()
{
    const char* path = Variable("KORVANE_FLUIDSYNTH_STATE");
    return path != nullptr ? std::string(path) : CCardSettings::XdgStatePath("fluidsynth.state");
}
