#include "TblCellArea.h"

#include "TblAccessibleTable.h"
#include "TblCell.h"
#include "TblCellPainter.h"
#include "TblCellType.h"
#include "TblCtrl.h"
#include "TblSelection.h"
#include "TblSheet.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A wheel notch, in the units of QWheelEvent::angleDelta, and the rows it scrolls.
constexpr int WheelNotch = 120;
constexpr int RowsPerNotch = 3;
// Keeps the cubed key acceleration within an int.
constexpr int MaxKeyAcceleration = 1000;

} // namespace

CTblCellArea::CTblCellArea(CTblCtrl* grid) : QWidget(grid), m_pGrid(grid)
{
    // Every paint covers its whole region, which lets scrolling shift the pixels.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // Painted cells have no widgets for assistive technology to read: the table says them.
    // Installed with every cell area: Qt keeps one copy, and forgets it with its
    // application, which a later application in the same process then needs again.
    QAccessible::installFactory(&CTblAccessibleTable::Create);
    m_dragTimer.setSingleShot(true);
    connect(&m_dragTimer, &QTimer::timeout, this, &CTblCellArea::DragStep);
}

void CTblCellArea::SetSheet(CTblSheet* sheet)
{
    m_pSheet = sheet;
    if (sheet)
        setCursor(sheet->m_cursorArrow);
    update();
}

void CTblCellArea::SetDoubleBuffer(int mode)
{
    m_nDoubleBuffer = mode ? 1 : 0;
    update();
}

