// The bank table on the simulated card library, with the card kept in a temporary
// directory: what a user sees across runs of the program and with two programs at once.
#include "BankFileWriter.h"
#include "BankTable.h"
#include "QtPrinters.h"
#include "RecordingMessageBox.h"
#include "SharedSynthLibrary.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class CardBankTableTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    std::unique_ptr<CSharedSynthLibrary> card;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        qputenv("KORVANE_CARD_STATE", dir.filePath("card.state").toLocal8Bit());
        qputenv("KORVANE_CARD_MEMORY", "4194304");
        card = std::make_unique<CSharedSynthLibrary>(QStringLiteral(KORVANE_CARD_LIBRARY));
        ASSERT_TRUE(card->IsLoaded()) << card->ErrorString().toStdString();
    }

    QString MakeBank(const std::string& name, uint64_t size)
    {
        const QString path = dir.filePath(QString::fromStdString(name) + ".94b");
        CBankFileWriter bank(name);
        bank.AddInstrument(0, 0);
        bank.AddDrumKit(0, 127);
        bank.SetSize(size);
        std::string error;
        EXPECT_TRUE(bank.Write(path.toStdString(), &error)) << error;
        return path;
    }
};

TEST_F(CardBankTableTest, IdsFollowTheLowestFreeSlotAndPathsFollowTheIds)
{
    CBankTable table(*card);
    ASSERT_TRUE(table.Init(nullptr));
    const QString a = MakeBank("ALPHA", 4096), b = MakeBank("BRAVO", 8192),
                  c = MakeBank("CHARLIE", 4096);
    EXPECT_EQ(table.LoadBank(a), 0);
    EXPECT_EQ(table.LoadBank(b), 1);
    EXPECT_EQ(table.LoadBank(c), 2);
    EXPECT_EQ(table.GetBankName(1), "BRAVO");
    EXPECT_EQ(table.GetUsedMemory(), 16384u);

    EXPECT_EQ(table.UnloadBank(1), 0);
    EXPECT_EQ(table.LoadBank(c), 1);
    EXPECT_EQ(table.GetBankPath(1), c);
    EXPECT_EQ(table.GetBankPath(0), a);
    EXPECT_EQ(table.UnloadBank(5), SYNTHERR_UNREF);
}

TEST_F(CardBankTableTest, CardErrorsComeBackAsStatusCodes)
{
    CBankTable table(*card);
    ASSERT_TRUE(table.Init(nullptr));
    EXPECT_EQ(table.LoadBank(dir.filePath("missing.94b")),
              SYNTH_LOAD_ERROR_BASE + SYNTHERR_FILENOTFOUND);
    EXPECT_EQ(table.LoadBank(MakeBank("HUGE", 5 * 1024 * 1024)),
              SYNTH_LOAD_ERROR_BASE + SYNTHERR_OUTOFMEM);
    EXPECT_EQ(table.Status().bankCount, 0u);
    EXPECT_EQ(table.LoadBank(MakeBank("SMALL", 512)), 0);
    EXPECT_EQ(table.SetBankPriority(0, 128), SYNTHERR_INVADD);
    EXPECT_EQ(table.SetBankPriority(0, 127), 0);
    EXPECT_EQ(table.Status().banks[0].priority, 127);
}

TEST_F(CardBankTableTest, BanksStayInTheCardForTheNextRun)
{
    const QString path = MakeBank("PERSIST", 65536);
    {
        CBankTable firstRun(*card);
        ASSERT_TRUE(firstRun.Init(nullptr));
        ASSERT_EQ(firstRun.LoadBank(path), 0);
        ASSERT_EQ(firstRun.SetBankPriority(0, 42), 0);
    }
    CSharedSynthLibrary secondProgram(QStringLiteral(KORVANE_CARD_LIBRARY));
    CBankTable nextRun(secondProgram);
    ASSERT_TRUE(nextRun.Init(nullptr));
    ASSERT_EQ(nextRun.Status().bankCount, 1u);
    EXPECT_EQ(nextRun.GetBankName(0), "PERSIST");
    EXPECT_EQ(nextRun.Status().banks[0].priority, 42);
    EXPECT_EQ(nextRun.Status().banks[0].size, 65536u);
    EXPECT_EQ(nextRun.GetBankPath(0), "") << "a bank found at start has no known path";
}

TEST_F(CardBankTableTest, TwoProgramsChangingTheCardAtOnceLoseNothing)
{
    constexpr int kRounds = 40;
    const QString banks[2] = {MakeBank("LEFT", 4096), MakeBank("RIGHT", 8192)};
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_NE(children[child], -1);
        if (children[child] == 0) {
            CBankTable table(*card);
            int failures = 0;
            for (int round = 0; round < kRounds; ++round) {
                const uint16_t id = table.LoadBank(banks[child]);
                failures += id >= SYNTH_LOAD_ERROR_BASE;
                failures += table.SetBankPriority(id, round) != 0;
                failures += table.UnloadBank(id) != 0;
            }
            _exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a program saw a failure";
    }
    CBankTable table(*card);
    ASSERT_TRUE(table.Init(nullptr));
    EXPECT_EQ(table.Status().bankCount, 0u);
    EXPECT_EQ(table.Status().freeMemory, table.Status().totalMemory);
}

