#include "TblDropListType.h"

#include "TblCell.h"
#include "TblCellArea.h"
#include "TblCtrl.h"
#include "TblDropListWnd.h"
#include "TblSelection.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStyle>

#include <algorithm>

namespace {

// The list shows at most this many item heights.
constexpr int MaxShownItems = 16;

void DrawFrame3D(QPainter& dc, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    dc.fillRect(rect.left(), rect.top(), rect.width(), 1, topLeft);
    dc.fillRect(rect.left(), rect.top(), 1, rect.height(), topLeft);
    dc.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottomRight);
    dc.fillRect(rect.right(), rect.top(), 1, rect.height(), bottomRight);
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

CTblDropListType::CTblDropListType()
    : m_nButtonWidth(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent)),
      m_face(QApplication::palette().color(QPalette::Button))
{
    m_bOverflow = 0;
}

CTblDropListType::~CTblDropListType()
{
    delete m_pList.data();
}

QString CTblDropListType::TypeName() const
{
    return QStringLiteral("Standard DropList");
}

QUuid CTblDropListType::TypeIdentifier() const
{
    static const QUuid id(QStringLiteral("{273483c8-277f-4a97-837c-39ef4a57f4a7}"));
    return id;
}

int CTblDropListType::FitEditorRect(QRect* rect)
{
    rect->setRight(rect->right() - (m_nButtonWidth + 1));
    return 1;
}

bool CTblDropListType::OnButton(const QRect& rect, const QPoint& point) const
{
    return point.x() > rect.x() + rect.width() - m_nButtonWidth;
}

int CTblDropListType::HandleLeftButton(int col, long row, int pressed, const QRect& rect,
                                       const QPoint& point)
{
    if (!m_pGrid)
        return 0;
    if (!pressed) {
        if (!m_bButtonPressed)
            return 0;
        m_bButtonPressed = 0;
        m_pGrid->RepaintCell(m_nDroppedCol, m_nDroppedRow);
        return 1;
    }
    if (!OnButton(rect, point)) {
        if (m_nDroppedCol == ClosedByFocus)
            SetDropped(NoList, NoList);
        return 0;
    }
    const bool isDropped = col == m_nDroppedCol && row == m_nDroppedRow;
    if (isDropped || m_nDroppedCol == ClosedByFocus) {
        // The click that closed the list (or took the focus from it) does not reopen it.
        SetDropped(NoList, NoList);
        CloseList();
        return 1;
    }
    // A refused move leaves another cell current: its list must not open for this one.
    if (col != m_pGrid->GetCurCol() || row != m_pGrid->GetCurRow())
        return 0;
    m_rcButton =
        QRect(rect.x() + rect.width() - m_nButtonWidth, rect.y(), m_nButtonWidth, rect.height());
    m_bButtonPressed = 1;
    SetDropped(col, row);
    m_pGrid->RepaintCell(col, row);
    OpenList();
    return 1;
}

int CTblDropListType::HandleDoubleClick(int col, long row, const QRect& rect, const QPoint& point)
{
    return OnButton(rect, point) ? HandleLeftButton(col, row, 1, rect, point) : 0;
}

int CTblDropListType::HandleKeyDown(int, long, int* key)
{
    const int plain = *key & ~Qt::KeyboardModifierMask;
    const bool ctrlDown =
        plain == Qt::Key_Down && (*key & Qt::KeyboardModifierMask) == Qt::ControlModifier;
    if (!IsEnter(plain) && !ctrlDown)
        return 0;
    OpenList();
    *key = 0;
    return 1;
}

int CTblDropListType::HandleChar(int, long, int* key)
{
    if (*key != '\r' && *key != '(')
        return 0;
    *key = 0;
    return 1;
}

int CTblDropListType::HandleMouseMove(int, long, const QPoint& point, unsigned keyFlags)
{
    if (!(keyFlags & CTblSelection::MkLButton) || m_nDroppedCol < 0 || !m_pGrid)
        return 0;
    const int inside = m_rcButton.contains(point) ? 1 : 0;
    if (inside != m_bButtonPressed) {
        m_bButtonPressed = inside;
        m_pGrid->RepaintCell(m_nDroppedCol, m_nDroppedRow);
    }
    return 1;
}

int CTblDropListType::CellLostFocus(int, long, const CTblCell&)
{
    SetDropped(NoList, NoList);
    return -1;
}

void CTblDropListType::SetDropped(int col, long row)
{
    m_nDroppedCol = col;
    m_nDroppedRow = row;
}

