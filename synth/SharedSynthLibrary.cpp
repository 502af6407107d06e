#include "SharedSynthLibrary.h"

#include "NativePath.h"

#include <array>
#include <cstring>

namespace {

// Room for any path a card holds a file by, with its NUL.
constexpr uint32_t kMaxPathBytes = 4097;
constexpr uint32_t kMaxDetailBytes = 4096 + 256;

struct FailureDetailNote
{
    uint16_t code = 0;
    QString detail;
};

thread_local FailureDetailNote lastFailure;

} // namespace

CSharedSynthLibrary::CSharedSynthLibrary(const QString& path)
{
    if (!path.isNull())
        Open(path);
}

bool CSharedSynthLibrary::Open(const QString& path)
{
    m_loadBank = nullptr;
    m_unloadBank = nullptr;
    m_setPriority = nullptr;
    m_getStatus = nullptr;
    m_getBankPath = nullptr;
    m_getErrorDetail = nullptr;
    m_error.clear();
    if (m_library.isLoaded())
        m_library.unload();
    m_library.setFileName(path);
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return false;
    }
    if (!ResolveEntries()) {
        m_error = QStringLiteral("%1 lacks the synthesizer entry points").arg(path);
        return false;
    }
    return true;
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
    m_getBankPath = reinterpret_cast<GetBankPathFn>(m_library.resolve("SynthGetBankPath"));
    m_getErrorDetail = reinterpret_cast<GetErrorDetailFn>(m_library.resolve("SynthGetErrorDetail"));
    return true;
}

uint16_t CSharedSynthLibrary::Noted(uint16_t code) const
{
    if (code != SYNTH_OK) {
        lastFailure = {code, QString()};
        if (m_getErrorDetail) {
            std::array<char, kMaxDetailBytes> text{};
            m_getErrorDetail(text.data(), kMaxDetailBytes);
            lastFailure.detail = QString::fromUtf8(text.data());
        }
    }
    return code;
}

QString CSharedSynthLibrary::FailureDetail(uint16_t code)
{
    return lastFailure.code == code ? lastFailure.detail : QString();
}

QString CSharedSynthLibrary::BankPath(uint16_t id)
{
    std::array<char, kMaxPathBytes> path{};
    if (!IsLoaded() || !m_getBankPath || m_getBankPath(id, path.data(), kMaxPathBytes) != SYNTH_OK)
        return {};
    return CNativePath::Decode(QByteArrayView(path.data()));
}

uint16_t CSharedSynthLibrary::SynthLoadBank(const char* path)
{
    if (!IsLoaded())
        return SYNTH_LOAD_ERROR_BASE + NOT_LOADED;
    const uint16_t result = m_loadBank(path);
    if (result > SYNTH_LOAD_ERROR_BASE)
        Noted(result - SYNTH_LOAD_ERROR_BASE);
    return result;
}

uint16_t CSharedSynthLibrary::SynthUnloadBank(uint16_t id)
{
    return IsLoaded() ? Noted(m_unloadBank(id)) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthSetPriority(uint16_t id, int32_t priority)
{
    return IsLoaded() ? Noted(m_setPriority(id, priority)) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthGetStatus(SynthStatus* status)
{
    if (IsLoaded())
        return Noted(m_getStatus(status));
    std::memset(status, 0, sizeof *status);
    return NOT_LOADED;
}
