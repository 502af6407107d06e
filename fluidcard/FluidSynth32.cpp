// The server card's exported C entry points: each builds the card from the environment's
// settings and runs one operation. No exception may cross the C boundary; anything thrown
// (in practice only allocation failure) is reported as SYNTHERR_ABORT.

// The four entry points are the library's only visible symbols; everything else is
// compiled with hidden visibility.
#pragma GCC visibility push(default)
#include "synth32.h"
#pragma GCC visibility pop

#include "FluidSettings.h"

#include <cstring>

namespace {

CFluidCard CardFromEnvironment()
{
    return CFluidCard(CFluidCard::Store(CFluidSettings::StatePath(), CFluidState()),
                      CFluidSettings::FromEnvironment());
}

template <typename Call> uint16_t Guarded(Call call, uint16_t failure) noexcept
{
    try {
        return call(CardFromEnvironment());
    } catch (...) {
        return failure;
    }
}

} // namespace

uint16_t SynthLoadBank(const char* path)
{
    return Guarded([path](const CFluidCard& card) { return card.LoadBank(path); },
                   SYNTH_LOAD_ERROR_BASE + SYNTHERR_ABORT);
}

uint16_t SynthUnloadBank(uint16_t id)
{
    return Guarded([id](const CFluidCard& card) { return card.UnloadBank(id); }, SYNTHERR_ABORT);
}

uint16_t SynthSetPriority(uint16_t id, int32_t priority)
{
    return Guarded(
        [id, priority](const CFluidCard& card) { return card.SetPriority(id, priority); },
        SYNTHERR_ABORT);
}

uint16_t SynthGetStatus(SynthStatus* status)
{
    const uint16_t result = Guarded(
        [status](const CFluidCard& card) { return card.GetStatus(status); }, SYNTHERR_ABORT);
    if (result == SYNTHERR_ABORT && status != nullptr) {
        std::memset(status, 0, sizeof *status);
    }
    return result;
}
