// The card's SoundFonts as the player loads them: found by their content, highest priority
// first, everything else left out.
#include "SoundFontBanks.h"

#include "BankTable.h"
#include "FakeSynthLibrary.h"
#include "RecordingMessageBox.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(SoundFontBanksTest, TheCardsSoundFontsComeHighestPriorityFirstAndOtherBanksAreLeftOut)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray form("RIFF\x04\x00\x00\x00sfbk", 12);
    const QString low = Write(dir, QStringLiteral("low.sf2"), form);
    const QString bank = Write(dir, QStringLiteral("bank.94b"), QByteArray(64, '\0'));
    const QString high = Write(dir, QStringLiteral("high.sf3"), form);
    const QString tie = Write(dir, QStringLiteral("tie.sf2"), form);
    const QString wave = Write(dir, QStringLiteral("wave.sf2"), "RIFF\x04\x00\x00\x00WAVEfmt ");
    const QString pipe = dir.filePath(QStringLiteral("pipe.sf2"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    FakeSynthLibrary card;
    CRecordingMessageBox messages;
    CBankTable table(card);
    ASSERT_TRUE(table.Init(nullptr));
    for (const QString& path : {low, bank, high, tie, wave, pipe})
        ASSERT_LT(table.LoadBank(path), 16);
    ASSERT_EQ(table.SetBankPriority(1, 90), 0);
    ASSERT_EQ(table.SetBankPriority(2, 50), 0);

    // Same priority: the lower bank ID is searched first, as on the card.
    CSoundFontBanks soundFonts;
    EXPECT_EQ(soundFonts.HighestFirst(table), (QStringList{high, low, tie}));
    ASSERT_EQ(table.UnloadBank(2), 0);
    ASSERT_EQ(table.SetBankPriority(3, 1), 0);
    EXPECT_EQ(soundFonts.HighestFirst(table), (QStringList{tie, low}));
}

} // namespace
