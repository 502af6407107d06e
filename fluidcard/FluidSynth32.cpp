// The server card's exported C entry points: the card from the environment's settings,
// and the optional ones it offers besides the four.
#include "FluidSettings.h"

#include <algorithm>

namespace {

using ExportedCard = CFluidCard;

ExportedCard CardFromEnvironment()
{
    return CFluidCard(CFluidCard::Store(CFluidSettings::StatePath(), CFluidState()),
                      CFluidSettings::FromEnvironment());
}

// Copies text, cut to fit and NUL-terminated, into a buffer of size bytes.
void CopyText(const std::string& text, char* buffer, uint32_t size)
{
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::copy_n(text.data(), length, buffer);
    buffer[length] = '\0';
}

} // namespace

#include "SynthExports.h"

uint16_t SynthGetBankPath(uint16_t id, char* path, uint32_t size)
{
    if (path == nullptr || size == 0) {
        return SYNTHERR_INVADD;
    }
    return Guarded(
        [&](const ExportedCard& card) -> uint16_t {
            std::string file;
            const uint16_t result = card.GetBankPath(id, file);
            if (result != SYNTH_OK) {
                return result;
            }
            if (file.size() >= size) {
                return SYNTHERR_INVADD;
            }
            CopyText(file, path, size);
            return SYNTH_OK;
        },
        SYNTHERR_ABORT);
}

uint16_t SynthGetSearchOrder(uint16_t* ids, uint32_t* count)
{
    if (ids == nullptr || count == nullptr) {
        return SYNTHERR_INVADD;
    }
    return Guarded(
        [&](const ExportedCard& card) -> uint16_t {
            std::vector<uint16_t> order;
            const uint16_t result = card.GetSearchOrder(order);
            if (result == SYNTH_OK) {
                order.resize(std::min<std::size_t>(order.size(), *count));
                std::copy(order.begin(), order.end(), ids);
                *count = static_cast<uint32_t>(order.size());
            }
            return result;
        },
        SYNTHERR_ABORT);
}

uint16_t SynthCheckBank(const char* path)
{
    try {
        return CFluidCard::CheckBank(path);
    } catch (...) {
        return SYNTHERR_ABORT;
    }
}

void SynthGetErrorDetail(char* text, uint32_t size)
{
    if (text != nullptr && size > 0) {
        CopyText(CFluidCard::FailureDetail(), text, size);
    }
}