CTblDropListWnd* CTblDropListType::GetListWnd() const
{
    return m_pList && !m_pList->IsClosed() ? m_pList.data() : nullptr;
}

void CTblDropListType::CloseList()
{
    if (CTblDropListWnd* list = GetListWnd())
        list->Close();
}

void CTblDropListType::OpenList()
{
    if (GetListWnd() || !m_pGrid || !m_pGrid->GetCellArea())
        return;
    const int col = m_pGrid->GetCurCol();
    const long row = m_pGrid->GetCurRow();
    QRect cellRect;
    if (col < 0 || row < 0 || !m_pGrid->VisibleCellRect(col, row, cellRect))
        return;
    CTblCell cell;
    m_pGrid->ComposeCell(col, row, cell);
    // A read-only cell keeps its value: there is nothing to choose.
    if (cell.GetReadOnly())
        return;
    SetDropped(col, row);
    QString label;
    cell.LabelInto(label);
    // Each item ends with a line feed; text after the last one is not an item.
    QStringList items = label.split(QLatin1Char('\n'));
    items.removeLast();
    m_pGrid->OnCellTypeEvent(m_nIndex, col, row, EventOpening, reinterpret_cast<intptr_t>(&items));
    const QFont* font = cell.GetFont() ? cell.GetFont() : m_pGrid->GetSheet()->m_pDefaultFont;
    CTblCellArea* area = m_pGrid->GetCellArea();
    // Without a font of the cell's or the sheet's, the list shows the cells' own font.
    const int itemHeight = QFontMetrics(font ? *font : area->font()).height();
    const int shown = std::min(static_cast<int>(items.size()) + 1, MaxShownItems);
    QRect list(cellRect.left() + 10, cellRect.bottom() + 1, cellRect.width(),
               shown * itemHeight + 2);
    // Kept inside the cell area: moved up (or left) by what passes its edge.
    if (list.bottom() >= area->height()) {
        list.moveTop(std::max(list.top() - (list.bottom() + 1 - area->height()), 0));
        list.setBottom(area->height() - 1);
    }
    if (list.right() >= area->width()) {
        list.moveLeft(std::max(list.left() - (list.right() + 1 - area->width()), 0));
        list.setRight(area->width() - 1);
    }
    m_pList = new CTblDropListWnd(m_pGrid, this, col, row, area);
    if (font)
        m_pList->setFont(*font);
    m_pList->SetItems(items, itemHeight);
    m_pList->setGeometry(list);
    m_pList->show();
    m_pList->raise();
    m_pList->setFocus(Qt::PopupFocusReason);
    m_bButtonPressed = 0;
    m_pGrid->RepaintCell(col, row);
}

void CTblDropListType::DrawCell(QPainter& dc, const QRect& rect, int col, long row,
                                const CTblCell& cell, int selected, int current)
{
    const QRect inner = DrawBorder(dc, rect, cell);
    if ((cell.GetTypeParam() & ParamButtonWhenCurrent) && !current) {
        DrawContent(dc, inner, col, row, cell, selected, current);
        return;
    }
    const int width = std::min(m_nButtonWidth, inner.width());
    const QRect button(inner.x() + inner.width() - width, inner.y(), width, inner.height());
    DrawButton(dc, button, m_bButtonPressed && current);
    QRect text = inner;
    text.setRight(button.left() - 2);
    if (text.width() > 0) {
        dc.fillRect(QRect(button.left() - 1, inner.top(), 1, inner.height()), m_face);
        DrawContent(dc, text, col, row, cell, selected, current);
    }
}

void CTblDropListType::DrawButton(QPainter& dc, const QRect& button, bool sunken) const
{
    if (button.width() <= 0 || button.height() <= 0)
        return;
    const QColor white = m_pGrid ? m_pGrid->GetWhitePen().color() : QColor(Qt::white);
    const QColor shadow = m_pGrid ? m_pGrid->GetShadowPen().color() : QColor(Qt::darkGray);
    dc.fillRect(button, m_face);
    if (sunken)
        DrawFrame3D(dc, button, shadow, white);
    else
        DrawFrame3D(dc, button, white, shadow);
    // A small triangle: rows of 5, 3 and 1 pixels.
    const QPoint centre = button.center() + (sunken ? QPoint(1, 1) : QPoint());
    for (int line = 0; line < 3; ++line)
        dc.fillRect(centre.x() - 2 + line, centre.y() - 1 + line, 5 - 2 * line, 1, Qt::black);
}
