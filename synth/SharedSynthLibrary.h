// The card's synthesizer library loaded at run time from a shared object; when none
// can be loaded, every operation answers with an error status instead.
#pragma once

#include "SynthLibrary.h"

#include <QLibrary>
#include <QString>

class CSharedSynthLibrary : public SynthLibrary
{
public:
    // The file named by KORVANE_SYNTH_LIBRARY, else the library of the chosen card (the
    // simulated one when none is chosen) in the given directory.
    static QString DefaultPath(const QString& executableDir, const QString& card = QString());
    // The library of a card chosen by name: "simulated" is libsynth32.so and "fluidsynth"
    // libsynth32-fluidsynth.so in the given directory; any other choice is a library's path.
    static QString CardLibraryPath(const QString& card, const QString& executableDir);

    explicit CSharedSynthLibrary(const QString& path);

    bool IsLoaded() const { return m_getStatus != nullptr; }
    QString ErrorString() const { return m_error; }

    uint16_t SynthLoadBank(const char* path) override;
    uint16_t SynthUnloadBank(uint16_t id) override;
    uint16_t SynthSetPriority(uint16_t id, int32_t priority) override;
    uint16_t SynthGetStatus(SynthStatus* status) override;

    // What every operation answers while no library is loaded.
    static constexpr uint16_t NOT_LOADED = SYNTHERR_NOTSUPPORTED;

private:
    using LoadBankFn = uint16_t (*)(const char*);
    using UnloadBankFn = uint16_t (*)(uint16_t);
    using SetPriorityFn = uint16_t (*)(uint16_t, int32_t);
    using GetStatusFn = uint16_t (*)(SynthStatus*);

    bool ResolveEntries();

    QLibrary m_library;
    QString m_error;
    LoadBankFn m_loadBank = nullptr;
    UnloadBankFn m_unloadBank = nullptr;
    SetPriorityFn m_setPriority = nullptr;
    GetStatusFn m_getStatus = nullptr;
};
