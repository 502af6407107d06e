// The card's four operations on its stored state. The exported C entry points are a thin
// layer over this class; tests use it with a state file of their own.
#pragma once

#include "CardStore.h"
#include "synth32.h"

#include <cstdint>
#include <utility>

class CSynthCard
{
public:
    explicit CSynthCard(CCardStore store) : m_store(std::move(store)) {}

    // The new bank's ID, or SYNTH_LOAD_ERROR_BASE + a status code, checked in this order:
    // SYNTHERR_ABORT (state unavailable), SYNTHERR_INVCOUNT (8 banks loaded),
    // SYNTHERR_FILENOTFOUND, SYNTHERR_OUTOFMEM (larger than the free memory, known before
    // the file is read), SYNTHERR_INVCOM (not a bank).
    uint16_t LoadBank(const char* path) const;
    // SYNTHERR_UNREF when no bank has that ID.
    uint16_t UnloadBank(uint16_t id) const;
    // SYNTHERR_UNREF when no bank has that ID, then SYNTHERR_INVADD outside 0..127.
    uint16_t SetPriority(uint16_t id, int32_t priority) const;
    // SYNTHERR_INVADD for a null record. On SYNTHERR_ABORT the record is zeroed.
    uint16_t GetStatus(SynthStatus* status) const;

private:
    CCardStore m_store;
};
