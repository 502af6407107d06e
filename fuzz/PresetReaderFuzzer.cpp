// Feeds arbitrary bytes to the bank table as a preset file: it must hold at most eight
// banks, and a file it refuses must leave the image and the path slots untouched.
#include "ArchiveReader.h"
#include "BankTable.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A card with nothing in it: reading a preset calls none of its operations.
class CEmptyCard : public SynthLibrary
{
public:
    uint16_t SynthLoadBank(const char*) override { std::abort(); }
    uint16_t SynthUnloadBank(uint16_t) override { std::abort(); }
    uint16_t SynthSetPriority(uint16_t, int32_t) override { std::abort(); }
    uint16_t SynthGetStatus(SynthStatus*) override { std::abort(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    CEmptyCard card;
    CBankTable table(card);
    CArchiveReader ar(file);
    table.SerializePreset(ar);

    const SynthStatus& image = table.PresetImage();
    if (image.bankCount > MAX_BANKS)
        std::abort();
    qsizetype pathBytes = 0;
    for (uint16_t id = 0; id < MAX_BANKS; ++id)
        pathBytes += table.GetBankPath(id).size();
    if (!ar.Ok() && (image.bankCount != 0 || image.totalMemory != 0 || pathBytes != 0))
        std::abort();
    // Every character of a path came from a byte of the file.
    if (pathBytes > static_cast<qsizetype>(size))
        std::abort();
    return 0;
}
