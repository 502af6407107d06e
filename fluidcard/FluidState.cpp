#include "FluidState.h"

#include "LittleEndian.h"

#include <algorithm>

namespace {

constexpr std::array<uint8_t, 8> MAGIC = {'K', 'R', 'V', 'F', 'L', 'U', 'I', 'D'};

} // namespace

const ServerFont* CFluidState::Font(uint16_t id) const
{
    return m_banks.FindBank(id) != nullptr ? &m_fonts[id] : nullptr;
}

uint16_t CFluidState::AddBank(std::string_view name, uint64_t size, ServerFont font, uint16_t* id)
{
    const uint16_t result = m_banks.AddBank(name, std::min<uint64_t>(size, UINT32_MAX), id);
    if (result == SYNTH_OK) {
        m_fonts[*id] = std::move(font);
    }
    return result;
}

void CFluidState::RemoveBank(uint16_t id)
{
    if (m_banks.RemoveBank(id) == SYNTH_OK) {
        m_fonts[id] = ServerFont();
    }
}

void CFluidState::SetServerId(uint16_t id, int32_t serverId)
{
    if (m_banks.FindBank(id) != nullptr) {
        m_fonts[id].serverId = serverId;
    }
}

void CFluidState::FillStatus(uint32_t budget, SynthStatus& status) const
{
    m_banks.FillStatus(status);
    const uint64_t used = UINT32_MAX - m_banks.FreeMemory();
    status.totalMemory = budget;
    status.freeMemory = used >= budget ? 0 : static_cast<uint32_t>(budget - used);
}

bool CFluidState::IsValidPath(std::string_view path)
{
    return !path.empty() && path.size() <= MAX_PATH_BYTES &&
           path.find_first_of(std::string_view("\0\n\r", 3)) == std::string_view::npos;
}

std::vector<uint8_t> CFluidState::Serialize() const
{
    std::vector<uint8_t> bytes(MAGIC.begin(), MAGIC.end());
    PutU32(bytes, FORMAT_VERSION);
    const std::vector<uint8_t> banks = m_banks.Serialize();
    PutU32(bytes, static_cast<uint32_t>(banks.size()));
    bytes.insert(bytes.end(), banks.begin(), banks.end());
    for (const CardBank& bank : m_banks.Banks()) {
        const ServerFont& font = m_fonts[bank.id];
        PutU32(bytes, static_cast<uint32_t>(font.serverId));
        PutU32(bytes, static_cast<uint32_t>(font.path.size()));
        bytes.insert(bytes.end(), font.path.begin(), font.path.end());
    }
    return bytes;
}

std::optional<CFluidState> CFluidState::Parse(std::span<const uint8_t> bytes)
{
    constexpr std::size_t HEADER_SIZE = MAGIC.size() + 8;
    if (bytes.size() < HEADER_SIZE || !std::equal(MAGIC.begin(), MAGIC.end(), bytes.begin()) ||
        GetU32(bytes, 8) != FORMAT_VERSION || GetU32(bytes, 12) > bytes.size() - HEADER_SIZE) {
        return std::nullopt;
    }
    const std::size_t banksSize = GetU32(bytes, 12);
    auto banks = CCardState::Parse(bytes.subspan(HEADER_SIZE, banksSize));
    if (!banks || banks->TotalMemory() != UINT32_MAX) {
        return std::nullopt;
    }
    CFluidState state;
    state.m_banks = std::move(*banks);
    std::size_t position = HEADER_SIZE + banksSize;
    for (const CardBank& bank : state.m_banks.Banks()) {
        if (bytes.size() - position < 8 ||
            GetU32(bytes, position + 4) > bytes.size() - position - 8) {
            return std::nullopt;
        }
        ServerFont& font = state.m_fonts[bank.id];
        font.serverId = static_cast<int32_t>(GetU32(bytes, position));
        const std::size_t length = GetU32(bytes, position + 4);
        font.path.assign(bytes.begin() + static_cast<std::ptrdiff_t>(position + 8),
                         bytes.begin() + static_cast<std::ptrdiff_t>(position + 8 + length));
        if (font.serverId < 0 || !IsValidPath(font.path)) {
            return std::nullopt;
        }
        position += 8 + length;
    }
    if (position != bytes.size()) {
        return std::nullopt;
    }
    return state;
}
