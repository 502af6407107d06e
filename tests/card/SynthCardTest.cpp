#include "SynthCard.h"
#include "CardState.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace {

constexpr uint16_t LOAD_ERROR(uint16_t code)
{
    return static_cast<uint16_t>(SYNTH_LOAD_ERROR_BASE + code);
}

std::vector<uint8_t> TruncatedState()
{
    CCardState state(1000);
    uint16_t id = 0;
    EXPECT_EQ(state.AddBank("A", 10, &id), SYNTH_OK);
    auto bytes = state.Serialize();
    bytes.pop_back();
    return bytes;
}

std::vector<uint8_t> OtherVersionState()
{
    auto bytes = CCardState(1000).Serialize();
    bytes[8] = CCardState::FORMAT_VERSION + 1;
    return bytes;
}

class SynthCardTest : public ::testing::Test
{
protected:
    CSynthCard Card(uint32_t memory = 10000) const
    {
        return CSynthCard(CCardStore(m_dir.Path("card.state"), memory));
    }

    SynthStatus Status(const CSynthCard& card) const
    {
        SynthStatus status;
        EXPECT_EQ(card.GetStatus(&status), SYNTH_OK);
        return status;
    }

    ino_t StateInode() const
    {
        struct stat info
        {
        };
        EXPECT_EQ(::stat(m_dir.Path("card.state").c_str(), &info), 0);
        return info.st_ino;
    }

    CTempDir m_dir;
};

TEST_F(SynthCardTest, LoadReportsTheFirstProblemInTheDocumentedOrder)
{
    const CSynthCard card = Card(1000);
    const std::string small = m_dir.WriteBank("small.94b", "SMALL", 100);
    const std::string big = m_dir.WriteBank("big.94b", "BIG", 2000);
    const std::string notBank = m_dir.WriteBytes("not.94b", std::vector<uint8_t>(500, 0));

    EXPECT_EQ(card.LoadBank(big.c_str()), LOAD_ERROR(SYNTHERR_OUTOFMEM));
    // A size past 32 bits must not wrap around into one that fits (the file is sparse).
    std::filesystem::resize_file(big, (uint64_t{1} << 32) + 100);
    EXPECT_EQ(card.LoadBank(big.c_str()), LOAD_ERROR(SYNTHERR_OUTOFMEM));
    EXPECT_EQ(card.LoadBank(notBank.c_str()), LOAD_ERROR(SYNTHERR_INVCOM));
    // A file too large for the free memory is refused by its size before it is read.
    std::filesystem::resize_file(notBank, 5000);
    EXPECT_EQ(card.LoadBank(notBank.c_str()), LOAD_ERROR(SYNTHERR_OUTOFMEM));
    EXPECT_EQ(card.LoadBank(m_dir.Path("missing.94b").c_str()), LOAD_ERROR(SYNTHERR_FILENOTFOUND));
    EXPECT_EQ(card.LoadBank(nullptr), LOAD_ERROR(SYNTHERR_FILENOTFOUND));
    for (uint16_t id = 0; id < SYNTH_MAX_BANKS; ++id) {
        ASSERT_EQ(card.LoadBank(small.c_str()), id);
    }
    EXPECT_EQ(card.LoadBank(m_dir.Path("missing.94b").c_str()), LOAD_ERROR(SYNTHERR_INVCOUNT));
    EXPECT_EQ(card.LoadBank(nullptr), LOAD_ERROR(SYNTHERR_INVCOUNT));

    const SynthStatus status = Status(card);
    EXPECT_EQ(status.bankCount, 8u);
    EXPECT_EQ(status.freeMemory, 200u);
    EXPECT_STREQ(status.banks[7].name, "SMALL");
    EXPECT_EQ(status.banks[7].size, 100u);
}

TEST_F(SynthCardTest, FailedOperationsLeaveTheStateFileAsItWas)
{
    const CSynthCard card = Card(1000);
    ASSERT_EQ(card.LoadBank(m_dir.WriteBank("a.94b", "A", 100).c_str()), 0);
    const auto bytes = m_dir.ReadBytes("card.state");
    const ino_t inode = StateInode(); // every write replaces the file

    EXPECT_EQ(card.LoadBank(m_dir.WriteBank("big.94b", "BIG", 5000).c_str()),
              LOAD_ERROR(SYNTHERR_OUTOFMEM));
    EXPECT_EQ(card.UnloadBank(1), SYNTHERR_UNREF);
    EXPECT_EQ(card.SetPriority(0, 128), SYNTHERR_INVADD);
    EXPECT_EQ(card.SetPriority(5, 1), SYNTHERR_UNREF);
    SynthStatus status;
    EXPECT_EQ(card.GetStatus(&status), SYNTH_OK);
    EXPECT_EQ(card.GetStatus(nullptr), SYNTHERR_INVADD);

    EXPECT_EQ(StateInode(), inode);
    EXPECT_EQ(m_dir.ReadBytes("card.state"), bytes);
}

