// The four operations of the card's synthesizer library, as the bank table calls them.
#pragma once

#include "SynthStatus.h"

#include <cstdint>

class SynthLibrary
{
public:
    virtual ~SynthLibrary() = default;

    // The new bank's ID (0..16), or 16 + status code.
    virtual uint16_t SynthLoadBank(const char* path) = 0;
    virtual uint16_t SynthUnloadBank(uint16_t id) = 0;
    virtual uint16_t SynthSetPriority(uint16_t id, int32_t priority) = 0;
    virtual uint16_t SynthGetStatus(SynthStatus* status) = 0;
};
