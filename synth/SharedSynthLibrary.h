// The card's synthesizer library loaded at run time from a shared object; when none
// can be loaded, every operation answers with an error status instead. Opening another
// library switches the card at once.
//
// The operations may be called from any thread, also while Open switches the library on
// another: a call in flight goes on in the library it started in, which stays loaded, so
// Open never waits for it (a status read from a server may take long).
#pragma once

#include "SynthLibrary.h"

#include <QString>

#include <mutex>

class CSharedSynthLibrary : public SynthLibrary
{
public:
    // Without a path: no library yet, until Open.
    explicit CSharedSynthLibrary(const QString& path = QString());

    // Loads the library at path in place of the one in use; false when it cannot.
    bool Open(const QString& path);

    bool IsLoaded() const;
    QString ErrorString() const;

    uint16_t SynthLoadBank(const char* path) override;
    uint16_t SynthUnloadBank(uint16_t id) override;
    uint16_t SynthSetPriority(uint16_t id, int32_t priority) override;
    uint16_t SynthGetStatus(SynthStatus* status) override;
    uint16_t CheckBank(const char* path) override;
    QString BankPath(uint16_t id) override;
    std::vector<uint16_t> SearchOrder() override;

    // What the library had to add to the status code of the last call that failed on the
    // calling thread, when the code is that one; else nothing.
    static QString FailureDetail(uint16_t code);
    // Makes a failure read on another thread the calling thread's last one, so that its
    // message says what the card said.
    static void TakeFailureDetail(uint16_t code, const QString& detail);

    // What every operation answers while no library is loaded.
    static constexpr uint16_t NOT_LOADED = SYNTHERR_NOTSUPPORTED;

private:
    using LoadBankFn = uint16_t (*)(const char*);
    using UnloadBankFn = uint16_t (*)(uint16_t);
    using SetPriorityFn = uint16_t (*)(uint16_t, int32_t);
    using GetStatusFn = uint16_t (*)(SynthStatus*);
    using GetBankPathFn = uint16_t (*)(uint16_t, char*, uint32_t);
    using GetErrorDetailFn = void (*)(char*, uint32_t);
    using GetSearchOrderFn = uint16_t (*)(uint16_t*, uint32_t*);
    using CheckBankFn = uint16_t (*)(const char*);

    // The entry points of the library in use: the four operations, all or none, and those
    // that a card may add.
    struct Entries
    {
        LoadBankFn loadBank = nullptr;
        UnloadBankFn unloadBank = nullptr;
        SetPriorityFn setPriority = nullptr;
        GetStatusFn getStatus = nullptr;
        GetBankPathFn getBankPath = nullptr;
        GetErrorDetailFn getErrorDetail = nullptr;
        GetSearchOrderFn getSearchOrder = nullptr;
        CheckBankFn checkBank = nullptr;

        bool IsComplete() const { return loadBank && unloadBank && setPriority && getStatus; }
    };

    Entries Current() const;
    // Keeps what the library adds to a failed call's code, asked at once: the library
    // forgets it at its next call.
    static uint16_t Noted(const Entries& entries, uint16_t code);

    mutable std::mutex m_mutex;
    Entries m_entries;
    QString m_error;
};
