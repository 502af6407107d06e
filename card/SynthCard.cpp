#include "SynthCard.h"

#include "BankFileCheck.h"

#include <cstring>

uint16_t CSynthCard::LoadBank(const char* path) const
{
    uint16_t id = 0;
    const uint16_t result = m_store.Run([&](CCardState& state, bool& changed) -> uint16_t {
        // A full card refuses before the file is looked at.
        if (state.IsFull()) {
            return SYNTHERR_INVCOUNT;
        }
        CBankFileCheck bank;
        if (const uint16_t checked = bank.Check(path, state.FreeMemory()); checked != SYNTH_OK) {
            return checked;
        }
        const uint16_t added = state.AddBank(bank.Name(), bank.Size(), &id);
        changed = added == SYNTH_OK;
        return added;
    });
    return result == SYNTH_OK ? id : static_cast<uint16_t>(SYNTH_LOAD_ERROR_BASE + result);
}

uint16_t CSynthCard::UnloadBank(uint16_t id) const
{
    return m_store.Run([id](CCardState& state, bool& changed) {
        const uint16_t result = state.RemoveBank(id);
        changed = result == SYNTH_OK;
        return result;
    });
}

uint16_t CSynthCard::SetPriority(uint16_t id, int32_t priority) const
{
    return m_store.Run([id, priority](CCardState& state, bool& changed) {
        const uint16_t result = state.SetPriority(id, priority);
        changed = result == SYNTH_OK;
        return result;
    });
}

uint16_t CSynthCard::GetStatus(SynthStatus* status) const
{
    if (status == nullptr) {
        return SYNTHERR_INVADD;
    }
    const uint16_t result = m_store.Run([status](CCardState& state, bool&) {
        state.FillStatus(*status);
        return uint16_t{SYNTH_OK};
    });
    if (result != SYNTH_OK) {
        std::memset(status, 0, sizeof *status);
    }
    return result;
}
