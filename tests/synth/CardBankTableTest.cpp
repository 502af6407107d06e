// The bank table on the simulated card library, with the card kept in a temporary
// directory: what a user sees across runs of the program and with two programs at once.
#include "BankFileWriter.h"
#include "BankTable.h"
#include "SharedSynthLibrary.h"

#include <gtest/gtest.h>

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

} // namespace
