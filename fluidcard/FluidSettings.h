// Where the server card finds its server, its budget and its state file, taken from the
// environment at every call so that each process (and each test) may choose its own.
//
// KORVANE_FLUIDSYNTH          the server's shell, "host:port"; default 127.0.0.1:9800
// KORVANE_FLUIDSYNTH_MEMORY   the memory budget in bytes, decimal, 1..4294967295;
//                             default 1 GiB
// KORVANE_FLUIDSYNTH_STATE    the state file; else $XDG_STATE_HOME/korvane/fluidsynth.state
// A value set but malformed is not replaced by the default: the card refuses every call
// and says which variable is wrong.
#pragma once

#include "FluidCard.h"

class CFluidSettings
{
public:
    static constexpr const char* DEFAULT_ADDRESS = "127.0.0.1:9800";
    static constexpr uint32_t DEFAULT_BUDGET = 1024U * 1024U * 1024U;

    static CFluidCard::Settings FromEnvironment();
    static std::string StatePath();
};
