// Feeds arbitrary bytes to the report template engine as the template, with three banks in
// the table: two whose files hold programs and one whose file is missing.
#include "BankFileWriter.h"
#include "BankTable.h"
#include "MappingReport.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// A card that takes every bank and keeps the list itself.
class FuzzCard : public SynthLibrary
{
public:
    uint16_t SynthLoadBank(const char* path) override
    {
        const uint32_t id = m_status.bankCount++;
        SynthBankEntry& entry = m_status.banks[id];
        std::strncpy(entry.name, path + std::strlen(path) - 5, SYNTH_BANK_NAME_SIZE - 1);
        entry.priority = static_cast<int32_t>(id) * 10;
        entry.size = 1536 * (id + 1);
        entry.id = id;
        m_status.freeMemory -= entry.size;
        return static_cast<uint16_t>(id);
    }
    uint16_t SynthUnloadBank(uint16_t) override { return SYNTHERR_NOTSUPPORTED; }
    uint16_t SynthSetPriority(uint16_t, int32_t) override { return SYNTHERR_NOTSUPPORTED; }
    uint16_t SynthGetStatus(SynthStatus* status) override
    {
        *status = m_status;
        return 0;
    }

private:
    SynthStatus m_status{1 << 20, 1 << 20, 0, {}};
};

QString WriteBank(const QTemporaryDir& dir, const char* name, uint16_t programs, uint16_t kits)
{
    CBankFileWriter bank(name);
    for (uint16_t i = 0; i < programs; ++i)
        bank.AddInstrument(i, static_cast<uint8_t>(i * 7));
    for (uint16_t i = 0; i < kits; ++i)
        bank.AddDrumKit(static_cast<uint16_t>(i * 8), 127);
    const QString path = dir.filePath(QString::fromLatin1(name) + ".94b");
    bank.Write(path.toStdString());
    return path;
}

const CBankTable& Table()
{
    static QTemporaryDir dir;
    static FuzzCard card;
    static CBankTable table(card);
    static const bool ready = [] {
        table.Init(nullptr);
        table.LoadBank(WriteBank(dir, "<b>A", 3, 2));
        table.LoadBank(WriteBank(dir, "B&", 1, 0));
        table.LoadBank(dir.filePath("missing.94b"));
        return true;
    }();
    (void)ready;
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer input(&bytes);
    input.open(QIODevice::ReadOnly);
    QBuffer output;
    output.open(QIODevice::WriteOnly);
    CMappingReport report(Table(), QStringLiteral("krv.mas"), QStringLiteral("/reports/a.htm"));
    report.Generate(input, output);
    return 0;
}
