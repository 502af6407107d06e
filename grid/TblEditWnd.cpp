#include "TblEditWnd.h"

#include "TblCellArea.h"
#include "TblCtrl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTextDocument>

#include <algorithm>

namespace {

// Room the editor keeps for two more characters when it measures its text.
const QString GrowthRoom = QStringLiteral(" X X");
// The text's top is one pixel below the editor's, as a top-aligned cell's text is below
// its cell's top; the text keeps this much room on its right.
constexpr int TextTop = 1;
constexpr int RightRoom = 2;

} // namespace

CTblEditWnd::CTblEditWnd(CTblCtrl* grid) : QPlainTextEdit(grid), m_pGrid(grid)
{
    hide();
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The text is placed by the viewport's margins alone; they show the editor's own
    // background, not the cell under it.
    document()->setDocumentMargin(0);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    setPalette(colours);
    connect(this, &QPlainTextEdit::textChanged, this, &CTblEditWnd::Grow);
}

void CTblEditWnd::SetText(const QString& text)
{
    setPlainText(text);
}

void CTblEditWnd::Prepare()
{
    // The text stands where the cell's text stood: the sheet's margin in from the left.
    const CTblSheet* sheet = m_pGrid->GetSheet();
    setViewportMargins(sheet ? sheet->m_nTextMargin : 0, TextTop, 0, 0);
    m_nStartHeight = height() + 4;
    m_nCurHeight = m_nStartHeight;
    Grow();
    m_bCancelled = 0;
    m_bContinue = 0;
    selectAll();
    ensureCursorVisible();
}

void CTblEditWnd::Cancel()
{
    m_bCancelled = 1;
    m_bContinue = 0;
    EndWithKey();
}

void CTblEditWnd::Close()
{
    m_bClosing = true;
    m_bEndPending = false;
    if (hasFocus()) {
        if (CTblCellArea* area = m_pGrid->GetCellArea())
            area->setFocus(Qt::OtherFocusReason);
    }
    hide();
    m_bClosing = false;
}

void CTblEditWnd::EndNow()
{
    m_bEndPending = true;
    EndPendingEdit();
}

void CTblEditWnd::keyPressEvent(QKeyEvent* event)
{
    const int col = m_pGrid->GetEditCol();
    const long row = m_pGrid->GetEditRow();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool notGrown = m_nCurHeight == m_nStartHeight;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        ContinueAt(event->key() == Qt::Key_Backtab || shift ? col - 1 : col + 1, row);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ContinueAt(col, row + 1);
        return;
    case Qt::Key_Escape:
        Cancel();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Once grown, the arrows move the caret through the lines instead.
        if (notGrown) {
            ContinueAt(col, event->key() == Qt::Key_Up ? row - 1 : row + 1);
            return;
        }
        break;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Delete) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const int typed = text.at(0).unicode();
    int ch = typed;
    if (!m_pGrid->OnEditKey(col, row, this, &ch) || ch <= 0 || ch == '\t' || ch == '\r' ||
        ch == 0x1B) {
        event->accept();
        return;
    }
    if (ch == typed) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // The application typed another character in place of this one.
    QKeyEvent replaced(event->type(), Qt::Key_unknown, event->modifiers(),
                       QString(QChar(static_cast<char16_t>(ch))));
    QPlainTextEdit::keyPressEvent(&replaced);
}

void CTblEditWnd::ContinueAt(int col, long row)
{
    m_bContinue = 1;
    m_nNextCol = col;
    m_nNextRow = row;
    EndWithKey();
}

void CTblEditWnd::EndWithKey()
{
    if (CTblCellArea* area = m_pGrid->GetCellArea())
        area->setFocus(Qt::OtherFocusReason);
    // Also when the window is not active and no focus event comes.
    ScheduleEnd();
}

void CTblEditWnd::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    // The editor's own context menu takes the focus only for a moment.
    if (m_bClosing || event->reason() == Qt::PopupFocusReason || !m_pGrid->IsEditing())
        return;
    // Leaving the grid abandons the edit.
    const QWidget* next = QApplication::focusWidget();
    if (!next || (next != m_pGrid && !m_pGrid->isAncestorOf(next)))
        m_bCancelled = 1;
    ScheduleEnd();
}

void CTblEditWnd::ScheduleEnd()
{
    if (m_bEndPending)
        return;
    m_bEndPending = true;
    // Never inside a focus event: the edit ends once the focus change is complete.
    QMetaObject::invokeMethod(this, &CTblEditWnd::EndPendingEdit, Qt::QueuedConnection);
}

void CTblEditWnd::EndPendingEdit()
{
    if (!m_bEndPending)
        return;
    m_bEndPending = false;
    if (!m_pGrid->IsEditing() || !isVisible())
        return;
    const int col = m_pGrid->GetEditCol();
    const long row = m_pGrid->GetEditRow();
    if (m_pGrid->EndEdit(Text(), m_bCancelled, m_bContinue, m_nNextCol, m_nNextRow) != 0)
        return;
    // Refused: the edit goes on where it was, even when the user tried to leave.
    m_pGrid->MoveToCell(col, row);
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    setFocus(Qt::OtherFocusReason);
    Prepare();
}

int CTblEditWnd::CellEdgeAt(const QPoint& point, bool right) const
{
    int col = -1;
    long row = -1;
    QRect cell;
    if (parentWidget() != m_pGrid->GetCellArea() ||
        m_pGrid->CellAtPoint(point.x(), point.y(), col, row, cell) != 0)
        return -1;
    return right ? cell.x() + cell.width() : cell.y() + cell.height();
}

void CTblEditWnd::Grow()
{
    const QWidget* host = parentWidget();
    if (!m_bAutoSize || !host || host == m_pGrid)
        return;
    // Edges are exclusive here, as the cells' are.
    const QRect now = geometry();
    const int right = now.x() + now.width();
    const int bottom = now.y() + now.height();
    const int hostRight = host->width();
    const int hostBottom = host->height();
    const QMargins margins = viewportMargins();
    const int textLeft = now.x() + margins.left();
    const QRect needed = QFontMetrics(font()).boundingRect(
        QRect(textLeft, now.y() + margins.top(), std::max(hostRight - textLeft - RightRoom, 1),
              1 << 20),
        Qt::TextWordWrap, Text() + GrowthRoom);
    const int neededRight = needed.x() + needed.width() + RightRoom;
    const int neededBottom = std::min(needed.y() + needed.height(), hostBottom - 1);
    int newRight = right;
    int newBottom = bottom;
    if (neededRight > right) {
        const int edge = CellEdgeAt(QPoint(neededRight + 1, now.y() + 1), true);
        newRight = std::min(edge < 0 ? hostRight : edge, hostRight) - 1;
    }
    if (neededBottom > bottom) {
        // Wrapped at the host's width: as wide as the host, as tall as whole rows.
        newRight = hostRight;
        const int edge = CellEdgeAt(QPoint(now.x() + 1, neededBottom + 1), false);
        newBottom = (edge < 0 ? hostBottom : edge) - 1;
    }
    newRight = std::max(newRight, right);
    newBottom = std::min(std::max(newBottom, bottom), hostBottom);
    if (newRight == right && newBottom == bottom)
        return;
    setGeometry(now.x(), now.y(), newRight - now.x(), newBottom - now.y());
    m_nCurHeight = height();
}
