#include "TblSheet.h"

#include "TblMemSource.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

namespace {

// Rows and columns share these walks; Index is long for rows and int for columns, and
// sizeOf answers a row's height or a column's width.

// The largest first scrolled index at which the last one is still wholly visible.
template <typename Index, typename SizeOf>
Index LargestStart(Index count, Index locked, int visible, SizeOf sizeOf)
{
    Index n = count - 1;
    int remainder = visible;
    while (n >= locked) {
        remainder -= sizeOf(n);
        if (remainder < 0)
            break;
        --n;
    }
    const Index largest = remainder < 0 ? n + 1 : locked;
    return std::max(std::min(largest, count - 1), locked);
}

// The first scrolled index that shows target wholly, given the current one.
template <typename Index, typename SizeOf>
Index StartShowing(Index target, Index start, Index locked, int visible, SizeOf sizeOf)
{
    if (target < start)
        return std::max(target, locked);
    Index n = target;
    int remainder = visible;
    while (n >= locked) {
        remainder -= sizeOf(n);
        if (remainder < 0)
            break;
        --n;
    }
    // One taller than the view is shown from its own start.
    const Index first = std::min(remainder < 0 ? n + 1 : locked, target);
    return std::max(start, first);
}

template <typename Index, typename SizeOf>
Index StepFrom(Index from, int kind, Index count, int visible, SizeOf sizeOf)
{
    switch (kind) {
    case CTblSheet::StepBack:
        return from - 1;
    case CTblSheet::StepForward:
        return from + 1;
    case CTblSheet::First:
        return 0;
    case CTblSheet::Last:
        return count - 1;
    default:
        break;
    }
    // A page: step while what is left of the visible size is not negative.
    const Index direction = kind == CTblSheet::PageBack ? -1 : 1;
    Index n = from;
    int remainder = visible;
    while (remainder >= 0) {
        int size = sizeOf(n);
        // Past either end every step counts, so the walk ends even with zero sizes.
        if (size <= 0 && (n < 0 || n >= count))
            size = 1;
        remainder -= size;
        n += direction;
    }
    return n;
}

// Locked indexes come first, then the scrolled ones from start, as the display shows them.
template <typename Index, typename SizeOf>
Index IndexAt(int pos, Index count, Index locked, Index start, SizeOf sizeOf, int& edge)
{
    int at = 0;
    for (Index n = locked > 0 ? 0 : start; n < count; n = n + 1 == locked ? start : n + 1) {
        const int size = sizeOf(n);
        if (pos < at + size) {
            edge = at;
            return n;
        }
        at += size;
    }
    return -1;
}

template <typename Index, typename SizeOf>
int EdgeOf(Index index, Index locked, Index start, SizeOf sizeOf)
{
    int edge = 0;
    for (Index n = 0; n < std::min(index, locked); ++n)
        edge += sizeOf(n);
    if (index < locked)
        return edge;
    for (Index n = start; n < index; ++n)
        edge += sizeOf(n);
    for (Index n = index; n < start; ++n)
        edge -= sizeOf(n);
    return edge;
}

// Where index lies along the display (locked ones first, then from start), walking no
// further than extent; false when it is scrolled out or lies beyond the extent.
template <typename Index, typename SizeOf>
bool SpanOf(Index index, Index count, Index locked, Index start, int extent, SizeOf sizeOf,
            int& edge, int& size)
{
    if (index < 0 || index >= count || (index >= locked && index < start))
        return false;
    const Index lockedShown = std::min(locked, count);
    int at = 0;
    for (Index n = 0; n < std::min(index, lockedShown); ++n)
        at += sizeOf(n);
    for (Index n = start; index >= lockedShown && n < index && at < extent; ++n)
        at += sizeOf(n);
    if (at >= extent)
        return false;
    edge = at;
    size = sizeOf(index);
    return true;
}

template <typename Index, typename SizeOf>
int ShiftOf(Index from, Index to, int limit, SizeOf sizeOf)
{
    const int sign = to >= from ? 1 : -1;
    int sum = 0;
    for (Index n = std::min(from, to); n < std::max(from, to); ++n) {
        sum += sizeOf(n);
        if (sum > limit)
            return sign * (limit + 1);
    }
    return sign * sum;
}

} // namespace

