#include "BankFileCheck.h"
#include "SoundFontWriter.h"
#include "TempDir.h"
#include "synth32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

namespace {

// A bank header (name at offset 8) followed by the given list bytes.
std::vector<uint8_t> Bank(const std::string& name, const std::vector<uint8_t>& lists)
{
    std::vector<uint8_t> bytes(name.begin(), name.end());
    bytes.insert(bytes.begin(), 8, 0);
    bytes.resize(26, 0);
    bytes.insert(bytes.end(), lists.begin(), lists.end());
    return bytes;
}

// Where the chunk with that id starts in a file's bytes.
std::size_t ChunkAt(const std::vector<uint8_t>& bytes, std::string_view id)
{
    const auto found = std::search(bytes.begin(), bytes.end(), id.begin(), id.end());
    EXPECT_NE(found, bytes.end()) << id;
    return static_cast<std::size_t>(found - bytes.begin());
}

class BankFileCheckTest : public ::testing::Test
{
protected:
    uint16_t Check(const std::vector<uint8_t>& bytes)
    {
        return m_check.Check(m_dir.WriteBytes("bank.94b", bytes).c_str());
    }

    CTempDir m_dir;
    CBankFileCheck m_check;
};

TEST_F(BankFileCheckTest, AcceptsBanksWithEmptyOrFilledLists)
{
    EXPECT_EQ(Check(Bank("ORGAN", {0xFF, 0xFF, 0xFF, 0xFF})), SYNTH_OK);
    EXPECT_EQ(m_check.Name(), "ORGAN");
    EXPECT_EQ(m_check.Size(), 30u);

    // Two instruments, one drum kit whose other bytes happen to be 0xFF, then sample data.
    std::vector<uint8_t> lists = {0, 0,    0,    0,    0, 0,    1,    0,    8,    0,    0,
                                  0, 0xFF, 0xFF, 0x7F, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    lists.resize(lists.size() + 1000, 0xFF);
    EXPECT_EQ(Check(Bank("ORCHESTR", lists)), SYNTH_OK);
    EXPECT_EQ(m_check.Name(), "ORCHESTR");
    EXPECT_EQ(m_check.Size(), 26u + 22u + 1000u);
}

TEST_F(BankFileCheckTest, RefusesFilesThatEndBeforeTheirLists)
{
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty file", {}},
        {"shorter than the header", std::vector<uint8_t>(20, 0)},
        {"header only", Bank("A", {})},
        {"one terminator byte", Bank("A", {0xFF})},
        {"no drum-kit list", Bank("A", {0xFF, 0xFF})},
        {"instrument list without end", Bank("A", {1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0})},
        {"record cut short", Bank("A", {0xFF, 0xFF, 1, 0, 0})},
        {"drum-kit list without end", Bank("A", {0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0xFF})},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_EQ(Check(bytes), SYNTHERR_INVCOM) << what;
        EXPECT_EQ(m_check.Size(), 0u) << what;
    }
}

TEST_F(BankFileCheckTest, ListsThatCrossReadBlocksAreWalkedRecordByRecord)
{
    // Records from offset 26 up to where a list ends at each place around a block's end:
    // its terminator inside, across or just after the block's last bytes.
    const off_t block = CBankFileCheck::BLOCK_SIZE;
    const off_t lastWhole = CBankFileCheck::FIRST_LIST_OFFSET + (block - 2) / 6 * 6;
    for (const off_t terminator : {lastWhole - 6, lastWhole, lastWhole + 6, lastWhole + 12}) {
        std::vector<uint8_t> lists(static_cast<std::size_t>(terminator - 26), 0);
        lists.insert(lists.end(), {0xFF, 0xFF, 0xFF, 0xFF});
        EXPECT_EQ(Check(Bank("X", lists)), SYNTH_OK) << terminator;
        // The same bytes one past a record position are no terminator.
        lists.insert(lists.end() - 4, 0);
        lists.insert(lists.end(), {0});
        EXPECT_EQ(Check(Bank("X", lists)), SYNTHERR_INVCOM) << terminator;
    }
}

TEST_F(BankFileCheckTest, MissingNullAndNonRegularPathsCannotBeOpened)
{
    EXPECT_EQ(m_check.Check(nullptr), SYNTHERR_FILENOTFOUND);
    EXPECT_EQ(m_check.Check(m_dir.Path("missing.94b").c_str()), SYNTHERR_FILENOTFOUND);
    EXPECT_EQ(m_check.Check(m_dir.Path("").c_str()), SYNTHERR_FILENOTFOUND);
}

TEST_F(BankFileCheckTest, SoundFontsAreNamedByTheirOwnNameAndTakeTheirSampleData)
{
    CSoundFontWriter named("Warm Strings");
    named.AddPreset("Violin", 0, 40);
    named.SetSampleDataSize(100000);
    const std::vector<uint8_t> bytes = named.Bytes();
    EXPECT_EQ(m_check.Check(m_dir.WriteBytes("strings.sf2", bytes).c_str()), SYNTH_OK);
    EXPECT_EQ(m_check.Name(), "Warm Strings");
    EXPECT_EQ(m_check.Size(), named.SampleDataSize());
    EXPECT_LT(m_check.Size(), bytes.size());

    CSoundFontWriter unnamed;
    unnamed.AddPreset("Violin", 0, 40);
    EXPECT_EQ(m_check.Check(m_dir.WriteBytes("my font.sf2", unnamed.Bytes()).c_str()), SYNTH_OK);
    EXPECT_EQ(m_check.Name(), "my font");

    // Version 3 holds compressed samples: the whole file counts.
    std::vector<uint8_t> compressed = bytes;
    compressed[ChunkAt(compressed, "ifil") + 8] = 3;
    EXPECT_EQ(m_check.Check(m_dir.WriteBytes("strings.sf3", compressed).c_str()), SYNTH_OK);
    EXPECT_EQ(m_check.Size(), compressed.size());
}

TEST_F(BankFileCheckTest, ASoundFontWithoutAllItsSampleDataIsRefused)
{
    CSoundFontWriter font("Cut");
    font.AddPreset("Violin", 0, 40);
    const std::vector<uint8_t> bytes = font.Bytes();
    const std::size_t samples = ChunkAt(bytes, "smpl");
    for (const std::size_t end : {samples + 20, samples + 4, ChunkAt(bytes, "sdta") - 8}) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + end);
        EXPECT_EQ(m_check.Check(m_dir.WriteBytes("cut.sf2", cut).c_str()), SYNTHERR_INVCOM) << end;
        EXPECT_EQ(m_check.Size(), 0u);
    }
}

} // namespace
