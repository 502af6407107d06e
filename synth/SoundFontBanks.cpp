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
        if (id < MAX_BANKS)
            paths.append(bankTable.GetBankPath(id));
    }
    FileIdentities files = FileIdentity::OfEach(paths);
    if (files != m_bankFiles) {
        m_soundFonts.clear();
        for (const QString& path : paths) {
            if (IsSoundFont(path))
                m_soundFonts.append(path);
        }
        m_bankFiles = std::move(files);
    }
    return m_soundFonts;
}
