#include "TblHeader.h"

#include "TblCell.h"
#include "TblCellArea.h"
#include "TblCellType.h"
#include "TblCtrl.h"
#include "TblSheet.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

// How near a border the mouse must be to size what it ends.
constexpr int BorderReach = 3;
constexpr int MarkerWidth = 2;

} // namespace

CTblHeader::CTblHeader(CTblCtrl* grid, Qt::Orientation along, int section)
    : QWidget(grid), m_pGrid(grid), m_along(along), m_nSection(section),
      m_pMarker(new QWidget(grid))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_pMarker->hide();
    m_pMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pMarker->setAutoFillBackground(true);
    QPalette markerPalette = m_pMarker->palette();
    markerPalette.setColor(QPalette::Window, markerPalette.color(QPalette::Dark));
    m_pMarker->setPalette(markerPalette);
}

void CTblHeader::SetSheet(CTblSheet* sheet)
{
    // Sizing or dragging on one sheet does not go on over another.
    m_sizing = Sizing::None;
    HideMarker();
    m_pSheet = sheet;
    if (sheet)
        setCursor(sheet->m_cursorArrow);
    update();
}

void CTblHeader::RepaintAll()
{
    if (m_pGrid->GetRedraw())
        update();
}

void CTblHeader::RepaintCell(int, long)
{
    RepaintAll();
}

void CTblHeader::UpdateAfterMove()
{
    if (!m_pSheet || !m_pGrid->GetRedraw())
        return;
    const CTblSheet& s = *m_pSheet;
    const long previous = Horizontal() ? s.m_nPrevLeftCol : s.m_nPrevTopRow;
    const long start = Horizontal() ? s.m_nLeftCol : s.m_nTopRow;
    if (previous == start)
        return;
    const int extent = AlongExtent();
    const int shift = previous < 0 ? extent + 1
                      : Horizontal()
                          ? s.ColShift(static_cast<int>(previous), static_cast<int>(start), extent)
                          : s.RowShift(previous, start, extent);
    if (std::abs(shift) > extent) {
        update();
        return;
    }
    // The locked columns (rows) stay where they are.
    const int locked = Horizontal() ? s.m_nLockedColsWidth : s.m_nLockedRowsHeight;
    const int across = Horizontal() ? height() : width();
    const QRect moving = MakeRect(locked, extent - locked, 0, across);
    if (Horizontal())
        scroll(-shift, 0, moving);
    else
        scroll(0, -shift, moving);
}

// ---- Geometry along and across ----

long CTblHeader::Count() const
{
    return Horizontal() ? m_pSheet->m_nColCount : m_pSheet->m_nRowCount;
}

long CTblHeader::FirstShown() const
{
    return Horizontal() ? m_pSheet->FirstShownCol() : m_pSheet->FirstShownRow();
}

long CTblHeader::NextShown(long item) const
{
    return Horizontal() ? m_pSheet->NextShownCol(static_cast<int>(item))
                        : m_pSheet->NextShownRow(item);
}

int CTblHeader::ItemSize(long item) const
{
    return Horizontal() ? m_pSheet->ColSize(static_cast<int>(item)) : m_pSheet->RowSize(item);
}

std::vector<int>& CTblHeader::HeadSizes() const
{
    return Horizontal() ? m_pSheet->m_headRowHeights : m_pSheet->m_headColWidths;
}

int& CTblHeader::HeadTotal() const
{
    return Horizontal() ? m_pSheet->m_nColHeaderHeight : m_pSheet->m_nRowHeaderWidth;
}

QRect CTblHeader::MakeRect(int along, int alongSize, int across, int acrossSize) const
{
    return Horizontal() ? QRect(along, across, alongSize, acrossSize)
                        : QRect(across, along, acrossSize, alongSize);
}

int CTblHeader::HeadStart(int k) const
{
    // Entry 0 lies next to the cells, the last one at the outer edge.
    const std::vector<int>& sizes = HeadSizes();
    int start = 0;
    for (size_t j = sizes.size(); j-- > static_cast<size_t>(k) + 1;)
        start += sizes[j];
    return start;
}