bool CTblCellArea::BufferReady()
{
    // Made (again) or let go only here, before anything paints on it: a resize, or a
    // change of mode from a callback, may come while the cells are being painted.
    if (!m_nDoubleBuffer || size().isEmpty()) {
        m_buffer = QPixmap();
        return false;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    if (m_buffer.size() != device) {
        m_buffer = QPixmap(device);
        m_buffer.setDevicePixelRatio(ratio);
    }
    // An image that cannot be made leaves the area painting straight to the window.
    if (m_buffer.isNull())
        m_nDoubleBuffer = 0;
    return m_nDoubleBuffer != 0;
}

// ---- Marking what the next paint draws ----

void CTblCellArea::Mark(const QRect& rect)
{
    if (!m_pGrid->GetRedraw())
        return;
    const QRect inside = rect & this->rect();
    if (!inside.isEmpty())
        update(inside);
}

void CTblCellArea::RepaintAll()
{
    Mark(rect());
}

void CTblCellArea::RepaintCell(int col, long row)
{
    if (!m_pSheet)
        return;
    QRect rect;
    if (!m_pGrid->VisibleCellRect(col, row, rect))
        return;
    // Up to the right edge: the cell's text may run on into empty cells there.
    rect.setRight(width() - 1);
    Mark(rect);
}

void CTblCellArea::MarkCurrent(int col, long row)
{
    if (col < 0 || row < 0)
        return;
    if (m_pSheet->m_bRowHighlight) {
        int top = 0;
        int height = 0;
        if (m_pSheet->RowSpan(row, top, height))
            Mark(QRect(0, top, width(), height));
        return;
    }
    QRect rect;
    if (m_pGrid->VisibleCellRect(col, row, rect))
        Mark(rect);
}

void CTblCellArea::UpdateAfterMove()
{
    if (!m_pSheet)
        return;
    if (m_pSheet->m_nCurCol != m_pSheet->m_nPrevCurCol ||
        m_pSheet->m_nCurRow != m_pSheet->m_nPrevCurRow)
        CTblAccessibleTable::AnnounceCurrentCell(this);
    if (!m_pGrid->GetRedraw())
        return;
    if (m_bPainting) {
        Mark(rect());
        return;
    }
    // Nothing is painted before the shift: the view has moved already, and Qt's shift
    // carries what is waiting to be painted along with the pixels.
    ShiftView();
    MarkCurrent(m_pSheet->m_nPrevCurCol, m_pSheet->m_nPrevCurRow);
    MarkCurrent(m_pSheet->m_nCurCol, m_pSheet->m_nCurRow);
}

void CTblCellArea::ShiftView()
{
    const CTblSheet& s = *m_pSheet;
    if (s.m_nPrevLeftCol < 0 || s.m_nPrevTopRow < 0) {
        RepaintAll();
        return;
    }
    const int w = width();
    const int h = height();
    const int dx = s.ColShift(s.m_nPrevLeftCol, s.m_nLeftCol, w);
    const int dy = s.RowShift(s.m_nPrevTopRow, s.m_nTopRow, h);
    if (std::abs(dx) > w || std::abs(dy) > h) {
        RepaintAll();
        return;
    }
    // Locked columns move only up and down, locked rows only sideways.
    if (dx != 0)
        ScrollPixels(-dx, 0, QRect(s.m_nLockedColsWidth, 0, w - s.m_nLockedColsWidth, h));
    if (dy != 0)
        ScrollPixels(0, -dy, QRect(0, s.m_nLockedRowsHeight, w, h - s.m_nLockedRowsHeight));
}

void CTblCellArea::ScrollPixels(int dx, int dy, const QRect& rect)
{
    if (rect.isEmpty())
        return;
    // Qt invalidates what the shift uncovers; the paint draws the cells there.
    scroll(dx, dy, rect);
    if (m_nDoubleBuffer && m_buffer.deviceIndependentSize() == QSizeF(size())) {
        const qreal ratio = m_buffer.devicePixelRatio();
        const QRectF device(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio);
        m_buffer.scroll(qRound(dx * ratio), qRound(dy * ratio), device.toRect());
    }
}

// ---- Painting ----

void CTblCellArea::paintEvent(QPaintEvent* event)
{
    QPainter screen(this);
    if (!m_pSheet) {
        screen.fillRect(rect(), palette().color(QPalette::Base));
        return;
    }
    m_bPainting = true;
    const QFont font = m_pSheet->m_pDefaultFont ? *m_pSheet->m_pDefaultFont : this->font();
    screen.setFont(font);
    if (BufferReady()) {
        QPainter buffer(&m_buffer);
        buffer.setFont(font);
        m_pGrid->OnPrepareDC(&screen, &buffer, CTblCtrl::SectionCells);
        buffer.setClipRegion(event->region());
        CTblCellPainter(*m_pGrid, *m_pSheet, size()).PaintCells(buffer, event->region());
        buffer.end();
        screen.setClipRegion(event->region());
        screen.drawPixmap(0, 0, m_buffer);
        screen.setClipping(false);
    } else {
        m_pGrid->OnPrepareDC(&screen, nullptr, CTblCtrl::SectionCells);
        CTblCellPainter(*m_pGrid, *m_pSheet, size()).PaintCells(screen, event->region());
    }
    // The sheet is read again: what painting asked of the application may have changed it.
    if (m_bFocus && m_pSheet)
        CTblCellPainter(*m_pGrid, *m_pSheet, size()).DrawCurrentFrame(screen);
    m_bPainting = false;
}

// ---- Keyboard ----

int CTblCellArea::KeyStep()
{
    const CTblSheet& s = *m_pSheet;
    const int divisor = s.m_nKeyAccelDiv;
    if (divisor < 1)
        return 1;
    ++m_nRepeat;
    const int quotient = std::min(m_nRepeat / divisor, MaxKeyAcceleration);
    return quotient * quotient * quotient + 1;
}

void CTblCellArea::Navigate(int key, int step)
{
    const CTblSheet& s = *m_pSheet;
    const bool control = (key & Qt::ControlModifier) != 0;
    switch (key & ~Qt::KeyboardModifierMask) {
    case Qt::Key_PageUp:
        m_pGrid->StepRow(CTblSheet::PageBack);
        break;
    case Qt::Key_PageDown:
        m_pGrid->StepRow(CTblSheet::PageForward);
        break;
    case Qt::Key_Home:
        control ? m_pGrid->StepRow(CTblSheet::First) : m_pGrid->StepCol(CTblSheet::First);
        break;
    case Qt::Key_End:
        control ? m_pGrid->StepRow(CTblSheet::Last) : m_pGrid->StepCol(CTblSheet::Last);
        break;
    case Qt::Key_Left:
        m_pGrid->MoveToCol(s.m_nReqCol - step);
        break;
    case Qt::Key_Right:
        m_pGrid->MoveToCol(s.m_nReqCol + step);
        break;
    case Qt::Key_Up:
        m_pGrid->MoveToRow(s.m_nReqRow - step);
        break;
    case Qt::Key_Down:
        m_pGrid->MoveToRow(s.m_nReqRow + step);
        break;
    case Qt::Key_Tab:
        TabStep((key & Qt::ShiftModifier) != 0);
        break;
    case Qt::Key_Backtab:
        TabStep(true);
        break;
    default:
        break;
    }
}

void CTblCellArea::TabStep(bool back)
{
    const CTblSheet& s = *m_pSheet;
    // Along the row, then on from the other end of the next (previous) row.
    if (!back && s.m_nReqCol < s.m_nColCount - 1)
        m_pGrid->MoveToCol(s.m_nReqCol + 1);
    else if (!back && s.m_nReqRow < s.m_nRowCount - 1)
        m_pGrid->MoveToCell(0, s.m_nReqRow + 1);
    else if (back && s.m_nReqCol > 0)
        m_pGrid->MoveToCol(s.m_nReqCol - 1);
    else if (back && s.m_nReqRow > 0)
        m_pGrid->MoveToCell(s.m_nColCount - 1, s.m_nReqRow - 1);
}

bool CTblCellArea::TakeTabKey(QKeyEvent* event)
{
    const int key = event->key();
    if ((key != Qt::Key_Tab && key != Qt::Key_Backtab) || (event->modifiers() & Qt::AltModifier))
        return false;
    // The grid keeps Tab for its own moves; Ctrl+Tab leaves it, as from any widget that
    // keeps Tab.
    if (event->modifiers() & Qt::ControlModifier)
        m_pGrid->LeaveGrid(key == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
    else
        keyPressEvent(event);
    return true;
}

void CTblCellArea::keyPressEvent(QKeyEvent* event)
{
    if (!m_pSheet) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Every key is the grid's: none reaches the dialog's default or cancel button.
    event->accept();
    m_pSheet->m_nSelMode = 0;
    const int step = KeyStep();
    int key = event->keyCombination().toCombined();
    const int col = m_pSheet->m_nCurCol;
    const long row = m_pSheet->m_nCurRow;
    int processed = 0;
    if (CTblCellType* type = TypeAt(col, row))
        processed = type->HandleKeyDown(col, row, &key);
    m_pGrid->OnGridKeyDown(&key, processed);
    Navigate(key, step);
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Delete || !m_pSheet)
        return;
    int ch = text.at(0).unicode();
    processed = 0;
    if (CTblCellType* type = TypeAt(m_pSheet->m_nCurCol, m_pSheet->m_nCurRow))
        processed = type->HandleChar(m_pSheet->m_nCurCol, m_pSheet->m_nCurRow, &ch);
    m_pGrid->OnGridChar(&ch, processed);
}

void CTblCellArea::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        m_nRepeat = 0;
    QWidget::keyReleaseEvent(event);
}

