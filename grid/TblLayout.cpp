#include "TblLayout.h"

#include "TblSheet.h"

#include <algorithm>
#include <numeric>

namespace {

// A rectangle from its edges, right and bottom excluded; empty when they cross.
QRect RectFromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}

// The sum of sizes from 0 on, stopping after the first that makes it exceed limit.
template <typename Index, typename SizeOf> int SumUpTo(Index count, int limit, SizeOf sizeOf)
{
    int sum = 0;
    for (Index n = 0; n < count && sum <= limit; ++n)
        sum += sizeOf(n);
    return sum;
}

} // namespace

CTblLayout CTblLayout::Compute(const CTblSheet& s, const QSize& client)
{
    const int W = client.width();
    const int H = client.height();
    const int h = s.m_nColHeaderHeight;
    const int w = s.m_nRowHeaderWidth;
    // Hidden scroll bars get size 0 for this layout only; the sheet keeps its sizes.
    int v = s.m_nVScrollWidth;
    int sb = s.m_nHScrollHeight;
    int t = s.m_nTabWidth;
    if (t > 0)
        t = std::max(std::min(t, W - w - 30), 4);
    const int colsWidth = SumUpTo(s.m_nColCount, W - w, [&s](int n) { return s.ColSize(n); });
    const int rowsHeight = SumUpTo(s.m_nRowCount, H - h, [&s](long n) { return s.RowSize(n); });
    // Columns (rows) that fill the space exactly fit in it: with a strict comparison a
    // grid whose columns were fitted to its width would get a scroll bar it cannot use.
    const bool allCols = colsWidth <= W - w;
    const bool allRows = rowsHeight <= H - h;
    if (allRows && (allCols || rowsHeight <= H - h - sb))
        v = 0;
    if (allCols && t <= 0 && (allRows || colsWidth <= W - w - v))
        sb = 0;
    CTblLayout layout;
    layout.cells = RectFromEdges(w, h, W - v, H - sb);
    layout.colHeader = RectFromEdges(w, 0, W - v, h);
    layout.rowHeader = RectFromEdges(0, h, w, H - sb);
    layout.corner = RectFromEdges(0, 0, w, h);
    layout.vScroll = RectFromEdges(W - v, 0, W, H - sb);
    layout.hScroll = RectFromEdges(std::max(t, 0), H - sb, W - v, H);
    layout.tabs = RectFromEdges(0, H - sb, std::max(t, 0), H);
    return layout;
}

std::vector<int> CTblLayout::ShareOut(std::vector<int> sizes, int total)
{
    if (sizes.empty())
        return sizes;
    const long sum = std::accumulate(sizes.begin(), sizes.end(), 0L);
    if (sum <= 0) {
        const int each = total / static_cast<int>(sizes.size());
        std::fill(sizes.begin(), sizes.end(), each);
        sizes.back() = total - each * static_cast<int>(sizes.size() - 1);
        return sizes;
    }
    for (int& size : sizes)
        size = static_cast<int>(static_cast<double>(total) * size / static_cast<double>(sum) + 0.5);
    return sizes;
}

std::vector<int> CTblLayout::FitToWidth(std::vector<int> widths, int total)
{
    const long sum = std::accumulate(widths.begin(), widths.end(), 0L);
    // Columns without width share the width evenly rather than dividing by zero.
    if (sum <= 0)
        return ShareOut(std::move(widths), total);
    const float factor = static_cast<float>(total) / static_cast<float>(sum);
    int given = 0;
    for (size_t i = 0; i + 1 < widths.size(); ++i) {
        widths[i] = static_cast<int>(factor * static_cast<float>(widths[i]));
        given += widths[i];
    }
    widths.back() = total - given;
    return widths;
}

std::vector<long> CTblLayout::RowsToMeasure(const CTblSheet& s, bool headings, long limit)
{
    std::vector<long> rows;
    const auto add = [&](long row) {
        if (static_cast<long>(rows.size()) < limit)
            rows.push_back(row);
    };
    if (headings) {
        for (long row = -s.HeadRowCount(); row < 0; ++row)
            add(row);
    }
    // As the display shows them: the locked rows, then the scrolled ones from the top row.
    for (long row = 0; row < std::min(s.m_nLockedRows, s.m_nRowCount); ++row)
        add(row);
    for (long row = s.m_nTopRow; row < s.m_nRowCount && static_cast<long>(rows.size()) < limit;
         ++row)
        add(row);
    return rows;
}