long CTblHeader::ItemAt(int pos, int& start) const
{
    int at = 0;
    for (long item = FirstShown(); at < AlongExtent() && item < Count(); item = NextShown(item)) {
        const int size = ItemSize(item);
        if (pos >= at && pos < at + size) {
            start = at;
            return item;
        }
        at += std::max(size, 0);
    }
    return -1;
}

bool CTblHeader::ItemStart(long item, int& start) const
{
    int at = 0;
    for (long n = FirstShown(); at <= AlongExtent() && n < Count(); n = NextShown(n)) {
        if (n == item) {
            start = at;
            return true;
        }
        at += std::max(ItemSize(n), 0);
    }
    return false;
}

bool CTblHeader::HeadingCellRect(int col, long row, QRect& rect) const
{
    if (!m_pSheet)
        return false;
    const long item = Horizontal() ? col : row;
    const long k = -1 - (Horizontal() ? row : col);
    const std::vector<int>& sizes = HeadSizes();
    int start = 0;
    if (item < 0 || k < 0 || k >= std::ssize(sizes) || !ItemStart(item, start))
        return false;
    rect = MakeRect(start, ItemSize(item), HeadStart(static_cast<int>(k)),
                    sizes[static_cast<size_t>(k)]);
    return !rect.isEmpty();
}

CTblHeader::Hit CTblHeader::HitAt(const QPoint& point) const
{
    Hit hit;
    int start = 0;
    const long item = ItemAt(Along(point), start);
    if (item < 0)
        return hit;
    const std::vector<int>& sizes = HeadSizes();
    for (int k = static_cast<int>(sizes.size()) - 1; k >= 0; --k) {
        const int from = HeadStart(k);
        const int size = sizes[static_cast<size_t>(k)];
        if (Across(point) >= from && Across(point) < from + size) {
            hit.col = Horizontal() ? static_cast<int>(item) : -1 - k;
            hit.row = Horizontal() ? -1 - k : item;
            hit.rect = MakeRect(start, ItemSize(item), from, size);
            hit.found = true;
            break;
        }
    }
    return hit;
}

// ---- Painting ----

void CTblHeader::paintEvent(QPaintEvent* event)
{
    QPainter dc(this);
    const QColor back =
        m_pSheet ? m_pSheet->m_headDefCell.GetBackColor() : palette().color(QPalette::Button);
    if (!m_pSheet) {
        dc.fillRect(rect(), back);
        return;
    }
    dc.setFont(m_pSheet->m_pDefaultFont ? *m_pSheet->m_pDefaultFont : font());
    m_pGrid->OnPrepareDC(&dc, nullptr, m_nSection);
    const QRegion& region = event->region();
    const std::vector<int>& sizes = HeadSizes();
    const int across = Horizontal() ? height() : width();
    int at = 0;
    for (long item = FirstShown(); at < AlongExtent() && item < Count(); item = NextShown(item)) {
        const int size = ItemSize(item);
        if (size <= 0)
            continue;
        for (int k = 0; k < static_cast<int>(sizes.size()); ++k) {
            const QRect rect = MakeRect(at, size, HeadStart(k), sizes[static_cast<size_t>(k)]);
            if (rect.isEmpty() || !region.intersects(rect))
                continue;
            const int col = Horizontal() ? static_cast<int>(item) : -1 - k;
            const long row = Horizontal() ? -1 - k : item;
            CTblCell cell;
            m_pGrid->ComposeCell(col, row, cell);
            dc.save();
            m_pGrid->TypeOf(cell)->DrawCell(dc, rect, col, row, cell, IsItemDragged(item) ? 1 : 0,
                                            0);
            dc.restore();
        }
        at += size;
    }
    if (at < AlongExtent())
        dc.fillRect(MakeRect(at, AlongExtent() - at, 0, across), back);
    const int headings = HeadStart(-1);
    if (headings < across)
        dc.fillRect(MakeRect(0, std::min(at, AlongExtent()), headings, across - headings), back);
}

// ---- Sizing ----

