// The arithmetic of the grid's layout, free of side effects: where the grid's windows go
// in its client area for a sheet, how a heading's size is shared out over its rows
// (columns), and the widths that fit columns to a width.
#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class CTblSheet;

class CTblLayout
{
public:
    // Where the sheet's windows go in a client area of that size, from (0, 0). A scroll
    // bar that is not needed, and the tabs when they have no width, get empty rectangles.
    static CTblLayout Compute(const CTblSheet& sheet, const QSize& client);
    // Total shared out over sizes in proportion to them; evenly when they are all 0.
    static std::vector<int> ShareOut(std::vector<int> sizes, int total);
    // Widths scaled to add up to total, the last taking what rounding leaves.
    static std::vector<int> FitToWidth(std::vector<int> widths, int total);
    // The rows whose cells a fit to content measures, at most limit: the heading rows
    // when asked, then the rows as the display shows them from the top.
    static std::vector<long> RowsToMeasure(const CTblSheet& sheet, bool headings, long limit);

    QRect cells;
    QRect colHeader;
    QRect rowHeader;
    QRect corner;
    QRect vScroll;
    QRect hScroll;
    QRect tabs;
};
