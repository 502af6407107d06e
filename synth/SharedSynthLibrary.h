// The card's synthesizer library loaded at run time from a shared object; when none
// can be loaded, every operation answers with an error status instead. Opening another
// library switches the card at once.
#pragma once

#include "SynthLibrary.h"

#include <QLibrary>
#include <QString>

class CSharedSynthLibrary : public SynthLibrary
{
public:
    // Without a path: no library yet, until Open.
    explicit CSharedSynthLibrary(const QString& path = QString());

    // Lets go of the library in use and loads the one at path; false when it cannot.
    bool Open(const QString& path);

    bool IsLoaded() const { return m_getStatus != nullptr; }
    QString ErrorString() const { return m_error; }

    uint16_t SynthLoadBank(const char* path) override;
    uint16_t SynthUnloadBank(uint16_t id) override;
    uint16_t SynthSetPriority(uint16_t id, int32_t priority) override;
    uint16_t SynthGetStatus(SynthStatus* status) override;
    QString BankPath(uint16_t id) override;

    // What the library had to add to the status code of the last call that failed on the
    // calling thread, when the code is that one; else nothing.
    static QString FailureDetail(uint16_t code);

    // What every operation answers while no library is loaded.
    static constexpr uint16_t NOT_LOADED = SYNTHERR_NOTSUPPORTED;

private:
    using LoadBankFn = uint16_t (*)(const char*);
    using UnloadBankFn = uint16_t (*)(uint16_t);
    using SetPriorityFn = uint16_t (*)(uint16_t, int32_t);
    using GetStatusFn = uint16_t (*)(SynthStatus*);
    using GetBankPathFn = uint16_t (*)(uint16_t, char*, uint32_t);
    using GetErrorDetailFn = void (*)(char*, uint32_t);

    bool ResolveEntries();
    // Keeps what the library adds to a failed call's code, asked at once: the library
    // forgets it at its next call.
    uint16_t Noted(uint16_t code) const;

    QLibrary m_library;
    QString m_error;
    LoadBankFn m_loadBank = nullptr;
    UnloadBankFn m_unloadBank = nullptr;
    SetPriorityFn m_setPriority = nullptr;
    GetStatusFn m_getStatus = nullptr;
    GetBankPathFn m_getBankPath = nullptr;
    GetErrorDetailFn m_getErrorDetail = nullptr;
};
