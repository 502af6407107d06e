// Preset files on the bank table over an in-memory card: their bytes, the load with its
// progress and pause, and every way a preset file can be bad or unwritable.
#include "ArchiveReader.h"
#include "BankTable.h"
#include "FakeSynthLibrary.h"
#include "QtPrinters.h"
#include "RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

// Everything the load shows, in order, as "range N", "pos N" and "legend TEXT".
class RecordingProgress : public LoadProgress
{
public:
    explicit RecordingProgress(std::vector<std::string>& log) : m_log(log)
    {
        m_log.push_back("open");
    }
    ~RecordingProgress() override { m_log.push_back("close"); }
    void SetLegend(const QString& text) override
    {
        m_log.push_back("legend " + text.toStdString());
    }
    void SetRange(uint32_t max) override { m_log.push_back("range " + std::to_string(max)); }
    void SetPos(uint32_t position) override { m_log.push_back("pos " + std::to_string(position)); }

private:
    std::vector<std::string>& m_log;
};

QByteArray Word(uint32_t value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

QByteArray Str(const QByteArray& text)
{
    return char(text.size()) + text;
}

class PresetTest : public ::testing::Test
{
protected:
    FakeSynthLibrary card;
    CBankTable table{card};
    CRecordingMessageBox messages;
    QTemporaryDir dir;
    std::vector<std::string> shown;
    std::vector<int> sleeps;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        table.SetLoadProgress(
            [this](QWidget*) { return std::make_unique<RecordingProgress>(shown); });
        table.SetSleep([this](int milliseconds) { sleeps.push_back(milliseconds); });
        ASSERT_TRUE(table.Init(nullptr));
    }

    QString File(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Three banks of 1, 2 and 3 KiB with priorities 10, 20 and 30.
    void LoadThree()
    {
        const char* paths[] = {"/banks/a.94b", "/banks/b.94b", "/banks/c.94b"};
        for (uint16_t id = 0; id < 3; ++id) {
            card.bankSize = 1024u * (id + 1);
            ASSERT_EQ(table.LoadBank(QString::fromLatin1(paths[id])), id);
            ASSERT_EQ(table.SetBankPriority(id, 10 * (id + 1)), 0);
        }
    }

    // What the card holds, as "ID name:priority".
    std::vector<std::string> CardBanks() const
    {
        std::vector<std::string> banks;
        for (const auto& [id, bank] : card.banks)
            banks.push_back(std::to_string(id) + " " + bank.name + ":" +
                            std::to_string(bank.priority));
        return banks;
    }

    size_t LoadCalls() const
    {
        size_t loads = 0;
        for (const std::string& call : card.calls)
            loads += call.rfind("load ", 0) == 0;
        return loads;
    }
};

TEST_F(PresetTest, EmptyPresetIsSixteenBytesAndBecomesTheCurrentFile)
{
    ASSERT_TRUE(table.SavePreset(File("empty.pre")));
    EXPECT_EQ(Read(File("empty.pre")), Word(0) + Word(4 * 1024 * 1024) + QByteArray(8, '\0'));
    EXPECT_EQ(table.GetPresetName(), "empty.pre");
    EXPECT_EQ(table.GetPresetPath(), File("empty.pre"));
    EXPECT_FALSE(table.IsModified());
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(PresetTest, BanksAreWrittenAsRecordsThenTotalThenPathsByIdAndTwiceAlike)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    const QByteArray expected = Word(3) + Word(10) + Word(1024) + Word(20) + Word(2048) + Word(30) +
                                Word(3072) + Word(4 * 1024 * 1024) + Str("/banks/a.94b") +
                                Str("/banks/b.94b") + Str("/banks/c.94b") + QByteArray(5, '\0');
    EXPECT_EQ(Read(File("three.pre")), expected);

    ASSERT_TRUE(table.SavePreset());
    EXPECT_EQ(Read(File("three.pre")), expected) << "a second save without changes";
}

TEST_F(PresetTest, LoadRestoresBanksAndPrioritiesWithProgressAndPause)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    table.UnloadAllBanks();

    ASSERT_TRUE(table.LoadPreset(File("three.pre")));
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 a.94b:10", "1 b.94b:20", "2 c.94b:30"}));
    EXPECT_EQ(table.GetBankPath(2), "/banks/c.94b");
    EXPECT_EQ(table.GetPresetName(), "three.pre");
    EXPECT_FALSE(table.IsModified());
    EXPECT_EQ(table.PresetImage().bankCount, 0u) << "the image is cleared after the load";
    EXPECT_TRUE(messages.Calls().empty());
    // The bar follows the sizes saved in the file, not those of the banks now loaded.
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "open", "range 4194304", "pos 0", "legend Bank: /banks/a.94b", "pos 1024",
                         "legend Bank: /banks/b.94b", "pos 3072", "legend Bank: /banks/c.94b",
                         "pos 6144", "pos 4194304", "close"}));
    EXPECT_EQ(sleeps, std::vector<int>{500});
}

