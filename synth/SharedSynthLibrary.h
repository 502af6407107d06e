// The card's synthesizer library loaded at run time from a shared object; when none
// can be loaded, every operation answers with an error status instead. Opening another
// library switches the card at once.
//
// The operations may be called from any thread, also while Open switches the library on
// another: a call in flight keeps the library it started in loaded until it returns, so
// Open never waits for it (a status read from a server may take long).
#pragma once

#include "SynthLibrary.h"

#include <QString>

#include <memory>
#include <mutex>

class CSharedSynthLibrary : public SynthLibrary
{
public:
    // Without a path: no library yet, until Open.
    explicit CSharedSynthLibrary(const QString& path = QString());

    // Lets go of the library in use and loads the one at path; false when it cannot.
    bool Open(const QString& path);

    bool IsLoaded() const;
    QString ErrorString() const;

    uint16_t SynthLoadBank(const char* path) override;
    uint16_t SynthUnloadBank(uint16_t id) override;
    uint16_t SynthSetPriority(uint16_t id, int32_t priority) override;
    uint16_t SynthGetStatus(SynthStatus* status) override;

    // What every operation answers while no library is loaded.
    static constexpr uint16_t NOT_LOADED = SYNTHERR_NOTSUPPORTED;

private:
    class CLoaded;

    std::shared_ptr<const CLoaded> Loaded() const;

    mutable std::mutex m_mutex;
    std::shared_ptr<const CLoaded> m_loaded;
    QString m_error;
};
