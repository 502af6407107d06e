// One bank in the card's sample memory, as the card records it.
#pragma once

#include <cstdint>
#include <string>

struct CardBank
{
    uint16_t id = 0;
    std::string name; // the bank file's name, without NUL bytes, at most 15 bytes
    int32_t priority = 0;
    uint32_t size = 0; // sample memory taken, bytes
};
