// The status record shared with the card's library, with its layout pinned down.
#pragma once

#include "synth32.h"

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the status record is exchanged as little-endian bytes");
static_assert(sizeof(SynthBankEntry) == 28);
static_assert(offsetof(SynthBankEntry, priority) == 16);
static_assert(offsetof(SynthBankEntry, size) == 20);
static_assert(offsetof(SynthBankEntry, id) == 24);
static_assert(sizeof(SynthStatus) == 236);
static_assert(offsetof(SynthStatus, freeMemory) == 4);
static_assert(offsetof(SynthStatus, bankCount) == 8);
static_assert(offsetof(SynthStatus, banks) == 12);

constexpr int MAX_BANKS = SYNTH_MAX_BANKS;
constexpr int32_t MAX_PRIORITY = SYNTH_MAX_PRIORITY;
