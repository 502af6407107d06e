#include "BankFileWriter.h"
#include "BankFileCheck.h"
#include "SynthCard.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(BankFileWriter, WritesTheLayoutTheCardAccepts)
{
    CTempDir dir;
    CBankFileWriter writer("PIANO");
    writer.AddInstrument(0, 0);
    writer.AddInstrument(0x0102, 8);
    writer.AddDrumKit(48, 127);
    writer.SetSize(4096);
    std::string error = "unset";
    ASSERT_TRUE(writer.Write(dir.Path("piano.94b"), &error));
    EXPECT_EQ(error, "");

    const auto bytes = dir.ReadBytes("piano.94b");
    ASSERT_EQ(bytes.size(), 4096u);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 26);
    std::vector<uint8_t> expectedHeader(26, 0);
    std::copy_n("PIANO", 5, expectedHeader.begin() + 8);
    EXPECT_EQ(header, expectedHeader);
    const std::vector<uint8_t> lists(bytes.begin() + 26, bytes.begin() + 26 + 22);
    const std::vector<uint8_t> expectedLists = {0, 0,    0,    0,  0, 0,   2, 1, 8, 0,    0,
                                                0, 0xFF, 0xFF, 48, 0, 127, 0, 0, 0, 0xFF, 0xFF};
    EXPECT_EQ(lists, expectedLists);

    CBankFileCheck check;
    ASSERT_EQ(check.Check(dir.Path("piano.94b").c_str()), SYNTH_OK);
    EXPECT_EQ(check.Name(), "PIANO");
    EXPECT_EQ(check.Size(), 4096u);
}

TEST(BankFileWriter, AnEightByteNameAndTheSmallestFileLoadIntoTheCard)
{
    CTempDir dir;
    CBankFileWriter writer("ORCHESTR");
    writer.AddInstrument(40, 0);
    writer.AddDrumKit(0, 127);
    writer.AddDrumKit(8, 127);
    EXPECT_EQ(writer.MinimumSize(), 26u + 3 * 6 + 2 * 2);
    EXPECT_EQ(writer.Size(), writer.MinimumSize());
    ASSERT_TRUE(writer.Write(dir.Path("o.94b")));

    const CSynthCard card(CCardStore(dir.Path("card.state"), 1000));
    ASSERT_EQ(card.LoadBank(dir.Path("o.94b").c_str()), 0);
    SynthStatus status;
    ASSERT_EQ(card.GetStatus(&status), SYNTH_OK);
    EXPECT_STREQ(status.banks[0].name, "ORCHESTR");
    EXPECT_EQ(status.banks[0].size, writer.MinimumSize());
}

TEST(BankFileWriter, RefusedContentsLeaveNothingBehind)
{
    CTempDir dir;
    const std::string existing = dir.WriteBytes("keep.94b", {1, 2, 3});
    std::vector<CBankFileWriter> refused(4, CBankFileWriter("NAME"));
    refused[0].SetName("NINECHARS");
    refused[1].AddInstrument(CBankFileWriter::END_OF_LIST, 0);
    refused[2].AddDrumKit(CBankFileWriter::END_OF_LIST, 0);
    refused[3].AddInstrument(1, 1);
    refused[3].SetSize(refused[3].MinimumSize() - 1);
    for (const CBankFileWriter& writer : refused) {
        std::string error;
        EXPECT_FALSE(writer.Write(existing, &error));
        EXPECT_NE(error, "");
        EXPECT_EQ(writer.Problem(), error);
    }
    std::string error;
    EXPECT_FALSE(CBankFileWriter("A").Write(dir.Path("missing/a.94b"), &error));
    EXPECT_NE(error.find("missing/a.94b"), std::string::npos) << error;

    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.94b"});
    EXPECT_EQ(dir.ReadBytes("keep.94b"), (std::vector<uint8_t>{1, 2, 3}));
}

} // namespace
