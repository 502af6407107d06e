// The bank table against an in-memory card: paths by ID, the modified mark, failures.
#include "BankTable.h"
#include "FakeSynthLibrary.h"
#include "RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

class BankTableTest : public ::testing::Test
{
protected:
    FakeSynthLibrary card;
    CBankTable table{card};
    CRecordingMessageBox messages;

    void SetUp() override { ASSERT_TRUE(table.Init(nullptr)); }

    void LoadThree()
    {
        ASSERT_EQ(table.LoadBank("/banks/a.94b"), 0);
        ASSERT_EQ(table.LoadBank("/banks/b.94b"), 1);
        ASSERT_EQ(table.LoadBank("/banks/c.94b"), 2);
    }
};

TEST_F(BankTableTest, StartsInNoPresetModeUnmodified)
{
    EXPECT_EQ(table.GetPresetName(), "No-preset Mode");
    EXPECT_FALSE(table.IsModified());
    EXPECT_EQ(table.GetUsedMemory(), 0u);
    EXPECT_TRUE(messages.Calls().empty());
}

TEST_F(BankTableTest, LoadStoresThePathUnderTheNewBanksId)
{
    LoadThree();
    EXPECT_EQ(table.Status().bankCount, 3u);
    EXPECT_EQ(table.GetBankPath(0), "/banks/a.94b");
    EXPECT_EQ(table.GetBankPath(2), "/banks/c.94b");
    EXPECT_EQ(table.GetBankName(1), "b.94b");
    EXPECT_EQ(table.GetUsedMemory(), 3u * 1024 * 1024);
    EXPECT_TRUE(table.IsModified());
}

TEST_F(BankTableTest, UnloadInTheMiddleLeavesAHoleThatTheNextLoadFills)
{
    LoadThree();
    ASSERT_EQ(table.UnloadBank(1), 0);
    EXPECT_EQ(table.GetBankPath(0), "/banks/a.94b");
    EXPECT_EQ(table.GetBankPath(1), "");
    EXPECT_EQ(table.GetBankPath(2), "/banks/c.94b");
    EXPECT_EQ(table.Status().bankCount, 2u);

    ASSERT_EQ(table.LoadBank("/banks/d.94b"), 1);
    EXPECT_EQ(table.GetBankPath(1), "/banks/d.94b");
}

TEST_F(BankTableTest, FailedLoadStoresNoPathButMarksAndRefreshes)
{
    card.loadFailure = SYNTHERR_OUTOFMEM;
    EXPECT_EQ(table.LoadBank("/banks/big.94b"), SYNTH_LOAD_ERROR_BASE + SYNTHERR_OUTOFMEM);
    EXPECT_TRUE(table.IsModified());
    for (uint16_t id = 0; id < MAX_BANKS; ++id)
        EXPECT_EQ(table.GetBankPath(id), "");
    EXPECT_EQ(table.Status().bankCount, 0u);
}

TEST_F(BankTableTest, FailedUnloadStillForgetsThePath)
{
    LoadThree();
    card.unloadFailures[1] = SYNTHERR_CANNOTDELETE;
    EXPECT_EQ(table.UnloadBank(1), SYNTHERR_CANNOTDELETE);
    EXPECT_EQ(table.GetBankPath(1), "");
    EXPECT_EQ(table.Status().bankCount, 3u) << "the card still lists the bank";
}

TEST_F(BankTableTest, UnloadAllWithNoBankCallsNothingButStillMarks)
{
    card.calls.clear();
    EXPECT_EQ(table.UnloadAllBanks(), 0);
    EXPECT_TRUE(card.calls.empty());
    EXPECT_TRUE(table.IsModified());
}

TEST_F(BankTableTest, UnloadAllStopsAtTheFirstFailure)
{
    LoadThree();
    card.unloadFailures[1] = SYNTHERR_CANNOTDELETE;
    card.calls.clear();
    EXPECT_EQ(table.UnloadAllBanks(), SYNTHERR_CANNOTDELETE);
    EXPECT_EQ(card.calls, (std::vector<std::string>{"unload 0", "unload 1"}));
    EXPECT_EQ(table.GetBankPath(0), "");
    EXPECT_EQ(table.GetBankPath(1), "") << "the failing bank's path is emptied too";
    EXPECT_EQ(table.GetBankPath(2), "/banks/c.94b");
    EXPECT_EQ(table.Status().bankCount, 2u);
}

TEST_F(BankTableTest, UnloadAllEmptiesTheCard)
{
    LoadThree();
    EXPECT_EQ(table.UnloadAllBanks(), 0);
    EXPECT_EQ(table.Status().bankCount, 0u);
    EXPECT_EQ(table.GetUsedMemory(), 0u);
}

TEST_F(BankTableTest, PriorityIsReadBackFromTheCard)
{
    LoadThree();
    EXPECT_EQ(table.SetBankPriority(2, 99), 0);
    EXPECT_EQ(table.Status().banks[2].priority, 99);
    EXPECT_EQ(table.SetBankPriority(2, 128), SYNTHERR_INVADD);
    EXPECT_EQ(table.Status().banks[2].priority, 99);
}

