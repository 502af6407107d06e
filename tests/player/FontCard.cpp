#include "FontCard.h"

void CFontCard::Add(const QString& path, int32_t priority)
{
    SynthBankEntry& bank = m_status.banks[m_status.bankCount];
    bank.id = m_status.bankCount++;
    bank.priority = priority;
    m_paths << path;
}

uint16_t CFontCard::SynthGetStatus(SynthStatus* status)
{
    *status = m_status;
    return SYNTH_OK;
}
