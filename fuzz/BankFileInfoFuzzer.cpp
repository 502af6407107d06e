// Feeds arbitrary bytes to the bank file reader as a bank file: it must end at the end of
// the bytes, keep only whole records, and never read past them.
#include "BankFileInfo.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    CBankFileInfo bank;
    bank.Read(file);
    // The header, the records read and the end marks that came before them.
    const size_t records = static_cast<size_t>(bank.GetInstrumentCount() + bank.GetDrumKitCount());
    const size_t endMarks = bank.GetDrumKitCount() > 0 ? 1 : 0;
    if (records > 0 && 26 + 6 * records + 2 * endMarks > size)
        std::abort();
    if (bank.GetName().size() > 8)
        std::abort();
    return 0;
}
