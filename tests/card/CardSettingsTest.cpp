#include "CardSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(CardSettings, StatePathFollowsVariableThenXdgThenHome)
{
    EXPECT_EQ(CCardSettings::StatePathFrom("card.state", "/x", "/h"), "card.state");
    EXPECT_EQ(CCardSettings::StatePathFrom("", "/x", "/h"), "/x/korvane/card.state");
    EXPECT_EQ(CCardSettings::StatePathFrom(nullptr, "relative", "/h"),
              "/h/.local/state/korvane/card.state");
    EXPECT_EQ(CCardSettings::StatePathFrom(nullptr, nullptr, "/h"),
              "/h/.local/state/korvane/card.state");
    EXPECT_EQ(CCardSettings::StatePathFrom(nullptr, nullptr, nullptr), "");
}

TEST(CardSettings, MemoryTakesWholeDecimalsAndFallsBackOnAnythingElse)
{
    EXPECT_EQ(CCardSettings::MemoryFrom("1048576"), 1048576u);
    EXPECT_EQ(CCardSettings::MemoryFrom("4294967295"), 4294967295u);
    for (const char* bad : {static_cast<const char*>(nullptr), "", "abc", "12abc", "-5", "+5", " 5",
                            "0", "0x100", "4294967296", "99999999999999999999"}) {
        EXPECT_EQ(CCardSettings::MemoryFrom(bad), CCardSettings::DEFAULT_MEMORY)
            << (bad ? bad : "null");
    }
}

} // namespace