CTblSheet::CTblSheet(CTblCtrl* grid, int vScrollWidth, int hScrollHeight)
    : m_nVScrollWidth(vScrollWidth), m_nHScrollHeight(hScrollHeight),
      m_pDefaultSource(std::make_unique<CTblMemSource>()), m_cursorArrow(Qt::ArrowCursor),
      m_cursorSizeWE(Qt::SizeHorCursor), m_cursorSizeNS(Qt::SizeVerCursor),
      m_gridPen(QColor(0xDC, 0xDC, 0xDC), 1)
{
    m_headDefCell.SetBackColor(
        QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
    m_headDefCell.SetBorder(CTblCell::BorderRaised);
    m_headDefCell.SetAlignment(CTblCell::AlignHCenter | CTblCell::AlignVCenter);
    m_pDefaultSource->m_pGrid = grid;
}

CTblSheet::~CTblSheet() = default;

void CTblSheet::ReplaceDefaultSource(std::unique_ptr<CTblDataSource> source)
{
    if (!source)
        return;
    source->m_pGrid = m_pDefaultSource->m_pGrid;
    for (CTblColumnInfo& column : m_columns) {
        if (column.m_pSource == m_pDefaultSource.get())
            column.m_pSource = source.get();
    }
    m_pDefaultSource = std::move(source);
}

CTblColumnInfo CTblSheet::NewColumn(int index) const
{
    CTblColumnInfo column;
    column.m_nWidth = m_nDefColWidth;
    column.m_pSource = m_pDefaultSource.get();
    column.m_pDefaultCell = std::make_unique<CTblCell>(m_gridDefCell);
    column.m_nSourceCol = index;
    return column;
}

int CTblSheet::RowSize(long row) const
{
    if (row < 0 || row >= m_nRowCount || m_bUniformRows ||
        static_cast<size_t>(row) >= m_rowHeights.size())
        return m_nDefRowHeight;
    return m_rowHeights[static_cast<size_t>(row)];
}

int CTblSheet::ColSize(int col) const
{
    if (col < 0 || col >= m_nColCount || static_cast<size_t>(col) >= m_columns.size())
        return m_nDefColWidth;
    return m_columns[static_cast<size_t>(col)].m_nWidth;
}

long CTblSheet::LargestTopRow() const
{
    return LargestStart(m_nRowCount, m_nLockedRows, VisibleHeight(),
                        [this](long row) { return RowSize(row); });
}

int CTblSheet::LargestLeftCol() const
{
    return LargestStart(m_nColCount, m_nLockedCols, VisibleWidth(),
                        [this](int col) { return ColSize(col); });
}

long CTblSheet::TopRowShowing(long row) const
{
    return StartShowing(row, m_nTopRow, m_nLockedRows, VisibleHeight(),
                        [this](long n) { return RowSize(n); });
}

int CTblSheet::LeftColShowing(int col) const
{
    return StartShowing(col, m_nLeftCol, m_nLockedCols, VisibleWidth(),
                        [this](int n) { return ColSize(n); });
}

long CTblSheet::StepRowFrom(long from, int kind) const
{
    return StepFrom(from, kind, m_nRowCount, VisibleHeight(),
                    [this](long n) { return RowSize(n); });
}

int CTblSheet::StepColFrom(int from, int kind) const
{
    return StepFrom(from, kind, m_nColCount, VisibleWidth(), [this](int n) { return ColSize(n); });
}

long CTblSheet::RowAt(int y, int& edge) const
{
    return IndexAt(
        y, m_nRowCount, m_nLockedRows, m_nTopRow, [this](long n) { return RowSize(n); }, edge);
}

int CTblSheet::ColAt(int x, int& edge) const
{
    return IndexAt(
        x, m_nColCount, m_nLockedCols, m_nLeftCol, [this](int n) { return ColSize(n); }, edge);
}

int CTblSheet::RowTop(long row) const
{
    return EdgeOf(row, m_nLockedRows, m_nTopRow, [this](long n) { return RowSize(n); });
}

int CTblSheet::ColLeft(int col) const
{
    return EdgeOf(col, m_nLockedCols, m_nLeftCol, [this](int n) { return ColSize(n); });
}

void CTblSheet::RecalcLockedRowsHeight()
{
    m_nLockedRowsHeight = 0;
    for (long row = 0; row < std::min(m_nLockedRows, m_nRowCount); ++row)
        m_nLockedRowsHeight += RowSize(row);
}

void CTblSheet::RecalcLockedColsWidth()
{
    m_nLockedColsWidth = 0;
    for (int col = 0; col < std::min(m_nLockedCols, m_nColCount); ++col)
        m_nLockedColsWidth += ColSize(col);
}

bool CTblSheet::RowSpan(long row, int& top, int& height) const
{
    if (m_bUniformRows && row >= m_nLockedRows) {
        // Uniform heights: no walk, however far the row lies from the top row.
        if (row < m_nTopRow || row >= m_nRowCount)
            return false;
        const long long at =
            m_nLockedRowsHeight + static_cast<long long>(row - m_nTopRow) * m_nDefRowHeight;
        if (at >= m_nCellAreaHeight)
            return false;
        top = static_cast<int>(at);
        height = m_nDefRowHeight;
        return true;
    }
    return SpanOf(
        row, m_nRowCount, m_nLockedRows, m_nTopRow, m_nCellAreaHeight,
        [this](long n) { return RowSize(n); }, top, height);
}

bool CTblSheet::ColSpan(int col, int& left, int& width) const
{
    return SpanOf(
        col, m_nColCount, m_nLockedCols, m_nLeftCol, m_nCellAreaWidth,
        [this](int n) { return ColSize(n); }, left, width);
}

int CTblSheet::RowShift(long from, long to, int limit) const
{
    if (m_bUniformRows) {
        const long long shift = static_cast<long long>(to - from) * m_nDefRowHeight;
        if (shift > limit || shift < -limit)
            return (shift > 0 ? 1 : -1) * (limit + 1);
        return static_cast<int>(shift);
    }
    return ShiftOf(from, to, limit, [this](long n) { return RowSize(n); });
}

int CTblSheet::ColShift(int from, int to, int limit) const
{
    return ShiftOf(from, to, limit, [this](int n) { return ColSize(n); });
}
