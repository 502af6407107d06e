#include "SharedSynthLibrary.h"

#include <QDir>

#include <cstring>

QString CSharedSynthLibrary::DefaultPath(const QString& executableDir, const QString& card)
{
    const QString configured = qEnvironmentVariable("KORVANE_SYNTH_LIBRARY");
    if (!configured.isEmpty())
        return configured;
    return CardLibraryPath(card.isEmpty() ? QStringLiteral("simulated") : card, executableDir);
}

QString CSharedSynthLibrary::CardLibraryPath(const QString& card, const QString& executableDir)
{
    if (card == u"simulated")
        return QDir(executableDir).filePath(QStringLiteral("libsynth32.so"));
    if (card == u"fluidsynth")
        return QDir(executableDir).filePath(QStringLiteral("libsynth32-fluidsynth.so"));
    return card;
}

CSharedSynthLibrary::CSharedSynthLibrary(const QString& path) : m_library(path)
{
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return;
    }
    if (!ResolveEntries())
        m_error = QStringLiteral("%1 lacks the synthesizer entry points").arg(path);
}

bool CSharedSynthLibrary::ResolveEntries()
{
    auto loadBank = reinterpret_cast<LoadBankFn>(m_library.resolve("SynthLoadBank"));
    auto unloadBank = reinterpret_cast<UnloadBankFn>(m_library.resolve("SynthUnloadBank"));
    auto setPriority = reinterpret_cast<SetPriorityFn>(m_library.resolve("SynthSetPriority"));
    auto getStatus = reinterpret_cast<GetStatusFn>(m_library.resolve("SynthGetStatus"));
    if (!loadBank || !unloadBank || !setPriority || !getStatus)
        return false;
    m_loadBank = loadBank;
    m_unloadBank = unloadBank;
    m_setPriority = setPriority;
    m_getStatus = getStatus;
    return true;
}

uint16_t CSharedSynthLibrary::SynthLoadBank(const char* path)
{
    return IsLoaded() ? m_loadBank(path) : uint16_t{SYNTH_LOAD_ERROR_BASE + NOT_LOADED};
}

uint16_t CSharedSynthLibrary::SynthUnloadBank(uint16_t id)
{
    return IsLoaded() ? m_unloadBank(id) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthSetPriority(uint16_t id, int32_t priority)
{
    return IsLoaded() ? m_setPriority(id, priority) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthGetStatus(SynthStatus* status)
{
    if (IsLoaded())
        return m_getStatus(status);
    std::memset(status, 0, sizeof *status);
    return NOT_LOADED;
}
