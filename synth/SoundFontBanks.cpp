#include "SoundFontBanks.h"

#include "BankTable.h"
#include "NativePath.h"
#include "SoundFontChunks.h"

#include <QFile>

#include <algorithm>

bool CSoundFontBanks::IsSoundFont(const QString& path)
{
    return CSoundFontChunks().Read(CNativePath::Encode(path).constData()) !=
           CSoundFontChunks::Result::NotSoundFont;
}

std::vector<SynthBankEntry> CSoundFontBanks::SearchOrder(const SynthStatus& status)
{
    std::vector<SynthBankEntry> banks(
        status.banks, status.banks + std::min<uint32_t>(status.bankCount, MAX_BANKS));
    std::stable_sort(banks.begin(), banks.end(), [](const auto& left, const auto& right) {
        return left.priority != right.priority ? left.priority > right.priority
                                               : left.id < right.id;
    });
    return banks;
}

QStringList CSoundFontBanks::HighestFirst(const CBankTable& bankTable)
{
    QStringList paths;
    for (const SynthBankEntry& bank : SearchOrder(bankTable.Status())) {
        const QString path =
            bank.id < MAX_BANKS ? bankTable.GetBankPath(static_cast<uint16_t>(bank.id)) : QString();
        if (IsSoundFont(path))
            paths.append(path);
    }
    return paths;
}
