// A card for tests and benchmarks that holds SoundFont banks at given priorities and knows
// their files; it refuses every change.
#pragma once

#include "SynthLibrary.h"

#include <QStringList>

class CFontCard : public SynthLibrary
{
public:
    void Add(const QString& path, int32_t priority);

    uint16_t SynthLoadBank(const char*) override { return SYNTH_LOAD_ERROR_BASE + SYNTHERR_ABORT; }
    uint16_t SynthUnloadBank(uint16_t) override { return SYNTHERR_ABORT; }
    uint16_t SynthSetPriority(uint16_t, int32_t) override { return SYNTHERR_ABORT; }
    uint16_t SynthGetStatus(SynthStatus* status) override;
    QString BankPath(uint16_t id) override { return m_paths.value(id); }

private:
    SynthStatus m_status{};
    QStringList m_paths;
};