CTblHeader::Sizing CTblHeader::SizingAt(const QPoint& point, long& index)
{
    if (!m_pSheet || m_pSheet->m_nUserSizing <= 0)
        return Sizing::None;
    // The first border near the mouse; a following item of size 0 is taken instead, so
    // that hidden columns (rows) can be brought back.
    const int pos = Along(point);
    int at = 0;
    for (long item = FirstShown(); at <= AlongExtent() && item < Count(); item = NextShown(item)) {
        at += std::max(ItemSize(item), 0);
        if (std::abs(pos - at) > BorderReach)
            continue;
        long sized = item;
        for (long next = NextShown(item); next < Count() && ItemSize(next) == 0;
             next = NextShown(next))
            sized = next;
        if (!AllowItemResize(sized))
            break;
        index = sized;
        return Sizing::Item;
    }
    const std::vector<int>& sizes = HeadSizes();
    for (int k = 0; k < static_cast<int>(sizes.size()); ++k) {
        const int end = HeadStart(k) + sizes[static_cast<size_t>(k)];
        if (std::abs(Across(point) - end) <= BorderReach && AllowHeadingResize()) {
            index = k;
            return Sizing::Heading;
        }
    }
    return Sizing::None;
}

void CTblHeader::ShowCursorFor(Sizing sizing)
{
    if (!m_pSheet)
        return;
    const bool alongCursor = sizing == Sizing::Item;
    const bool sizeWE = Horizontal() == alongCursor;
    if (sizing == Sizing::None)
        setCursor(m_pSheet->m_cursorArrow);
    else
        setCursor(sizeWE ? m_pSheet->m_cursorSizeWE : m_pSheet->m_cursorSizeNS);
}

int CTblHeader::DraggedSize(int startSize, int startPos, int pos) const
{
    return std::max(startSize + pos - startPos, 0);
}

void CTblHeader::StartSizing(Sizing sizing, long index, const QPoint& point)
{
    m_sizing = sizing;
    m_nSizeIndex = index;
    m_nStartTotal = HeadTotal();
    if (sizing == Sizing::Item) {
        m_nStartSize = ItemSize(index);
        m_nStartPos = Along(point);
        m_nItemsAbove = 0;
        for (long item = FirstShown(); item < Count(); item = NextShown(item)) {
            ++m_nItemsAbove;
            if (item == index)
                break;
        }
    } else {
        m_nStartSize = HeadSizes()[static_cast<size_t>(index)];
        m_nStartPos = Across(point);
    }
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        area->setFocus(Qt::MouseFocusReason);
}

void CTblHeader::SizeTo(const QPoint& point)
{
    if (m_sizing == Sizing::Heading && m_nSizeIndex >= static_cast<long>(HeadSizes().size()))
        return;
    if (m_sizing == Sizing::Heading) {
        const int delta = Across(point) - m_nStartPos;
        int total = std::max(m_nStartTotal + delta, 0);
        OnHeadingResizing(&total);
        total = std::clamp(total, 0, CTblCtrl::MaxSize);
        HeadSizes()[static_cast<size_t>(m_nSizeIndex)] =
            std::max(m_nStartSize + total - m_nStartTotal, 0);
        HeadTotal() = total;
        m_pGrid->RecalcLayout();
        return;
    }
    int size = DraggedSize(m_nStartSize, m_nStartPos, Along(point));
    if (!Horizontal() && m_pSheet->m_bUniformRows && m_nItemsAbove > 0)
        size = std::max(Along(point), 1) / static_cast<int>(std::min(m_nItemsAbove, 1L << 20));
    OnItemResizing(m_nSizeIndex, &size);
    ApplyItemSize(m_nSizeIndex, size);
    if (m_pSheet->m_nUserSizing == 2) {
        m_pGrid->Redraw();
        return;
    }
    update();
    ShowMarker(Along(point));
}

void CTblHeader::EndSizing()
{
    if (m_sizing == Sizing::Heading) {
        int total = HeadTotal();
        OnHeadingResized(&total);
        total = std::clamp(total, 0, CTblCtrl::MaxSize);
        if (total != HeadTotal() && m_nSizeIndex < static_cast<long>(HeadSizes().size())) {
            HeadSizes()[static_cast<size_t>(m_nSizeIndex)] =
                std::max(m_nStartSize + total - m_nStartTotal, 0);
            HeadTotal() = total;
        }
    } else {
        int size = ItemSize(m_nSizeIndex);
        const int before = size;
        OnItemResized(m_nSizeIndex, &size);
        if (size != before)
            ApplyItemSize(m_nSizeIndex, size);
    }
    m_sizing = Sizing::None;
    HideMarker();
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        area->RepaintAll();
    m_pGrid->RecalcLayout();
}

