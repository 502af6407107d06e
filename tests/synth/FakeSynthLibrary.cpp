#include "FakeSynthLibrary.h"

#include <cstring>

uint16_t FakeSynthLibrary::SynthLoadBank(const char* path)
{
    calls.push_back(std::string("load ") + path);
    if (loadFailure != 0)
        return static_cast<uint16_t>(SYNTH_LOAD_ERROR_BASE + loadFailure);
    if (missingFiles.count(path) != 0)
        return SYNTH_LOAD_ERROR_BASE + SYNTHERR_FILENOTFOUND;
    uint16_t id = 0;
    while (banks.count(id) != 0)
        ++id;
    std::string name(path);
    name = name.substr(name.find_last_of('/') + 1);
    banks[id] = Bank{name.substr(0, 8), 0, bankSize};
    return id;
}

uint16_t FakeSynthLibrary::CheckBank(const char* path)
{
    calls.push_back(std::string("check ") + path);
    const auto refused = refusedFiles.find(path);
    return refused != refusedFiles.end() ? refused->second : uint16_t{SYNTH_OK};
}

uint16_t FakeSynthLibrary::SynthUnloadBank(uint16_t id)
{
    calls.push_back("unload " + std::to_string(id));
    if (auto failure = unloadFailures.find(id); failure != unloadFailures.end())
        return failure->second;
    return banks.erase(id) != 0 ? 0 : uint16_t{SYNTHERR_UNREF};
}

uint16_t FakeSynthLibrary::SynthSetPriority(uint16_t id, int32_t priority)
{
    calls.push_back("priority " + std::to_string(id) + " " + std::to_string(priority));
    auto bank = banks.find(id);
    if (bank == banks.end())
        return SYNTHERR_UNREF;
    if (priority < 0 || priority > 127)
        return SYNTHERR_INVADD;
    bank->second.priority = priority;
    return 0;
}

uint16_t FakeSynthLibrary::SynthGetStatus(SynthStatus* status)
{
    // Fill the record the way a careless library would: garbage past the banks.
    std::memset(status, 0xAB, sizeof *status);
    status->totalMemory = totalMemory;
    uint32_t used = 0;
    uint32_t position = 0;
    for (const auto& [id, bank] : banks) {
        SynthBankEntry& entry = status->banks[position++];
        std::memset(entry.name, 0, sizeof entry.name);
        std::memcpy(entry.name, bank.name.data(), std::min<size_t>(bank.name.size(), 16));
        entry.priority = bank.priority;
        entry.size = bank.size;
        entry.id = id;
        used += bank.size;
    }
    status->freeMemory = totalMemory - used;
    status->bankCount = reportedCountOverride != 0 ? reportedCountOverride : position;
    return statusFailure;
}