// ---- Mouse ----

CTblCellArea::Hit CTblCellArea::HitAt(const QPoint& point) const
{
    Hit hit;
    if (m_pGrid->CellAtPoint(point.x(), point.y(), hit.col, hit.row, hit.rect) == 0) {
        hit.found = true;
    } else {
        hit.col = -1;
        hit.row = -1;
        hit.rect = QRect();
    }
    return hit;
}

CTblCellType* CTblCellArea::TypeAt(int col, long row) const
{
    return col < 0 || row < 0 ? nullptr : m_pGrid->TypeAt(col, row);
}

unsigned CTblCellArea::KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    unsigned flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= CTblSelection::MkLButton;
    if (buttons & Qt::RightButton)
        flags |= CTblSelection::MkRButton;
    if (buttons & Qt::MiddleButton)
        flags |= CTblSelection::MkMButton;
    if (modifiers & Qt::ShiftModifier)
        flags |= CTblSelection::MkShift;
    if (modifiers & Qt::ControlModifier)
        flags |= CTblSelection::MkControl;
    return flags;
}

void CTblCellArea::mousePressEvent(QMouseEvent* event)
{
    // The press that took the focus from the editor ends its edit and acts at once.
    if (!m_pSheet || !m_pGrid->EndEditForPress())
        return;
    if (event->button() == Qt::LeftButton)
        LeftButtonDown(event);
    else if (event->button() == Qt::RightButton)
        RightButton(event, true);
}

void CTblCellArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pSheet)
        return;
    if (event->button() == Qt::LeftButton)
        LeftButtonUp(event);
    else if (event->button() == Qt::RightButton)
        RightButton(event, false);
}

