// Feeds arbitrary bytes to the card as its state file: a state it accepts must keep the
// card's rules and write out to bytes that read back the same.
#include "CardState.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto state = CCardState::Parse({data, size});
    if (!state)
        return 0;
    if (state->Banks().size() > SYNTH_MAX_BANKS || state->FreeMemory() > state->TotalMemory())
        std::abort();
    const std::vector<uint8_t> written = state->Serialize();
    const auto reread = CCardState::Parse(written);
    if (!reread || reread->Serialize() != written)
        std::abort();
    return 0;
}