TEST_F(PresetTest, LoadUnloadsTheCardFirstAndAnEmptyPresetLeavesItEmpty)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    table.UnloadAllBanks();
    ASSERT_TRUE(table.SavePreset(File("empty.pre")));
    ASSERT_TRUE(table.LoadPreset(File("three.pre")));

    ASSERT_TRUE(table.LoadPreset(File("empty.pre")));
    EXPECT_TRUE(card.banks.empty());
    EXPECT_EQ(table.GetPresetName(), "empty.pre");
    EXPECT_FALSE(table.IsModified());
}

// After the bank with ID 1 of three was unloaded, the records and the paths of the file
// still pair up, and the load restores the same two banks with the same priorities.
TEST_F(PresetTest, PresetSavedAfterUnloadingAMiddleBankLoadsTheSameBanks)
{
    LoadThree();
    ASSERT_EQ(table.UnloadBank(1), 0);
    ASSERT_TRUE(table.SavePreset(File("hole.pre")));
    EXPECT_EQ(Read(File("hole.pre")).mid(24),
              Str("/banks/a.94b") + Str("/banks/c.94b") + QByteArray(6, '\0'));

    ASSERT_TRUE(table.LoadPreset(File("hole.pre")));
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 a.94b:10", "1 c.94b:30"}));
    EXPECT_EQ(table.GetBankPath(1), "/banks/c.94b");
    EXPECT_EQ(table.GetBankPath(2), "") << "no path is left behind for an ID not in use";
    EXPECT_TRUE(messages.Calls().empty());
}

// Files that hold their paths by bank ID, with the gap of an unloaded bank among them.
TEST_F(PresetTest, PresetWithPathsByIdAndAGapStillPairsEveryRecordWithItsFile)
{
    Write(File("by-id.pre"), Word(2) + Word(10) + Word(1024) + Word(30) + Word(3072) +
                                 Word(4 * 1024 * 1024) + Str("/banks/a.94b") + Str("") +
                                 Str("/banks/c.94b") + QByteArray(5, '\0'));
    ASSERT_TRUE(table.LoadPreset(File("by-id.pre")));
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 a.94b:10", "1 c.94b:30"}));
    EXPECT_TRUE(messages.Calls().empty());
}

// A bank found in the card at start has no known path: its record keeps its place, so the
// banks after it keep their own priorities, and the load says which bank it could not load.
TEST_F(PresetTest, BankWithoutAKnownPathKeepsTheOtherRecordsInPlace)
{
    card.Preload(0, {"OLD", 5, 1024});
    table.RefreshStatus();
    ASSERT_EQ(table.LoadBank("/banks/b.94b"), 1);
    ASSERT_EQ(table.SetBankPriority(1, 20), 0);
    ASSERT_TRUE(table.SavePreset(File("partial.pre")));
    card.missingFiles.insert("");
    card.calls.clear();

    ASSERT_TRUE(table.LoadPreset(File("partial.pre")));
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 b.94b:20"}));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text,
              "Unable to load bank: the preset names no file for its bank 1 of 2.");
    EXPECT_EQ(messages.Calls()[0].caption, "Warning");
    EXPECT_EQ(LoadCalls(), 1u) << "a record without a file is not handed to the card";
}

