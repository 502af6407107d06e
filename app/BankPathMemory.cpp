#include "BankPathMemory.h"

#include "BankTable.h"

#include <QDir>
#include <QSettings>

namespace {

QString BankGroup(uint32_t id)
{
    return QStringLiteral("bank%1").arg(id);
}

} // namespace

QString CBankPathMemory::DefaultFile()
{
    const QString cardState = qEnvironmentVariable("KORVANE_CARD_STATE");
    if (!cardState.isEmpty())
        return cardState + QStringLiteral(".paths");
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    // The base directory rules ignore a relative value.
    if (stateHome.isEmpty() || QDir::isRelativePath(stateHome))
        stateHome = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(stateHome).filePath(QStringLiteral("korvane/bank-paths"));
}

void CBankPathMemory::Restore(CBankTable& table) const
{
    QSettings memory(m_strFilePath, QSettings::IniFormat);
    const SynthStatus& status = table.Status();
    for (uint16_t i = 0; i < status.bankCount; ++i) {
        const SynthBankEntry& bank = status.banks[i];
        memory.beginGroup(BankGroup(bank.id));
        const bool same = memory.value("name").toString() == table.GetBankName(i) &&
                          memory.value("size").toUInt() == bank.size;
        if (same && table.GetBankPath(static_cast<uint16_t>(bank.id)).isEmpty())
            table.SetBankPath(static_cast<uint16_t>(bank.id), memory.value("path").toString());
        memory.endGroup();
    }
}

bool CBankPathMemory::Save(const CBankTable& table) const
{
    QSettings memory(m_strFilePath, QSettings::IniFormat);
    memory.clear();
    const SynthStatus& status = table.Status();
    for (uint16_t i = 0; i < status.bankCount; ++i) {
        const SynthBankEntry& bank = status.banks[i];
        const QString path = table.GetBankPath(static_cast<uint16_t>(bank.id));
        if (path.isEmpty())
            continue;
        memory.beginGroup(BankGroup(bank.id));
        memory.setValue("name", table.GetBankName(i));
        memory.setValue("size", bank.size);
        memory.setValue("path", path);
        memory.endGroup();
    }
    memory.sync();
    return memory.status() == QSettings::NoError;
}
