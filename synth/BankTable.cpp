#include "BankTable.h"

#include "MessageBoxService.h"
#include "StringTable.h"

#include <QFile>

#include <cstring>

namespace {

constexpr int IDS_NO_PRESET_MODE = 209;
constexpr int IDS_UNTITLED = 127;
constexpr int IDS_ERROR_CAPTION = 124;
constexpr int IDS_WARNING_CAPTION = 110;
constexpr int IDS_FIRST_SYNTH_ERROR = 115; // texts of status codes 1..9 follow in order
constexpr int IDS_PRESET_NOT_FOUND = 205;

// Room for every entry a library could describe with the IDs its load can return
// (0..16), so a library that lists more banks than the record holds writes into
// this spill area instead of past the record.
struct GuardedStatus
{
    SynthStatus status;
    SynthBankEntry spill[SYNTH_LOAD_ERROR_BASE + 1 - MAX_BANKS];
};

bool IsLibraryStatusCode(int code)
{
    return code >= SYNTHERR_UNREF && code <= SYNTHERR_CANNOTDELETE;
}

} // namespace

CBankTable::CBankTable(SynthLibrary& library) : m_library(library) {}

bool CBankTable::Init(QWidget* owner)
{
    m_pOwner = owner;
    m_presetPath = CStringTable::Load(IDS_NO_PRESET_MODE);
    const uint16_t code = RefreshStatus();
    if (code != 0) {
        ShowError(code);
        return false;
    }
    return true;
}

uint16_t CBankTable::RefreshStatus()
{
    GuardedStatus read{};
    uint16_t code = m_library.SynthGetStatus(&read.status);
    // A card that claims more banks than the record holds is broken: keep the first
    // eight and report the count as invalid rather than trusting the rest.
    if (read.status.bankCount > MAX_BANKS) {
        read.status.bankCount = MAX_BANKS;
        if (code == 0)
            code = SYNTHERR_INVCOUNT;
    }
    m_status = read.status;
    for (uint32_t i = m_status.bankCount; i < MAX_BANKS; ++i)
        m_status.banks[i] = SynthBankEntry{};
    return code;
}

uint16_t CBankTable::LoadBank(const QString& longPath)
{
    // Linux has no short names: the library gets the path as it is, at any length.
    const QByteArray path = QFile::encodeName(longPath);
    const uint16_t result = m_library.SynthLoadBank(path.constData());
    m_bModified = 1;
    RefreshStatus();
    for (uint32_t i = 0; i < m_status.bankCount; ++i) {
        if (m_status.banks[i].id == result) {
            if (result < MAX_BANKS)
                m_bankPaths[result] = longPath;
            break;
        }
    }
    return result;
}

uint16_t CBankTable::UnloadBank(uint16_t id)
{
    const uint16_t code = m_library.SynthUnloadBank(id);
    ClearPath(id);
    RefreshStatus();
    m_bModified = 1;
    return code;
}

uint16_t CBankTable::UnloadAllBanks()
{
    m_bModified = 1;
    uint16_t code = 0;
    for (uint32_t i = 0; i < m_status.bankCount; ++i) {
        const auto id = static_cast<uint16_t>(m_status.banks[i].id);
        code = m_library.SynthUnloadBank(id);
        ClearPath(id);
        if (code != 0)
            break;
    }
    RefreshStatus();
    return code;
}

uint16_t CBankTable::SetBankPriority(uint16_t id, int32_t priority)
{
    const uint16_t code = m_library.SynthSetPriority(id, priority);
    RefreshStatus();
    m_bModified = 1;
    return code;
}

uint32_t CBankTable::GetUsedMemory() const
{
    return m_status.totalMemory - m_status.freeMemory;
}

QString CBankTable::GetBankName(uint16_t position) const
{
    if (position >= MAX_BANKS)
        return QString();
    const char* name = m_status.banks[position].name;
    return QString::fromLatin1(name, static_cast<qsizetype>(strnlen(name, SYNTH_BANK_NAME_SIZE)));
}

QString CBankTable::GetBankPath(uint16_t id) const
{
    return id < MAX_BANKS ? m_bankPaths[id] : QString();
}

QString CBankTable::GetPresetName() const
{
    const QString defaultName =
        CStringTable::Load(m_bNewPreset ? IDS_NO_PRESET_MODE : IDS_UNTITLED);
    if (m_presetPath.isEmpty() || m_presetPath == defaultName)
        return defaultName;
    const qsizetype separator = m_presetPath.lastIndexOf(QLatin1Char('/'));
    return m_presetPath.mid(separator + 1);
}

void CBankTable::ShowError(int code, const QString& text)
{
    int textId = code;
    int captionId = IDS_ERROR_CAPTION;
    unsigned icon = Mb::IconHand;
    if (IsLibraryStatusCode(code)) {
        textId = IDS_FIRST_SYNTH_ERROR + code - SYNTHERR_UNREF;
    } else if (code == ERR_PRESET_NOT_FOUND) {
        textId = IDS_PRESET_NOT_FOUND;
    } else {
        captionId = IDS_WARNING_CAPTION;
        icon = Mb::IconExclamation;
    }
    const QString message = text.isNull() ? CStringTable::Load(textId) : text;
    CMessageBoxService::Current().Show(nullptr, message, CStringTable::Load(captionId),
                                       Mb::Ok | icon);
}

void CBankTable::ClearPath(uint16_t id)
{
    if (id < MAX_BANKS)
        m_bankPaths[id].clear();
}
