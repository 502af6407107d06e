#include "TblAccessibleTable.h"

#include "TblAccessibleCell.h"
#include "TblCellArea.h"
#include "TblCtrl.h"

#include <QAccessibleEvent>

#include <algorithm>
#include <climits>

namespace {

// The table as the cell area's interface, when assistive technology listens and the grid
// has its windows.
CTblAccessibleTable* ListeningTable(CTblCellArea* area)
{
    if (!area || !QAccessible::isActive())
        return nullptr;
    return dynamic_cast<CTblAccessibleTable*>(QAccessible::queryAccessibleInterface(area));
}

int ClampToInt(long value)
{
    return static_cast<int>(std::min<long>(value, INT_MAX));
}

} // namespace

CTblAccessibleTable::CTblAccessibleTable(CTblCellArea* area)
    : QAccessibleWidget(area, QAccessible::Table)
{
}

CTblAccessibleTable::~CTblAccessibleTable()
{
    ForgetCells();
}

QAccessibleInterface* CTblAccessibleTable::Create(const QString&, QObject* object)
{
    if (auto* area = qobject_cast<CTblCellArea*>(object))
        return new CTblAccessibleTable(area);
    return nullptr;
}

void CTblAccessibleTable::AnnounceCurrentCell(CTblCellArea* area)
{
    CTblAccessibleTable* table = ListeningTable(area);
    if (!table)
        return;
    const CTblCtrl* grid = table->Grid();
    const int index = table->IndexOf(grid->GetCurCol(), grid->GetCurRow());
    if (index < 0)
        return;
    // Selection first: a reader speaks the cell that takes the focus last.
    QAccessibleEvent selection(area, QAccessible::Selection);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
    if (!area->hasFocus())
        return;
    QAccessibleEvent focus(area, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
}

// Only cells a client has read can be out of date there, and only when their text changed:
// a program that writes every cell again does not make a reader say them all again.
void CTblAccessibleTable::AnnounceCellChanged(CTblCellArea* area, int col, long row)
{
    CTblAccessibleTable* table = ListeningTable(area);
    if (!table)
        return;
    const auto known = table->m_cells.find({row, col});
    const int index = table->IndexOf(col, row);
    if (known == table->m_cells.end() || index < 0)
        return;
    const auto* cell =
        static_cast<CTblAccessibleCell*>(QAccessible::accessibleInterface(known->second));
    if (!cell || !cell->TextDiffersFromRead())
        return;
    QAccessibleEvent changed(area, QAccessible::NameChanged);
    changed.setChild(index);
    QAccessible::updateAccessibility(&changed);
}

// The cells made so far go whether or not a reader listens now: their places may be gone.
void CTblAccessibleTable::AnnounceLayoutChanged(CTblCellArea* area)
{
    if (!area)
        return;
    if (auto* table =
            dynamic_cast<CTblAccessibleTable*>(QAccessible::queryAccessibleInterface(area)))
        table->ForgetCells();
    if (!ListeningTable(area))
        return;
    QAccessibleTableModelChangeEvent reset(area, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
}

CTblCellArea* CTblAccessibleTable::Area() const
{
    return static_cast<CTblCellArea*>(widget());
}

CTblCtrl* CTblAccessibleTable::Grid() const
{
    return Area()->Grid();
}

int CTblAccessibleTable::IndexOf(int col, long row) const
{
    const CTblCtrl* grid = Grid();
    if (col < 0 || row < 0 || col >= grid->GetColumnCount() || row >= grid->GetRowCount())
        return -1;
    const long index = row * grid->GetColumnCount() + col;
    return index > INT_MAX ? -1 : static_cast<int>(index);
}

QAccessibleInterface* CTblAccessibleTable::Cell(int col, long row)
{
    const auto known = m_cells.find({row, col});
    if (known != m_cells.end())
        return QAccessible::accessibleInterface(known->second);
    const QAccessible::Id id =
        QAccessible::registerAccessibleInterface(new CTblAccessibleCell(Area(), col, row));
    m_cells.emplace(std::make_pair(row, col), id);
    return QAccessible::accessibleInterface(id);
}

void CTblAccessibleTable::ForgetCells()
{
    for (const auto& [place, id] : m_cells)
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

void* CTblAccessibleTable::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::Role CTblAccessibleTable::role() const
{
    return QAccessible::Table;
}

int CTblAccessibleTable::childCount() const
{
    const CTblCtrl* grid = Grid();
    return ClampToInt(grid->GetRowCount() * grid->GetColumnCount());
}

QAccessibleInterface* CTblAccessibleTable::child(int index) const
{
    const int cols = Grid()->GetColumnCount();
    if (index < 0 || index >= childCount() || cols <= 0)
        return nullptr;
    return cellAt(index / cols, index % cols);
}

int CTblAccessibleTable::indexOfChild(const QAccessibleInterface* child) const
{
    const QAccessibleTableCellInterface* cell =
        child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (!cell || child->parent() != this)
        return -1;
    return IndexOf(cell->columnIndex(), cell->rowIndex());
}

QAccessibleInterface* CTblAccessibleTable::childAt(int x, int y) const
{
    const QPoint point = Area()->mapFromGlobal(QPoint(x, y));
    int col = -1;
    long row = -1;
    QRect rect;
    if (Grid()->CellAtPoint(point.x(), point.y(), col, row, rect) != 0)
        return nullptr;
    return const_cast<CTblAccessibleTable*>(this)->Cell(col, row);
}

QAccessibleInterface* CTblAccessibleTable::focusChild() const
{
    if (!Area()->hasFocus())
        return nullptr;
    const CTblCtrl* grid = Grid();
    return child(IndexOf(grid->GetCurCol(), grid->GetCurRow()));
}

QAccessibleInterface* CTblAccessibleTable::cellAt(int row, int column) const
{
    if (IndexOf(column, row) < 0)
        return nullptr;
    return const_cast<CTblAccessibleTable*>(this)->Cell(column, row);
}

int CTblAccessibleTable::columnCount() const
{
    return Grid()->GetColumnCount();
}

int CTblAccessibleTable::rowCount() const
{
    return ClampToInt(Grid()->GetRowCount());
}

QString CTblAccessibleTable::columnDescription(int column) const
{
    if (column < 0 || column >= columnCount())
        return {};
    return CTblAccessibleCell::Text(*Grid(), column, -1);
}

QString CTblAccessibleTable::rowDescription(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return CTblAccessibleCell::Text(*Grid(), -1, row);
}

int CTblAccessibleTable::selectedCellCount() const
{
    return static_cast<int>(selectedCells().size());
}

QList<QAccessibleInterface*> CTblAccessibleTable::selectedCells() const
{
    const CTblCtrl* grid = Grid();
    if (QAccessibleInterface* current = child(IndexOf(grid->GetCurCol(), grid->GetCurRow())))
        return {current};
    return {};
}

void CTblAccessibleTable::modelChange(QAccessibleTableModelChangeEvent*)
{
    ForgetCells();
}