void CTblCellArea::LeftButtonDown(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_bLeftDown = true;
    m_pSheet->m_nSelMode = 1;
    m_pSheet->m_nSelKeys = KeyFlags(event->buttons(), event->modifiers());
    const Hit hit = HitAt(point);
    int processed = 0;
    if (hit.found) {
        m_pGrid->MoveToCell(hit.col, hit.row);
        processed =
            TypeAt(hit.col, hit.row)->HandleLeftButton(hit.col, hit.row, 1, hit.rect, point);
        if (processed)
            m_bTypeHasMouse = 1;
    }
    m_pGrid->OnCellLeftButton(hit.col, hit.row, true, hit.rect, point, processed);
    if (m_pSheet)
        m_pSheet->m_nSelMode = 0;
}

void CTblCellArea::LeftButtonUp(QMouseEvent* event)
{
    m_bLeftDown = false;
    m_dragTimer.stop();
    const QPoint point = event->position().toPoint();
    const Hit hit = HitAt(point);
    int processed = 0;
    if (hit.found)
        processed =
            TypeAt(hit.col, hit.row)->HandleLeftButton(hit.col, hit.row, 0, hit.rect, point);
    m_pGrid->OnCellLeftButton(hit.col, hit.row, false, hit.rect, point, processed);
    m_bTypeHasMouse = 0;
    if (m_pSheet)
        m_pSheet->m_nSelMode = 0;
}

void CTblCellArea::RightButton(QMouseEvent* event, bool down)
{
    const QPoint point = event->position().toPoint();
    const Hit hit = HitAt(point);
    if (!down) {
        m_pGrid->OnCellRightButton(hit.col, hit.row, false, hit.rect, point, 0);
        return;
    }
    m_pSheet->m_nSelMode = 2;
    m_pSheet->m_nSelKeys = KeyFlags(event->buttons(), event->modifiers());
    int processed = 0;
    if (hit.found) {
        m_pGrid->MoveToCell(hit.col, hit.row);
        processed =
            TypeAt(hit.col, hit.row)->HandleRightButton(hit.col, hit.row, 1, hit.rect, point);
    }
    m_pGrid->OnCellRightButton(hit.col, hit.row, true, hit.rect, point, processed);
    if (m_pSheet && m_pSheet->m_bPopupMenu)
        m_pGrid->ShowPopupMenu(hit.col, hit.row, event->globalPosition().toPoint(),
                               CTblCtrl::SectionCells);
    if (m_pSheet)
        m_pSheet->m_nSelMode = 0;
}

void CTblCellArea::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_pSheet || event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const Hit hit = HitAt(point);
    int processed = 0;
    if (hit.found)
        processed = TypeAt(hit.col, hit.row)->HandleDoubleClick(hit.col, hit.row, hit.rect, point);
    m_pGrid->OnCellDoubleClick(hit.col, hit.row, hit.rect, point, processed);
}

void CTblCellArea::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pSheet || m_pGrid->IsEditing())
        return;
    const QPoint point = event->position().toPoint();
    const unsigned keys = KeyFlags(event->buttons(), event->modifiers());
    if (m_bTypeHasMouse) {
        // The type that took the press follows the mouse alone.
        const int col = m_pSheet->m_nCurCol;
        const long row = m_pSheet->m_nCurRow;
        int processed = 0;
        if (CTblCellType* type = TypeAt(col, row))
            processed = type->HandleMouseMove(col, row, point, keys);
        m_pGrid->OnCellMouseMove(col, row, point, keys, processed);
        return;
    }
    const bool dragging = m_bLeftDown && (event->buttons() & Qt::LeftButton);
    if (dragging)
        m_pSheet->m_nSelMode = 3;
    const Hit hit = HitAt(point);
    int processed = 0;
    if (hit.found)
        processed = TypeAt(hit.col, hit.row)->HandleMouseMove(hit.col, hit.row, point, keys);
    m_pGrid->OnCellMouseMove(hit.col, hit.row, point, keys, processed);
    if (m_pSheet)
        m_pSheet->m_nSelMode = 0;
    if (dragging) {
        m_dragPoint = point;
        DragStep();
    }
}

