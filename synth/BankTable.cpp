#include "BankTable.h"

#include "ArchiveReader.h"
#include "ArchiveWriter.h"
#include "MessageBoxService.h"
#include "NativePath.h"
#include "ResourceIds.h"
#include "StringTable.h"
#include "Windows1252.h"

#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <tuple>

namespace {

constexpr int IDS_FIRST_SYNTH_ERROR = 115; // texts of status codes 1..9 follow in order
constexpr int IDS_PRESET_NOT_FOUND = 205;
constexpr int IDS_BANK_LEGEND = 181;
constexpr int IDS_BANK_NOT_LOADED = 208;
constexpr int IDS_INVALID_PRESET = 1002;
constexpr int IDS_PRESET_NOT_SAVED = 1003;

// How long the full progress bar stays up at the end of a preset load.
constexpr int kPresetLoadPauseMs = 500;

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

std::function<QString(int code)>& StatusDetail()
{
    static std::function<QString(int code)> detail;
    return detail;
}

// The progress of a load when no window has been plugged in.
class CNoProgress : public LoadProgress
{
public:
    void SetLegend(const QString&) override {}
    void SetRange(uint32_t) override {}
    void SetPos(uint32_t) override {}
};

// The entry of the bank with that ID, or nullptr when its slot is empty.
const SynthBankEntry* FindBank(const SynthStatus& status, uint32_t id)
{
    for (uint32_t i = 0; i < status.bankCount && i < MAX_BANKS; ++i) {
        if (status.banks[i].id == id)
            return &status.banks[i];
    }
    return nullptr;
}

// Whether the slot holds the same bank file as before; its priority may have changed.
bool SameBank(const SynthBankEntry* a, const SynthBankEntry* b)
{
    if (!a || !b)
        return a == b;
    return a->size == b->size && std::memcmp(a->name, b->name, sizeof a->name) == 0;
}

} // namespace

CBankTable::CBankTable(SynthLibrary& library)
    : m_library(library), m_sleep([](int milliseconds) {
          std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
      })
{
}

bool CBankTable::Init(QWidget* owner)
{
    m_pOwner = owner;
    m_presetPath = CStringTable::Load(IDS_NO_PRESET_MODE);
    const uint16_t code = RefreshStatus();
    // A card that holds more banks than its record lists works on the ones listed.
    if (code != 0 && code != SYNTHERR_INVCOUNT) {
        ShowError(code);
        return false;
    }
    return true;
}

uint16_t CBankTable::RefreshStatus()
{
    ++m_statusReads;
    m_statusCode = ReadStatus(m_library, m_status);
    return m_statusCode;
}

uint16_t CBankTable::ReadStatus(SynthLibrary& library, SynthStatus& status)
{
    GuardedStatus read{};
    uint16_t code = library.SynthGetStatus(&read.status);
    // A card that claims more banks than the record holds is broken: keep the first
    // eight and report the count as invalid rather than trusting the rest.
    if (read.status.bankCount > MAX_BANKS) {
        read.status.bankCount = MAX_BANKS;
        if (code == 0)
            code = SYNTHERR_INVCOUNT;
    }
    status = read.status;
    for (uint32_t i = status.bankCount; i < MAX_BANKS; ++i)
        status.banks[i] = SynthBankEntry{};
    return code;
}

bool CBankTable::FollowCard()
{
    ++m_statusReads;
    SynthStatus read{};
    m_statusCode = ReadStatus(m_library, read);
    return m_statusCode == 0 && FollowStatus(read);
}

bool CBankTable::FollowStatus(const SynthStatus& status)
{
    m_statusCode = 0;
    if (std::memcmp(&status, &m_status, sizeof status) == 0)
        return false;
    for (uint16_t id = 0; id < MAX_BANKS; ++id) {
        if (!SameBank(FindBank(m_status, id), FindBank(status, id)))
            ClearPath(id);
    }
    m_status = status;
    return true;
}