// A card that will not let go of a bank gets no preset on top of it.
TEST_F(PresetTest, BankThatCannotBeUnloadedStopsThePresetLoad)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    card.unloadFailures[1] = SYNTHERR_CANNOTDELETE;
    card.calls.clear();
    EXPECT_FALSE(table.LoadPreset(File("three.pre")));
    EXPECT_EQ(LoadCalls(), 0u);
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"1 b.94b:20", "2 c.94b:30"}));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Synth Error: SYNTHERR_CANNOTDELETE ");
    EXPECT_TRUE(table.IsModified());
}

// A preset naming a file the card cannot load is refused before any bank is unloaded: the
// card keeps its banks and the current preset stays, the message names the file and why.
TEST_F(PresetTest, BankFileTheCardCannotLoadRefusesThePresetAndKeepsTheBanks)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    Write(File("other.pre"), Word(2) + Word(5) + Word(1024) + Word(6) + Word(1024) +
                                 Word(4 * 1024 * 1024) + Str("/banks/x.94b") +
                                 Str("/banks/gone.94b") + QByteArray(6, '\0'));
    card.refusedFiles["/banks/gone.94b"] = SYNTHERR_FILENOTFOUND;
    card.calls.clear();

    EXPECT_FALSE(table.LoadPreset(File("other.pre")));
    EXPECT_EQ(card.calls, (std::vector<std::string>{"check /banks/x.94b", "check /banks/gone.94b"}))
        << "nothing unloaded or loaded";
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 a.94b:10", "1 b.94b:20", "2 c.94b:30"}));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text,
              "Unable to load bank:/banks/gone.94b\nSynth Error: SYNTHERR_FILENOTFOUND ");
    EXPECT_EQ(messages.Calls()[0].caption, "Error");
    EXPECT_EQ(table.GetPresetName(), "three.pre");
    EXPECT_FALSE(table.IsModified());

    // The refused preset's records are not left behind for the next load.
    ASSERT_TRUE(table.LoadPreset(File("three.pre")));
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 a.94b:10", "1 b.94b:20", "2 c.94b:30"}));
}

TEST_F(PresetTest, BankThatFailsIsReportedOnceAndTheOthersStillLoad)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    card.missingFiles.insert("/banks/b.94b");

    ASSERT_TRUE(table.LoadPreset(File("three.pre")));
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 a.94b:10", "1 c.94b:30"}));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Unable to load bank:/banks/b.94b");
    EXPECT_EQ(messages.Calls()[0].caption, "Warning");
    EXPECT_EQ(table.GetPresetName(), "three.pre");
    EXPECT_FALSE(table.IsModified());
}

TEST_F(PresetTest, PriorityTheCardRefusesIsReportedAndTheBankStays)
{
    Write(File("loud.pre"), Word(1) + Word(200) + Word(1024) + Word(4 * 1024 * 1024) +
                                Str("/banks/a.94b") + QByteArray(7, '\0'));
    ASSERT_TRUE(table.LoadPreset(File("loud.pre")));
    EXPECT_EQ(CardBanks(), (std::vector<std::string>{"0 a.94b:0"}));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Synth Error: SYNTHERR_INVADD ");
}

// A FIFO is never opened: reading it would wait for a writer that may never come.
TEST_F(PresetTest, MissingPresetLeavesTheCardAndTheNameUnchanged)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(File("fifo.pre")).constData(), 0600), 0);
    LoadThree();
    const std::vector<std::string> banks = CardBanks();
    for (const char* name : {"gone.pre", "fifo.pre"}) {
        SCOPED_TRACE(name);
        CRecordingMessageBox boxes;
        bool opened = true;
        EXPECT_FALSE(table.LoadPreset(File(name), &opened));
        EXPECT_FALSE(opened);
        EXPECT_EQ(CardBanks(), banks);
        EXPECT_EQ(table.GetBankPath(2), "/banks/c.94b");
        EXPECT_EQ(table.GetPresetName(), "No-preset Mode");
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].text, "Unable to find the preset file.\n" + File(name));
        EXPECT_EQ(boxes.Calls()[0].caption, "Error");
        EXPECT_TRUE(shown.empty()) << "no progress window for a file that cannot be read";
        EXPECT_TRUE(sleeps.empty());
    }
}

