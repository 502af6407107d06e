// The four operations of the card on a running FluidSynth server. SoundFont files are its
// banks; the server's font stack (searched from the top) is kept in priority order, higher
// priorities on top and, among equal ones, the lower bank ID on top; each font's sample
// data counts against a memory budget. The map from Korvane's bank IDs to the server's
// font IDs lives in a state file shared by every program that uses the card, and every
// call first reconciles it with what the server says it holds.
//
// Status codes beyond the simulated card's: SYNTHERR_NOTSUPPORTED when the server cannot
// be reached, does not answer in time or answers as no FluidSynth shell does;
// SYNTHERR_INVCOUNT from GetStatus when the server holds more than 8 fonts (the 8 on top
// of its stack are listed); SYNTHERR_INVCOM when the server refuses a font;
// SYNTHERR_CANNOTDELETE when it refuses to unload one.
#pragma once

#include "FluidShell.h"
#include "FluidState.h"
#include "StateStore.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class CFluidCard
{
public:
    struct Settings
    {
        CFluidShell::Address address;
        uint32_t budget = 0;
        std::chrono::milliseconds timeout{3000};
        // Loading a large font (and reloading fonts to reorder the stack) takes longer.
        std::chrono::milliseconds loadTimeout{60000};
        // After a server failed to answer, GetStatus says so at once for this long rather
        // than wait for it again: a program that reads the status every moment must not
        // stall on a server that is away. The other operations always ask the server.
        std::chrono::milliseconds statusRetryAfter{10000};
    };

    using Store = CStateStore<CFluidState>;

    CFluidCard(Store store, Settings settings);

    // The new bank's ID, or SYNTH_LOAD_ERROR_BASE + a status code, checked in this order:
    // SYNTHERR_ABORT (state unavailable), SYNTHERR_NOTSUPPORTED, SYNTHERR_INVCOUNT,
    // SYNTHERR_FILENOTFOUND (also for a path the shell cannot be given), SYNTHERR_INVCOM,
    // SYNTHERR_OUTOFMEM, then SYNTHERR_INVCOM when the server refuses the font.
    uint16_t LoadBank(const char* path) const;
    uint16_t UnloadBank(uint16_t id) const;
    // SYNTHERR_UNREF for an unknown ID, then SYNTHERR_INVADD outside 0..127.
    uint16_t SetPriority(uint16_t id, int32_t priority) const;
    // A zeroed record unless the server answered; SYNTHERR_INVADD for a null record.
    uint16_t GetStatus(SynthStatus* status) const;

    // Makes the state agree with the server's stack (top first): banks whose font the
    // server no longer holds are dropped, fonts among the top 8 that no bank stands for
    // become banks under free IDs. SYNTHERR_INVCOUNT when the stack holds more than 8.
    static uint16_t Reconcile(const std::vector<ServerFont>& stack, CFluidState& state);

private:
    // The bank IDs from the top of the stack down, in the order the card keeps.
    static std::vector<uint16_t> StackOrder(const CFluidState& state);
    // Unloads and loads again the fonts that stand out of StackOrder, bottom-up, so that
    // the stack ends in that order; a bank whose font is not on the server yet (server ID
    // -1) is loaded in its place. A bank whose font the server refuses is dropped.
    uint16_t Restack(CFluidShell& shell, const std::vector<ServerFont>& stack,
                     CFluidState& state) const;
    CFluidShell Shell() const { return CFluidShell(m_settings.address, m_settings.timeout); }
    // Remembers, for the whole process, whether the server answered this time.
    uint16_t Noted(uint16_t result) const;
    bool FailedLately() const;
    std::string ServerKey() const
    {
        return m_settings.address.host + ":" + m_settings.address.port;
    }

    Store m_store;
    Settings m_settings;
};
