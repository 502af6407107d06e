#include "BankPathMemory.h"

#include "BankTable.h"
#include "CardChoice.h"
#include "CardSettings.h"
#include "ExecutableDir.h"
#include "FluidSettings.h"
#include "IniWriter.h"
#include "NativePath.h"
#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QString BankGroup(uint32_t id)
{
    return QStringLiteral("bank%1").arg(id);
}

// Before each card kept its own file, both shared this one in the same folder. Until a card
// has a file of its own it reads that one: each bank's name and size still have to match.
QString EarlierSharedFile(const QString& filePath)
{
    return QFileInfo(filePath).dir().filePath(QStringLiteral("bank-paths"));
}

} // namespace

QString CBankPathMemory::FileFor(const QString& libraryPath)
{
    if (!CCardChoice::IsServerLibrary(libraryPath)) {
        const std::string state = CCardSettings::StatePath();
        return state.empty() ? QString() : CNativePath::Decode(state) + QStringLiteral(".paths");
    }
    const std::string state = CFluidSettings::StatePath();
    if (state.empty())
        return QString();
    return CNativePath::Decode(state) + QLatin1Char('.') + CCardChoice().AddressInUse() +
           QStringLiteral(".paths");
}

QString CBankPathMemory::FileForCard(const QString& cardForThisRun)
{
    return FileFor(CCardChoice().LibraryPath(CExecutableDir::Path(), cardForThisRun));
}

void CBankPathMemory::Restore(CBankTable& table) const
{
    if (m_strFilePath.isEmpty())
        return;
    QSettings memory(QFileInfo::exists(m_strFilePath) ? m_strFilePath
                                                      : EarlierSharedFile(m_strFilePath),
                     QSettings::IniFormat);
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
    if (m_strFilePath.isEmpty() || !table.StatusRead())
        return false;
    CIniWriter memory;
    const SynthStatus& status = table.Status();
    for (uint16_t i = 0; i < status.bankCount; ++i) {
        const SynthBankEntry& bank = status.banks[i];
        const QString path = table.GetBankPath(static_cast<uint16_t>(bank.id));
        if (path.isEmpty())
            continue;
        memory.BeginGroup(BankGroup(bank.id));
        memory.SetValue(QStringLiteral("name"), table.GetBankName(i));
        memory.SetValue(QStringLiteral("size"), QString::number(bank.size));
        memory.SetValue(QStringLiteral("path"), path);
    }
    QDir().mkpath(QFileInfo(m_strFilePath).path());
    return CWholeFile::Write(m_strFilePath, [&memory](QIODevice& file) {
        return file.write(memory.Text()) == memory.Text().size();
    });
}