TEST_F(SynthCardTest, TwoSessionsSeeOneCard)
{
    const CSynthCard first = Card();
    const CSynthCard second = Card();
    ASSERT_EQ(first.LoadBank(m_dir.WriteBank("a.94b", "ALPHA", 300).c_str()), 0);
    ASSERT_EQ(second.LoadBank(m_dir.WriteBank("b.94b", "BETA", 500).c_str()), 1);
    ASSERT_EQ(first.SetPriority(1, 42), SYNTH_OK);
    ASSERT_EQ(second.UnloadBank(0), SYNTH_OK);

    const SynthStatus status = Status(first);
    EXPECT_EQ(status.totalMemory, 10000u);
    EXPECT_EQ(status.freeMemory, 9500u);
    ASSERT_EQ(status.bankCount, 1u);
    EXPECT_EQ(status.banks[0].id, 1u);
    EXPECT_STREQ(status.banks[0].name, "BETA");
    EXPECT_EQ(status.banks[0].priority, 42);
}

TEST_F(SynthCardTest, AnExistingCardKeepsTheMemoryItWasCreatedWith)
{
    EXPECT_EQ(Status(Card(4096)).totalMemory, 4096u);
    EXPECT_EQ(Status(Card(8192)).totalMemory, 4096u);
}

TEST_F(SynthCardTest, UnusableStateIsSetAsideAndTheNextCallStartsANewCard)
{
    const std::vector<std::vector<uint8_t>> broken = {
        {},
        TruncatedState(),
        OtherVersionState(),
        std::vector<uint8_t>(300, 0x5A),
    };
    for (std::size_t i = 0; i < broken.size(); ++i) {
        m_dir.WriteBytes("card.state", broken[i]);
        SynthStatus status;
        std::memset(&status, 0xAB, sizeof status);
        EXPECT_EQ(Card().GetStatus(&status), SYNTHERR_ABORT);
        EXPECT_EQ(status.totalMemory, 0u);
        EXPECT_EQ(status.banks[7].size, 0u);

        EXPECT_EQ(Status(Card()).bankCount, 0u);
    }
    // Each broken file was kept under a name of its own, none over an earlier one.
    for (std::size_t i = 0; i < broken.size(); ++i) {
        const std::string aside = i == 0 ? "card.state.bad" : "card.state.bad." + std::to_string(i);
        EXPECT_EQ(m_dir.ReadBytes(aside), broken[i]) << aside;
    }
}

TEST_F(SynthCardTest, LargeFilesThatAreNotBanksAreRefused)
{
    // 256 MiB of zeros (sparse): no list ends in it.
    const std::string large = m_dir.WriteBytes("large.bin", {});
    std::filesystem::resize_file(large, uint64_t{256} << 20);
    EXPECT_EQ(Card(8u << 20).LoadBank(large.c_str()), LOAD_ERROR(SYNTHERR_OUTOFMEM));
    std::filesystem::remove(m_dir.Path("card.state"));
    // On a card with room for it the whole file is walked, and still refused.
    EXPECT_EQ(Card(512u << 20).LoadBank(large.c_str()), LOAD_ERROR(SYNTHERR_INVCOM));
}

TEST_F(SynthCardTest, EveryCallReportsAbortWhenTheStateCannotBeWritten)
{
    // A regular file where the state's directory should be: nothing can be created there.
    m_dir.WriteBytes("blocker", {1});
    const CSynthCard card(CCardStore(m_dir.Path("blocker/card.state"), 1000));
    EXPECT_EQ(card.LoadBank(m_dir.WriteBank("a.94b", "A", 100).c_str()),
              LOAD_ERROR(SYNTHERR_ABORT));
    EXPECT_EQ(card.UnloadBank(0), SYNTHERR_ABORT);
    EXPECT_EQ(card.SetPriority(0, 1), SYNTHERR_ABORT);
    SynthStatus status;
    std::memset(&status, 0xAB, sizeof status);
    EXPECT_EQ(card.GetStatus(&status), SYNTHERR_ABORT);
    EXPECT_EQ(status.bankCount, 0u);
    EXPECT_EQ(status.banks[0].name[0], '\0');
}

} // namespace
