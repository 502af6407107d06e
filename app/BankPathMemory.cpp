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

QMap<QString, QString> CBankPathMemory::Remembered(const CBankTable& table)
{
    QMap<QString, QString> settings;
    const SynthStatus& status = table.Status();
    for (uint16_t i = 0; i < status.bankCount; ++i) {
        const auto id = static_cast<uint16_t>(status.banks[i].id);
        const QString path = table.GetBankPath(id);
        if (path.isEmpty() || path == table.GetCardBankPath(id))
            continue;
        const QString group = BankGroup(id) + QLatin1Char('/');
        settings.insert(group + QStringLiteral("name"), table.GetBankName(i));
        settings.insert(group + QStringLiteral("size"), QString::number(status.banks[i].size));
        settings.insert(group + QStringLiteral("path"), path);
    }
    return settings;
}

QMap<QString, QString> CBankPathMemory::Held() const
{
    QSettings memory(m_strFilePath, QSettings::IniFormat);
    QMap<QString, QString> held;
    for (const QString& key : memory.allKeys())
        held.insert(key, memory.value(key).toString());
    return held;
}

bool CBankPathMemory::Save(const CBankTable& table) const
{
    if (m_strFilePath.isEmpty() || !table.StatusRead())
        return false;
    const QMap<QString, QString> wanted = Remembered(table);
    if (Held() == wanted)
        return true;
    // The keys are "group/key", sorted, so each group's keys follow one another.
    CIniWriter memory;
    QString group;
    for (auto setting = wanted.cbegin(); setting != wanted.cend(); ++setting) {
        const qsizetype slash = setting.key().indexOf(u'/');
        if (setting.key().left(slash) != group) {
            group = setting.key().left(slash);
            memory.BeginGroup(group);
        }
        memory.SetValue(setting.key().mid(slash + 1), setting.value());
    }
    QDir().mkpath(QFileInfo(m_strFilePath).path());
    return CWholeFile::Write(m_strFilePath, [&memory](QIODevice& file) {
        return file.write(memory.Text()) == memory.Text().size();
    });
}
