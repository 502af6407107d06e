// An in-memory card for bank-table tests: lowest free ID, ascending listing, a call
// log, and failures that a test can script.
#pragma once

#include "SynthLibrary.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class FakeSynthLibrary : public SynthLibrary
{
public:
    struct Bank
    {
        std::string name;
        int32_t priority = 0;
        uint32_t size = 0;
    };

    uint16_t SynthLoadBank(const char* path) override;
    uint16_t SynthUnloadBank(uint16_t id) override;
    uint16_t SynthSetPriority(uint16_t id, int32_t priority) override;
    uint16_t SynthGetStatus(SynthStatus* status) override;
    uint16_t CheckBank(const char* path) override;

    // Puts a bank straight into the card, as if loaded by an earlier run.
    void Preload(uint16_t id, const Bank& bank) { banks[id] = bank; }

    uint32_t totalMemory = 4 * 1024 * 1024;
    uint32_t bankSize = 1024 * 1024;
    std::map<uint16_t, Bank> banks;
    std::map<uint16_t, uint16_t> unloadFailures; // id -> status code
    uint16_t loadFailure = 0;
    std::set<std::string> missingFiles;           // loads of these paths fail as not found
    std::map<std::string, uint16_t> refusedFiles; // the card's file check refuses these
    uint16_t statusFailure = 0;
    uint32_t reportedCountOverride = 0; // non-zero: the count the status claims
    std::vector<std::string> calls;
};
