#include "DialogUnits.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogUnits, ScaleByAQuarterCharWidthAndAnEighthCharHeight)
{
    // The classic 8-point dialog font: 6 pixels wide on average, 13 high.
    const CDialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixels(QSize(4, 8)), QSize(6, 13));
    EXPECT_EQ(units.ToPixels(QSize(319, 170)), QSize(479, 276));
    EXPECT_EQ(units.ToPixels(QRect(7, 7, 165, 118)), QRect(11, 11, 248, 192));
    EXPECT_EQ(units.ToPixels(QRect(0, 0, 0, 0)), QRect(0, 0, 0, 0));
}

TEST(DialogUnits, RoundToTheNearestPixelWithHalvesAwayFromZero)
{
    const CDialogUnits units(7, 12);
    // 1 * 7 / 4 = 1.75, 2 * 7 / 4 = 3.5, 3 * 12 / 8 = 4.5, 1 * 12 / 8 = 1.5
    EXPECT_EQ(units.ToPixels(QSize(1, 3)), QSize(2, 5));
    EXPECT_EQ(units.ToPixels(QRect(2, 1, 2, 1)), QRect(4, 2, 4, 2));
    EXPECT_EQ(units.ToPixels(QRect(-2, -1, 0, 0)).topLeft(), QPoint(-4, -2));
}

} // namespace