// A preset saved in one run restores the same banks with their priorities in the next,
// however the card was changed in between.
TEST_F(CardBankTableTest, PresetRestoresTheBanksInTheNextRun)
{
    const QString preset = dir.filePath("live.pre");
    const QString piano = MakeBank("PIANO", 8192), drums = MakeBank("DRUMS", 4096),
                  pads = MakeBank("PADS", 2048);
    {
        CBankTable firstRun(*card);
        firstRun.SetSleep([](int) {});
        ASSERT_TRUE(firstRun.Init(nullptr));
        for (const QString& bank : {piano, drums, pads})
            ASSERT_LT(firstRun.LoadBank(bank), MAX_BANKS);
        ASSERT_EQ(firstRun.SetBankPriority(0, 64), 0);
        ASSERT_EQ(firstRun.SetBankPriority(2, 127), 0);
        ASSERT_EQ(firstRun.UnloadBank(1), 0);
        ASSERT_TRUE(firstRun.SavePreset(preset));
        ASSERT_EQ(firstRun.LoadBank(drums), 1);
    }
    CSharedSynthLibrary nextProgram(QStringLiteral(KORVANE_CARD_LIBRARY));
    CBankTable nextRun(nextProgram);
    nextRun.SetSleep([](int) {});
    ASSERT_TRUE(nextRun.Init(nullptr));
    CRecordingMessageBox messages;
    ASSERT_TRUE(nextRun.LoadPreset(preset));
    EXPECT_TRUE(messages.Calls().empty());
    const SynthStatus& status = nextRun.Status();
    ASSERT_EQ(status.bankCount, 2u);
    EXPECT_EQ(nextRun.GetBankName(0), "PIANO");
    EXPECT_EQ(status.banks[0].priority, 64);
    EXPECT_EQ(nextRun.GetBankName(1), "PADS");
    EXPECT_EQ(status.banks[1].priority, 127);
    EXPECT_EQ(nextRun.GetBankPath(1), pads);
    EXPECT_EQ(nextRun.GetUsedMemory(), 8192u + 2048u);
    EXPECT_EQ(nextRun.GetPresetName(), "live.pre");
}

// The card's own file check refuses the preset before anything is unloaded.
TEST_F(CardBankTableTest, PresetWithADeletedBankFileIsRefusedAndNamesIt)
{
    const QString preset = dir.filePath("live.pre");
    const QString kept = MakeBank("KEPT", 4096), deleted = MakeBank("DELETED", 4096);
    CBankTable table(*card);
    table.SetSleep([](int) {});
    ASSERT_TRUE(table.Init(nullptr));
    ASSERT_EQ(table.LoadBank(deleted), 0);
    ASSERT_EQ(table.LoadBank(kept), 1);
    ASSERT_EQ(table.SetBankPriority(1, 9), 0);
    ASSERT_TRUE(table.SavePreset(preset));
    ASSERT_TRUE(QFile::remove(deleted));

    CRecordingMessageBox messages;
    EXPECT_FALSE(table.LoadPreset(preset));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text,
              "Unable to load bank:" + deleted + "\nSynth Error: SYNTHERR_FILENOTFOUND ");
    ASSERT_EQ(table.Status().bankCount, 2u);
    EXPECT_EQ(table.GetBankName(0), "DELETED");
    EXPECT_EQ(table.GetBankName(1), "KEPT");
    EXPECT_EQ(table.Status().banks[1].priority, 9);
    EXPECT_EQ(table.GetPresetName(), "live.pre");
    EXPECT_FALSE(table.IsModified());
}

} // namespace

// Another program swaps the bank in slot 1 and changes slot 0's priority: the table sees
// the change once, keeps the path of the bank that stayed and forgets the swapped one's.
TEST_F(CardBankTableTest, FollowCardSeesAnotherProgramsChangesOnce)
{
    const QString a = MakeBank("ALPHA", 4096), b = MakeBank("BRAVO", 8192),
                  c = MakeBank("CHARLIE", 4096);
    CBankTable mine(*card);
    ASSERT_TRUE(mine.Init(nullptr));
    ASSERT_EQ(mine.LoadBank(a), 0);
    ASSERT_EQ(mine.LoadBank(b), 1);
    EXPECT_FALSE(mine.FollowCard());

    CBankTable other(*card);
    ASSERT_TRUE(other.Init(nullptr));
    ASSERT_EQ(other.UnloadBank(1), 0);
    ASSERT_EQ(other.LoadBank(c), 1);
    ASSERT_EQ(other.SetBankPriority(0, 9), 0);

    EXPECT_TRUE(mine.FollowCard());
    EXPECT_EQ(mine.GetBankName(1), "CHARLIE");
    EXPECT_EQ(mine.Status().banks[0].priority, 9);
    EXPECT_EQ(mine.GetBankPath(0), a);
    EXPECT_EQ(mine.GetBankPath(1), QString());
    EXPECT_FALSE(mine.FollowCard());
}
