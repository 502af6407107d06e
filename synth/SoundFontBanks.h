// The banks in the card that are SoundFont files, which the MIDI player plays with and the
// report reads with FluidSynth.
#pragma once

#include "FileIdentity.h"

#include <QString>
#include <QStringList>

class CBankTable;

class CSoundFontBanks
{
public:
    // The SoundFont bank that holds the drum kits.
    static constexpr int kDrumKitBank = 128;

    // Whether the file at path is a SoundFont: a regular file that is a RIFF "sfbk" form.
    static bool IsSoundFont(const QString& path);
    // The paths of the SoundFont banks of the table's last status in the order the card
    // searches them (CBankTable::SearchOrder), the first searched first. Which files are
    // SoundFonts is read from the files only when the card's bank files change (other files,
    // or the same files changed), so that a play or an audition does not wait for it.
    QStringList HighestFirst(const CBankTable& bankTable);

private:
    // The files of the card's banks in search order when last asked, as they were then,
    // and the SoundFonts among them.
    FileIdentities m_bankFiles;
    QStringList m_soundFonts;
};
