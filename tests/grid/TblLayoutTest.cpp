// The layout arithmetic on a bare sheet: which scroll bars a client area needs when one
// bar takes the room the other's rows or columns needed, and the rows a fit to content
// measures.
#include "TblLayout.h"
#include "TblSheet.h"

#include <gtest/gtest.h>

namespace {

constexpr int BarSize = 16;

struct LayoutCase
{
    int cols;
    long rows;
    QRect cells;
    bool vScroll;
    bool hScroll;
};

TEST(TblLayoutTest, EachScrollBarMayMakeTheOtherNeeded)
{
    // A client area of 340 x 120 with headings 40 wide and 20 high, columns 75 wide and
    // rows 20 high: 4 columns and 5 rows fill the cells' room exactly.
    const LayoutCase cases[] = {
        {4, 5, {40, 20, 300, 100}, false, false},
        // The vertical bar pushes the columns over, and so the horizontal bar comes too.
        {4, 10, {40, 20, 284, 84}, true, true},
        // The horizontal bar pushes the rows over.
        {5, 5, {40, 20, 284, 84}, true, true},
        // The rows still fit above the horizontal bar.
        {5, 4, {40, 20, 300, 84}, false, true},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cols << " columns, " << c.rows << " rows");
        CTblSheet sheet(nullptr, BarSize, BarSize);
        sheet.m_nColCount = c.cols;
        sheet.m_nRowCount = c.rows;
        const CTblLayout layout = CTblLayout::Compute(sheet, QSize(340, 120));
        EXPECT_EQ(layout.cells, c.cells);
        EXPECT_EQ(layout.vScroll.isEmpty(), !c.vScroll);
        EXPECT_EQ(layout.hScroll.isEmpty(), !c.hScroll);
        EXPECT_EQ(layout.colHeader, QRect(40, 0, c.cells.width(), 20));
        EXPECT_EQ(layout.rowHeader, QRect(0, 20, 40, c.cells.height()));
    }
}

TEST(TblLayoutTest, RowsToMeasureFollowTheDisplayUpToTheLimit)
{
    CTblSheet sheet(nullptr, BarSize, BarSize);
    sheet.m_nRowCount = 10;
    sheet.m_nLockedRows = 2;
    sheet.m_nTopRow = 5;
    EXPECT_EQ(CTblLayout::RowsToMeasure(sheet, true, 5), (std::vector<long>{-1, 0, 1, 5, 6}));
    EXPECT_EQ(CTblLayout::RowsToMeasure(sheet, false, 100),
              (std::vector<long>{0, 1, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(CTblLayout::RowsToMeasure(sheet, true, 0).empty());
}

} // namespace