uint16_t CBankTable::LoadBank(const QString& longPath)
{
    // Linux has no short names: the library gets the path's own bytes, at any length.
    const QByteArray path = CNativePath::Encode(longPath);
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

QString CBankTable::RefusalToLoad(qsizetype count) const
{
    return m_status.bankCount + count > MAX_BANKS ? CStringTable::Load(IDS_MAX_BANKS) : QString();
}

// The card's order may name a bank that came or went since the last status: only the
// banks of the status are kept, those it does not name placed by priority after it.
std::vector<uint16_t> CBankTable::SearchOrder() const
{
    const std::vector<uint16_t> cardOrder = m_library.SearchOrder();
    std::vector<SynthBankEntry> banks(
        m_status.banks, m_status.banks + std::min<uint32_t>(m_status.bankCount, MAX_BANKS));
    const auto rank = [&](const SynthBankEntry& bank) {
        const auto place = std::find(cardOrder.begin(), cardOrder.end(), bank.id);
        return std::make_tuple(place - cardOrder.begin(), -bank.priority, bank.id);
    };
    std::sort(banks.begin(), banks.end(),
              [&](const auto& left, const auto& right) { return rank(left) < rank(right); });
    std::vector<uint16_t> order;
    for (const SynthBankEntry& bank : banks)
        order.push_back(static_cast<uint16_t>(bank.id));
    return order;
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
    return CWindows1252::Decode(
        QByteArrayView(name, static_cast<qsizetype>(strnlen(name, SYNTH_BANK_NAME_SIZE))));
}

QString CBankTable::GetBankPath(uint16_t id) const
{
    if (id >= MAX_BANKS)
        return QString();
    if (!m_bankPaths[id].isEmpty())
        return m_bankPaths[id];
    // A bank this table did not load may still have a file the card knows; one the card
    // names relative to a directory of its own (a server's working directory) is not
    // reachable from here, and another file of that name here must not stand in for it.
    const QString cardPath = m_library.BankPath(id);
    return QDir::isRelativePath(cardPath) ? QString() : cardPath;
}

QString CBankTable::GetPresetName() const
{
    const QString defaultName =
        CStringTable::Load(m_bNewPreset ? IDS_NO_PRESET_MODE : IDS_UNTITLED);
    if (m_presetPath.isEmpty() || m_presetPath == defaultName)
        return defaultName;
    const qsizetype separator = m_presetPath.lastIndexOf(QLatin1Char('/'));
    return CNativePath::Display(m_presetPath.mid(separator + 1));
}

bool CBankTable::LoadPreset(const QString& path, bool* opened)
{
    // The whole file is read and checked before the card is touched: a preset that cannot
    // be used leaves every bank where it is.
    const auto read =
        CArchiveReader::ReadFile(path, [this](CArchiveReader& ar) { SerializePreset(ar); });
    if (opened)
        *opened = read != CArchiveReader::FileResult::CannotOpen;
    // The message names the file: a preset loaded at start-up or from the recent list was
    // not chosen just now.
    if (read == CArchiveReader::FileResult::CannotOpen) {
        ShowError(ERR_PRESET_NOT_FOUND,
                  ErrorText(ERR_PRESET_NOT_FOUND) + QLatin1Char('\n') + CNativePath::Display(path));
        return false;
    }
    if (read == CArchiveReader::FileResult::Malformed) {
        ShowError(IDS_INVALID_PRESET,
                  CStringTable::Load(IDS_INVALID_PRESET) + CNativePath::Display(path));
        return false;
    }
    const std::array<QString, MAX_BANKS> paths = TakePresetPaths();
    // The banks in memory are not given up for a preset whose banks the card cannot load
    // (a silenced card is the worst outcome), nor for one that the card would not let go.
    if (!CanLoadPresetBanks(paths)) {
        m_presetImage = SynthStatus{};
        return false;
    }
    if (const uint16_t code = UnloadAllBanks(); code != 0) {
        m_presetImage = SynthStatus{};
        ShowError(code);
        return false;
    }
    LoadPresetBanks(paths);
    m_presetPath = path;
    m_presetImage = SynthStatus{};
    m_bModified = 0;
    return true;
}

// The path of each record of the preset just read. Files written here keep path i with
// record i. Files that hold the paths by bank ID have a gap among the first slots when a
// bank other than the last had been unloaded, and the last path further on: as long as
// there is one path per record, the filled slots in order are the records' paths.
std::array<QString, MAX_BANKS> CBankTable::TakePresetPaths()
{
    std::array<QString, MAX_BANKS> bySlot = std::exchange(m_presetPaths, {});
    std::array<QString, MAX_BANKS> filled;
    uint32_t count = 0;
    for (const QString& path : bySlot) {
        if (!path.isEmpty())
            filled[count++] = path;
    }
    return count == m_presetImage.bankCount ? filled : bySlot;
}

// The card's own file check of each bank file the preset names; the first it refuses is
// reported with why. A record without a file is left to the load, which reports it.
bool CBankTable::CanLoadPresetBanks(const std::array<QString, MAX_BANKS>& paths) const
{
    for (uint32_t i = 0; i < m_presetImage.bankCount; ++i) {
        if (paths[i].isEmpty())
            continue;
        const uint16_t code = m_library.CheckBank(CNativePath::Encode(paths[i]).constData());
        if (code != SYNTH_OK) {
            ShowError(code, CStringTable::Load(IDS_BANK_NOT_LOADED) +
                                CNativePath::Display(paths[i]) + QLatin1Char('\n') +
                                ErrorText(code));
            return false;
        }
    }
    return true;
}

void CBankTable::LoadPresetBanks(const std::array<QString, MAX_BANKS>& paths)
{
    const std::unique_ptr<LoadProgress> progress =
        m_loadProgress ? m_loadProgress(m_pOwner) : std::make_unique<CNoProgress>();
    progress->SetRange(m_presetImage.totalMemory);
    progress->SetPos(0);
    uint64_t loaded = 0;
    for (uint32_t i = 0; i < m_presetImage.bankCount; ++i) {
        const SynthBankEntry& record = m_presetImage.banks[i];
        progress->SetLegend(CStringTable::Load(IDS_BANK_LEGEND) + CNativePath::Display(paths[i]));
        loaded += record.size;
        progress->SetPos(static_cast<uint32_t>(std::min<uint64_t>(loaded, UINT32_MAX)));
        LoadPresetBank(i, paths[i], record.priority);
    }
    progress->SetPos(m_presetImage.totalMemory);
    m_sleep(kPresetLoadPauseMs);
}

// A bank that fails is reported and skipped; the preset goes on with the next one. A record
// without a file (its bank's file was not known when the preset was saved) is not even
// tried: the message says which record it is.
void CBankTable::LoadPresetBank(uint32_t record, const QString& path, int32_t priority)
{
    if (path.isEmpty()) {
        ShowError(IDS_BANK_NOT_LOADED, CStringTable::Load(IDS_BANK_NOT_LOADED) +
                                           QStringLiteral(" the preset names no file for "
                                                          "its bank %1 of %2.")
                                               .arg(record + 1)
                                               .arg(m_presetImage.bankCount));
        return;
    }
    const uint16_t id = LoadBank(path);
    if (id > SYNTH_LOAD_ERROR_BASE) {
        ShowError(id, CStringTable::Load(IDS_BANK_NOT_LOADED) + CNativePath::Display(path));
        return;
    }
    const uint16_t code = SetBankPriority(id, priority);
    if (code != 0)
        ShowError(code);
}

bool CBankTable::SavePreset(const QString& path)
{
    if (path.isEmpty() && !HasPresetFile())
        return false;
    const QString target = path.isEmpty() ? m_presetPath : path;
    QString error;
    const bool written = CArchiveWriter::WriteFile(
        target, [this](CArchiveWriter& ar) { SerializePreset(ar); }, &error);
    if (!written) {
        ShowError(IDS_PRESET_NOT_SAVED, CStringTable::Load(IDS_PRESET_NOT_SAVED) +
                                            CNativePath::Display(target) + QLatin1Char('\n') +
                                            error);
        return false;
    }
    m_presetPath = target;
    m_bModified = 0;
    return true;
}

// False in No-preset Mode and for an untitled preset: their names are not files.
bool CBankTable::HasPresetFile() const
{
    return !m_presetPath.isEmpty() && m_presetPath != CStringTable::Load(IDS_NO_PRESET_MODE) &&
           m_presetPath != CStringTable::Load(IDS_UNTITLED);
}

bool CBankTable::NewPreset()
{
    m_presetPath = CStringTable::Load(IDS_UNTITLED);
    const uint16_t code = UnloadAllBanks();
    m_bNewPreset = 1;
    m_bModified = 1;
    return code == 0;
}

void CBankTable::SerializePreset(CArchiveWriter& ar) const
{
    const uint32_t count = m_status.bankCount;
    ar.WriteUInt32(count);
    for (uint32_t i = 0; i < count; ++i) {
        ar.WriteUInt32(static_cast<uint32_t>(m_status.banks[i].priority));
        ar.WriteUInt32(m_status.banks[i].size);
    }
    ar.WriteUInt32(m_status.totalMemory);
    // Path i belongs to record i: the banks' paths in the order of the banks. With the
    // usual IDs 0..n-1 that is the order of the IDs; after a bank in the middle was
    // unloaded it still pairs every record with its own file.
    for (uint32_t i = 0; i < MAX_BANKS; ++i) {
        const bool isBank = i < count && m_status.banks[i].id < MAX_BANKS;
        ar.WritePath(isBank ? GetBankPath(static_cast<uint16_t>(m_status.banks[i].id)) : QString());
    }
}

void CBankTable::SerializePreset(CArchiveReader& ar)
{
    SynthStatus image{};
    image.bankCount = ar.ReadUInt32();
    // Stop before the records: the image and the path slots hold eight banks at most.
    if (image.bankCount > MAX_BANKS) {
        ar.Fail();
        return;
    }
    for (uint32_t i = 0; i < image.bankCount; ++i) {
        image.banks[i].priority = static_cast<int32_t>(ar.ReadUInt32());
        image.banks[i].size = ar.ReadUInt32();
    }
    image.totalMemory = ar.ReadUInt32();
    std::array<QString, MAX_BANKS> paths;
    for (QString& path : paths)
        path = ar.ReadPath();
    // Bytes past the last path are not a preset's: a zero-filled file, for one, would
    // otherwise read as an empty preset.
    if (!ar.AtEnd())
        ar.Fail();
    if (!ar.Ok())
        return;
    m_presetImage = image;
    m_presetPaths = paths;
}

void CBankTable::ShowError(int code, const QString& text)
{
    const bool isError = IsLibraryStatusCode(code) || code == ERR_PRESET_NOT_FOUND;
    const int captionId = isError ? IDS_ERROR_CAPTION : IDS_WARNING_CAPTION;
    const unsigned icon = isError ? Mb::IconHand : Mb::IconExclamation;
    const QString message = text.isNull() ? ErrorText(code) : text;
    CMessageBoxService::Current().Show(nullptr, message, CStringTable::Load(captionId),
                                       Mb::Ok | icon);
}

void CBankTable::SetStatusDetail(std::function<QString(int code)> detail)
{
    StatusDetail() = std::move(detail);
}

// A library status code's text ends with what the card adds to it, such as where its
// server was looked for.
QString CBankTable::ErrorText(int code)
{
    if (IsLibraryStatusCode(code)) {
        const QString detail = StatusDetail() ? StatusDetail()(code) : QString();
        return CStringTable::Load(IDS_FIRST_SYNTH_ERROR + code - SYNTHERR_UNREF) + detail;
    }
    if (code == ERR_PRESET_NOT_FOUND)
        return CStringTable::Load(IDS_PRESET_NOT_FOUND);
    return CStringTable::Load(code);
}

void CBankTable::SetBankPath(uint16_t id, const QString& path)
{
    if (id < MAX_BANKS)
        m_bankPaths[id] = path;
}

void CBankTable::ForgetBankPaths()
{
    m_bankPaths = {};
}

void CBankTable::ClearPath(uint16_t id)
{
    if (id < MAX_BANKS)
        m_bankPaths[id].clear();
}