void CTblCellArea::DragStep()
{
    if (!m_pSheet || !m_bLeftDown || m_pGrid->IsEditing()) {
        m_dragTimer.stop();
        return;
    }
    m_pSheet->m_nSelMode = 3;
    const bool again = DragOutside(m_dragPoint);
    if (m_pSheet)
        m_pSheet->m_nSelMode = 0;
    if (!again)
        return;
    // A one-step move with acceleration waits the drag delay; otherwise the next step
    // comes as soon as the events waiting (painting among them) are done.
    const int delay = m_pSheet->m_nDragAccel != 0 ? m_pSheet->m_nDragDelay : 0;
    m_dragTimer.start(std::max(delay, 0));
}

bool CTblCellArea::DragOutside(const QPoint& point)
{
    const CTblSheet& s = *m_pSheet;
    // How far to step: one, or k to the power of the acceleration exponent, k growing
    // by one per default column width (row height) the mouse lies outside.
    const auto stepFor = [&s](int distance, int unit) {
        if (s.m_nDragAccel == 0 || unit <= 0)
            return 1;
        const double k = 1.0 + static_cast<double>(distance) / unit;
        return static_cast<int>(std::min(std::pow(k, s.m_nDragAccel), 1e6));
    };
    bool outside = false;
    if (point.x() < 0) {
        m_pGrid->MoveToCol(s.m_nReqCol - stepFor(-point.x(), s.m_nDefColWidth));
        outside = true;
    } else if (point.x() >= width()) {
        m_pGrid->MoveToCol(s.m_nReqCol + stepFor(point.x() - width(), s.m_nDefColWidth));
        outside = true;
    }
    if (point.y() < 0) {
        m_pGrid->MoveToRow(s.m_nReqRow - stepFor(-point.y(), s.m_nDefRowHeight));
        outside = true;
    } else if (point.y() >= height()) {
        m_pGrid->MoveToRow(s.m_nReqRow + stepFor(point.y() - height(), s.m_nDefRowHeight));
        outside = true;
    }
    if (outside)
        return true;
    const Hit hit = HitAt(point);
    if (!hit.found)
        return false;
    // Over a locked column (row) while it is scrolled away: the view comes back step by
    // step rather than jumping.
    if (hit.col < s.m_nLockedCols && s.m_nReqCol >= s.m_nLockedCols &&
        s.m_nLeftCol > s.m_nLockedCols) {
        m_pGrid->StepCol(CTblSheet::StepBack);
        return true;
    }
    if (hit.row < s.m_nLockedRows && s.m_nReqRow >= s.m_nLockedRows &&
        s.m_nTopRow > s.m_nLockedRows) {
        m_pGrid->StepRow(CTblSheet::StepBack);
        return true;
    }
    m_pGrid->MoveToCell(hit.col, hit.row);
    return false;
}

void CTblCellArea::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (!m_pSheet || m_pGrid->IsEditing())
        return;
    m_nWheelRest += event->angleDelta().y();
    const int notches = m_nWheelRest / WheelNotch;
    m_nWheelRest -= notches * WheelNotch;
    if (notches != 0)
        m_pGrid->ScrollToRow(m_pSheet->m_nTopRow - static_cast<long>(notches) * RowsPerNotch);
}

// ---- Focus and tips ----

void CTblCellArea::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_bFocus = 1;
    m_bTypeHasMouse = 0;
    m_nRepeat = 0;
    m_pGrid->OnFocusGained(CTblCtrl::SectionCells);
    if (m_pSheet)
        MarkCurrent(m_pSheet->m_nCurCol, m_pSheet->m_nCurRow);
    // After the focus event that Qt sends for the area itself, once this one is over: a
    // reader then goes on to the cell the focus lands on.
    QMetaObject::invokeMethod(
        this, [this] { CTblAccessibleTable::AnnounceCurrentCell(this); }, Qt::QueuedConnection);
}

void CTblCellArea::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_bFocus = 0;
    if (m_pSheet)
        MarkCurrent(m_pSheet->m_nCurCol, m_pSheet->m_nCurRow);
    m_pGrid->OnFocusLost(CTblCtrl::SectionCells);
}

bool CTblCellArea::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_pSheet && TakeTabKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() != QEvent::ToolTip || !m_pSheet)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const Hit hit = HitAt(help->pos());
    QString text;
    if (m_pSheet->m_bCellTips && hit.found &&
        m_pGrid->OnCellTip(hit.col, hit.row, CTblCtrl::SectionCells, text) && !text.isEmpty())
        QToolTip::showText(help->globalPos(), text, this, hit.rect);
    else
        QToolTip::hideText();
    return true;
}
