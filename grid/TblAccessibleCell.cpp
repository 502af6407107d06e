#include "TblAccessibleCell.h"

#include "TblAccessibleTable.h"
#include "TblCell.h"
#include "TblCellArea.h"
#include "TblCtrl.h"

#include <algorithm>
#include <climits>

CTblAccessibleCell::CTblAccessibleCell(CTblCellArea* area, int col, long row)
    : m_area(area), m_nCol(col), m_nRow(row)
{
}

QString CTblAccessibleCell::Text(CTblCtrl& grid, int col, long row)
{
    CTblCell cell;
    grid.ComposeCell(col, row, cell);
    const QString* text = cell.TextValue();
    return text ? *text : QString();
}

CTblCtrl* CTblAccessibleCell::Grid() const
{
    return m_area->Grid();
}

bool CTblAccessibleCell::IsCurrent() const
{
    const CTblCtrl* grid = Grid();
    return !IsHeading() && grid->GetCurCol() == m_nCol && grid->GetCurRow() == m_nRow;
}

void* CTblAccessibleCell::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool CTblAccessibleCell::isValid() const
{
    return m_area && m_nCol < Grid()->GetColumnCount() && m_nRow < Grid()->GetRowCount();
}

QAccessibleInterface* CTblAccessibleCell::parent() const
{
    return QAccessible::queryAccessibleInterface(m_area.data());
}

QString CTblAccessibleCell::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name)
        return {};
    m_readText = Text(*Grid(), m_nCol, m_nRow);
    return *m_readText;
}

bool CTblAccessibleCell::TextDiffersFromRead() const
{
    return m_readText && isValid() && Text(*Grid(), m_nCol, m_nRow) != *m_readText;
}

// In screen coordinates; a heading lies in the column-heading window above its column.
QRect CTblAccessibleCell::rect() const
{
    CTblCtrl* grid = Grid();
    QRect cell;
    if (IsHeading()) {
        const CTblChildWindow* header = grid->GetChildWindow(CTblCtrl::SectionColHeader);
        int left = 0;
        int width = 0;
        if (!header || !grid->GetSheet()->ColSpan(m_nCol, left, width))
            return {};
        const QWidget* headerWidget = const_cast<CTblChildWindow*>(header)->Widget();
        const QPoint origin(m_area->mapToGlobal(QPoint(left, 0)).x(),
                            headerWidget->mapToGlobal(QPoint(0, 0)).y());
        return {origin, QSize(width, headerWidget->height())};
    }
    if (!grid->VisibleCellRect(m_nCol, m_nRow, cell))
        return {};
    return cell.translated(m_area->mapToGlobal(QPoint(0, 0)));
}

QAccessible::Role CTblAccessibleCell::role() const
{
    return IsHeading() ? QAccessible::ColumnHeader : QAccessible::Cell;
}

QAccessible::State CTblAccessibleCell::state() const
{
    QAccessible::State state;
    if (IsHeading())
        return state;
    state.focusable = true;
    state.selectable = true;
    state.selected = IsCurrent();
    state.focused = IsCurrent() && m_area->hasFocus();
    state.invisible = rect().isEmpty();
    state.offscreen = state.invisible;
    return state;
}

QList<QAccessibleInterface*> CTblAccessibleCell::columnHeaderCells() const
{
    if (IsHeading())
        return {};
    auto* table = dynamic_cast<CTblAccessibleTable*>(parent());
    if (!table)
        return {};
    return {table->Cell(m_nCol, -1)};
}

int CTblAccessibleCell::rowIndex() const
{
    return static_cast<int>(std::min<long>(m_nRow, INT_MAX));
}
