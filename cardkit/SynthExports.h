// The four exported C entry points of a card library, defined over the card that the
// including source file names first:
//   using ExportedCard = ...;            a class with LoadBank, UnloadBank, SetPriority and
//                                        GetStatus as the simulated card has them
//   ExportedCard CardFromEnvironment();  the card as the environment's settings make it
// Include it in exactly one source file of the library. Each call builds the card anew,
// so that every process (and every test) may choose its own settings. No exception may
// cross the C boundary; anything thrown (in practice only allocation failure) is reported
// as SYNTHERR_ABORT.
#pragma once

#include "synth32.h"

#include <cstring>

namespace {

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
    return Guarded([path](const ExportedCard& card) { return card.LoadBank(path); },
                   SYNTH_LOAD_ERROR_BASE + SYNTHERR_ABORT);
}

uint16_t SynthUnloadBank(uint16_t id)
{
    return Guarded([id](const ExportedCard& card) { return card.UnloadBank(id); }, SYNTHERR_ABORT);
}

uint16_t SynthSetPriority(uint16_t id, int32_t priority)
{
    return Guarded(
        [id, priority](const ExportedCard& card) { return card.SetPriority(id, priority); },
        SYNTHERR_ABORT);
}

uint16_t SynthGetStatus(SynthStatus* status)
{
    const uint16_t result = Guarded(
        [status](const ExportedCard& card) { return card.GetStatus(status); }, SYNTHERR_ABORT);
    if (result == SYNTHERR_ABORT && status != nullptr) {
        std::memset(status, 0, sizeof *status);
    }
    return result;
}
