#include "FluidSettings.h"

#include "CardSettings.h"

#include <cstdlib>

CFluidCard::Settings CFluidSettings::FromEnvironment()
{
    CFluidCard::Settings settings;
    const char* address = std::getenv("KORVANE_FLUIDSYNTH");
    CFluidShell::ParseAddress(address != nullptr && *address != '\0' ? address : DEFAULT_ADDRESS,
                              settings.address);
    settings.budget =
        CCardSettings::MemoryFrom(std::getenv("KORVANE_FLUIDSYNTH_MEMORY"), DEFAULT_BUDGET);
    return settings;
}

std::string CFluidSettings::StatePath()
{
    const char* path = std::getenv("KORVANE_FLUIDSYNTH_STATE");
    return path != nullptr && *path != '\0' ? std::string(path)
                                            : CCardSettings::XdgStatePath("fluidsynth.state");
}
