#include "SharedSynthLibrary.h"

#include "NativePath.h"

#include <QLibrary>

#include <algorithm>
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
        entries.getBankPath = reinterpret_cast<GetBankPathFn>(library.resolve("SynthGetBankPath"));
        entries.getErrorDetail =
            reinterpret_cast<GetErrorDetailFn>(library.resolve("SynthGetErrorDetail"));
        entries.getSearchOrder =
            reinterpret_cast<GetSearchOrderFn>(library.resolve("SynthGetSearchOrder"));
        entries.checkBank = reinterpret_cast<CheckBankFn>(library.resolve("SynthCheckBank"));
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

uint16_t CSharedSynthLibrary::Noted(const Entries& entries, uint16_t code)
{
    if (code != SYNTH_OK) {
        lastFailure = {code, QString()};
        if (entries.getErrorDetail) {
            std::array<char, kMaxDetailBytes> text{};
            entries.getErrorDetail(text.data(), kMaxDetailBytes);
            lastFailure.detail = QString::fromUtf8(text.data());
        }
    }
    return code;
}

QString CSharedSynthLibrary::FailureDetail(uint16_t code)
{
    return lastFailure.code == code ? lastFailure.detail : QString();
}

void CSharedSynthLibrary::TakeFailureDetail(uint16_t code, const QString& detail)
{
    lastFailure = {code, detail};
}

QString CSharedSynthLibrary::BankPath(uint16_t id)
{
    const Entries entries = Current();
    std::array<char, kMaxPathBytes> path{};
    if (!entries.IsComplete() || !entries.getBankPath ||
        entries.getBankPath(id, path.data(), kMaxPathBytes) != SYNTH_OK)
        return {};
    return CNativePath::Decode(QByteArrayView(path.data()));
}

uint16_t CSharedSynthLibrary::CheckBank(const char* path)
{
    const Entries entries = Current();
    if (!entries.IsComplete() || !entries.checkBank)
        return SYNTH_OK;
    return Noted(entries, entries.checkBank(path));
}

std::vector<uint16_t> CSharedSynthLibrary::SearchOrder()
{
    const Entries entries = Current();
    std::array<uint16_t, MAX_BANKS> ids{};
    uint32_t count = MAX_BANKS;
    if (!entries.IsComplete() || !entries.getSearchOrder ||
        entries.getSearchOrder(ids.data(), &count) != SYNTH_OK)
        return {};
    return {ids.begin(), ids.begin() + std::min<uint32_t>(count, MAX_BANKS)};
}

uint16_t CSharedSynthLibrary::SynthLoadBank(const char* path)
{
    const Entries entries = Current();
    if (!entries.IsComplete())
        return SYNTH_LOAD_ERROR_BASE + NOT_LOADED;
    const uint16_t result = entries.loadBank(path);
    if (result > SYNTH_LOAD_ERROR_BASE)
        Noted(entries, result - SYNTH_LOAD_ERROR_BASE);
    return result;
}

uint16_t CSharedSynthLibrary::SynthUnloadBank(uint16_t id)
{
    const Entries entries = Current();
    return entries.IsComplete() ? Noted(entries, entries.unloadBank(id)) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthSetPriority(uint16_t id, int32_t priority)
{
    const Entries entries = Current();
    return entries.IsComplete() ? Noted(entries, entries.setPriority(id, priority)) : NOT_LOADED;
}

uint16_t CSharedSynthLibrary::SynthGetStatus(SynthStatus* status)
{
    const Entries entries = Current();
    if (entries.IsComplete())
        return Noted(entries, entries.getStatus(status));
    std::memset(status, 0, sizeof *status);
    return NOT_LOADED;
}