TEST_F(BankTableTest, EntriesPastTheCountAreZeroedAfterEveryRefresh)
{
    LoadThree();
    table.UnloadBank(0);
    const SynthStatus& status = table.Status();
    const SynthBankEntry zero{};
    for (uint32_t i = status.bankCount; i < MAX_BANKS; ++i)
        EXPECT_EQ(std::memcmp(&status.banks[i], &zero, sizeof zero), 0) << "entry " << i;
}

TEST_F(BankTableTest, ACardClaimingMoreThanEightBanksIsClampedAndReported)
{
    LoadThree();
    card.reportedCountOverride = 12;
    EXPECT_EQ(table.RefreshStatus(), SYNTHERR_INVCOUNT);
    EXPECT_EQ(table.Status().bankCount, static_cast<uint32_t>(MAX_BANKS));
}

TEST_F(BankTableTest, ABankNameFillingAllSixteenBytesIsCutAtTheField)
{
    card.Preload(0, {"ABCDEFGHIJKLMNOPQRSTU", 0, 512});
    table.RefreshStatus();
    EXPECT_EQ(table.GetBankName(0), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(table.GetBankName(MAX_BANKS), "");
    EXPECT_EQ(table.GetBankPath(0), "") << "banks found at start have no path";
}

TEST_F(BankTableTest, BankNamesAreReadAsWindows1252)
{
    card.Preload(0, {"\x80uro \x93q\x94 \xe9t\xe9", 0, 512});
    table.RefreshStatus();
    EXPECT_EQ(table.GetBankName(0), QStringLiteral("\u20acuro \u201cq\u201d \u00e9t\u00e9"));
}

TEST_F(BankTableTest, InitReportsAFailedStatusRead)
{
    FakeSynthLibrary broken;
    broken.statusFailure = SYNTHERR_ABORT;
    CBankTable other(broken);
    EXPECT_FALSE(other.Init(nullptr));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, "Synth Error: SYNTHERR_ABORT ");
    EXPECT_EQ(other.GetPresetName(), "No-preset Mode");
}

TEST(StatusDetailTest, IsAddedToLibraryCodesOnlyAndNeverToAGivenText)
{
    CRecordingMessageBox messages;
    CBankTable::SetStatusDetail([](int code) { return QStringLiteral(" [%1]").arg(code); });
    CBankTable::ShowError(SYNTHERR_NOTSUPPORTED);
    CBankTable::ShowError(109);
    CBankTable::ShowError(SYNTHERR_INVCOM, QStringLiteral("Given"));
    CBankTable::SetStatusDetail(nullptr);
    CBankTable::ShowError(SYNTHERR_NOTSUPPORTED);
    ASSERT_EQ(messages.Calls().size(), 4u);
    EXPECT_EQ(messages.Calls()[0].text, "Synth Error: SYNTHERR_NOTSUPPORTED  [6]");
    EXPECT_EQ(messages.Calls()[1].text, "Please select a bank !");
    EXPECT_EQ(messages.Calls()[2].text, "Given");
    EXPECT_EQ(messages.Calls()[3].text, "Synth Error: SYNTHERR_NOTSUPPORTED ");
}

struct ErrorBox
{
    const char* name;
    int code;
    QString text;
    QString expectedText;
    QString expectedCaption;
    unsigned expectedIcon;
};

class ShowErrorTest : public ::testing::TestWithParam<ErrorBox>
{
};

TEST_P(ShowErrorTest, ChoosesTextCaptionAndIcon)
{
    CRecordingMessageBox messages;
    const ErrorBox& box = GetParam();
    CBankTable::ShowError(box.code, box.text);
    ASSERT_EQ(messages.Calls().size(), 1u);
    const auto& call = messages.Calls()[0];
    EXPECT_EQ(call.text, box.expectedText);
    EXPECT_EQ(call.caption, box.expectedCaption);
    EXPECT_EQ(call.type, Mb::Ok | box.expectedIcon);
    EXPECT_EQ(call.owner, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ShowErrorTest,
    ::testing::Values(
        ErrorBox{"Unref", 1, {}, "Synth Error: SYNTHERR_UNREF ", "Error", Mb::IconHand},
        ErrorBox{"OutOfMemory", 2, {}, "Synth Error: SYNTHERR_OUTOFMEM ", "Error", Mb::IconHand},
        ErrorBox{
            "CannotDelete", 9, {}, "Synth Error: SYNTHERR_CANNOTDELETE ", "Error", Mb::IconHand},
        ErrorBox{"NoSuchString", 10, {}, "", "Warning", Mb::IconExclamation},
        ErrorBox{"Zero", 0, {}, "", "Warning", Mb::IconExclamation},
        ErrorBox{"Negative", -1, {}, "", "Warning", Mb::IconExclamation},
        ErrorBox{"OwnText", 109, {}, "Please select a bank !", "Warning", Mb::IconExclamation},
        ErrorBox{"PresetNotFound",
                 CBankTable::ERR_PRESET_NOT_FOUND,
                 {},
                 "Unable to find the preset file.",
                 "Error",
                 Mb::IconHand},
        ErrorBox{"GivenTextOnError", 3, "Given text", "Given text", "Error", Mb::IconHand},
        ErrorBox{"GivenTextOnWarning", 24, "Unable to load bank:/x.94b",
                 "Unable to load bank:/x.94b", "Warning", Mb::IconExclamation}),
    [](const ::testing::TestParamInfo<ErrorBox>& param) { return std::string(param.param.name); });

} // namespace
