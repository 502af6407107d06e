#include "SoundFontBanks.h"

#include "BankTable.h"
#include "NativePath.h"
#include "SoundFontChunks.h"

#include <QFile>

bool CSoundFontBanks::IsSoundFont(const QString& path)
{
    return CSoundFontChunks().Read(CNativePath::Encode(path).constData()) !=
           CSoundFontChunks::Result::NotSoundFont;
}

QStringList CSoundFontBanks::HighestFirst(const CBankTable& bankTable)
{
    QStringList paths;
    for (const uint16_t id : bankTable.SearchOrder()) {
        const QString path = id < MAX_BANKS ? bankTable.GetBankPath(id) : QString();
        if (IsSoundFont(path))
            paths.append(path);
    }
    return paths;
}
