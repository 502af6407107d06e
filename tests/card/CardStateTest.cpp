#include "CardState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

CCardState StateWithBanks(uint32_t memory, int count, uint32_t size = 10)
{
    CCardState state(memory);
    uint16_t id = 0;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(state.AddBank("BANK" + std::to_string(i), size, &id), SYNTH_OK);
    }
    return state;
}

TEST(CardState, NewBankTakesLowestFreeIdAndStatusListsBanksInIdOrderThenZeroes)
{
    CCardState state = StateWithBanks(1000, 4);
    ASSERT_EQ(state.RemoveBank(1), SYNTH_OK);
    ASSERT_EQ(state.RemoveBank(2), SYNTH_OK);
    uint16_t id = 99;
    ASSERT_EQ(state.AddBank("NEWA", 10, &id), SYNTH_OK);
    EXPECT_EQ(id, 1);
    ASSERT_EQ(state.AddBank("NEWB", 10, &id), SYNTH_OK);
    EXPECT_EQ(id, 2);
    ASSERT_EQ(state.AddBank("NEWC", 10, &id), SYNTH_OK);
    EXPECT_EQ(id, 4);

    SynthStatus status;
    std::memset(&status, 0xAB, sizeof status);
    state.FillStatus(status);
    ASSERT_EQ(status.bankCount, 5u);
    EXPECT_EQ(status.freeMemory, 1000u - 5 * 10);
    const char* names[] = {"BANK0", "NEWA", "NEWB", "BANK3", "NEWC"};
    for (uint32_t i = 0; i < status.bankCount; ++i) {
        EXPECT_EQ(status.banks[i].id, i);
        EXPECT_STREQ(status.banks[i].name, names[i]);
    }
    const auto* unused = reinterpret_cast<const uint8_t*>(&status.banks[5]);
    EXPECT_TRUE(std::all_of(unused, unused + 3 * sizeof(SynthBankEntry),
                            [](uint8_t byte) { return byte == 0; }));
}

TEST(CardState, UnknownIdsAreRefusedBeforeThePriorityRange)
{
    CCardState state = StateWithBanks(1000, 1);
    EXPECT_EQ(state.SetPriority(3, 500), SYNTHERR_UNREF);
    EXPECT_EQ(state.RemoveBank(3), SYNTHERR_UNREF);
    EXPECT_EQ(state.SetPriority(0, -1), SYNTHERR_INVADD);
    EXPECT_EQ(state.SetPriority(0, 128), SYNTHERR_INVADD);
    EXPECT_EQ(state.FindBank(0)->priority, 0);
    EXPECT_EQ(state.SetPriority(0, 127), SYNTH_OK);
    EXPECT_EQ(state.FindBank(0)->priority, 127);
}

TEST(CardState, SerializedStateParsesBackToTheSameState)
{
    CCardState state = StateWithBanks(5000, 3, 1234);
    ASSERT_EQ(state.RemoveBank(1), SYNTH_OK);
    ASSERT_EQ(state.SetPriority(2, 77), SYNTH_OK);
    const auto bytes = state.Serialize();
    const auto parsed = CCardState::Parse(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->TotalMemory(), 5000u);
    ASSERT_EQ(parsed->Banks().size(), 2u);
    EXPECT_EQ(parsed->FindBank(2)->priority, 77);
    EXPECT_EQ(parsed->FindBank(2)->name, "BANK2");
    EXPECT_EQ(parsed->FindBank(2)->size, 1234u);
    EXPECT_EQ(parsed->Serialize(), bytes);
}

TEST(CardState, ParseRejectsEveryTruncationAndTrailingBytes)
{
    auto bytes = StateWithBanks(5000, 2).Serialize();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(CCardState::Parse(std::span(bytes).first(length))) << length;
    }
    bytes.push_back(0);
    EXPECT_FALSE(CCardState::Parse(bytes));
}

TEST(CardState, ParseRejectsBrokenFields)
{
    // Header: magic 0..7, version 8, memory 12, count 16; records from 20, 28 bytes each:
    // id +0, priority +4, size +8, name +12.
    const std::vector<std::pair<const char*, std::function<void(std::vector<uint8_t>&)>>> cases = {
        {"magic", [](auto& b) { b[0] = 'X'; }},
        {"other version", [](auto& b) { b[8] = 2; }},
        {"count above 8", [](auto& b) { b[16] = 9; }},
        {"id 8", [](auto& b) { b[20] = 8; }},
        {"ids not ascending", [](auto& b) { b[20 + 28] = 0; }},
        {"priority 128", [](auto& b) { b[24] = 128; }},
        {"negative priority", [](auto& b) { b[27] = 0xFF; }},
        {"name without NUL", [](auto& b) { std::fill_n(b.begin() + 32, 16, 'N'); }},
        {"bytes after the name's NUL", [](auto& b) { b[32 + 15] = 'Z'; }},
        {"banks larger than memory", [](auto& b) { b[28 + 3] = 0x10; }},
    };
    const auto valid = StateWithBanks(5000, 2).Serialize();
    ASSERT_TRUE(CCardState::Parse(valid));
    for (const auto& [what, breakIt] : cases) {
        auto bytes = valid;
        breakIt(bytes);
        EXPECT_FALSE(CCardState::Parse(bytes)) << what;
    }
}

} // namespace