// Every cut of a sound file, bytes after its last entry (a zero-filled file among them),
// and counts above eight, are refused before the card is touched, with one message naming
// the file.
TEST_F(PresetTest, TruncatedOrMalformedPresetChangesNothing)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    const QByteArray sound = Read(File("three.pre"));
    std::vector<QByteArray> bad;
    for (qsizetype size = 0; size < sound.size(); ++size)
        bad.push_back(sound.left(size));
    bad.push_back(sound + '\0');
    bad.push_back(QByteArray(4096, '\0'));
    bad.push_back(Word(9) + QByteArray(200, '\0'));
    bad.push_back(Word(0xFFFFFFFF) + QByteArray(200, '\0'));
    bad.push_back(Word(0) + Word(1000) + "\xff\xfe\xff" + QByteArray(8, '\0'));
    const std::vector<std::string> banks = CardBanks();

    for (const QByteArray& bytes : bad) {
        SCOPED_TRACE(bytes.size());
        Write(File("bad.pre"), bytes);
        CRecordingMessageBox boxes;
        card.calls.clear();
        shown.clear();
        bool opened = false;
        EXPECT_FALSE(table.LoadPreset(File("bad.pre"), &opened));
        EXPECT_TRUE(opened);
        EXPECT_TRUE(card.calls.empty()) << "no load, no unload";
        EXPECT_EQ(CardBanks(), banks);
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ(table.GetPresetName(), "three.pre");
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].text, "This file is not a valid preset: " + File("bad.pre"));
        EXPECT_EQ(table.PresetImage().bankCount, 0u);
    }
}

TEST_F(PresetTest, FailedReadChangesNeitherImageNorPaths)
{
    LoadThree();
    QByteArray bytes = Word(1) + Word(5) + Word(6) + Word(7) + Str("/x.94b");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    CArchiveReader ar(buffer);
    table.SerializePreset(ar);
    EXPECT_FALSE(ar.Ok());
    EXPECT_EQ(table.PresetImage().bankCount, 0u);
    EXPECT_EQ(table.PresetImage().totalMemory, 0u);
    EXPECT_EQ(table.GetBankPath(0), "/banks/a.94b");
}

TEST_F(PresetTest, SaveThatCannotCreateItsFileIsReportedAndKeepsTheMark)
{
    ASSERT_TRUE(table.SavePreset(File("first.pre")));
    LoadThree();
    Write(File("file"), "x");
    EXPECT_FALSE(table.SavePreset(File("file/second.pre")));
    EXPECT_TRUE(table.IsModified());
    EXPECT_EQ(table.GetPresetName(), "first.pre") << "the current preset is still the old file";
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_TRUE(messages.Calls()[0].text.startsWith(
        "Unable to save the preset file: " + File("file/second.pre") + "\n"))
        << messages.Calls()[0].text.toStdString();
    EXPECT_EQ(messages.Calls()[0].caption, "Warning");
}

TEST_F(PresetTest, SaveWithoutAPathNeedsAPresetFile)
{
    LoadThree();
    EXPECT_FALSE(table.SavePreset()) << "No-preset Mode";
    ASSERT_TRUE(table.NewPreset());
    EXPECT_FALSE(table.SavePreset()) << "Untitled";
    EXPECT_FALSE(QFile::exists("Untitled"));
    EXPECT_TRUE(table.IsModified());
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(PresetTest, NewPresetIsUntitledEmptyAndModified)
{
    LoadThree();
    ASSERT_TRUE(table.SavePreset(File("three.pre")));
    EXPECT_TRUE(table.NewPreset());
    EXPECT_EQ(table.GetPresetName(), "Untitled");
    EXPECT_TRUE(card.banks.empty());
    EXPECT_TRUE(table.IsModified());

    LoadThree();
    card.unloadFailures[0] = SYNTHERR_CANNOTDELETE;
    EXPECT_FALSE(table.NewPreset());
    EXPECT_EQ(table.GetPresetName(), "Untitled");
}

} // namespace
