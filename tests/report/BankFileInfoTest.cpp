// The bank file reader on files made by the bank-file writer, and on files that end
// early or hold odd bytes.
#include "BankFileInfo.h"
#include "ReportTest.h"
#include "SoundFontWriter.h"

#include <QFile>

namespace {

using BankFileInfoTest = ReportTest;

std::vector<Program> Instruments(const CBankFileInfo& bank)
{
    std::vector<Program> list;
    for (int i = 0; i < bank.GetInstrumentCount(); ++i)
        list.emplace_back(bank.GetInstrument(i).program, bank.GetInstrument(i).variation);
    return list;
}

std::vector<Program> DrumKits(const CBankFileInfo& bank)
{
    std::vector<Program> list;
    for (int i = 0; i < bank.GetDrumKitCount(); ++i)
        list.emplace_back(bank.GetDrumKit(i).program, bank.GetDrumKit(i).variation);
    return list;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

// The writer's smallest file ends right after the drum-kit list's end mark.
TEST_F(BankFileInfoTest, ReadsNameAndBothListsInFileOrderFromAMinimalFile)
{
    const std::vector<Program> instruments = {{5, 0}, {0, 8}, {127, 0}, {5, 0}};
    const std::vector<Program> drumKits = {{0, 127}, {300, 255}};
    CBankFileInfo bank;
    ASSERT_TRUE(bank.Read(MakeBank("a.94b", "PIANO", instruments, drumKits)));
    EXPECT_EQ(bank.GetName(), "PIANO");
    EXPECT_EQ(Instruments(bank), instruments);
    EXPECT_EQ(DrumKits(bank), drumKits);
    EXPECT_EQ(bank.GetInstrument(4), BankProgramEntry{}) << "past the end: an empty record";
    EXPECT_EQ(bank.GetDrumKit(-1), BankProgramEntry{});
}

TEST_F(BankFileInfoTest, EitherListMayBeEmpty)
{
    CBankFileInfo bank;
    ASSERT_TRUE(bank.Read(MakeBank("a.94b", "KEYS", {{1, 2}, {3, 4}})));
    EXPECT_EQ(Instruments(bank), (std::vector<Program>{{1, 2}, {3, 4}}));
    EXPECT_TRUE(DrumKits(bank).empty());

    ASSERT_TRUE(bank.Read(MakeBank("b.94b", "KITS", {}, {{0, 0}})));
    EXPECT_TRUE(Instruments(bank).empty());
    EXPECT_EQ(DrumKits(bank), (std::vector<Program>{{0, 0}}));
}

TEST_F(BankFileInfoTest, NameIsTheEightNameBytesUpToTheFirstNul)
{
    CBankFileInfo bank;
    ASSERT_TRUE(bank.Read(MakeBank("a.94b", "ABCDEFGH", {})));
    EXPECT_EQ(bank.GetName(), "ABCDEFGH") << "a name of 8 bytes has no NUL and is taken whole";

    // Name bytes after a NUL are not part of the name, nor is the next field.
    QByteArray bytes = ReadAll(MakeBank("b.94b", "SHORT", {}));
    bytes.replace(14, 2, "XY");
    bytes[16] = 'Z';
    ASSERT_TRUE(bank.Read(WriteFile("c.94b", bytes)));
    EXPECT_EQ(bank.GetName(), "SHORT");
}

TEST_F(BankFileInfoTest, ASecondReadLeavesNothingOfTheFirst)
{
    CBankFileInfo bank;
    ASSERT_TRUE(bank.Read(MakeBank("a.94b", "FIRSTONE", {{1, 1}, {2, 2}}, {{3, 3}})));
    ASSERT_TRUE(bank.Read(MakeBank("b.94b", "TWO", {{9, 9}})));
    EXPECT_EQ(bank.GetName(), "TWO");
    EXPECT_EQ(Instruments(bank), (std::vector<Program>{{9, 9}}));
    EXPECT_TRUE(DrumKits(bank).empty());
}

TEST_F(BankFileInfoTest, OnlyTheFirstTwoBytesOfARecordMarkTheEndOfAList)
{
    // Instrument records: (1, 0), then FF FF 07 ... which ends the list although the rest
    // of the record is not FF; the drum kits follow right after the two FF bytes.
    QByteArray bytes(26, '\0');
    bytes.append(QByteArray::fromHex("010000000000"));
    bytes.append(QByteArray::fromHex("ffff"));
    bytes.append(QByteArray::fromHex("020003000000"));
    bytes.append(QByteArray::fromHex("ffff07ffffff"));
    CBankFileInfo bank;
    ASSERT_TRUE(bank.Read(WriteFile("a.94b", bytes)));
    EXPECT_EQ(Instruments(bank), (std::vector<Program>{{1, 0}}));
    EXPECT_EQ(DrumKits(bank), (std::vector<Program>{{2, 3}}));

    // A program of 0xFFFE, or FF in the second byte alone, is an ordinary record.
    bytes = QByteArray(26, '\0') + QByteArray::fromHex("feff00000000ff01ff000000ffffffff");
    ASSERT_TRUE(bank.Read(WriteFile("b.94b", bytes)));
    EXPECT_EQ(Instruments(bank), (std::vector<Program>{{0xFFFE, 0}, {0x01FF, 0xFF}}));
}

// A file cut at any length is read as far as it goes: the name bytes it has, and the
// whole records before the end, which are those of the full file.
TEST_F(BankFileInfoTest, AFileCutAnywhereIsReadAsFarAsItGoes)
{
    const std::vector<Program> instruments = {{10, 1}, {11, 2}, {12, 3}};
    const std::vector<Program> drumKits = {{20, 4}, {21, 5}};
    const QByteArray full = ReadAll(MakeBank("full.94b", "CUTSHORT", instruments, drumKits));
    const qsizetype drumStart = 26 + 3 * 6 + 2;
    for (qsizetype length = 0; length < full.size(); ++length) {
        SCOPED_TRACE(length);
        CBankFileInfo bank;
        ASSERT_TRUE(bank.Read(WriteFile("cut.94b", full.left(length))));
        EXPECT_EQ(bank.GetName(), QString::fromLatin1(full.left(length).mid(8, 8)));
        const auto wholeRecords = [length](qsizetype start, std::size_t count) {
            return std::min<std::size_t>(count, length < start ? 0 : (length - start) / 6);
        };
        EXPECT_EQ(Instruments(bank),
                  std::vector<Program>(instruments.begin(),
                                       instruments.begin() + wholeRecords(26, instruments.size())));
        EXPECT_EQ(DrumKits(bank), std::vector<Program>(
                                      drumKits.begin(),
                                      drumKits.begin() + wholeRecords(drumStart, drumKits.size())));
    }
}

TEST_F(BankFileInfoTest, WhatIsNoFileCannotBeReadAndEmptiesTheContents)
{
    CBankFileInfo bank;
    ASSERT_TRUE(bank.Read(MakeBank("a.94b", "OLD", {{1, 1}}, {{2, 2}})));
    EXPECT_FALSE(bank.Read(m_dir.filePath("missing.94b")));
    EXPECT_EQ(bank.GetName(), "");
    EXPECT_EQ(bank.GetInstrumentCount(), 0);
    EXPECT_EQ(bank.GetDrumKitCount(), 0);

    ASSERT_TRUE(bank.Read(MakeBank("a.94b", "OLD", {{1, 1}})));
    EXPECT_FALSE(bank.Read(m_dir.path()));
    EXPECT_FALSE(bank.Read(QString()));
    EXPECT_EQ(bank.GetInstrumentCount(), 0);
}

TEST_F(BankFileInfoTest, ASoundFontGivesItsPresetsByNameWithBank128AsDrumKits)
{
    CSoundFontWriter font("Studio Set");
    font.AddPreset("Violin", 0, 40);
    font.AddPreset("Standard", 128, 0);
    font.AddPreset("Slow Violin", 8, 40);
    font.AddPreset("Piano", 0, 0);
    font.AddPreset("Brushes", 128, 40);
    const QString path = m_dir.filePath(QStringLiteral("studio.sf2"));
    ASSERT_TRUE(font.Write(path.toStdString()));
    CBankFileInfo bank;
    ASSERT_TRUE(bank.Read(path));
    EXPECT_EQ(bank.GetName(), "Studio Set");
    EXPECT_EQ(Instruments(bank), (std::vector<Program>{{0, 0}, {40, 0}, {40, 8}}));
    EXPECT_EQ(DrumKits(bank), (std::vector<Program>{{0, 0}, {40, 0}}));
    EXPECT_EQ(bank.GetInstrument(2).name, "Slow Violin");
    EXPECT_EQ(bank.GetDrumKit(1).name, "Brushes");

    // Without a name of its own a SoundFont goes by its file name, as in the card.
    CSoundFontWriter unnamed;
    unnamed.AddPreset("Organ", 0, 19);
    const QString plain = m_dir.filePath(QStringLiteral("plain.sf2"));
    ASSERT_TRUE(unnamed.Write(plain.toStdString()));
    ASSERT_TRUE(bank.Read(plain));
    EXPECT_EQ(bank.GetName(), "plain");
    EXPECT_EQ(bank.GetInstrument(0), (BankProgramEntry{19, 0, "Organ"}));
}

TEST_F(BankFileInfoTest, ASoundFontThatFluidSynthRefusesCannotBeRead)
{
    CSoundFontWriter font("Studio Set");
    font.AddPreset("Violin", 0, 40);
    const std::vector<uint8_t> bytes = font.Bytes();
    const QByteArray whole(reinterpret_cast<const char*>(bytes.data()),
                           static_cast<qsizetype>(bytes.size()));
    CBankFileInfo bank;
    for (const qsizetype size : {whole.size() - 10, whole.size() / 2, qsizetype{12}}) {
        EXPECT_FALSE(bank.Read(WriteFile(QStringLiteral("cut.sf2"), whole.left(size)))) << size;
        EXPECT_EQ(bank.GetInstrumentCount(), 0);
        EXPECT_EQ(bank.GetName(), "");
    }
}
