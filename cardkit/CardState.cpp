#include "CardState.h"

#include "LittleEndian.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <utility>

namespace {

constexpr std::array<uint8_t, 8> MAGIC = {'K', 'R', 'V', 'C', 'A', 'R', 'D', 0};
constexpr std::size_t NAME_FIELD_SIZE = SYNTH_BANK_NAME_SIZE;
constexpr std::size_t MAX_NAME_LENGTH = NAME_FIELD_SIZE - 1;

// The name as the card keeps it: up to the first NUL, and short enough to stay
// NUL-terminated in the status record's 16-byte field.
std::string StoredName(std::string_view name)
{
    name = name.substr(0, name.find('\0'));
    return std::string(name.substr(0, MAX_NAME_LENGTH));
}

bool IsValidPriority(int32_t priority)
{
    return priority >= CCardState::MIN_PRIORITY && priority <= CCardState::MAX_PRIORITY;
}

} // namespace

uint32_t CCardState::FreeMemory() const
{
    const uint64_t used = UsedMemory();
    return used >= m_totalMemory ? 0 : static_cast<uint32_t>(m_totalMemory - used);
}

const CardBank* CCardState::FindBank(uint16_t id) const
{
    const auto it = std::find_if(m_banks.begin(), m_banks.end(),
                                 [id](const CardBank& bank) { return bank.id == id; });
    return it == m_banks.end() ? nullptr : &*it;
}

CardBank* CCardState::EditableBank(uint16_t id)
{
    return const_cast<CardBank*>(std::as_const(*this).FindBank(id));
}

uint16_t CCardState::AddBank(std::string_view name, uint64_t size, uint16_t* id)
{
    if (IsFull()) {
        return SYNTHERR_INVCOUNT;
    }
    if (size > FreeMemory()) {
        return SYNTHERR_OUTOFMEM;
    }
    CardBank bank;
    bank.id = LowestFreeId();
    bank.name = StoredName(name);
    bank.size = static_cast<uint32_t>(size);
    const auto position =
        std::find_if(m_banks.begin(), m_banks.end(),
                     [&bank](const CardBank& other) { return other.id > bank.id; });
    m_banks.insert(position, bank);
    *id = bank.id;
    return SYNTH_OK;
}

uint16_t CCardState::RemoveBank(uint16_t id)
{
    const auto removed =
        std::erase_if(m_banks, [id](const CardBank& bank) { return bank.id == id; });
    return removed == 0 ? SYNTHERR_UNREF : SYNTH_OK;
}

uint16_t CCardState::SetPriority(uint16_t id, int32_t priority)
{
    CardBank* bank = EditableBank(id);
    if (bank == nullptr) {
        return SYNTHERR_UNREF;
    }
    if (!IsValidPriority(priority)) {
        return SYNTHERR_INVADD;
    }
    bank->priority = priority;
    return SYNTH_OK;
}

void CCardState::FillStatus(SynthStatus& status) const
{
    std::memset(&status, 0, sizeof status);
    status.totalMemory = m_totalMemory;
    status.freeMemory = FreeMemory();
    status.bankCount = static_cast<uint32_t>(m_banks.size());
    for (std::size_t i = 0; i < m_banks.size(); ++i) {
        SynthBankEntry& entry = status.banks[i];
        std::memcpy(entry.name, m_banks[i].name.data(), m_banks[i].name.size());
        entry.priority = m_banks[i].priority;
        entry.size = m_banks[i].size;
        entry.id = m_banks[i].id;
    }
}

std::vector<uint8_t> CCardState::Serialize() const
{
    std::vector<uint8_t> bytes(MAGIC.begin(), MAGIC.end());
    PutU32(bytes, FORMAT_VERSION);
    PutU32(bytes, m_totalMemory);
    PutU32(bytes, static_cast<uint32_t>(m_banks.size()));
    for (const CardBank& bank : m_banks) {
        PutU32(bytes, bank.id);
        PutU32(bytes, static_cast<uint32_t>(bank.priority));
        PutU32(bytes, bank.size);
        const std::size_t nameStart = bytes.size();
        bytes.resize(nameStart + NAME_FIELD_SIZE, 0);
        std::copy(bank.name.begin(), bank.name.end(), bytes.begin() + nameStart);
    }
    return bytes;
}

std::optional<CCardState> CCardState::Parse(std::span<const uint8_t> bytes)
{
    if (bytes.size() < HEADER_SIZE || !std::equal(MAGIC.begin(), MAGIC.end(), bytes.begin()) ||
        GetU32(bytes, 8) != FORMAT_VERSION) {
        return std::nullopt;
    }
    const uint32_t count = GetU32(bytes, 16);
    if (count > SYNTH_MAX_BANKS || bytes.size() != HEADER_SIZE + RECORD_SIZE * count) {
        return std::nullopt;
    }
    CCardState state(GetU32(bytes, 12));
    for (std::size_t i = 0; i < count; ++i) {
        const auto bank = ParseBank(bytes.subspan(HEADER_SIZE + RECORD_SIZE * i, RECORD_SIZE));
        if (!bank) {
            return std::nullopt;
        }
        state.m_banks.push_back(*bank);
    }
    if (!state.IsValid()) {
        return std::nullopt;
    }
    return state;
}

uint16_t CCardState::LowestFreeId() const
{
    uint16_t id = 0;
    // m_banks is in ascending ID order, so the first gap in the sequence is the lowest free ID.
    for (const CardBank& bank : m_banks) {
        if (bank.id != id) {
            break;
        }
        ++id;
    }
    return id;
}

std::optional<CardBank> CCardState::ParseBank(std::span<const uint8_t> record)
{
    const uint32_t id = GetU32(record, 0);
    const auto priority = static_cast<int32_t>(GetU32(record, 4));
    const auto name = record.subspan(12, NAME_FIELD_SIZE);
    const auto nameEnd = std::find(name.begin(), name.end(), uint8_t{0});
    // The name must end with a NUL inside its field and be padded with NULs after it.
    if (id >= SYNTH_MAX_BANKS || !IsValidPriority(priority) || nameEnd == name.end() ||
        std::any_of(nameEnd, name.end(), [](uint8_t byte) { return byte != 0; })) {
        return std::nullopt;
    }
    CardBank bank;
    bank.id = static_cast<uint16_t>(id);
    bank.priority = priority;
    bank.size = GetU32(record, 8);
    bank.name.assign(name.begin(), nameEnd);
    return bank;
}

bool CCardState::IsValid() const
{
    const bool ascending = std::adjacent_find(m_banks.begin(), m_banks.end(),
                                              [](const CardBank& a, const CardBank& b) {
                                                  return a.id >= b.id;
                                              }) == m_banks.end();
    return ascending && UsedMemory() <= m_totalMemory;
}

uint64_t CCardState::UsedMemory() const
{
    return std::accumulate(m_banks.begin(), m_banks.end(), uint64_t{0},
                           [](uint64_t sum, const CardBank& bank) { return sum + bank.size; });
}
