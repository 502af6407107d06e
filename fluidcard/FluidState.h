// What the server card records of its banks: each bank as the simulated card records it
// (ID, name, priority, size: a CCardState given all of 32-bit memory, since the budget is
// checked against the server's fonts, not kept in the state) and, for each, the font the
// server holds for it: the server's own font ID and the path the server names it by.
#pragma once

#include "CardState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct ServerFont
{
    int32_t serverId = -1;
    std::string path; // no NUL or line end, at most MAX_PATH_BYTES
};

class CFluidState
{
public:
    static constexpr uint32_t FORMAT_VERSION = 1;
    static constexpr std::size_t MAX_PATH_BYTES = 4096;
    static constexpr std::size_t MAX_SERIALIZED_SIZE =
        16 + CCardState::MAX_SERIALIZED_SIZE + SYNTH_MAX_BANKS * (8 + MAX_PATH_BYTES);

    const CCardState& Banks() const { return m_banks; }
    // The font of a bank; null when no bank has that ID.
    const ServerFont* Font(uint16_t id) const;

    // Puts a bank under the lowest free ID; SYNTHERR_INVCOUNT when all IDs are taken.
    uint16_t AddBank(std::string_view name, uint64_t size, ServerFont font, uint16_t* id);
    void RemoveBank(uint16_t id);
    // SYNTHERR_UNREF for an unknown ID, SYNTHERR_INVADD for a priority outside 0..127.
    uint16_t SetPriority(uint16_t id, int32_t priority)
    {
        return m_banks.SetPriority(id, priority);
    }
    // After the server loaded the bank's font again under a new ID.
    void SetServerId(uint16_t id, int32_t serverId);

    // The record with the budget as the memory: free is what the banks leave of it, never
    // below 0, since fonts loaded by others may take more than the budget.
    void FillStatus(uint32_t budget, SynthStatus& status) const;

    static bool IsValidPath(std::string_view path);

    std::vector<uint8_t> Serialize() const;
    // Nothing when the bytes are not a state of this version, are cut short or run on, or
    // break a rule the card keeps.
    static std::optional<CFluidState> Parse(std::span<const uint8_t> bytes);

private:
    CCardState m_banks{UINT32_MAX};
    std::array<ServerFont, SYNTH_MAX_BANKS> m_fonts; // by bank ID
};
