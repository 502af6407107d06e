#include "SharedSynthLibrary.h"

#include <QLibrary>

#include <cstring>

CSharedSynthLibrary::CSharedSynthLibrary(const QString& path)
{
    if (!path.isNull())
        Open(path);
}

// A library once loaded stays mapped until the program ends, even when another one has
// replaced it: a call may still be running in it on another thread, and other objects of
// the program may use the same file.
bool CSharedSynthLibrary::Open(const QString& path)
{
    QLibrary library(path);
    Entries entries;
    QString error;
    if (library.load()) {
        entries.loadBank = reinterpret_cast<LoadBankFn>(library.resolve("SynthLoadBank"));
        entries.unloadBank = reinterpret_cast<UnloadBankFn>(library.resolve("SynthUnloadBank"));
        entries.setPriority = reinterpret_cast<SetPriorityFn>(library.resolve("SynthSetPriority"));
        entries.getStatus = reinterpret_cast<GetStatusFn>(library.resolve("SynthGetStatus"));
        if (!entries.IsComplete())
            error = QStringLiteral("%1 lacks the synthesizer entry points").arg(path);
    } else {
        error = library.errorString();
    }
    const std::lock_guard lock(m_mutex);
    m_entries = error.isEmpty() ? entries : Entries{};
    m_error = error;
    return error.isEmpty();
}

bool CSharedSynthLibrary::IsLoaded() const
{
    return Current().IsComplete();
}

QString CSharedSynthLibrary::ErrorString() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

CSharedSynthLibrary::Entries CSharedSynthLibrary::Current() const
{
    const std::lock_guard lock(m_mutex);
    return m_entries;
}

uint16_t CSharedSynthLibrary::SynthLoadBank(const char* path)
{
    const Entries entries = Current();
    return entries.IsComplete() ? entries.loadBank(path)
                                : uint16_t{SYNTH_LOAD_ERROR_BASE + NOT_LOADED};
}

uint16_t CSharedSynthLibrary::SynthUnloadBank(uint16_t id)
{
    const Entries entries = Current();
    return entries.IsComplete() ? entries.unloadBank(id) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthSetPriority(uint16_t id, int32_t priority)
{
    const Entries entries = Current();
    return entries.IsComplete() ? entries.setPriority(id, priority) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthGetStatus(SynthStatus* status)
{
    const Entries entries = Current();
    if (entries.IsComplete())
        return entries.getStatus(status);
    std::memset(status, 0, sizeof *status);
    return NOT_LOADED;
}