void CTblHeader::ShowMarker(int along)
{
    // From the heading's outer edge across the cell area, in the grid's coordinates.
    const QRect cells = m_pGrid->GetCellArea() ? m_pGrid->GetCellArea()->geometry() : QRect();
    const QPoint origin = mapTo(m_pGrid, QPoint(0, 0));
    QRect line;
    if (Horizontal())
        line = QRect(origin.x() + along - MarkerWidth / 2, origin.y(), MarkerWidth,
                     cells.bottom() + 1 - origin.y());
    else
        line = QRect(origin.x(), origin.y() + along - MarkerWidth / 2,
                     cells.right() + 1 - origin.x(), MarkerWidth);
    m_pMarker->setGeometry(line);
    m_pMarker->show();
    m_pMarker->raise();
}

void CTblHeader::HideMarker()
{
    m_pMarker->hide();
}

// ---- Item dragging: nothing unless a heading moves its items ----

void CTblHeader::StartItemDrag(long) {}

void CTblHeader::ItemDragMove(const QPoint&) {}

void CTblHeader::EndItemDrag() {}

bool CTblHeader::IsItemDragged(long) const
{
    return false;
}

// ---- Mouse ----

void CTblHeader::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pSheet)
        return;
    const QPoint point = event->position().toPoint();
    if (m_sizing != Sizing::None) {
        SizeTo(point);
        return;
    }
    if (event->buttons() & Qt::LeftButton) {
        ItemDragMove(point);
        return;
    }
    long index = -1;
    ShowCursorFor(SizingAt(point, index));
}

void CTblHeader::mousePressEvent(QMouseEvent* event)
{
    if (!m_pSheet)
        return;
    const QPoint point = event->position().toPoint();
    const Hit hit = HitAt(point);
    int processed = 0;
    if (event->button() == Qt::RightButton) {
        if (hit.found)
            processed = m_pGrid->TypeAt(hit.col, hit.row)
                            ->HandleRightButton(hit.col, hit.row, 1, hit.rect, point);
        OnRightButton(hit.col, hit.row, true, hit.rect, point, processed);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    // A press on a heading abandons an edit in progress.
    if (m_pGrid->IsEditing())
        m_pGrid->CancelEdit();
    long index = -1;
    const Sizing sizing = SizingAt(point, index);
    if (sizing != Sizing::None) {
        StartSizing(sizing, index, point);
        return;
    }
    if (hit.found) {
        StartItemDrag(Horizontal() ? hit.col : hit.row);
        processed = m_pGrid->TypeAt(hit.col, hit.row)
                        ->HandleLeftButton(hit.col, hit.row, 1, hit.rect, point);
    }
    OnLeftButton(hit.col, hit.row, true, hit.rect, point, processed);
}

void CTblHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pSheet)
        return;
    const QPoint point = event->position().toPoint();
    const Hit hit = HitAt(point);
    int processed = 0;
    if (event->button() == Qt::RightButton) {
        OnRightButton(hit.col, hit.row, false, hit.rect, point, 0);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_sizing != Sizing::None) {
        EndSizing();
        return;
    }
    if (hit.found)
        processed = m_pGrid->TypeAt(hit.col, hit.row)
                        ->HandleLeftButton(hit.col, hit.row, 0, hit.rect, point);
    OnLeftButton(hit.col, hit.row, false, hit.rect, point, processed);
    EndItemDrag();
}

void CTblHeader::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_pSheet || event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const Hit hit = HitAt(point);
    int processed = 0;
    if (hit.found)
        processed =
            m_pGrid->TypeAt(hit.col, hit.row)->HandleDoubleClick(hit.col, hit.row, hit.rect, point);
    OnDoubleClick(hit.col, hit.row, hit.rect, point, processed);
}
