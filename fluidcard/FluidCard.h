// The four operations of the card on a running FluidSynth server. SoundFont files are its
// banks; the server's font stack (searched from the top) is kept in priority order, higher
// priorities on top and, among equal ones, the bank just loaded or given its priority on
// top (as the server's own load puts a new font), the others as the server holds them;
// each font's sample data counts against a memory budget. The map from Korvane's bank IDs
// to the server's font IDs lives in a state file shared by every program that uses the
// card.
//
// The server may be playing for a musician: every load and unload re-selects each
// channel's program from the new stack, a change reloads only the fonts that must move
// (and never one whose file can no longer be read), and a reply is awaited however long
// the server takes. The state records only what the server confirmed: after a reply that
// was lost the card reads the server's stack again and settles on it. A change of the
// stack holds a lock of its own across its exchange with the server, which a status read
// never waits on: while a change is under way, GetStatus gives the state as last settled.
//
// Status codes beyond the simulated card's: SYNTHERR_NOTSUPPORTED when the server cannot
// be reached (at once when nothing listens at its address), ends the connection, or
// answers as no FluidSynth shell does; SYNTHERR_INVCOUNT from GetStatus when the server
// holds more than 8 fonts (the 8 on top of its stack are listed); SYNTHERR_INVCOM when the
// file is no SoundFont or the server refuses it; SYNTHERR_FILENOTFOUND also when a font
// that would have to move can no longer be read; SYNTHERR_CANNOTDELETE when the server
// refuses to unload a font. FailureDetail() says more about each.
#pragma once

#include "FluidShell.h"
#include "FluidState.h"
#include "StateStore.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CSoundFontCheck;

class CFluidCard
{
public:
    struct Settings
    {
        CFluidShell::Address address;
        uint32_t budget = 0;
        // The longest wait for a connection; replies are awaited however long they take.
        std::chrono::milliseconds connectTimeout{3000};
        // Why the settings cannot be used, when they cannot: every operation then fails
        // with SYNTHERR_INVADD and says why.
        std::string unusable;
    };

    using Store = CStateStore<CFluidState>;

    CFluidCard(Store store, Settings settings);

    // The new bank's ID, or SYNTH_LOAD_ERROR_BASE + a status code, checked in this order:
    // SYNTHERR_INVADD (settings), SYNTHERR_ABORT (state unavailable), SYNTHERR_NOTSUPPORTED,
    // SYNTHERR_INVCOUNT, SYNTHERR_FILENOTFOUND (also for a path the shell cannot be given),
    // SYNTHERR_INVCOM, SYNTHERR_OUTOFMEM, then the failures of the restack.
    uint16_t LoadBank(const char* path) const;
    uint16_t UnloadBank(uint16_t id) const;
    // SYNTHERR_UNREF for an unknown ID, then SYNTHERR_INVADD outside 0..127.
    uint16_t SetPriority(uint16_t id, int32_t priority) const;
    // A zeroed record unless the state could be read; SYNTHERR_INVADD for a null record.
    uint16_t GetStatus(SynthStatus* status) const;
    // The file checks of LoadBank alone, which neither the state nor the server is asked
    // for: SYNTHERR_FILENOTFOUND, SYNTHERR_INVCOM or SYNTH_OK.
    static uint16_t CheckBank(const char* path);
    // The file the server holds a bank's font from, as the state last settled it (the
    // server is not asked); SYNTHERR_UNREF for an unknown ID.
    uint16_t GetBankPath(uint16_t id, std::string& path) const;
    // The bank IDs in the order the server searches their fonts for a program, top of its
    // stack first, as the state last settled it (the server is not asked).
    uint16_t GetSearchOrder(std::vector<uint16_t>& ids) const;

    // What the calling thread's last call that failed has to add to its status code, such
    // as the file at fault; empty after a call that succeeded or had nothing to add.
    static const std::string& FailureDetail();

    // Makes the state agree with the server's stack (top first): a bank whose font the
    // server holds under another ID (loaded again, or loaded while its reply was lost)
    // takes that ID, banks whose file the server no longer holds are dropped, and fonts
    // among the top 8 that no bank stands for become banks under free IDs.
    // SYNTHERR_INVCOUNT when the stack holds more than 8.
    static uint16_t Reconcile(const std::vector<ServerFont>& stack, CFluidState& state);
    // The server's fonts from the top of its stack; false when the exchange fails or the
    // reply is no font list.
    static bool ReadStack(CFluidShell& shell, std::vector<ServerFont>& stack);

private:
    using Change = std::function<uint16_t(CFluidShell& shell, const std::vector<ServerFont>& stack,
                                          uint16_t reconciled, CFluidState& state)>;

    // Runs a change of the server's stack on the state reconciled with it, under the change
    // lock but not the state's, and records the state the server confirmed. After a failed
    // exchange (SYNTHERR_NOTSUPPORTED) the state settles on the stack read anew, and is
    // left as it was when the server cannot be read. settled: the state as recorded.
    uint16_t Changed(const Change& change, CFluidState* settled = nullptr) const;
    // Unloads and loads again the fonts that stand out of the wanted order, new copies
    // first so that no channel is left without its program; a bank whose font is not on
    // the server yet (server ID -1) is loaded in its place and dropped when refused. placed:
    // the bank just loaded or given its priority, on top of the banks of equal priority.
    uint16_t Restack(CFluidShell& shell, const std::vector<ServerFont>& stack, CFluidState& state,
                     int placed) const;
    CFluidShell Shell() const { return CFluidShell(m_settings.address, m_settings.connectTimeout); }
    uint16_t ServerFailure(const CFluidShell& shell) const;
    // SYNTH_OK, or SYNTHERR_INVADD when the settings cannot be used.
    uint16_t CheckSettings() const;
    // Whether the server could be given the font at the absolute path, with what it is;
    // SYNTHERR_FILENOTFOUND or SYNTHERR_INVCOM (saying why) when not.
    static uint16_t CheckFont(const std::string& absolute, CSoundFontCheck& font);
    std::string ServerName() const
    {
        return m_settings.address.host + ":" + m_settings.address.port;
    }

    Store m_store;
    Settings m_settings;
};
