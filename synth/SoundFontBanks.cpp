#include "SoundFontBanks.h"

#include "BankTable.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {
constexpr qint64 kFormSize = 12;
} // namespace

bool CSoundFontBanks::IsSoundFont(const QString& path)
{
    // Only a regular file: reading a pipe might wait for ever.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray form = file.read(kFormSize);
    return form.size() == kFormSize && form.startsWith("RIFF") && form.endsWith("sfbk");
}

QStringList CSoundFontBanks::HighestFirst(const CBankTable& bankTable)
{
    const SynthStatus& status = bankTable.Status();
    std::vector<SynthBankEntry> banks(
        status.banks, status.banks + std::min<uint32_t>(status.bankCount, MAX_BANKS));
    std::stable_sort(banks.begin(), banks.end(), [](const auto& left, const auto& right) {
        return left.priority != right.priority ? left.priority > right.priority
                                               : left.id < right.id;
    });
    QStringList paths;
    for (const SynthBankEntry& bank : banks) {
        const QString path =
            bank.id < MAX_BANKS ? bankTable.GetBankPath(static_cast<uint16_t>(bank.id)) : QString();
        if (IsSoundFont(path))
            paths.append(path);
    }
    return paths;
}
