// Keeps the simulated card's state in a file that every process using the card shares
// (see CStateStore): a missing file stands for a new, empty card.
#pragma once

#include "CardState.h"
#include "StateStore.h"

#include <cstdint>
#include <string>

class CCardStore : public CStateStore<CCardState>
{
public:
    // A new card gets newCardMemory bytes and keeps them.
    CCardStore(std::string statePath, uint32_t newCardMemory)
        : CStateStore(std::move(statePath), CCardState(newCardMemory))
    {
    }
};
