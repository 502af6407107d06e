#include "SharedSynthLibrary.h"

#include <QLibrary>

#include <atomic>
#include <cstring>

// One loaded library with its four entry points. A library that another one replaced is
// unloaded when the last call that uses it has returned; otherwise it stays loaded until
// the program ends, as other objects of the program may use the same library.
class CSharedSynthLibrary::CLoaded
{
public:
    using LoadBankFn = uint16_t (*)(const char*);
    using UnloadBankFn = uint16_t (*)(uint16_t);
    using SetPriorityFn = uint16_t (*)(uint16_t, int32_t);
    using GetStatusFn = uint16_t (*)(SynthStatus*);

    CLoaded() = default;
    ~CLoaded()
    {
        if (m_replaced)
            m_library.unload();
    }
    CLoaded(const CLoaded&) = delete;
    CLoaded& operator=(const CLoaded&) = delete;

    // Empty when the library is loaded with all four entry points, else why not.
    QString Load(const QString& path)
    {
        m_library.setFileName(path);
        if (!m_library.load())
            return m_library.errorString();
        loadBank = reinterpret_cast<LoadBankFn>(m_library.resolve("SynthLoadBank"));
        unloadBank = reinterpret_cast<UnloadBankFn>(m_library.resolve("SynthUnloadBank"));
        setPriority = reinterpret_cast<SetPriorityFn>(m_library.resolve("SynthSetPriority"));
        getStatus = reinterpret_cast<GetStatusFn>(m_library.resolve("SynthGetStatus"));
        if (!loadBank || !unloadBank || !setPriority || !getStatus)
            return QStringLiteral("%1 lacks the synthesizer entry points").arg(path);
        return QString();
    }

    LoadBankFn loadBank = nullptr;
    UnloadBankFn unloadBank = nullptr;
    SetPriorityFn setPriority = nullptr;
    GetStatusFn getStatus = nullptr;

    void MarkReplaced() const { m_replaced = true; }

private:
    QLibrary m_library;
    mutable std::atomic<bool> m_replaced = false;
};

CSharedSynthLibrary::CSharedSynthLibrary(const QString& path)
{
    if (!path.isNull())
        Open(path);
}

bool CSharedSynthLibrary::Open(const QString& path)
{
    auto loaded = std::make_shared<CLoaded>();
    const QString error = loaded->Load(path);
    if (!error.isEmpty())
        loaded.reset();
    // The library in use goes once the calls still running in it have returned.
    const std::lock_guard lock(m_mutex);
    if (m_loaded)
        m_loaded->MarkReplaced();
    m_loaded = std::move(loaded);
    m_error = error;
    return m_loaded != nullptr;
}

bool CSharedSynthLibrary::IsLoaded() const
{
    return Loaded() != nullptr;
}

QString CSharedSynthLibrary::ErrorString() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

std::shared_ptr<const CSharedSynthLibrary::CLoaded> CSharedSynthLibrary::Loaded() const
{
    const std::lock_guard lock(m_mutex);
    return m_loaded;
}

uint16_t CSharedSynthLibrary::SynthLoadBank(const char* path)
{
    const auto loaded = Loaded();
    return loaded ? loaded->loadBank(path) : uint16_t{SYNTH_LOAD_ERROR_BASE + NOT_LOADED};
}

uint16_t CSharedSynthLibrary::SynthUnloadBank(uint16_t id)
{
    const auto loaded = Loaded();
    return loaded ? loaded->unloadBank(id) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthSetPriority(uint16_t id, int32_t priority)
{
    const auto loaded = Loaded();
    return loaded ? loaded->setPriority(id, priority) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthGetStatus(SynthStatus* status)
{
    if (const auto loaded = Loaded())
        return loaded->getStatus(status);
    std::memset(status, 0, sizeof *status);
    return NOT_LOADED;
}
