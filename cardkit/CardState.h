// The card's state: its sample memory and the banks in it, kept in ascending ID order,
// with the rules of the card's operations and the byte form the state file holds.
#pragma once

#include "CardBank.h"
#include "synth32.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class CCardState
{
public:
    static constexpr int32_t MIN_PRIORITY = SYNTH_MIN_PRIORITY;
    static constexpr int32_t MAX_PRIORITY = SYNTH_MAX_PRIORITY;
    // The state file: magic, version, total memory, bank count, then one record per bank.
    static constexpr uint32_t FORMAT_VERSION = 1;
    static constexpr std::size_t HEADER_SIZE = 20;
    static constexpr std::size_t RECORD_SIZE = 28;
    static constexpr std::size_t MAX_SERIALIZED_SIZE = HEADER_SIZE + RECORD_SIZE * SYNTH_MAX_BANKS;

    explicit CCardState(uint32_t totalMemory = 0) : m_totalMemory(totalMemory) {}

    uint32_t TotalMemory() const { return m_totalMemory; }
    uint32_t FreeMemory() const;
    bool IsFull() const { return m_banks.size() >= SYNTH_MAX_BANKS; }
    const std::vector<CardBank>& Banks() const { return m_banks; }
    const CardBank* FindBank(uint16_t id) const;

    // Puts a bank under the lowest free ID and stores that ID in *id. SYNTHERR_INVCOUNT
    // when all IDs are taken, SYNTHERR_OUTOFMEM when size exceeds the free memory.
    uint16_t AddBank(std::string_view name, uint64_t size, uint16_t* id);
    // SYNTHERR_UNREF when no bank has that ID.
    uint16_t RemoveBank(uint16_t id);
    // SYNTHERR_UNREF when no bank has that ID, then SYNTHERR_INVADD for a priority
    // outside MIN_PRIORITY..MAX_PRIORITY.
    uint16_t SetPriority(uint16_t id, int32_t priority);

    // Writes the whole record: the counters, the banks in ID order, and zeroes past them.
    void FillStatus(SynthStatus& status) const;

    std::vector<uint8_t> Serialize() const;
    // The state held in bytes, or nothing when they are not a state of this version, are
    // cut short or longer than their count says, or break a rule the card keeps (IDs
    // unique and ascending below 8, priorities in range, banks within the memory).
    static std::optional<CCardState> Parse(std::span<const uint8_t> bytes);

private:
    CardBank* EditableBank(uint16_t id);
    uint64_t UsedMemory() const;
    uint16_t LowestFreeId() const;
    static std::optional<CardBank> ParseBank(std::span<const uint8_t> record);
    bool IsValid() const;

    uint32_t m_totalMemory;
    std::vector<CardBank> m_banks;
};
